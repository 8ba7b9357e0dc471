// Colours, fixed point and rectangles of the bitmap library.
#include "bitmap/Pix32.h"

#include <algorithm>
#include <cmath>
#include <limits>

int32_t thorn::RoundToInt(double v) {
    double r = std::nearbyint(v);
    if (!(r >= std::numeric_limits<int32_t>::min())) return std::numeric_limits<int32_t>::min();
    if (r > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(r);
}

namespace {

using thorn::RoundToInt;

int32_t FloorToInt(double v) { return RoundToInt(std::floor(v)); }
int32_t CeilToInt(double v) { return RoundToInt(std::ceil(v)); }

uint8_t Channel(float v) { return static_cast<uint8_t>(std::clamp(RoundToInt(255.0 * v), 0, 255)); }

float HueToChannel(float m1, float m2, float h) {
    h -= std::floor(h);
    if (6 * h < 1) return m1 + (m2 - m1) * h * 6;
    if (2 * h < 1) return m2;
    if (3 * h < 2) return m1 + (m2 - m1) * (2.0f / 3 - h) * 6;
    return m1;
}

}  // namespace

TColor32 Color32(TColor color) {
    uint32_t rgb = color < 0 ? GetSysColor(color & 0xFF) : static_cast<uint32_t>(color);
    return 0xFF000000u | (rgb & 0xFF) << 16 | (rgb & 0xFF00) | (rgb >> 16 & 0xFF);
}

TArrayOfColor32 ArrayOfColor32(const TColor32* colors, int32_t high) {
    if (high < 0) return {};
    return TArrayOfColor32(colors, colors + high + 1);
}

TColor32 HSLtoRGB(float H, float S, float L) {
    if (S == 0) {
        uint8_t v = Channel(L);
        return Color32(v, v, v, 255);
    }
    float m2 = L <= 0.5f ? L * (1 + S) : L + S - L * S;
    float m1 = 2 * L - m2;
    return Color32(Channel(HueToChannel(m1, m2, H + 1.0f / 3)), Channel(HueToChannel(m1, m2, H)),
                   Channel(HueToChannel(m1, m2, H - 1.0f / 3)), 255);
}

void RGBtoHSL(TColor32 C, float& H, float& S, float& L) {
    float r = RedComponent(C) / 255.0f, g = GreenComponent(C) / 255.0f, b = BlueComponent(C) / 255.0f;
    float mx = std::max({r, g, b}), mn = std::min({r, g, b});
    L = (mx + mn) / 2;
    if (mx == mn) {
        H = 0;
        S = 0;
        return;
    }
    float d = mx - mn;
    S = L < 0.5f ? d / (mx + mn) : d / (2 - mx - mn);
    if (r == mx)
        H = (g - b) / d;
    else if (g == mx)
        H = 2 + (b - r) / d;
    else
        H = 4 + (r - g) / d;
    H /= 6;
    if (H < 0) H += 1;
}

std::array<uint8_t, 256> GAMMA_TABLE = [] {
    std::array<uint8_t, 256> table{};
    for (int i = 0; i < 256; ++i)
        table[i] = static_cast<uint8_t>(RoundToInt(255.0 * std::pow(i / 255.0, static_cast<double>(0.7f))));
    return table;
}();

void SetGamma(float Gamma) {
    for (int i = 0; i < 256; ++i)
        GAMMA_TABLE[i] = static_cast<uint8_t>(std::clamp(RoundToInt(255.0 * std::pow(i / 255.0, static_cast<double>(Gamma))), 0, 255));
}

TFixed Fixed(float value) { return RoundToInt(static_cast<double>(value) * 65536.0); }

TFixed FixedDiv(TFixed a, TFixed b) {
    if (b == 0) throw ERangeError("Fixed-point division by zero");
    return static_cast<TFixed>(static_cast<uint32_t>(static_cast<uint64_t>((static_cast<int64_t>(a) * 65536) / b)));
}

TPoint Point(const TFloatPoint& p) { return {RoundToInt(p.X), RoundToInt(p.Y)}; }

TRect MakeRect(const TFloatRect& r, TRectRounding rounding) {
    TRect out;
    switch (rounding) {
    case rrClosest:
        out = {RoundToInt(r.Left), RoundToInt(r.Top), RoundToInt(r.Right), RoundToInt(r.Bottom)};
        break;
    case rrOutside:
        out = {FloorToInt(r.Left), FloorToInt(r.Top), CeilToInt(r.Right), CeilToInt(r.Bottom)};
        break;
    case rrInside:
        out = {CeilToInt(r.Left), CeilToInt(r.Top), FloorToInt(r.Right), FloorToInt(r.Bottom)};
        out.Right = std::max(out.Right, out.Left);
        out.Bottom = std::max(out.Bottom, out.Top);
        break;
    }
    return out;
}

TRect MakeRect(const TFixedRect& r, TRectRounding rounding) {
    TRect out;
    switch (rounding) {
    case rrClosest:
        out = {FixedRound(r.Left), FixedRound(r.Top), FixedRound(r.Right), FixedRound(r.Bottom)};
        break;
    case rrOutside:
        out = {FixedFloor(r.Left), FixedFloor(r.Top), FixedCeil(r.Right), FixedCeil(r.Bottom)};
        break;
    case rrInside:
        out = {FixedCeil(r.Left), FixedCeil(r.Top), FixedFloor(r.Right), FixedFloor(r.Bottom)};
        out.Right = std::max(out.Right, out.Left);
        out.Bottom = std::max(out.Bottom, out.Top);
        break;
    }
    return out;
}

bool IntersectRect(TRect& dst, const TRect& r1, const TRect& r2) {
    TRect r{std::max(r1.Left, r2.Left), std::max(r1.Top, r2.Top), std::min(r1.Right, r2.Right),
            std::min(r1.Bottom, r2.Bottom)};
    bool any = r.Right >= r.Left && r.Bottom >= r.Top;
    dst = any ? r : ZERO_RECT;
    return any;
}

bool IntersectRectF(TFloatRect& dst, const TFloatRect& r1, const TFloatRect& r2) {
    TFloatRect r{std::max(r1.Left, r2.Left), std::max(r1.Top, r2.Top), std::min(r1.Right, r2.Right),
                 std::min(r1.Bottom, r2.Bottom)};
    bool any = r.Right >= r.Left && r.Bottom >= r.Top;
    dst = any ? r : TFloatRect{};
    return any;
}

void InflateRect(TRect& r, int32_t dx, int32_t dy) {
    r.Left -= dx;
    r.Top -= dy;
    r.Right += dx;
    r.Bottom += dy;
}

void InflateRectF(TFloatRect& r, float dx, float dy) {
    r.Left -= dx;
    r.Top -= dy;
    r.Right += dx;
    r.Bottom += dy;
}

void OffsetRect(TRect& r, int32_t dx, int32_t dy) {
    r.Left += dx;
    r.Top += dy;
    r.Right += dx;
    r.Bottom += dy;
}

void OffsetRectF(TFloatRect& r, float dx, float dy) {
    r.Left += dx;
    r.Top += dy;
    r.Right += dx;
    r.Bottom += dy;
}
