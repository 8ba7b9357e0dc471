#include "controls/Rmlibrary_Colors.h"

#include <cmath>

#include "platform/Classes.h"

namespace {

struct Components {
    int32_t red, green, blue;
};

Components Split(TColor color) {
    const uint32_t rgb = ColorToRGB(color);
    return {static_cast<int32_t>(rgb & 0xFF), static_cast<int32_t>((rgb >> 8) & 0xFF),
            static_cast<int32_t>((rgb >> 16) & 0xFF)};
}

TColor Join(int32_t red, int32_t green, int32_t blue) {
    return static_cast<TColor>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}

// Each component through shade, rounded and kept within a byte.
template <typename Shade>
TColor Shaded(TColor color, Shade shade) {
    const auto component = [&](int32_t value) {
        const double result = std::nearbyint(shade(static_cast<double>(value)));
        if (!(result >= 0 && result <= 255)) throw ERangeError("Range check error");
        return static_cast<int32_t>(result);
    };
    const Components c = Split(color);
    return Join(component(c.red), component(c.green), component(c.blue));
}

}  // namespace

TColor DarkenColor(TColor color, int32_t percent) {
    return Shaded(color, [&](double c) { return c / (1 + percent / 100.0); });
}

TColor LightenColor(TColor color, int32_t percent) {
    return Shaded(color, [&](double c) { return c * (1 + percent / 100.0); });
}

void CreateColorArray(TColor start, TColor end, int32_t count, TColorsArray& colors) {
    colors.clear();
    if (count < 1) return;
    const Components from = Split(start), to = Split(end);
    // One colour makes no run: the division below would be by zero.
    const int32_t steps = count > 1 ? count - 1 : 1;
    for (int32_t i = 0; i < count; ++i)
        colors.push_back(Join(from.red + MulDiv(i, to.red - from.red, steps),
                              from.green + MulDiv(i, to.green - from.green, steps),
                              from.blue + MulDiv(i, to.blue - from.blue, steps)));
}
