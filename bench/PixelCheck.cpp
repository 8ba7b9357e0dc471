#include "PixelCheck.h"

#include <cstdlib>
#include <random>

#include "Harness.h"

namespace thorn::bench {
namespace {

void SameSize(const TBitmap32& a, const TBitmap32& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height())
        throw Disagreement("sizes " + std::to_string(a.Width()) + "x" + std::to_string(a.Height()) + " and " +
                           std::to_string(b.Width()) + "x" + std::to_string(b.Height()));
}

int64_t Pixels(const TBitmap32& b) { return int64_t{b.Width()} * b.Height(); }

}  // namespace

void RandomPixels(TBitmap32& b, int32_t w, int32_t h, uint32_t seed, bool opaque) {
    b.SetSize(w, h);
    std::mt19937 rng(seed);
    const TColor32 alpha = opaque ? 0xFF000000u : 0;
    for (int64_t i = 0, n = int64_t{w} * h; i < n; ++i) b.Bits()[i] = rng() | alpha;
}

void Premultiply(const TBitmap32& b, TBitmap32& p) {
    p.SetSize(b.Width(), b.Height());
    for (int64_t i = 0, n = Pixels(b); i < n; ++i) {
        const TColor32 c = b.Bits()[i];
        const uint32_t a = c >> 24;
        auto ch = [&](int s) { return ((c >> s & 0xFF) * a + 127) / 255 << s; };
        p.Bits()[i] = (a << 24) | ch(16) | ch(8) | ch(0);
    }
}

int MaxChannelDifference(const TBitmap32& a, const TBitmap32& b, bool withAlpha, const PixelFilter& compared) {
    SameSize(a, b);
    int worst = 0;
    const int channels = withAlpha ? 4 : 3;
    for (int64_t i = 0, n = Pixels(a); i < n; ++i) {
        const TColor32 x = a.Bits()[i], y = b.Bits()[i];
        if (x == y) continue;
        if (compared && !compared(static_cast<int32_t>(i % a.Width()), static_cast<int32_t>(i / a.Width()))) continue;
        for (int c = 0; c < channels; ++c)
            worst = std::max(worst, std::abs(int(x >> (8 * c) & 0xFF) - int(y >> (8 * c) & 0xFF)));
    }
    return worst;
}

std::string SamePixels(const TBitmap32& a, const TBitmap32& b) {
    SameSize(a, b);
    int64_t first = -1, count = 0;
    for (int64_t i = 0, n = Pixels(a); i < n; ++i)
        if (a.Bits()[i] != b.Bits()[i]) {
            if (first < 0) first = i;
            ++count;
        }
    if (count == 0) return "same pixels";
    throw Disagreement(std::to_string(count) + " pixels, the first at (" + std::to_string(first % a.Width()) + ", " +
                       std::to_string(first / a.Width()) + ")");
}

std::string ColoursWithin(const TBitmap32& a, const TBitmap32& b, int bound, const std::string& why,
                          const PixelFilter& compared) {
    const int worst = MaxChannelDifference(a, b, false, compared);
    if (worst > bound)
        throw Disagreement("colours differ by up to " + std::to_string(worst) + ", more than " + std::to_string(bound));
    return "colours within " + std::to_string(worst) + " (bound " + std::to_string(bound) + ": " + why + ")";
}

}  // namespace thorn::bench
