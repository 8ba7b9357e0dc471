#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "bitmap/Pix32.h"
#include "bitmap/Pix32_Layers.h"
#include "gui/Controls.h"
#include "platform/Collections.h"
#include "platform/Components.h"

// Controls that show bitmaps: a paint box with a back buffer, and the image
// control that shows one bitmap scaled and aligned with layers over it.

// ------------------------------------------------------------- paint stages

struct TPaintStage {
    bool DsgnTime = false;
    bool RunTime = true;
    uint32_t Stage = 0;
    uint32_t Parameter = 0;
};

// Stage kinds.
inline constexpr uint32_t PST_CUSTOM = 1;
inline constexpr uint32_t PST_CLEAR_BUFFER = 2;
inline constexpr uint32_t PST_CLEAR_BACKGND = 3;
inline constexpr uint32_t PST_DRAW_BITMAP = 4;
inline constexpr uint32_t PST_DRAW_LAYERS = 5;
inline constexpr uint32_t PST_CONTROL_FRAME = 6;
inline constexpr uint32_t PST_BITMAP_FRAME = 7;

class TPaintStages {
public:
    TPaintStages() = default;
    ~TPaintStages() { Clear(); }

    // Appends {run time only, stage 0}; answers it.
    TPaintStage* Add();
    // Puts that default record at index (clamped to 0 .. Count).
    TPaintStage* Insert(int index);
    // EListError "Invalid stage index" outside the list.
    void Delete(int index);
    void Clear() { stages_.clear(); }
    int GetCount() const { return static_cast<int>(stages_.size()); }
    // Unchecked, as the original.
    TPaintStage* Items(int index) { return &stages_[static_cast<size_t>(index)]; }

private:
    std::vector<TPaintStage> stages_;
};

enum TBitmapAlign : uint8_t { baTopLeft, baCenter, baTile, baCustom };
enum TScaleMode : uint8_t { smNormal, smStretch, smScale, smResize };
enum TPaintBoxOption : uint8_t { pboWantArrowKeys, pboAutoFocus };
using TPaintBoxOptions = thorn::EnumSet<TPaintBoxOption>;

// ------------------------------------------------------------- the paint box

// A control with a TBitmap32 back buffer: painting fills the buffer and then
// copies it to the screen in one step. Where a handler of the program draws
// into the buffer itself (HandlersDrawInBuffer), the buffer is the size of
// the control and its pixels are the control's. Otherwise it covers only
// the part of the control that can be seen (a large picture scrolled in a
// small window needs a small buffer); while it is being painted, the
// control's own painting draws in buffer coordinates, which start at
// GetBufferOrigin of the control.
//
// The form's own back buffer already keeps what is on the screen, so a
// control that knows it draws nothing outside the area being painted
// (CanPaintDirect) paints straight into it instead, saving a copy of every
// pixel, and gives its buffer's memory back. KeepBuffer keeps the buffer in
// use for code that reads or draws on it.
class TCustomPaintBox32 : public TCustomControl {
public:
    TCustomPaintBox32();
    ~TCustomPaintBox32() override;

    TBitmap32* GetBuffer() const { return buffer_.get(); }
    // The point of the control where the buffer's pixel (0, 0) lies.
    TPoint GetBufferOrigin() const { return bufferOrigin_; }
    int GetBufferOversize() const { return bufferOversize_; }
    void SetBufferOversize(int value) { bufferOversize_ = value < 0 ? 0 : value; }
    bool GetBufferValid() const { return bufferValid_; }
    void SetBufferValid(bool value) { bufferValid_ = value; }
    TPaintBoxOptions GetOptions() const { return options_; }
    void SetOptions(TPaintBoxOptions value) { options_ = value; }
    bool GetKeepBuffer() const { return keepBuffer_; }
    void SetKeepBuffer(bool value);
    // Whether the last paint went straight into the form's back buffer.
    bool GetPaintedDirect() const { return paintedDirect_; }

    // Copies the buffer to the screen now (all of it, or srcRect of it in
    // buffer coordinates); after a paint straight into the form's buffer,
    // shows that part of it again.
    void Flush();
    void Flush(const TRect& srcRect);
    void Invalidate() override;
    void SetBounds(int left, int top, int width, int height) override;
    void Loaded() override;
    // (0, 0, Width, Height).
    virtual TRect GetViewportRect() const;

    TNotifyEvent OnGDIOverlay;

protected:
    void Paint() override;
    void Resize() override;
    bool WMEraseBkgnd(TCanvas&) override { return true; }
    uint32_t WMGetDlgCode() override { return options_.Contains(pboWantArrowKeys) ? DLGC_WANTARROWS : 0; }
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    virtual void DoPaintBuffer();
    virtual void DoPaintGDIOverlay();
    // Whether the next paint may go straight into the bitmap the canvas
    // draws on; the base never does.
    virtual bool CanPaintDirect() const { return false; }
    // Whether an event handler draws into the buffer (in the control's
    // coordinates); the base has none.
    virtual bool HandlersDrawInBuffer() const { return false; }
    // Paints what the buffer would hold straight into target, where control
    // point p lies at p + origin, changing no pixel outside clip (target
    // coordinates).
    virtual void DoPaintDirect(TBitmap32& target, TPoint origin, const TRect& clip) {}
    // Keeps the buffer as large as the viewport, or as its visible part when
    // no handler draws into it, with some room to spare.
    void ResizeBuffer();
    // The part of the viewport that can be seen now, in control coordinates.
    TRect VisibleViewport() const;

private:
    void Blit(const TRect& bufferRect);
    bool UsesDirectPaint() const { return !keepBuffer_ && CanPaintDirect(); }
    // Paints the visible viewport straight into what the canvas draws on.
    void PaintDirect();
    void ReleaseBuffer();

    std::unique_ptr<TBitmap32> buffer_;
    TPoint bufferOrigin_;
    int bufferOversize_ = 40;
    bool bufferValid_ = false;
    bool keepBuffer_ = false;
    bool paintedDirect_ = false;
    TPaintBoxOptions options_;
};

// A paint box whose OnPaintBuffer paints the buffer on every paint, in the
// control's coordinates.
class TPaintBox32 : public TCustomPaintBox32 {
public:
    TNotifyEvent OnPaintBuffer;

protected:
    void DoPaintBuffer() override;
    bool HandlersDrawInBuffer() const override { return static_cast<bool>(OnPaintBuffer); }
};

// ---------------------------------------------------------- the image control

using TImgMouseEvent =
    std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y, TCustomLayer* layer)>;
using TImgMouseMoveEvent = std::function<void(TObject* sender, TShiftState shift, int x, int y, TCustomLayer* layer)>;
using TPaintStageEvent = std::function<void(TObject* sender, TBitmap32* buffer, uint32_t stageNum)>;
using TBitmapNeededEvent = std::function<void(TObject* sender, const TRect& part)>;

// One bitmap shown scaled and aligned, with layers over it; its mouse
// events name the layer under the cursor.
//
// Its picture may be composed lazily: OnBitmapNeeded is asked for a part of
// the bitmap (in the bitmap's own pixels) before anything reads that part,
// the part in sight before the stages draw it, all of it before GetBitmap
// hands the bitmap out, and brings it up to date there. What the handler
// draws then repaints nothing: the part is about to be shown, or was
// invalidated when its drawing was put off. The code that composes the
// picture draws through BitmapAsIs, which asks for nothing.
class TCustomImage32 : public TCustomPaintBox32 {
public:
    TCustomImage32();
    ~TCustomImage32() override;

    // The bitmap, every part of it up to date.
    TBitmap32* GetBitmap() const;
    // The bitmap as it is: parts of it may be owed to OnBitmapNeeded.
    TBitmap32* BitmapAsIs() const { return bitmap_.get(); }
    // Copies value into the owned bitmap.
    void SetBitmap(const TBitmap32& value);
    TBitmapAlign GetBitmapAlign() const { return bitmapAlign_; }
    void SetBitmapAlign(TBitmapAlign value);
    TLayerCollection* GetLayers() const { return layers_.get(); }
    void SetLayers(const TLayerCollection& value) { layers_->Assign(value); }
    float GetOffsetHorz() const { return offsetHorz_; }
    void SetOffsetHorz(float value);
    float GetOffsetVert() const { return offsetVert_; }
    void SetOffsetVert(float value);
    TPaintStages* GetPaintStages() const { return paintStages_.get(); }
    float GetScale() const { return scale_; }
    // Below 0.001 is taken as 0.001.
    void SetScale(float value);
    TScaleMode GetScaleMode() const { return scaleMode_; }
    void SetScaleMode(TScaleMode value);
    TPixelCombineEvent GetOnPixelCombine() const { return bitmap_->OnPixelCombine; }
    void SetOnPixelCombine(TPixelCombineEvent value);
    bool GetPaintToMode() const { return paintToMode_; }
    const TRect& GetCachedBitmapRect() const { return cachedBitmapRect_; }
    const TCoordTransform& GetCachedTransform() const { return cachedTransform_; }

    // Sizes the bitmap to the viewport (and clears it with doClear).
    void SetupBitmap(bool doClear = false, TColor32 clearColor = 0xFF000000u);
    virtual void BeginUpdate();
    // Throws EInvalidOperation "Unpaired EndUpdate call" without a BeginUpdate.
    virtual void EndUpdate();
    // Repaints and runs OnChange, unless an update is open.
    virtual void Changed();
    // The same when the bitmap changed only within part (in its own
    // pixels): only where the control shows that part is painted again.
    void BitmapAreaChanged(const TRect& part);
    void Invalidate() override;
    void InvalidateCache() { cacheValid_ = false; }
    void Loaded() override;

    // The size and place of the bitmap inside the control.
    virtual TSize GetBitmapSize() const;
    virtual TRect GetBitmapRect() const;
    TPoint BitmapToControl(TPoint p);
    TPoint ControlToBitmap(TPoint p);
    // Paints the image (the run-time stages) into another bitmap's rectangle.
    void PaintTo(TBitmap32* dest, const TRect& destRect);

    TNotifyEvent OnBitmapResize;
    TNotifyEvent OnChange;
    TNotifyEvent OnInitStages;
    TImgMouseEvent OnMouseDown;
    TImgMouseMoveEvent OnMouseMove;
    TImgMouseEvent OnMouseUp;
    TPaintStageEvent OnPaintStage;
    TBitmapNeededEvent OnBitmapNeeded;

protected:
    using TCustomPaintBox32::MouseDown;
    using TCustomPaintBox32::MouseMove;
    using TCustomPaintBox32::MouseUp;

    virtual void BitmapResized();
    virtual void DoInitStages();
    virtual void DoScaleChange() {}
    virtual void InitDefaultStages();
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y, TCustomLayer* layer);
    virtual void MouseMove(TShiftState shift, int x, int y, TCustomLayer* layer);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y, TCustomLayer* layer);
    virtual void ExecBitmapFrame(TBitmap32* dest, uint32_t stageNum);
    virtual void ExecClearBuffer(TBitmap32* dest, uint32_t stageNum);
    virtual void ExecClearBackgnd(TBitmap32* dest, uint32_t stageNum);
    virtual void ExecControlFrame(TBitmap32* dest, uint32_t stageNum);
    virtual void ExecCustom(TBitmap32* dest, uint32_t stageNum);
    virtual void ExecDrawBitmap(TBitmap32* dest, uint32_t stageNum);
    virtual void ExecDrawLayers(TBitmap32* dest, uint32_t stageNum);

    bool CanAutoSize(int& newWidth, int& newHeight) override;
    void Resize() override;
    void DoPaintBuffer() override;
    // At run time, when every stage that runs keeps to the area being
    // painted: the built-in stages do, a custom stage with an OnPaintStage
    // handler and the frames do not, and the layers answer for themselves.
    // A derived class whose Exec methods draw elsewhere answers false.
    bool CanPaintDirect() const override;
    // OnPaintStage of a custom stage, or OnPaint of a layer.
    bool HandlersDrawInBuffer() const override;
    void DoPaintDirect(TBitmap32& target, TPoint origin, const TRect& clip) override;
    // After the buffer is shown: PaintGDI of every layer with the GDI
    // overlay option, bottom to top, then OnGDIOverlay.
    void DoPaintGDIOverlay() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void CMMouseLeave() override;

    // Builds the cached bitmap rectangle and transform when they are stale.
    void UpdateCache();
    // The point of the control at dest's (0, 0) while the stages paint:
    // (0, 0) in PaintTo, the buffer's origin, or minus where the control
    // lies in the form's buffer.
    TPoint PaintOffset() const;
    // The part of dest the stages may change.
    TRect PaintClip(const TBitmap32& dest) const;

private:
    void RunStage(TBitmap32* dest, uint32_t index);
    // A visible layer changed only these parts of the control: they are
    // painted again, not the whole control.
    void LayerAreasChanged(std::span<const TRect> areas);
    // dest cleared to color: all of it, or the part being painted.
    void ClearWithin(TBitmap32* dest, TColor32 color);
    // The bitmap stretched into r of dest, inside clip.
    void DrawBitmapInto(TBitmap32* dest, const TRect& r, const TRect& clip);
    // OnBitmapNeeded for the part of the bitmap (clipped to it), once at a
    // time, changes kept from repainting the control.
    void BringUpToDate(const TRect& part) const;
    // The part of the bitmap that drawing it stretched into r reads for the
    // pixels inside clip, with room for the filter's reach.
    TRect BitmapPartFor(const TRect& r, const TRect& clip) const;

    std::unique_ptr<TBitmap32> bitmap_;
    TBitmapAlign bitmapAlign_ = baTopLeft;
    std::unique_ptr<TLayerCollection> layers_;
    float offsetHorz_ = 0;
    float offsetVert_ = 0;
    std::unique_ptr<TPaintStages> paintStages_;
    float scale_ = 1.0f;
    TScaleMode scaleMode_ = smNormal;
    int updateCount_ = 0;
    TRect cachedBitmapRect_;
    TCoordTransform cachedTransform_;
    bool cacheValid_ = false;
    bool paintToMode_ = false;
    // Set while painting straight into the form's buffer.
    std::optional<TPoint> directOffset_;
    // Set while painting: the part of the target the stages may change.
    std::optional<TRect> directClip_;
    mutable bool bringingUpToDate_ = false;
};

class TImage32 : public TCustomImage32 {};

// ------------------------------------------------------------- bitmap lists

// A collection item owning one bitmap.
class TBitmap32Item : public TCollectionItem {
public:
    TBitmap32Item();
    ~TBitmap32Item() override;
    TBitmap32* GetBitmap() const { return bitmap_.get(); }
    // Copies value into the owned bitmap; the object stays the same.
    void SetBitmap(const TBitmap32& value) { bitmap_->Assign(value); }
    void Assign(const TPersistent& source) override;

private:
    std::unique_ptr<TBitmap32> bitmap_;
};

class TBitmap32Collection : public TOwnedCollection {
public:
    TBitmap32Collection(TPersistent* owner, ItemFactory itemClass)
        : TOwnedCollection(owner, std::move(itemClass)) {}
    TBitmap32Item* Add() { return static_cast<TBitmap32Item*>(TCollection::Add()); }
    TBitmap32Item* GetItem(int index) const { return static_cast<TBitmap32Item*>(TCollection::GetItem(index)); }
    void SetItem(int index, const TBitmap32Item& value) { TCollection::SetItem(index, value); }
};

// A component holding numbered pictures.
class TBitmap32List : public TComponent {
public:
    TBitmap32List();
    ~TBitmap32List() override;

    // The bitmap of item index (EListError outside the list).
    TBitmap32* GetBitmap(int index) const { return bitmaps_->GetItem(index)->GetBitmap(); }
    // Copies value into the bitmap of item index.
    void SetBitmap(int index, const TBitmap32& value) { bitmaps_->GetItem(index)->SetBitmap(value); }
    TBitmap32Collection* GetBitmaps() const { return bitmaps_.get(); }
    // Copies the items of value: the list keeps its own collection.
    void SetBitmaps(const TBitmap32Collection& value) { bitmaps_->Assign(value); }

    // The stored form: an int32 count, then each bitmap's "Data" stream.
    // Reading checks the count against the bytes left and replaces the
    // items only when the whole stream was read (EReadError otherwise).
    void WriteToStream(TStream& stream) const;
    void ReadFromStream(TStream& stream);
    // The stored form as "Bitmaps", when the list holds any.
    void DefineProperties(TFiler& filer) override;

private:
    std::unique_ptr<TBitmap32Collection> bitmaps_;
};
