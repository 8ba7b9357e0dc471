#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "bitmap/Pix32.h"
#include "gui/ControlTypes.h"
#include "platform/Components.h"
#include "platform/Sets.h"

// A z-ordered stack of layers painted over an image control's bitmap and
// answering the mouse: the collection owns its layers, routes the mouse to
// the topmost layer under it (or to the layer holding the mouse) and tells
// its owner of changes.

class TCanvas;
class TCustomLayer;
class TLayerCollection;

enum TLayerState : uint8_t { lsMouseLeft, lsMouseRight, lsMouseMiddle };
using TLayerStates = thorn::EnumSet<TLayerState>;

// Layer option bits.
inline constexpr uint32_t kLayerVisible = 0x80000000u;      // painted; its changes repaint the control
inline constexpr uint32_t kLayerGdiOverlay = 0x40000000u;  // PaintGDI runs after the buffer is shown
inline constexpr uint32_t kLayerMouseEvents = 0x20000000u;  // can be found under the cursor
inline constexpr uint32_t kLayerNoUpdate = 0x10000000u;    // changes are not reported
inline constexpr uint32_t kLayerNoCapture = 0x08000000u;   // a left press does not make it the listener

// The bitmap-to-control mapping of an image control: scales in 16.16 fixed
// point (control pixels per bitmap pixel, and back), shifts in control pixels.
struct TCoordTransform {
    int32_t ScaleX = 65536;
    int32_t ScaleY = 65536;
    int32_t ShiftX = 0;
    int32_t ShiftY = 0;
    int32_t RevScaleX = 65536;
    int32_t RevScaleY = 65536;
    bool operator==(const TCoordTransform&) const = default;
};
inline constexpr TCoordTransform kUnitTransform{};

using TPaintLayerEvent = std::function<void(TObject* sender, TBitmap32* buffer)>;
using THitTestEvent = std::function<void(TObject* sender, int x, int y, bool& passed)>;
using TLayerMouseEvent = std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TLayerMouseMoveEvent = std::function<void(TObject* sender, TShiftState shift, int x, int y)>;
// Makes a layer of one class: what a class reference was.
using TLayerClass = std::function<std::unique_ptr<TCustomLayer>()>;

// The layers of one image control, index 0 at the bottom.
class TLayerCollection : public TPersistent {
public:
    explicit TLayerCollection(TPersistent* owner);
    ~TLayerCollection() override;
    TLayerCollection(const TLayerCollection&) = delete;
    TLayerCollection& operator=(const TLayerCollection&) = delete;

    template <typename T>
    static TLayerClass LayerClass() {
        return [] { return std::make_unique<T>(); };
    }

    // A new layer of the class on top; answers it.
    TCustomLayer* Add(const TLayerClass& layerClass);
    template <typename T>
    T* Add() {
        return static_cast<T*>(Add(LayerClass<T>()));
    }
    // A new layer moved to index.
    TCustomLayer* Insert(int index, const TLayerClass& layerClass);
    template <typename T>
    T* Insert(int index) {
        return static_cast<T*>(Insert(index, LayerClass<T>()));
    }
    // Takes in a layer made on its own, on top.
    TCustomLayer* Adopt(std::unique_ptr<TCustomLayer> layer);
    // Frees the layer at index (EListError outside the list).
    void Delete(int index);
    // Frees a layer of this collection.
    void Delete(TCustomLayer* layer);
    // Frees the topmost layer until none is left.
    void Clear();

    int GetCount() const { return static_cast<int>(items_.size()); }
    // The layer at index (EListError outside the list).
    TCustomLayer* GetItem(int index) const;
    // Copies layer into the existing one at index.
    void SetItem(int index, const TCustomLayer& layer);
    // Index of a layer, -1 when it is not here.
    int IndexOf(const TCustomLayer* layer) const;

    // Replaces the layers by copies of another collection's.
    void Assign(const TPersistent& source) override;

    void BeginUpdate();
    // Throws EInvalidOperation "Unpaired EndUpdate" without a BeginUpdate.
    void EndUpdate();
    int GetUpdateCount() const { return updateCount_; }
    void Changing();
    void Changed();
    void GDIUpdate();
    // A change that repaints only the given parts of the control (control
    // coordinates): OnAreaChanged when set, else Changed.
    void AreaChanged(std::span<const TRect> areas);

    // The topmost layer sharing a bit with optionsMask whose hit test
    // passes at (x, y), or null.
    TCustomLayer* FindLayerAtPos(int x, int y, uint32_t optionsMask) const;

    bool GetMouseEvents() const { return mouseEvents_; }
    // Stores the flag and lets go of the mouse listener.
    void SetMouseEvents(bool value);
    TCustomLayer* GetMouseListener() const { return mouseListener_; }
    void SetMouseListener(TCustomLayer* value);

    // Mouse routing; each answers the layer found (or the listener).
    TCustomLayer* MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    TCustomLayer* MouseMove(TShiftState shift, int x, int y);
    TCustomLayer* MouseUp(TMouseButton button, TShiftState shift, int x, int y);

    TPersistent* GetOwner() const { return owner_; }
    // The control holding the collection, watched across a handler that may
    // free it, and the collection and its layers with it.
    thorn::ComponentWatch WatchHolder() const { return thorn::ComponentWatch(dynamic_cast<TComponent*>(owner_)); }
    const TCoordTransform* GetCoordTransform() const { return coordTransform_; }
    void SetCoordTransform(const TCoordTransform* transform) { coordTransform_ = transform; }
    // While the owner paints into a buffer that begins at this point of the
    // control, adjusted locations are in that buffer's coordinates.
    TPoint GetPaintOffset() const { return paintOffset_; }
    void SetPaintOffset(TPoint offset) { paintOffset_ = offset; }
    // While the owner paints straight into a bitmap it shares with other
    // controls, the layers may change only the pixels inside this rectangle
    // of it; none: the whole bitmap is theirs.
    const std::optional<TRect>& GetPaintClip() const { return paintClip_; }
    void SetPaintClip(const std::optional<TRect>& clip) { paintClip_ = clip; }

    TNotifyEvent OnChanging;
    TNotifyEvent OnChange;
    TNotifyEvent OnGDIUpdate;
    std::function<void(TObject* sender, std::span<const TRect> areas)> OnAreaChanged;
    // The owner control's cursor, shown when the mouse is over no layer.
    std::function<TCursor()> OwnerCursor;

private:
    friend class TCustomLayer;
    void InsertItem(TCustomLayer* layer, std::unique_ptr<TCustomLayer> owned);
    std::unique_ptr<TCustomLayer> RemoveItem(TCustomLayer* layer);
    void DestroyLayer(TCustomLayer* layer);
    void MoveItem(TCustomLayer* layer, int index);
    TCustomLayer* StillHere(TCustomLayer* layer) const;

    const TCoordTransform* coordTransform_ = nullptr;
    std::vector<std::unique_ptr<TCustomLayer>> items_;
    bool mouseEvents_ = true;
    TCustomLayer* mouseListener_ = nullptr;
    int updateCount_ = 0;
    TPersistent* owner_;
    TPoint paintOffset_;
    std::optional<TRect> paintClip_;
};

// The base of every layer: options, index in the stack, hit test, paint
// and mouse hooks.
class TCustomLayer : public TPersistent {
public:
    TCustomLayer();
    ~TCustomLayer() override;
    TCustomLayer(const TCustomLayer&) = delete;
    TCustomLayer& operator=(const TCustomLayer&) = delete;

    // Runs OnDestroy; the collection calls it before it frees the layer.
    virtual void BeforeDestruction();

    TLayerCollection* GetLayerCollection() const { return collection_; }
    // The control holding the layer's collection, watched across a handler
    // that may free it, and the layer with it.
    thorn::ComponentWatch WatchHolder() const {
        return collection_ ? collection_->WatchHolder() : thorn::ComponentWatch(nullptr);
    }
    // Moves the layer into another collection (on top), or out of any.
    void SetLayerCollection(TLayerCollection* collection);
    TLayerCollection* GetOwner() const { return collection_; }
    int GetIndex() const;
    // Moves the layer to value (clamped to the stack); nothing without a collection.
    virtual void SetIndex(int value);
    void BringToFront();
    void SendToBack();

    uint32_t GetLayerOptions() const { return layerOptions_; }
    void SetLayerOptions(uint32_t value);
    bool GetVisible() const { return (layerOptions_ & kLayerVisible) != 0; }
    void SetVisible(bool value);
    bool GetMouseEvents() const { return (layerOptions_ & kLayerMouseEvents) != 0; }
    void SetMouseEvents(bool value);
    TLayerStates GetLayerStates() const { return layerStates_; }
    TCursor GetCursor() const { return cursor_; }
    void SetCursor(TCursor value);
    intptr_t GetTag() const { return tag_; }
    void SetTag(intptr_t value) { tag_ = value; }

    // Whether (x, y) in control coordinates belongs to the layer.
    bool HitTest(int x, int y);
    // Paints into the buffer: Paint, then OnPaint.
    void DoPaint(TBitmap32* buffer);
    // Whether painting the layer (Paint and OnPaint) changes only pixels
    // inside the collection's paint clip. Only the library's own classes
    // are known to: a derived class answers false unless it says otherwise,
    // and so does a layer with an OnPaint handler.
    virtual bool PaintsInsideClip() const;
    // The part of the control (control coordinates) that the layer's
    // painting covers, when it is known; none when it may paint anywhere.
    virtual std::optional<TRect> PaintArea() const { return std::nullopt; }
    virtual void PaintGDI(TCanvas* canvas) {}
    void SetAsMouseListener();

    // Asks to be told (Notification) when layer is destroyed; once only.
    void AddNotification(TCustomLayer* layer);
    void RemoveNotification(TCustomLayer* layer);

    // Reports a change to the collection (a repaint when visible). When
    // the layer knows where it paints, before the change (Changing) and
    // after it, only those parts are reported.
    void Changed();
    void Changing();

    // A new layer of the same class.
    virtual std::unique_ptr<TCustomLayer> NewInstance() const { return std::make_unique<TCustomLayer>(); }
    void Assign(const TPersistent& source) override;

    THitTestEvent OnHitTest;
    TLayerMouseEvent OnMouseDown;
    TLayerMouseMoveEvent OnMouseMove;
    TLayerMouseEvent OnMouseUp;
    TPaintLayerEvent OnPaint;
    TNotifyEvent OnDestroy;

protected:
    friend class TLayerCollection;
    virtual bool DoHitTest(int x, int y) { return true; }
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void Notification(TCustomLayer* layer) {}
    virtual void Paint(TBitmap32* buffer) {}
    // Copies this layer's settings into dest (a layer of the same class).
    virtual void AssignTo(TPersistent& dest) const override;

private:
    void ForgetNotifications();

    TCursor cursor_ = crDefault;
    std::vector<TCustomLayer*> freeNotifies_;  // layers to tell when this one goes
    std::vector<TCustomLayer*> watching_;      // layers that will tell this one
    TLayerCollection* collection_ = nullptr;
    TLayerStates layerStates_;
    uint32_t layerOptions_ = kLayerVisible;
    intptr_t tag_ = 0;
    bool destroying_ = false;
    // Between Changing and Changed: where the layer painted before.
    bool changing_ = false;
    std::optional<TRect> areaBefore_;
};

// A layer with a floating-point location that can follow the image's scale
// and offset.
class TPositionedLayer : public TCustomLayer {
public:
    TPositionedLayer();

    const TFloatRect& GetLocation() const { return location_; }
    void SetLocation(const TFloatRect& value);
    bool GetScaled() const { return scaled_; }
    void SetScaled(bool value);
    // The location in control pixels (Scaled: through the image's
    // transform); while the owner paints, in its buffer's coordinates.
    TFloatRect GetAdjustedLocation() const;
    // The location in control pixels, whatever is being painted.
    TFloatRect GetControlLocation() const;
    bool PaintsInsideClip() const override;

    std::unique_ptr<TCustomLayer> NewInstance() const override { return std::make_unique<TPositionedLayer>(); }

protected:
    bool DoHitTest(int x, int y) override;
    virtual void DoSetLocation(const TFloatRect& value) { location_ = value; }
    void AssignTo(TPersistent& dest) const override;

private:
    TFloatRect location_{0, 0, 64, 64};
    bool scaled_ = false;
};

// A positioned layer that paints its own bitmap stretched into its location.
class TBitmapLayer : public TPositionedLayer {
public:
    TBitmapLayer();
    ~TBitmapLayer() override;

    TBitmap32* GetBitmap() { return bitmap_.get(); }
    const TBitmap32* GetBitmap() const { return bitmap_.get(); }
    // Copies the pixels and settings of value into the layer's own bitmap.
    void SetBitmap(const TBitmap32& value);
    bool GetAlphaHitTest() const { return alphaHitTest_; }
    void SetAlphaHitTest(bool value) { alphaHitTest_ = value; }
    bool GetCropped() const { return cropped_; }
    void SetCropped(bool value);
    bool PaintsInsideClip() const override;
    // Its location, rounded as it is painted.
    std::optional<TRect> PaintArea() const override;

    std::unique_ptr<TCustomLayer> NewInstance() const override { return std::make_unique<TBitmapLayer>(); }

protected:
    bool DoHitTest(int x, int y) override;
    void Paint(TBitmap32* buffer) override;
    void AssignTo(TPersistent& dest) const override;

private:
    std::unique_ptr<TBitmap32> bitmap_;
    bool alphaHitTest_ = false;
    bool cropped_ = false;
};
