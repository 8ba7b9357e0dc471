// Drawing on a bitmap: single pixels and sub-pixel splats, runs, lines in
// plain, blended, anti-aliased and stippled forms, rectangles.
#include <algorithm>
#include <cmath>
#include <limits>

#include "bitmap/Pix32.h"
#include "bitmap/Pix32_Blend.h"
#include "bitmap/Pix32_DrawingEx.h"
#include "bitmap/Pix32_LowLevel.h"

namespace {

using thorn::RoundToInt;

// size * 65536, kept inside int32 for very large bitmaps.
int32_t FixedSide(int32_t size) {
    return static_cast<int32_t>(std::min<int64_t>(int64_t{size} * 65536, std::numeric_limits<int32_t>::max()));
}

// The integer line walk: calls put(x, y) for every pixel of the line from
// (x1, y1) towards (x2, y2), the end point only when last.
template <typename Put, typename Horz, typename Vert>
void WalkLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, bool last, Put put, Horz horz, Vert vert) {
    int64_t dx = int64_t{x2} - x1, dy = int64_t{y2} - y1;
    if (dx == 0) {
        if (dy > 0)
            vert(x1, y1, y2 - 1);
        else if (dy < 0)
            vert(x1, y2 + 1, y1);
        if (last) put(x2, y2);
        return;
    }
    int32_t sx = dx > 0 ? 1 : -1;
    dx = dx < 0 ? -dx : dx;
    if (dy == 0) {
        if (x2 > x1)
            horz(x1, y1, x2 - 1);
        else
            horz(x2 + 1, y1, x1);
        if (last) put(x2, y2);
        return;
    }
    int32_t sy = dy > 0 ? 1 : -1;
    dy = dy < 0 ? -dy : dy;
    int32_t x = x1, y = y1;
    if (dx > dy) {
        int64_t delta = dx >> 1;
        for (int64_t i = 0; i < dx; ++i) {
            put(x, y);
            x += sx;
            delta += dy;
            if (delta > dx) {
                y += sy;
                delta -= dx;
            }
        }
    } else {
        int64_t delta = dy >> 1;
        for (int64_t i = 0; i < dy; ++i) {
            put(x, y);
            y += sy;
            delta += dx;
            if (delta > dy) {
                x += sx;
                delta -= dy;
            }
        }
    }
    if (last) put(x, y);
}

}  // namespace

// ------------------------------------------------------------ single pixels

TColor32 TBitmap32::GetPixelS(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= Width_ || y >= Height_ || Empty()) return outerColor_;
    return GetPixel(x, y);
}

void TBitmap32::SetPixelS(int32_t x, int32_t y, TColor32 value) {
    if (x < 0 || y < 0 || x >= Width_ || y >= Height_ || Empty()) return;
    SetPixel(x, y, value);
}

TColor32 TBitmap32::GetPixelB(int32_t x, int32_t y) const {
    if (Empty()) return outerColor_;
    return GetPixel(std::clamp(x, 0, Width_ - 1), std::clamp(y, 0, Height_ - 1));
}

void TBitmap32::SetPixelT(int32_t x, int32_t y, TColor32 value) {
    BlendMem(value, *PixelPtr(x, y));
    EMMS();
}

void TBitmap32::SetPixelT(TColor32*& ptr, TColor32 value) {
    BlendMem(value, *ptr);
    EMMS();
    ++ptr;
}

void TBitmap32::SetPixelTS(int32_t x, int32_t y, TColor32 value) {
    if (x >= 0 && y >= 0 && x < Width_ && y < Height_ && !Empty()) SetPixelT(x, y, value);
}

void TBitmap32::BlendAt(int32_t x, int32_t y, TColor32 value, uint32_t masterAlpha) {
    if (x >= 0 && y >= 0 && x < Width_ && y < Height_) BlendMemEx(value, *PixelPtr(x, y), masterAlpha);
}

void TBitmap32::SET_T256(int32_t x, int32_t y, TColor32 value) {
    uint32_t fx = x & 255, fy = y & 255;
    TColor32* p = PixelPtr(x >> 8, y >> 8);
    uint32_t a = value >> 24;
    uint32_t cx = a * GAMMA_TABLE[fx ^ 255], cy = GAMMA_TABLE[fy ^ 255];
    uint32_t nx = a * GAMMA_TABLE[fx], ny = GAMMA_TABLE[fy];
    CombineMem(value, p[0], cx * cy >> 16);
    CombineMem(value, p[1], nx * cy >> 16);
    CombineMem(value, p[1 + Width_], nx * ny >> 16);
    CombineMem(value, p[Width_], cx * ny >> 16);
}

void TBitmap32::SET_TS256(int32_t x, int32_t y, TColor32 value) {
    int32_t px = x >> 8, py = y >> 8;
    if (Empty() || x < -256 || y < -256 || px >= Width_ || py >= Height_) return;
    uint32_t fx = x & 255, fy = y & 255;
    uint32_t a = value >> 24;
    uint32_t cx = a * GAMMA_TABLE[fx ^ 255], cy = GAMMA_TABLE[fy ^ 255];
    uint32_t nx = a * GAMMA_TABLE[fx], ny = GAMMA_TABLE[fy];
    bool left = px >= 0, right = px < Width_ - 1, top = py >= 0, bottom = py < Height_ - 1;
    if (left && top) CombineMem(value, *PixelPtr(px, py), cx * cy >> 16);
    if (right && top) CombineMem(value, *PixelPtr(px + 1, py), nx * cy >> 16);
    if (right && bottom) CombineMem(value, *PixelPtr(px + 1, py + 1), nx * ny >> 16);
    if (left && bottom) CombineMem(value, *PixelPtr(px, py + 1), cx * ny >> 16);
}

void TBitmap32::SetPixelF(float x, float y, TColor32 value) {
    SET_T256(RoundToInt(x * 256.0), RoundToInt(y * 256.0), value);
    EMMS();
}

void TBitmap32::SetPixelX(TFixed x, TFixed y, TColor32 value) {
    SET_T256(static_cast<int32_t>((int64_t{x} + 127) >> 8), static_cast<int32_t>((int64_t{y} + 127) >> 8), value);
    EMMS();
}

void TBitmap32::SetPixelFS(float x, float y, TColor32 value) {
    SET_TS256(RoundToInt(x * 256.0), RoundToInt(y * 256.0), value);
    EMMS();
}

void TBitmap32::SetPixelXS(TFixed x, TFixed y, TColor32 value) {
    SET_TS256(static_cast<int32_t>((int64_t{x} + 127) >> 8), static_cast<int32_t>((int64_t{y} + 127) >> 8), value);
    EMMS();
}

// ------------------------------------------------------------------ stipple

void TBitmap32::SetStipple(const TArrayOfColor32& pattern) {
    stipplePattern_ = pattern;
    stippleCounter_ = 0;
}

void TBitmap32::SetStipple(const TColor32* colors, int32_t high) { SetStipple(ArrayOfColor32(colors, high)); }

void TBitmap32::AdvanceStippleCounter(float lengthPixels) {
    double d = static_cast<double>(lengthPixels) * stippleStep_;
    double n = static_cast<double>(stipplePattern_.size());
    if (n > 0 && d != 0 && std::isfinite(d)) {
        double c = stippleCounter_ + d;
        stippleCounter_ = static_cast<float>(c - std::floor(c / n) * n);
    }
}

TColor32 TBitmap32::GetStippleColor() {
    int32_t n = static_cast<int32_t>(stipplePattern_.size());
    if (n == 0) return 0xFF000000u;
    // Brought into [0, n) whatever the step has done to it, even for steps
    // longer than the pattern.
    double c = stippleCounter_;
    if (!std::isfinite(c)) c = 0;
    if (c < 0 || c >= n) c -= std::floor(c / n) * n;
    int32_t prev = std::clamp(RoundToInt(c - 0.5), 0, n - 1);
    int32_t prevWeight = std::clamp(255 - RoundToInt(255 * (c - prev)), 0, 255);
    int32_t next = prev + 1 >= n ? 0 : prev + 1;
    TColor32 result = stipplePattern_[prev];
    if (prevWeight != 255) {
        result = CombineReg(stipplePattern_[prev], stipplePattern_[next], static_cast<uint32_t>(prevWeight));
        EMMS();
    }
    stippleCounter_ = static_cast<float>(c + stippleStep_);
    return result;
}

// --------------------------------------------------------------------- runs

namespace {

// A stippled run from a1 to a2 (either way round) across a side of size
// pixels. The part off the bitmap only advances the pattern, so that a cut
// run keeps the pattern where an uncut one would have it; put(a, colour)
// draws one pixel.
template <typename Put>
void StippledRun(TBitmap32& bitmap, int32_t a1, int32_t a2, int32_t size, Put put) {
    int32_t last = size - 1;
    if ((a1 < 0 && a2 < 0) || (a1 > last && a2 > last)) {
        bitmap.AdvanceStippleCounter(static_cast<float>(std::abs(int64_t{a2} - a1) + 1));
        return;
    }
    if (a1 < 0) {
        bitmap.AdvanceStippleCounter(static_cast<float>(-int64_t{a1}));
        a1 = 0;
    } else if (a1 > last) {
        bitmap.AdvanceStippleCounter(static_cast<float>(int64_t{a1} - last));
        a1 = last;
    }
    int64_t rest = 0;
    if (a2 < 0) {
        rest = -int64_t{a2};
        a2 = 0;
    } else if (a2 > last) {
        rest = int64_t{a2} - last;
        a2 = last;
    }
    int32_t step = a2 >= a1 ? 1 : -1;
    for (int32_t a = a1;; a += step) {
        put(a, bitmap.GetStippleColor());
        if (a == a2) break;
    }
    if (rest > 0) bitmap.AdvanceStippleCounter(static_cast<float>(rest));
}

}  // namespace

void TBitmap32::HorzLine(int32_t x1, int32_t y, int32_t x2, TColor32 value) {
    if (x2 >= x1) FillLongword(PixelPtr(x1, y), int64_t{x2} - x1 + 1, value);
}

void TBitmap32::HorzLineS(int32_t x1, int32_t y, int32_t x2, TColor32 value) {
    if (y >= 0 && y < Height_ && !Empty() && TestClip(x1, x2, Width_)) HorzLine(x1, y, x2, value);
}

void TBitmap32::HorzLineT(int32_t x1, int32_t y, int32_t x2, TColor32 value) {
    if (x2 < x1) return;
    TColor32* p = PixelPtr(x1, y);
    for (int64_t i = 0, n = int64_t{x2} - x1 + 1; i < n; ++i) BlendMem(value, p[i]);
    EMMS();
}

void TBitmap32::HorzLineTS(int32_t x1, int32_t y, int32_t x2, TColor32 value) {
    if (y >= 0 && y < Height_ && !Empty() && TestClip(x1, x2, Width_)) HorzLineT(x1, y, x2, value);
}

void TBitmap32::HorzLineTSP(int32_t x1, int32_t y, int32_t x2) {
    if (Empty() || y < 0 || y >= Height_) return;
    StippledRun(*this, x1, x2, Width_, [&](int32_t x, TColor32 colour) { SetPixelT(x, y, colour); });
}

void TBitmap32::VertLine(int32_t x, int32_t y1, int32_t y2, TColor32 value) {
    for (int64_t y = y1; y <= y2; ++y) *PixelPtr(x, static_cast<int32_t>(y)) = value;
}

void TBitmap32::VertLineS(int32_t x, int32_t y1, int32_t y2, TColor32 value) {
    if (x >= 0 && x < Width_ && !Empty() && TestClip(y1, y2, Height_)) VertLine(x, y1, y2, value);
}

void TBitmap32::VertLineT(int32_t x, int32_t y1, int32_t y2, TColor32 value) {
    for (int64_t y = y1; y <= y2; ++y) BlendMem(value, *PixelPtr(x, static_cast<int32_t>(y)));
    EMMS();
}

void TBitmap32::VertLineTS(int32_t x, int32_t y1, int32_t y2, TColor32 value) {
    if (x >= 0 && x < Width_ && !Empty() && TestClip(y1, y2, Height_)) VertLineT(x, y1, y2, value);
}

void TBitmap32::VertLineTSP(int32_t x, int32_t y1, int32_t y2) {
    if (Empty() || x < 0 || x >= Width_) return;
    StippledRun(*this, y1, y2, Height_, [&](int32_t y, TColor32 colour) { SetPixelT(x, y, colour); });
}

// -------------------------------------------------------------------- lines

void TBitmap32::Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor32 value, bool L) {
    WalkLine(
        x1, y1, x2, y2, L, [&](int32_t x, int32_t y) { SetPixel(x, y, value); },
        [&](int32_t a, int32_t y, int32_t b) { HorzLine(a, y, b, value); },
        [&](int32_t x, int32_t a, int32_t b) { VertLine(x, a, b, value); });
    Changed();
}

void TBitmap32::LineS(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor32 value, bool L) {
    if (Empty() || !ClipLine(x1, y1, x2, y2, 0, 0, Width_ - 1, Height_ - 1)) return;
    Line(x1, y1, x2, y2, value, L);
}

void TBitmap32::LineT(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor32 value, bool L) {
    WalkLine(
        x1, y1, x2, y2, L, [&](int32_t x, int32_t y) { BlendMem(value, *PixelPtr(x, y)); },
        [&](int32_t a, int32_t y, int32_t b) { HorzLineT(a, y, b, value); },
        [&](int32_t x, int32_t a, int32_t b) { VertLineT(x, a, b, value); });
    EMMS();
    Changed();
}

void TBitmap32::LineTS(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor32 value, bool L) {
    if (Empty() || !ClipLine(x1, y1, x2, y2, 0, 0, Width_ - 1, Height_ - 1)) return;
    LineT(x1, y1, x2, y2, value, L);
}

// Wu's walk: along the major axis one step at a time, a 16-bit accumulator
// of the minor-axis fraction deciding when to step sideways and how to share
// the colour between the pixel and its neighbour. Every write is checked
// against the bitmap: the neighbour of the last pixel may lie past the end
// point, outside the bitmap.
void TBitmap32::LineA(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor32 value, bool L) {
    if (x1 == x2 || y1 == y2) return LineT(x1, y1, x2, y2, value, L);
    int64_t dx = std::abs(int64_t{x2} - x1), dy = std::abs(int64_t{y2} - y1);
    int32_t sx = x2 > x1 ? 1 : -1, sy = y2 > y1 ? 1 : -1;
    if (x1 >= 0 && y1 >= 0 && x1 < Width_ && y1 < Height_ && !Empty()) BlendMem(value, *PixelPtr(x1, y1));
    bool steep = dy > dx;
    int64_t major = steep ? dy : dx, minor = steep ? dx : dy;
    int64_t adj = (minor << 16) / major;  // 65536 on a diagonal: a step sideways every time
    uint32_t acc = 0;
    if (!L) --major;
    while (major > 0) {
        --major;
        uint32_t old = acc;
        acc = (acc + static_cast<uint32_t>(adj)) & 0xFFFF;
        bool wrapped = adj >= 65536 || (adj > 0 && acc < old);
        if (steep) {
            if (wrapped) x1 += sx;
            y1 += sy;
        } else {
            if (wrapped) y1 += sy;
            x1 += sx;
        }
        uint32_t w = acc >> 8;
        BlendAt(x1, y1, value, GAMMA_TABLE[w ^ 255]);
        if (steep)
            BlendAt(x1 + sx, y1, value, GAMMA_TABLE[w]);
        else
            BlendAt(x1, y1 + sy, value, GAMMA_TABLE[w]);
    }
    EMMS();
    Changed();
}

void TBitmap32::LineAS(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor32 value, bool L) {
    if (Empty() || !ClipLine(x1, y1, x2, y2, 0, 0, Width_ - 1, Height_ - 1)) return;
    LineA(x1, y1, x2, y2, value, L);
}

void TBitmap32::LineXWalk(TFixed x1, TFixed y1, TFixed x2, TFixed y2, const TColor32* value, bool L, bool checked) {
    // Positions in wrapping 32-bit arithmetic; the unchecked walk reads them
    // with logical shifts, the checked one with arithmetic shifts.
    auto shift = [checked](uint32_t v, int bits) -> int32_t {
        return checked ? static_cast<int32_t>(v) >> bits : static_cast<int32_t>(v >> bits);
    };
    auto splat = [&](int32_t x, int32_t y, TColor32 colour) {
        if (checked)
            SET_TS256(x, y, colour);
        else
            SET_T256(x, y, colour);
    };
    double fullX = static_cast<double>(x2) - x1, fullY = static_cast<double>(y2) - y1;
    uint32_t px = static_cast<uint32_t>(x1) + 127, py = static_cast<uint32_t>(y1) + 127;
    uint32_t ex = static_cast<uint32_t>(x2) + 127, ey = static_cast<uint32_t>(y2) + 127;
    int64_t hyp = static_cast<int64_t>(std::nearbyint(std::hypot(fullX, fullY)));
    if (L) hyp += 65536;
    if (hyp >= 256) {
        int64_t n = hyp >> 16;
        uint32_t nx = static_cast<uint32_t>(x2) - static_cast<uint32_t>(x1);
        uint32_t ny = static_cast<uint32_t>(y2) - static_cast<uint32_t>(y1);
        if (n > 0) {
            if (value) {
                float h = 65536.0f / static_cast<float>(hyp);
                nx = static_cast<uint32_t>(RoundToInt(fullX * h));
                ny = static_cast<uint32_t>(RoundToInt(fullY * h));
            } else {
                nx = static_cast<uint32_t>(RoundToInt(fullX / static_cast<double>(hyp) * 65536));
                ny = static_cast<uint32_t>(RoundToInt(fullY / static_cast<double>(hyp) * 65536));
            }
            for (int64_t i = 0; i < n; ++i) {
                splat(shift(px, 8), shift(py, 8), value ? *value : GetStippleColor());
                EMMS();
                px += nx;
                py += ny;
            }
        }
        TColor32 colour = value ? *value : GetStippleColor();
        uint32_t part = static_cast<uint32_t>(hyp - (n << 16));
        uint32_t alpha = ((colour >> 24) * part << 8) & 0xFF000000u;
        splat(shift(px + ex - nx, 9), shift(py + ey - ny, 9), (colour & 0x00FFFFFFu) + alpha);
    }
    EMMS();
}

void TBitmap32::LineX(TFixed x1, TFixed y1, TFixed x2, TFixed y2, TColor32 value, bool L) {
    LineXWalk(x1, y1, x2, y2, &value, L, false);
    Changed();
}

void TBitmap32::LineXP(TFixed x1, TFixed y1, TFixed x2, TFixed y2, bool L) {
    LineXWalk(x1, y1, x2, y2, nullptr, L, false);
    Changed();
}

namespace {

// Whether every end point lies at least two pixels inside the bitmap, where
// the unchecked sub-pixel walk cannot leave it.
bool DeepInside(TFixed x1, TFixed y1, TFixed x2, TFixed y2, int32_t width, int32_t height) {
    int64_t maxX = int64_t{width} * 65536 - 131072, maxY = int64_t{height} * 65536 - 131072;
    auto inX = [&](TFixed v) { return v > 0 && v < maxX; };
    auto inY = [&](TFixed v) { return v > 0 && v < maxY; };
    return inX(x1) && inX(x2) && inY(y1) && inY(y2);
}

float PieceLength(TFixed ax, TFixed ay, TFixed bx, TFixed by) {
    return static_cast<float>(std::hypot((static_cast<double>(bx) - ax) / 65536, (static_cast<double>(by) - ay) / 65536));
}

}  // namespace

void TBitmap32::LineXS(TFixed x1, TFixed y1, TFixed x2, TFixed y2, TColor32 value, bool L) {
    if (Empty()) return;
    TFixed ex = x2, ey = y2;
    if (!ClipLine(x1, y1, x2, y2, -65536, -65536, FixedSide(Width_), FixedSide(Height_))) return;
    if (x2 != ex || y2 != ey) L = true;
    LineXWalk(x1, y1, x2, y2, &value, L, !DeepInside(x1, y1, x2, y2, Width_, Height_));
    Changed();
}

void TBitmap32::LineXSP(TFixed x1, TFixed y1, TFixed x2, TFixed y2, bool L) {
    if (Empty()) return;
    TFixed sx = x1, sy = y1, ex = x2, ey = y2;
    if (!ClipLine(x1, y1, x2, y2, -65536, -65536, FixedSide(Width_), FixedSide(Height_))) {
        AdvanceStippleCounter(PieceLength(sx, sy, ex, ey) - (L ? 1 : 0));
        return;
    }
    bool endMoved = x2 != ex || y2 != ey;
    if (endMoved) L = true;
    if (DeepInside(x1, y1, x2, y2, Width_, Height_)) {
        LineXWalk(x1, y1, x2, y2, nullptr, L, false);
    } else {
        if (x1 != sx || y1 != sy) AdvanceStippleCounter(PieceLength(sx, sy, x1, y1));
        LineXWalk(x1, y1, x2, y2, nullptr, L, true);
        if (endMoved) AdvanceStippleCounter(PieceLength(x2, y2, ex, ey) - (L ? 1 : 0));
    }
    Changed();
}

void TBitmap32::LineF(float x1, float y1, float x2, float y2, TColor32 value, bool L) {
    LineX(Fixed(x1), Fixed(y1), Fixed(x2), Fixed(y2), value, L);
}

void TBitmap32::LineFS(float x1, float y1, float x2, float y2, TColor32 value, bool L) {
    LineXS(Fixed(x1), Fixed(y1), Fixed(x2), Fixed(y2), value, L);
}

void TBitmap32::LineFP(float x1, float y1, float x2, float y2, bool L) {
    LineXP(Fixed(x1), Fixed(y1), Fixed(x2), Fixed(y2), L);
}

void TBitmap32::LineFSP(float x1, float y1, float x2, float y2, bool L) {
    LineXSP(Fixed(x1), Fixed(y1), Fixed(x2), Fixed(y2), L);
}

// ---------------------------------------------------------------------- pen

void TBitmap32::MoveTo(int32_t x, int32_t y) {
    rasterX_ = x;
    rasterY_ = y;
}

void TBitmap32::LineToS(int32_t x, int32_t y) {
    LineS(rasterX_, rasterY_, x, y, penColor_, false);
    MoveTo(x, y);
}

void TBitmap32::LineToTS(int32_t x, int32_t y) {
    LineTS(rasterX_, rasterY_, x, y, penColor_, false);
    MoveTo(x, y);
}

void TBitmap32::LineToAS(int32_t x, int32_t y) {
    LineAS(rasterX_, rasterY_, x, y, penColor_, false);
    MoveTo(x, y);
}

void TBitmap32::MoveToX(TFixed x, TFixed y) {
    rasterXF_ = x;
    rasterYF_ = y;
}

void TBitmap32::MoveToF(float x, float y) { MoveToX(Fixed(x), Fixed(y)); }

void TBitmap32::LineToXS(TFixed x, TFixed y) {
    LineXS(rasterXF_, rasterYF_, x, y, penColor_, false);
    MoveToX(x, y);
}

void TBitmap32::LineToXSP(TFixed x, TFixed y) {
    LineXSP(rasterXF_, rasterYF_, x, y, false);
    MoveToX(x, y);
}

void TBitmap32::LineToFS(float x, float y) { LineToXS(Fixed(x), Fixed(y)); }

void TBitmap32::LineToFSP(float x, float y) { LineToXSP(Fixed(x), Fixed(y)); }

// --------------------------------------------------------------- rectangles

namespace {

// Whether a rectangle touches a bitmap of the given size; if so it is cut
// to it.
bool AcceptRect(int32_t& x1, int32_t& y1, int32_t& x2, int32_t& y2, int32_t width, int32_t height) {
    if (!(x2 > x1 && y2 > y1 && x1 < width && y1 < height && x2 >= 1 && y2 >= 1)) return false;
    x1 = std::max(x1, 0);
    y1 = std::max(y1, 0);
    x2 = std::min(x2, width);
    y2 = std::min(y2, height);
    return true;
}

// Whether a rectangle touches the bitmap, leaving it as it is: frames are
// drawn by their own clipped runs.
bool Touches(const TBitmap32& bitmap, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    return !bitmap.Empty() && AcceptRect(x1, y1, x2, y2, bitmap.Width(), bitmap.Height());
}

// The outline of a rectangle as runs: top and bottom rows whole, the
// columns between them.
template <typename Horz, typename Vert>
void FrameRuns(int32_t x1, int32_t y1, int32_t x2, int32_t y2, Horz horz, Vert vert) {
    horz(x1, y1, x2 - 1);
    if (y2 - 1 > y1) horz(x1, y2 - 1, x2 - 1);
    if (y1 + 1 < y2 - 1) {
        vert(x1, y1 + 1, y2 - 2);
        if (x2 - 1 > x1) vert(x2 - 1, y1 + 1, y2 - 2);
    }
}

}  // namespace

void TBitmap32::FillRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor32 value) {
    if (x1 == 0 && x2 == Width_ && !Empty()) {
        // Whole rows are one run.
        if (y2 > y1) FillLongword(ScanLine(y1), (int64_t{y2} - y1) * Width_, value);
    } else {
        // A rectangle too large to stay in the caches is written past them.
        const bool stream = (int64_t{x2} - x1) * (int64_t{y2} - y1) * 4 >= kStreamBytes;
        for (int32_t y = y1; y < y2; ++y)
            (stream ? StreamFillLongword : FillLongword)(PixelPtr(x1, y), int64_t{x2} - x1, value);
        if (stream) StreamFence();
    }
    Changed();
}

void TBitmap32::FillRectS(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor32 value) {
    if (Empty() || !AcceptRect(x1, y1, x2, y2, Width_, Height_)) return;
    FillRect(x1, y1, x2, y2, value);
}

void TBitmap32::FillRectT(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor32 value) {
    uint32_t a = value >> 24;
    if (a == 255) return FillRect(x1, y1, x2, y2, value);
    for (int32_t y = y1; y < y2; ++y) {
        TColor32* p = PixelPtr(x1, y);
        for (int64_t i = 0, n = int64_t{x2} - x1; i < n; ++i) CombineMem(value, p[i], a);
    }
    EMMS();
    Changed();
}

void TBitmap32::FillRectTS(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor32 value) {
    if (Empty() || !AcceptRect(x1, y1, x2, y2, Width_, Height_)) return;
    FillRectT(x1, y1, x2, y2, value);
}

void TBitmap32::FrameRectS(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor32 value) {
    if (!Touches(*this, x1, y1, x2, y2)) return;
    FrameRuns(
        x1, y1, x2, y2, [&](int32_t a, int32_t y, int32_t b) { HorzLineS(a, y, b, value); },
        [&](int32_t x, int32_t a, int32_t b) { VertLineS(x, a, b, value); });
    Changed();
}

void TBitmap32::FrameRectTS(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor32 value) {
    if (!Touches(*this, x1, y1, x2, y2)) return;
    FrameRuns(
        x1, y1, x2, y2, [&](int32_t a, int32_t y, int32_t b) { HorzLineTS(a, y, b, value); },
        [&](int32_t x, int32_t a, int32_t b) { VertLineTS(x, a, b, value); });
    Changed();
}

void TBitmap32::FrameRectTSP(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    if (!Touches(*this, x1, y1, x2, y2)) return;
    if (x2 - x1 == 1 && y2 - y1 == 1) {
        SetPixelTS(x1, y1, GetStippleColor());
    } else if (x2 - x1 == 1) {
        VertLineTSP(x1, y1, y2 - 1);
    } else if (y2 - y1 == 1) {
        HorzLineTSP(x1, y1, x2 - 1);
    } else {
        HorzLineTSP(x1, y1, x2 - 2);
        VertLineTSP(x2 - 1, y1, y2 - 2);
        HorzLineTSP(x2 - 1, y2 - 1, x1 + 1);
        VertLineTSP(x1, y2 - 1, y1 + 1);
    }
    Changed();
}

void TBitmap32::RaiseRectTS(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t contrast) {
    if (!Touches(*this, x1, y1, x2, y2)) return;
    if (contrast != 0) {
        int64_t c = std::abs(int64_t{contrast});
        int32_t strong = Clamp(static_cast<int32_t>(std::min<int64_t>(c * 512 / 100, 256)));
        int32_t weak = Clamp(static_cast<int32_t>(std::min<int64_t>(c * 255 / 100, 256)));
        TColor32 c1 = contrast > 0 ? SetAlpha(clWhite32, strong) : SetAlpha(clBlack32, weak);
        TColor32 c2 = contrast > 0 ? SetAlpha(clBlack32, weak) : SetAlpha(clWhite32, strong);
        HorzLineTS(x1, y1, x2 - 1, c1);
        HorzLineTS(x1, y2 - 1, x2 - 1, c2);
        VertLineTS(x1, y1 + 1, y2 - 2, c1);
        VertLineTS(x2 - 1, y1 + 1, y2 - 2, c2);
    }
    Changed();
}
