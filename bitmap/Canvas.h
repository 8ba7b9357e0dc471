#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "bitmap/Pix32.h"
#include "platform/Graphics.h"
#include "platform/Types.h"

enum TPenStyle : uint8_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
// How the pen's colour meets the pixels already there (the platform's binary
// raster operations).
enum TPenMode : uint8_t {
    pmBlack,
    pmWhite,
    pmNop,
    pmNot,
    pmCopy,
    pmNotCopy,
    pmMergePenNot,
    pmMaskPenNot,
    pmMergeNotPen,
    pmMaskNotPen,
    pmMerge,
    pmNotMerge,
    pmMask,
    pmNotMask,
    pmXor,
    pmNotXor
};
enum TBrushStyle : uint8_t { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

class TPen : public TPersistent {
public:
    TColor GetColor() const { return color_; }
    void SetColor(TColor value);
    int GetWidth() const { return width_; }
    // Below 1 is taken as 1.
    void SetWidth(int value);
    TPenStyle GetStyle() const { return style_; }
    void SetStyle(TPenStyle value);
    TPenMode GetMode() const { return mode_; }
    void SetMode(TPenMode value);
    void Assign(const TPersistent& source) override;

    TNotifyEvent OnChange;

private:
    void Changed();
    TColor color_ = clBlack;
    int width_ = 1;
    TPenStyle style_ = psSolid;
    TPenMode mode_ = pmCopy;
};

class TBrush : public TPersistent {
public:
    TColor GetColor() const { return color_; }
    void SetColor(TColor value);
    TBrushStyle GetStyle() const { return style_; }
    void SetStyle(TBrushStyle value);
    void Assign(const TPersistent& source) override;

    TNotifyEvent OnChange;

private:
    void Changed();
    TColor color_ = clWhite;
    TBrushStyle style_ = bsSolid;
};

// Drawing with pen, brush and font onto a TBitmap32: what the platform's
// drawing context gave. Coordinates are logical: the origin is added to
// reach the bitmap, and nothing is drawn outside the clip rectangle (bitmap
// coordinates). Shapes write opaque pixels (alpha 255); text blends into red,
// green and blue and leaves alpha as it was. Rectangles are half-open, and
// lines leave out their last point: the controls draw frames, grid lines
// and joined polylines edge to edge on that rule, each pixel once.
class TCanvas : public TPersistent {
public:
    TCanvas() = default;
    explicit TCanvas(TBitmap32* target) { SetTarget(target); }
    ~TCanvas() override = default;
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    // The bitmap drawn on; null draws nothing. The clip becomes the whole
    // bitmap and the origin (0, 0).
    void SetTarget(TBitmap32* target);
    TBitmap32* GetTarget() const { return target_; }
    // Whether drawing reaches pixels now.
    bool HandleAllocated() const { return target_ != nullptr; }

    TPoint GetOrigin() const { return origin_; }
    void SetOrigin(TPoint origin) { origin_ = origin; }
    // The clip in logical coordinates.
    TRect GetClipRect() const;
    // Sets the clip from logical coordinates, kept inside the bitmap.
    void SetClipRect(const TRect& logical);
    // Narrows the clip to a logical rectangle.
    void IntersectClipRect(const TRect& logical);
    // Target, origin and clip (bitmap coordinates) in one step.
    void SetPlacement(TBitmap32* target, TPoint origin, const TRect& deviceClip);
    TRect GetDeviceClip() const { return clip_; }
    // Binds the canvas to what it draws on now, as every drawing operation
    // does first (a control's canvas outside a paint finds its form's back
    // buffer); GetTarget, GetOrigin and GetDeviceClip then tell where.
    void BindTarget() { RequiredState(); }

    TPen& Pen() { return pen_; }
    TBrush& Brush() { return brush_; }
    TFont& Font() { return font_; }
    const TFont& Font() const { return font_; }
    void SetFont(const TFont& font) { font_.Assign(font); }
    TPoint GetPenPos() const { return penPos_; }
    void SetPenPos(TPoint p) { penPos_ = p; }

    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Polyline(std::span<const TPoint> points);
    void Polygon(std::span<const TPoint> points);
    void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    void Ellipse(int x1, int y1, int x2, int y2);
    // A rectangle whose corners are quarters of a w x h ellipse (at most the
    // rectangle's size), outlined with the pen and filled with the brush.
    void RoundRect(int x1, int y1, int x2, int y2, int w, int h);
    // The wedge of the ellipse in (x1, y1, x2, y2) that runs counter-clockwise
    // from the ray towards (x3, y3) to the ray towards (x4, y4), outlined with
    // the pen and filled with the brush; the whole ellipse when both rays
    // point the same way.
    void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void FillRect(const TRect& r);
    // A one-pixel frame in the brush colour.
    void FrameRect(const TRect& r);
    // A dotted frame that inverts the pixels under it; drawing it twice
    // restores them.
    void DrawFocusRect(const TRect& r);
    TColor GetPixel(int x, int y) const;
    void SetPixel(int x, int y, TColor color);

    // Text: the background (the brush, unless bsClear) fills behind it.
    void TextOut(int x, int y, std::string_view text);
    // One line of text turned counter-clockwise by escapement tenths of a
    // degree, centred on its baseline at (x, y); the brush (unless bsClear)
    // fills the turned text cell.
    void TurnedTextOut(int x, int y, std::string_view text, int escapement);
    void TextRect(const TRect& r, int x, int y, std::string_view text);
    // The platform's formatted text (DT_ flags of platform/Text.h); answers
    // the text height. DT_CALCRECT measures into r and draws nothing.
    int DrawText(TRect& r, uint32_t format, std::string_view text);
    TSize TextExtent(std::string_view text) const;
    int TextWidth(std::string_view text) const { return TextExtent(text).cx; }
    int TextHeight(std::string_view text) const { return TextExtent(text).cy; }

    // Copies a bitmap's pixels as they are (alpha is not honoured), at its
    // size or stretched by nearest pixel.
    void Draw(int x, int y, const TBitmap32& source);
    void StretchDraw(const TRect& dest, const TBitmap32& source);
    void CopyRect(const TRect& dest, const TBitmap32& source, const TRect& sourceRect);
    // Copies sourceRect of another canvas (in its logical coordinates).
    void CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect);

    // Fills a rectangle with a colour, without touching the brush.
    void FillColor(const TRect& r, TColor color);

    // After every drawing operation.
    TNotifyEvent OnChange;

protected:
    // Called before drawing so that a canvas can bind itself to its target.
    virtual void RequiredState() {}
    void Changed();
    // Bitmap coordinates of a logical rectangle, clipped.
    TRect DeviceRect(const TRect& logical) const;
    void PlotPen(int x, int y);
    void WritePixel(int dx, int dy, uint32_t rgb, TPenMode mode);
    void FillDevice(int x1, int y1, int x2, int y2, TColor32 color);

private:
    void DrawLine(int x1, int y1, int x2, int y2);
    void HatchRect(const TRect& device, TColor color, TBrushStyle style);

    TBitmap32* target_ = nullptr;
    TPoint origin_;
    TRect clip_;
    TPen pen_;
    TBrush brush_;
    TFont font_;
    TPoint penPos_;
    int patternPos_ = 0;
};

namespace thorn {
// A GUI colour as the opaque TColor32 a canvas writes.
inline TColor32 CanvasColor(TColor color) { return Color32(color); }
}  // namespace thorn
