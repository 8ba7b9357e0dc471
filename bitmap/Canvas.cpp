#include "bitmap/Canvas.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <numbers>
#include <optional>
#include <vector>

#include "platform/Text.h"

namespace thorn {

namespace {

// The low 24 bits (red, green, blue) of a binary raster operation.
uint32_t Rop2(TPenMode mode, uint32_t pen, uint32_t dest) {
    switch (mode) {
        case pmBlack: return 0;
        case pmWhite: return 0xFFFFFF;
        case pmNop: return dest;
        case pmNot: return ~dest;
        case pmCopy: return pen;
        case pmNotCopy: return ~pen;
        case pmMergePenNot: return pen | ~dest;
        case pmMaskPenNot: return pen & ~dest;
        case pmMergeNotPen: return ~pen | dest;
        case pmMaskNotPen: return ~pen & dest;
        case pmMerge: return pen | dest;
        case pmNotMerge: return ~(pen | dest);
        case pmMask: return pen & dest;
        case pmNotMask: return ~(pen & dest);
        case pmXor: return pen ^ dest;
        case pmNotXor: return ~(pen ^ dest);
    }
    return pen;
}

// On and off runs of the dashed pens, in pixels.
std::span<const int> PenPattern(TPenStyle style) {
    static constexpr std::array<int, 2> dash{18, 6};
    static constexpr std::array<int, 2> dot{3, 3};
    static constexpr std::array<int, 4> dashDot{9, 6, 3, 6};
    static constexpr std::array<int, 6> dashDotDot{9, 3, 3, 3, 3, 3};
    switch (style) {
        case psDash: return dash;
        case psDot: return dot;
        case psDashDot: return dashDot;
        case psDashDotDot: return dashDotDot;
        default: return {};
    }
}

}  // namespace

}  // namespace thorn

// ---- pen and brush ----

void TPen::Changed() {
    if (OnChange) OnChange(this);
}
void TPen::SetColor(TColor value) {
    if (value != color_) color_ = value, Changed();
}
void TPen::SetWidth(int value) {
    value = std::max(1, value);
    if (value != width_) width_ = value, Changed();
}
void TPen::SetStyle(TPenStyle value) {
    if (value != style_) style_ = value, Changed();
}
void TPen::SetMode(TPenMode value) {
    if (value != mode_) mode_ = value, Changed();
}
void TPen::Assign(const TPersistent& source) {
    if (const auto* pen = dynamic_cast<const TPen*>(&source)) {
        color_ = pen->color_, width_ = pen->width_, style_ = pen->style_, mode_ = pen->mode_;
        Changed();
        return;
    }
    TPersistent::Assign(source);
}

void TBrush::Changed() {
    if (OnChange) OnChange(this);
}
void TBrush::SetColor(TColor value) {
    if (value == color_) return;
    color_ = value;
    if (style_ == bsClear) style_ = bsSolid;
    Changed();
}
void TBrush::SetStyle(TBrushStyle value) {
    if (value != style_) style_ = value, Changed();
}
void TBrush::Assign(const TPersistent& source) {
    if (const auto* brush = dynamic_cast<const TBrush*>(&source)) {
        color_ = brush->color_, style_ = brush->style_;
        Changed();
        return;
    }
    TPersistent::Assign(source);
}

// ---- canvas ----

void TCanvas::SetTarget(TBitmap32* target) {
    target_ = target;
    origin_ = {};
    clip_ = target ? target->BoundsRect() : TRect{};
}

void TCanvas::SetPlacement(TBitmap32* target, TPoint origin, const TRect& deviceClip) {
    target_ = target;
    origin_ = origin;
    clip_ = {};
    if (target) IntersectRect(clip_, deviceClip, target->BoundsRect());
}

TRect TCanvas::GetClipRect() const {
    return {clip_.Left - origin_.X, clip_.Top - origin_.Y, clip_.Right - origin_.X, clip_.Bottom - origin_.Y};
}

void TCanvas::SetClipRect(const TRect& logical) {
    TRect bounds = target_ ? target_->BoundsRect() : TRect{};
    TRect device{logical.Left + origin_.X, logical.Top + origin_.Y, logical.Right + origin_.X,
                 logical.Bottom + origin_.Y};
    IntersectRect(clip_, device, bounds);
}

void TCanvas::IntersectClipRect(const TRect& logical) {
    TRect device{logical.Left + origin_.X, logical.Top + origin_.Y, logical.Right + origin_.X,
                 logical.Bottom + origin_.Y};
    IntersectRect(clip_, clip_, device);
}

TRect TCanvas::DeviceRect(const TRect& logical) const {
    TRect device{logical.Left + origin_.X, logical.Top + origin_.Y, logical.Right + origin_.X,
                 logical.Bottom + origin_.Y};
    TRect clipped;
    if (!target_ || !IntersectRect(clipped, device, clip_)) return {};
    return clipped;
}

void TCanvas::Changed() {
    if (OnChange) OnChange(this);
}

void TCanvas::FillDevice(int x1, int y1, int x2, int y2, TColor32 color) {
    // Already clipped; the canvas reports its own change once.
    for (int y = y1; y < y2; ++y) std::fill(target_->PixelPtr(x1, y), target_->PixelPtr(x2, y), color);
}

void TCanvas::WritePixel(int dx, int dy, uint32_t rgb, TPenMode mode) {
    if (dx < clip_.Left || dx >= clip_.Right || dy < clip_.Top || dy >= clip_.Bottom) return;
    TColor32& p = *target_->PixelPtr(dx, dy);
    p = 0xFF000000u | (thorn::Rop2(mode, rgb, p & 0xFFFFFF) & 0xFFFFFF);
}

void TCanvas::PlotPen(int x, int y) {
    std::span<const int> pattern = thorn::PenPattern(pen_.GetStyle());
    if (!pattern.empty()) {
        // Walk the on/off pattern one pixel at a time.
        int total = 0;
        for (int n : pattern) total += n;
        int pos = patternPos_ % total;
        ++patternPos_;
        int acc = 0;
        bool on = false;
        for (size_t i = 0; i < pattern.size(); ++i) {
            acc += pattern[i];
            if (pos < acc) {
                on = i % 2 == 0;
                break;
            }
        }
        if (!on) return;
    }
    uint32_t rgb = thorn::CanvasColor(pen_.GetColor()) & 0xFFFFFF;
    int w = pen_.GetWidth();
    int dx = x + origin_.X, dy = y + origin_.Y;
    if (w <= 1) {
        WritePixel(dx, dy, rgb, pen_.GetMode());
        return;
    }
    int half = (w - 1) / 2;
    for (int yy = dy - half; yy < dy - half + w; ++yy)
        for (int xx = dx - half; xx < dx - half + w; ++xx) WritePixel(xx, yy, rgb, pen_.GetMode());
}

void TCanvas::DrawLine(int x1, int y1, int x2, int y2) {
    if (!target_ || pen_.GetStyle() == psClear) return;
    // Bresenham, leaving out the last point.
    int dx = std::abs(x2 - x1), sx = x1 < x2 ? 1 : -1;
    int dy = -std::abs(y2 - y1), sy = y1 < y2 ? 1 : -1;
    int err = dx + dy;
    int x = x1, y = y1;
    while (x != x2 || y != y2) {
        PlotPen(x, y);
        int e2 = 2 * err;
        if (e2 >= dy) err += dy, x += sx;
        if (e2 <= dx) err += dx, y += sy;
    }
}

void TCanvas::MoveTo(int x, int y) { penPos_ = {x, y}; }

void TCanvas::LineTo(int x, int y) {
    RequiredState();
    patternPos_ = 0;
    DrawLine(penPos_.X, penPos_.Y, x, y);
    penPos_ = {x, y};
    Changed();
}

void TCanvas::Polyline(std::span<const TPoint> points) {
    if (points.empty()) return;
    RequiredState();
    patternPos_ = 0;
    for (size_t i = 1; i < points.size(); ++i) DrawLine(points[i - 1].X, points[i - 1].Y, points[i].X, points[i].Y);
    penPos_ = points.back();
    Changed();
}

void TCanvas::Polygon(std::span<const TPoint> points) {
    if (points.size() < 2) return;
    RequiredState();
    if (target_ && brush_.GetStyle() != bsClear) {
        // Alternate fill of the pixels whose own point lies inside, the
        // points the outline's lines run through: a pixel is the point of
        // its coordinates, as for the pen, so the fill meets the outline
        // without a gap or a pixel over it.
        int top = points[0].Y, bottom = points[0].Y;
        for (const TPoint& p : points) top = std::min(top, p.Y), bottom = std::max(bottom, p.Y);
        TColor32 c = thorn::CanvasColor(brush_.GetColor());
        std::vector<double> xs;
        for (int y = top; y < bottom; ++y) {
            xs.clear();
            for (size_t i = 0; i < points.size(); ++i) {
                const TPoint& a = points[i];
                const TPoint& b = points[(i + 1) % points.size()];
                if ((a.Y <= y) == (b.Y <= y)) continue;
                xs.push_back(a.X + (y - a.Y) * (b.X - a.X) / static_cast<double>(b.Y - a.Y));
            }
            std::sort(xs.begin(), xs.end());
            for (size_t i = 0; i + 1 < xs.size(); i += 2) {
                int from = static_cast<int>(std::ceil(xs[i]));
                int to = static_cast<int>(std::ceil(xs[i + 1]));
                TRect row = DeviceRect({from, y, to, y + 1});
                if (!IsRectEmpty(row)) FillDevice(row.Left, row.Top, row.Right, row.Bottom, c);
            }
        }
    }
    patternPos_ = 0;
    for (size_t i = 0; i < points.size(); ++i) {
        const TPoint& a = points[i];
        const TPoint& b = points[(i + 1) % points.size()];
        DrawLine(a.X, a.Y, b.X, b.Y);
    }
    Changed();
}

void TCanvas::HatchRect(const TRect& device, TColor color, TBrushStyle style) {
    uint32_t rgb = thorn::CanvasColor(color) & 0xFFFFFF;
    for (int y = device.Top; y < device.Bottom; ++y) {
        for (int x = device.Left; x < device.Right; ++x) {
            int hx = x & 7, hy = y & 7;
            bool hit = false;
            switch (style) {
                case bsHorizontal: hit = hy == 0; break;
                case bsVertical: hit = hx == 0; break;
                case bsFDiagonal: hit = hx == hy; break;
                case bsBDiagonal: hit = hx == 7 - hy; break;
                case bsCross: hit = hx == 0 || hy == 0; break;
                case bsDiagCross: hit = hx == hy || hx == 7 - hy; break;
                default: break;
            }
            if (hit) WritePixel(x, y, rgb, pmCopy);
        }
    }
}

void TCanvas::FillRect(const TRect& r) {
    RequiredState();
    if (brush_.GetStyle() == bsClear) return;
    TRect d = DeviceRect(r);
    if (IsRectEmpty(d)) return;
    if (brush_.GetStyle() == bsSolid)
        FillDevice(d.Left, d.Top, d.Right, d.Bottom, thorn::CanvasColor(brush_.GetColor()));
    else
        HatchRect(d, brush_.GetColor(), brush_.GetStyle());
    Changed();
}

void TCanvas::FillColor(const TRect& r, TColor color) {
    RequiredState();
    TRect d = DeviceRect(r);
    if (IsRectEmpty(d)) return;
    FillDevice(d.Left, d.Top, d.Right, d.Bottom, thorn::CanvasColor(color));
    Changed();
}

void TCanvas::FrameRect(const TRect& r) {
    RequiredState();
    if (r.Right <= r.Left || r.Bottom <= r.Top || brush_.GetStyle() == bsClear) return;
    TColor c = brush_.GetColor();
    FillColor({r.Left, r.Top, r.Right, r.Top + 1}, c);
    FillColor({r.Left, r.Bottom - 1, r.Right, r.Bottom}, c);
    FillColor({r.Left, r.Top, r.Left + 1, r.Bottom}, c);
    FillColor({r.Right - 1, r.Top, r.Right, r.Bottom}, c);
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    RequiredState();
    if (x2 < x1) std::swap(x1, x2);
    if (y2 < y1) std::swap(y1, y2);
    bool pen = pen_.GetStyle() != psClear;
    if (brush_.GetStyle() != bsClear) {
        TRect inner = pen ? TRect{x1 + 1, y1 + 1, x2 - 1, y2 - 1} : TRect{x1, y1, x2 - 1, y2 - 1};
        TRect d = DeviceRect(inner);
        if (!IsRectEmpty(d)) {
            if (brush_.GetStyle() == bsSolid)
                FillDevice(d.Left, d.Top, d.Right, d.Bottom, thorn::CanvasColor(brush_.GetColor()));
            else
                HatchRect(d, brush_.GetColor(), brush_.GetStyle());
        }
    }
    if (pen && x2 > x1 && y2 > y1) {
        patternPos_ = 0;
        DrawLine(x1, y1, x2 - 1, y1);
        DrawLine(x2 - 1, y1, x2 - 1, y2 - 1);
        DrawLine(x2 - 1, y2 - 1, x1, y2 - 1);
        DrawLine(x1, y2 - 1, x1, y1);
    }
    Changed();
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    RequiredState();
    if (x2 < x1) std::swap(x1, x2);
    if (y2 < y1) std::swap(y1, y2);
    if (!target_ || x2 - x1 < 1 || y2 - y1 < 1) return;
    double cx = (x1 + x2) / 2.0, cy = (y1 + y2) / 2.0;
    double rx = (x2 - x1) / 2.0, ry = (y2 - y1) / 2.0;
    // Horizontal extent of each row, measured at pixel centres.
    auto span = [&](int y, int& from, int& to) {
        double t = (y + 0.5 - cy) / ry;
        double w = t * t >= 1 ? 0 : rx * std::sqrt(1 - t * t);
        from = static_cast<int>(std::lround(cx - w));
        to = static_cast<int>(std::lround(cx + w));
    };
    if (brush_.GetStyle() != bsClear) {
        TColor32 c = thorn::CanvasColor(brush_.GetColor());
        for (int y = y1; y < y2; ++y) {
            int from, to;
            span(y, from, to);
            TRect d = DeviceRect({from, y, to, y + 1});
            if (!IsRectEmpty(d)) FillDevice(d.Left, d.Top, d.Right, d.Bottom, c);
        }
    }
    if (pen_.GetStyle() != psClear) {
        uint32_t rgb = thorn::CanvasColor(pen_.GetColor()) & 0xFFFFFF;
        int prevFrom = 0, prevTo = 0;
        for (int y = y1; y < y2; ++y) {
            int from, to;
            span(y, from, to);
            if (to <= from) continue;
            // The row's ends, widened to meet the previous row so the outline has no gaps.
            int leftEnd = y == y1 ? to : std::min(to, std::max(from + 1, prevFrom));
            int rightStart = y == y1 ? from : std::max(from, std::min(to - 1, prevTo));
            for (int x = from; x < leftEnd; ++x) WritePixel(x + origin_.X, y + origin_.Y, rgb, pen_.GetMode());
            for (int x = std::max(rightStart, leftEnd); x < to; ++x)
                WritePixel(x + origin_.X, y + origin_.Y, rgb, pen_.GetMode());
            prevFrom = from, prevTo = to;
        }
        // Close the bottom row.
        for (int y = y2 - 1; y >= y1; --y) {
            int from, to;
            span(y, from, to);
            if (to <= from) continue;
            for (int x = from; x < to; ++x) WritePixel(x + origin_.X, y + origin_.Y, rgb, pen_.GetMode());
            break;
        }
    }
    Changed();
}

namespace {

// Points along the arc of the ellipse centred at (cx, cy) with radii rx, ry
// from angle from to angle to (counter-clockwise on the screen, radians),
// close enough that the chords stay within about a pixel of the curve.
void AppendArc(std::vector<TPoint>& points, double cx, double cy, double rx, double ry, double from, double to) {
    const int steps = std::max(1, static_cast<int>(std::ceil(std::abs(to - from) * std::max(rx, ry) / 2)));
    for (int i = 0; i <= steps; ++i) {
        const double angle = from + (to - from) * i / steps;
        points.push_back({static_cast<int>(std::lround(cx + rx * std::cos(angle))),
                          static_cast<int>(std::lround(cy - ry * std::sin(angle)))});
    }
}

}  // namespace

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int w, int h) {
    if (x2 < x1) std::swap(x1, x2);
    if (y2 < y1) std::swap(y1, y2);
    // The outline runs through the outermost pixels, as Rectangle's does.
    const double left = x1, top = y1, right = x2 - 1, bottom = y2 - 1;
    const double rx = std::clamp(w, 0, x2 - x1) / 2.0, ry = std::clamp(h, 0, y2 - y1) / 2.0;
    constexpr double kQuarter = std::numbers::pi / 2;
    std::vector<TPoint> points;
    AppendArc(points, right - rx, top + ry, rx, ry, 0, kQuarter);
    AppendArc(points, left + rx, top + ry, rx, ry, kQuarter, 2 * kQuarter);
    AppendArc(points, left + rx, bottom - ry, rx, ry, 2 * kQuarter, 3 * kQuarter);
    AppendArc(points, right - rx, bottom - ry, rx, ry, 3 * kQuarter, 4 * kQuarter);
    Polygon(points);
}

void TCanvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    if (x2 < x1) std::swap(x1, x2);
    if (y2 < y1) std::swap(y1, y2);
    // The outline runs through the outermost pixels, as Ellipse's does.
    const double cx = (x1 + x2 - 1) / 2.0, cy = (y1 + y2 - 1) / 2.0;
    const double rx = std::max(0, x2 - x1 - 1) / 2.0, ry = std::max(0, y2 - y1 - 1) / 2.0;
    // Angles on the screen, counter-clockwise from the right: y runs down.
    const double from = std::atan2(cy - y3, x3 - cx);
    double to = std::atan2(cy - y4, x4 - cx);
    if (to <= from) to += 2 * std::numbers::pi;
    std::vector<TPoint> points{{static_cast<int>(std::lround(cx)), static_cast<int>(std::lround(cy))}};
    AppendArc(points, cx, cy, rx, ry, from, to);
    Polygon(points);
}

void TCanvas::DrawFocusRect(const TRect& r) {
    RequiredState();
    if (!target_ || r.Right <= r.Left || r.Bottom <= r.Top) return;
    TRect d{r.Left + origin_.X, r.Top + origin_.Y, r.Right + origin_.X, r.Bottom + origin_.Y};
    auto invert = [&](int x, int y) {
        if ((x + y) % 2 != 0) return;
        WritePixel(x, y, 0xFFFFFF, pmXor);
    };
    for (int x = d.Left; x < d.Right; ++x) {
        invert(x, d.Top);
        if (d.Bottom - 1 != d.Top) invert(x, d.Bottom - 1);
    }
    for (int y = d.Top + 1; y < d.Bottom - 1; ++y) {
        invert(d.Left, y);
        if (d.Right - 1 != d.Left) invert(d.Right - 1, y);
    }
    Changed();
}

TColor TCanvas::GetPixel(int x, int y) const {
    int dx = x + origin_.X, dy = y + origin_.Y;
    if (!target_ || dx < 0 || dy < 0 || dx >= target_->Width() || dy >= target_->Height()) return clNone;
    return WinColor(target_->GetPixel(dx, dy));
}

void TCanvas::SetPixel(int x, int y, TColor color) {
    RequiredState();
    if (!target_) return;
    WritePixel(x + origin_.X, y + origin_.Y, thorn::CanvasColor(color) & 0xFFFFFF, pmCopy);
    Changed();
}

TSize TCanvas::TextExtent(std::string_view text) const { return thorn::TextExtent(font_, text); }

void TCanvas::TextOut(int x, int y, std::string_view text) {
    RequiredState();
    TSize extent = TextExtent(text);
    if (target_) {
        if (brush_.GetStyle() != bsClear) FillColor({x, y, x + extent.cx, y + extent.cy}, brush_.GetColor());
        TRect clip = clip_;
        thorn::TextOut(target_->PixelStore(), x + origin_.X, y + origin_.Y, font_, text, &clip);
    }
    penPos_ = {x + extent.cx, y};
    Changed();
}

void TCanvas::TurnedTextOut(int x, int y, std::string_view text, int escapement) {
    RequiredState();
    if (target_) {
        std::optional<TColor> background;
        if (brush_.GetStyle() != bsClear) background = brush_.GetColor();
        TRect clip = clip_;
        thorn::TurnedTextOut(target_->PixelStore(), x + origin_.X, y + origin_.Y, font_, text, escapement, &clip,
                             background);
    }
    Changed();
}

void TCanvas::TextRect(const TRect& r, int x, int y, std::string_view text) {
    RequiredState();
    if (!target_) return;
    if (brush_.GetStyle() != bsClear) FillColor(r, brush_.GetColor());
    TRect clip = DeviceRect(r);
    if (!IsRectEmpty(clip)) thorn::TextOut(target_->PixelStore(), x + origin_.X, y + origin_.Y, font_, text, &clip);
    Changed();
}

int TCanvas::DrawText(TRect& r, uint32_t format, std::string_view text) {
    RequiredState();
    std::optional<TColor> background;
    if (brush_.GetStyle() != bsClear) background = brush_.GetColor();
    TRect device{r.Left + origin_.X, r.Top + origin_.Y, r.Right + origin_.X, r.Bottom + origin_.Y};
    int height = 0;
    if (!target_ || (format & DT_CALCRECT)) {
        thorn::PixelView none;
        height = thorn::DrawText(target_ ? target_->PixelStore() : none, device, format | DT_CALCRECT, font_, text);
    } else {
        TRect area = (format & DT_NOCLIP) ? clip_ : DeviceRect(r);
        bool contained = (format & DT_NOCLIP) ? false
                                              : device.Left >= clip_.Left && device.Top >= clip_.Top &&
                                                    device.Right <= clip_.Right && device.Bottom <= clip_.Bottom;
        if (contained || (format & DT_NOCLIP && area == target_->BoundsRect())) {
            height = thorn::DrawText(target_->PixelStore(), device, format, font_, text, background);
        } else if (!IsRectEmpty(area)) {
            // Draw into a copy of the visible part only, so the text cannot
            // reach outside the clip, and copy it back.
            int w = area.Width(), h = area.Height();
            std::vector<uint32_t> scratch(static_cast<size_t>(w) * h);
            for (int y = 0; y < h; ++y)
                std::copy_n(target_->PixelPtr(area.Left, area.Top + y), w, scratch.data() + static_cast<size_t>(y) * w);
            TRect local{device.Left - area.Left, device.Top - area.Top, device.Right - area.Left,
                        device.Bottom - area.Top};
            height = thorn::DrawText({scratch.data(), w, h}, local, format, font_, text, background);
            for (int y = 0; y < h; ++y)
                std::copy_n(scratch.data() + static_cast<size_t>(y) * w, w, target_->PixelPtr(area.Left, area.Top + y));
            device = {local.Left + area.Left, local.Top + area.Top, local.Right + area.Left, local.Bottom + area.Top};
        } else {
            thorn::PixelView none;
            TRect measure = device;
            height = thorn::DrawText(none, measure, format | DT_CALCRECT, font_, text);
        }
    }
    if (format & DT_CALCRECT)
        r = {device.Left - origin_.X, device.Top - origin_.Y, device.Right - origin_.X, device.Bottom - origin_.Y};
    else
        Changed();
    return height;
}

void TCanvas::CopyRect(const TRect& dest, const TBitmap32& source, const TRect& sourceRect) {
    RequiredState();
    int dw = dest.Width(), dh = dest.Height(), sw = sourceRect.Width(), sh = sourceRect.Height();
    if (!target_ || source.Empty() || dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
    TRect d = DeviceRect(dest);
    if (IsRectEmpty(d)) return;
    int left = dest.Left + origin_.X, top = dest.Top + origin_.Y;
    bool sameSize = dw == sw && dh == sh;
    for (int y = d.Top; y < d.Bottom; ++y) {
        int sy = sourceRect.Top + static_cast<int>(static_cast<int64_t>(y - top) * sh / dh);
        if (sy < 0 || sy >= source.Height()) continue;
        TColor32* out = target_->PixelPtr(0, y);
        const TColor32* in = source.ScanLine(sy);
        if (sameSize) {
            int sx0 = sourceRect.Left + (d.Left - left);
            int from = std::max(d.Left, d.Left - sx0), to = std::min(d.Right, d.Left + (source.Width() - sx0));
            if (from < to) std::copy(in + sx0 + (from - d.Left), in + sx0 + (to - d.Left), out + from);
            continue;
        }
        for (int x = d.Left; x < d.Right; ++x) {
            int sx = sourceRect.Left + static_cast<int>(static_cast<int64_t>(x - left) * sw / dw);
            if (sx >= 0 && sx < source.Width()) out[x] = in[sx];
        }
    }
    Changed();
}

void TCanvas::CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect) {
    if (!source.target_) return;
    TRect device{sourceRect.Left + source.origin_.X, sourceRect.Top + source.origin_.Y,
                 sourceRect.Right + source.origin_.X, sourceRect.Bottom + source.origin_.Y};
    if (source.target_ == target_) {
        // Copy through a snapshot so overlapping areas read the old pixels.
        TBitmap32 copy;
        copy.SetSize(target_->Width(), target_->Height());
        std::copy_n(target_->Bits(), static_cast<size_t>(target_->Width()) * target_->Height(), copy.Bits());
        CopyRect(dest, copy, device);
        return;
    }
    CopyRect(dest, *source.target_, device);
}

void TCanvas::Draw(int x, int y, const TBitmap32& source) {
    CopyRect({x, y, x + source.Width(), y + source.Height()}, source, source.BoundsRect());
}

void TCanvas::StretchDraw(const TRect& dest, const TBitmap32& source) { CopyRect(dest, source, source.BoundsRect()); }
