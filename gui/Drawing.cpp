#include "gui/Drawing.h"

#include <algorithm>

#include "platform/Text.h"

namespace thorn {
namespace {

constexpr TColor32 kRgbMask = 0x00FFFFFFu;

bool IsKey(TColor32 pixel, TColor32 key) { return ((pixel ^ key) & kRgbMask) == 0; }

// The part of a logical rectangle the canvas may draw on, in bitmap
// coordinates; empty when the canvas draws nowhere.
TRect Writable(TCanvas& canvas, const TRect& logical) {
    canvas.BindTarget();
    if (!canvas.GetTarget()) return {};
    TPoint o = canvas.GetOrigin();
    TRect device{logical.Left + o.X, logical.Top + o.Y, logical.Right + o.X, logical.Bottom + o.Y};
    TRect clipped;
    if (!IntersectRect(clipped, device, canvas.GetDeviceClip())) return {};
    return clipped;
}

// Calls put(deviceX, deviceY, sourceX, sourceY) for every pixel of source
// that lands on the writable part of the canvas at (x, y); the canvas is
// bound to its target by then.
template <typename Put>
void ForEachPixel(TCanvas& canvas, int x, int y, const TBitmap32& bitmap, TRect source, Put put) {
    TRect inBitmap;
    if (!IntersectRect(inBitmap, source, bitmap.BoundsRect())) return;
    x += inBitmap.Left - source.Left;
    y += inBitmap.Top - source.Top;
    TRect d = Writable(canvas, {x, y, x + inBitmap.Width(), y + inBitmap.Height()});
    if (IsRectEmpty(d)) return;
    TPoint o = canvas.GetOrigin();
    int dx = inBitmap.Left - (x + o.X), dy = inBitmap.Top - (y + o.Y);
    for (int py = d.Top; py < d.Bottom; ++py)
        for (int px = d.Left; px < d.Right; ++px) put(px, py, px + dx, py + dy);
}

}  // namespace

TColor32 DefaultTransparentColor(const TBitmap32& bitmap) {
    return bitmap.Empty() ? 0 : bitmap.GetPixel(0, bitmap.Height() - 1);
}

void DrawTransparentBitmap(TCanvas& canvas, int x, int y, const TBitmap32& bitmap, const TRect& source,
                           TColor32 key) {
    ForEachPixel(canvas, x, y, bitmap, source, [&](int px, int py, int sx, int sy) {
        TColor32 pixel = bitmap.GetPixel(sx, sy);
        if (!IsKey(pixel, key)) canvas.GetTarget()->SetPixel(px, py, pixel | 0xFF000000u);
    });
}

void DrawTransparentBitmap(TCanvas& canvas, int x, int y, const TBitmap32& bitmap, TColor32 key) {
    DrawTransparentBitmap(canvas, x, y, bitmap, bitmap.BoundsRect(), key);
}

void FillDithered(TCanvas& canvas, const TRect& r, TColor first, TColor second) {
    TRect d = Writable(canvas, r);
    if (IsRectEmpty(d)) return;
    TBitmap32& target = *canvas.GetTarget();
    const TColor32 colors[2] = {CanvasColor(first), CanvasColor(second)};
    for (int y = d.Top; y < d.Bottom; ++y) {
        TColor32* row = target.ScanLine(y);
        for (int x = d.Left; x < d.Right; ++x) row[x] = colors[(x + y) & 1];
    }
}

void DrawDisabledText(TCanvas& canvas, const TRect& r, uint32_t format, std::string_view text) {
    TBrushStyle brushStyle = canvas.Brush().GetStyle();
    TColor color = canvas.Font().GetColor();
    canvas.Brush().SetStyle(bsClear);
    TRect shifted{r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1};
    canvas.Font().SetColor(clBtnHighlight);
    canvas.DrawText(shifted, format & ~DT_CALCRECT, text);
    TRect inPlace = r;
    canvas.Font().SetColor(clBtnShadow);
    canvas.DrawText(inPlace, format & ~DT_CALCRECT, text);
    canvas.Font().SetColor(color);
    canvas.Brush().SetStyle(brushStyle);
}

void DrawDisabledBitmap(TCanvas& canvas, int x, int y, const TBitmap32& bitmap, const TRect& source, TColor32 key) {
    auto ink = [&](TColor32 pixel) {
        if (IsKey(pixel, key)) return false;
        int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
        return r + g + b < 3 * 0xC0;
    };
    for (auto [color, shift] : {std::pair{clBtnHighlight, 1}, std::pair{clBtnShadow, 0}}) {
        TColor32 paint = CanvasColor(color);
        ForEachPixel(canvas, x + shift, y + shift, bitmap, source, [&](int px, int py, int sx, int sy) {
            if (ink(bitmap.GetPixel(sx, sy))) canvas.GetTarget()->SetPixel(px, py, paint);
        });
    }
}

}  // namespace thorn
