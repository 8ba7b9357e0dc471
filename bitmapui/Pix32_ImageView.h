#pragma once

#include <cstdint>
#include <memory>

#include "bitmapui/Pix32_Image.h"
#include "bitmapui/Pix32_RangeBars.h"

// An image control with its own scroll bars: it pans a scaled bitmap inside
// the viewport, keeps a small picture centred, adds a margin around the
// picture, and can show a size grip in the corner between the bars.

enum TSizeGripStyle : uint8_t { sgAuto, sgNone, sgAlways };

class TCustomImgView32;

// The scroll bars' settings: appearance through the range-bar access, plus
// the step of the arrow buttons and the bars' thickness.
class TIVScrollProperties : public TArrowBarAccess {
public:
    explicit TIVScrollProperties(TCustomImgView32& view);

    // Read from the horizontal bar, written to both.
    TRBIncrement GetIncrement() const;
    void SetIncrement(TRBIncrement value);
    // The view's scroll-bar size (0: the platform's); writing lays the
    // bars out again.
    int32_t GetSize() const;
    void SetSize(int32_t value);

    void Assign(const TPersistent& source) override;

private:
    TCustomImgView32& view_;
};

class TCustomImgView32 : public TCustomImage32 {
public:
    TCustomImgView32();
    ~TCustomImgView32() override;

    bool GetCentered() const { return centered_; }
    void SetCentered(bool value);
    // The thickness of the bars: ScrollBarSize, or the platform's when 0.
    int32_t GetScrollBarSize() const;
    int32_t ScrollBarSize() const { return scrollBarSize_; }
    void SetScrollBarSize(int32_t value);
    TIVScrollProperties* GetScrollBars() const { return scrollBars_.get(); }
    void SetScrollBars(const TIVScrollProperties& value) { scrollBars_->Assign(value); }
    TSizeGripStyle GetSizeGrip() const { return sizeGrip_; }
    void SetSizeGrip(TSizeGripStyle value);
    // A margin around the picture, in bitmap pixels.
    int32_t GetOverSize() const { return overSize_; }
    void SetOverSize(int32_t value);
    TCustomRangeBar* GetHScroll() const { return hScroll_; }
    TCustomRangeBar* GetVScroll() const { return vScroll_; }

    // The client area less the bars.
    TRect GetViewportRect() const override;
    void AlignAll();
    // Moves both bars by (Dx, Dy) pixels of the scaled picture.
    void Scroll(int32_t Dx, int32_t Dy);
    // Brings bitmap point (X, Y) to the middle of the viewport.
    void ScrollToCenter(int32_t X, int32_t Y);
    bool IsSizeGripVisible() const;
    TRect GetSizeGripRect() const;

    void Loaded() override;

    TNotifyEvent OnScroll;

protected:
    using TCustomImage32::MouseDown;
    using TCustomImage32::MouseMove;
    using TCustomImage32::MouseUp;

    virtual void DoScroll();
    virtual void ScrollHandler(TObject* Sender);
    virtual void UpdateImage();
    virtual void UpdateScrollBars();
    virtual void DoDrawSizeGrip(TRect R);

    void BitmapResized() override;
    void DoScaleChange() override;
    void Resize() override;
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void CMMouseLeave() override;

private:
    bool InSizeGrip(int x, int y) const;
    // UpdateImage; false when a handler of OnChange freed the view.
    bool UpdateImageLives();
    // The margin in pixels of the scaled picture: where the picture starts
    // at bar position 0.
    int32_t ScaledMargin() const;

    bool centered_ = true;
    int32_t scrollBarSize_ = 0;
    std::unique_ptr<TIVScrollProperties> scrollBars_;
    TSizeGripStyle sizeGrip_ = sgAuto;
    int32_t overSize_ = 0;
    // Set while the view moves the bars itself.
    bool scrollLock_ = false;
    TCustomRangeBar* hScroll_ = nullptr;
    TCustomRangeBar* vScroll_ = nullptr;
    // Resizing the form by the grip: where the drag began.
    bool gripDragging_ = false;
    TPoint gripStart_;
    TSize gripFormSize_;
    bool gripCursor_ = false;
};

class TImgView32 : public TCustomImgView32 {};
