#pragma once

#include <cstdint>
#include <functional>

#include "bitmapui/Pix32_Layers.h"
#include "platform/Graphics.h"
#include "platform/Sets.h"

// A positioned layer drawn as a frame with drag handles: the user moves it
// by its inside and resizes it by its edges and corners, within size
// limits. It can carry a child positioned layer whose location follows it.

enum TRBHandle : uint8_t { rhCenter, rhSides, rhCorners, rhFrame };
using TRBHandles = thorn::EnumSet<TRBHandle>;

enum TDragState : uint8_t {
    dsNone,
    dsMove,
    dsSizeL,
    dsSizeT,
    dsSizeR,
    dsSizeB,
    dsSizeTL,
    dsSizeTR,
    dsSizeBL,
    dsSizeBR,
};

// May change the new location of a drag before it is applied.
using TRBResizingEvent = std::function<void(TObject* sender, const TFloatRect& oldLocation, TFloatRect& newLocation,
                                            TDragState dragState, TShiftState shift)>;

class TRubberbandLayer : public TPositionedLayer {
public:
    TRubberbandLayer();
    ~TRubberbandLayer() override;

    // The layer that follows this one (not owned; forgotten when destroyed).
    TPositionedLayer* GetChildLayer() const { return childLayer_; }
    void SetChildLayer(TPositionedLayer* value);
    TColor GetHandleFrame() const { return handleFrame_; }
    void SetHandleFrame(TColor value);
    TColor GetHandleFill() const { return handleFill_; }
    void SetHandleFill(TColor value);
    TRBHandles GetHandles() const { return handles_; }
    void SetHandles(TRBHandles value);
    // Half the side of a handle; at least 1.
    int32_t GetHandleSize() const { return handleSize_; }
    void SetHandleSize(int32_t value);
    float GetMinWidth() const { return minWidth_; }
    void SetMinWidth(float value) { minWidth_ = value; }
    float GetMinHeight() const { return minHeight_; }
    void SetMinHeight(float value) { minHeight_ = value; }
    // 0 (below the minimum): no upper limit.
    float GetMaxWidth() const { return maxWidth_; }
    void SetMaxWidth(float value) { maxWidth_ = value; }
    float GetMaxHeight() const { return maxHeight_; }
    void SetMaxHeight(float value) { maxHeight_ = value; }

    bool IsDragging() const { return isDragging_; }
    TDragState DragState() const { return dragState_; }
    // What a press at (X, Y) in control coordinates would do.
    virtual TDragState GetDragState(int X, int Y);

    std::unique_ptr<TCustomLayer> NewInstance() const override { return std::make_unique<TRubberbandLayer>(); }

    TNotifyEvent OnUserChange;
    TRBResizingEvent OnResizing;

protected:
    virtual void DoResizing(const TFloatRect& OldLocation, TFloatRect& NewLocation, TDragState DragState,
                            TShiftState Shift);

    bool DoHitTest(int x, int y) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void Notification(TCustomLayer* layer) override;
    void Paint(TBitmap32* buffer) override;
    void DoSetLocation(const TFloatRect& value) override;
    void AssignTo(TPersistent& dest) const override;

private:
    // The adjusted location rounded, right and bottom inclusive.
    TRect FrameRect() const;
    void UpdateChildLayer();
    void Restyled();

    TPositionedLayer* childLayer_ = nullptr;
    TColor handleFrame_ = clBlack;
    TColor handleFill_ = clWhite;
    TRBHandles handles_{rhCenter, rhSides, rhCorners, rhFrame};
    int32_t handleSize_ = 3;
    float minWidth_ = 10;
    float minHeight_ = 10;
    float maxWidth_ = 0;
    float maxHeight_ = 0;
    bool isDragging_ = false;
    TDragState dragState_ = dsNone;
    TFloatRect oldLocation_;
    TFloatPoint mouseShift_;
};
