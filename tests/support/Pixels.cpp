#include "Pixels.h"

#include <gtest/gtest.h>

#include <random>
#include <span>

#include "platform/Graphics.h"

namespace thorn::test {

CountingBitmap::CountingBitmap(int32_t width, int32_t height, TColor32 fill) {
    if (width > 0 && height > 0) {
        SetSize(width, height);
        Clear(fill);
    }
    OnChange = [this](TObject*) { ++changes; };
    OnResize = [this](TObject*) { ++resizes; };
}

void ExpectPixels(const TBitmap32& bitmap, std::initializer_list<PixelAt> expected) {
    for (const PixelAt& p : expected)
        EXPECT_EQ(bitmap.GetPixel(p.x, p.y), p.colour) << "at " << p.x << "," << p.y;
}

Points NonZero(const TBitmap32& bitmap) {
    Points out;
    for (int32_t y = 0; y < bitmap.Height(); ++y)
        for (int32_t x = 0; x < bitmap.Width(); ++x)
            if (bitmap.GetPixel(x, y) != 0) out.insert({x, y});
    return out;
}

std::vector<TColor32> PixelsOf(const TBitmap32& bitmap) {
    return {bitmap.Bits(), bitmap.Bits() + static_cast<size_t>(bitmap.Width()) * bitmap.Height()};
}

void FillNumbered(TBitmap32& bitmap, int32_t width, int32_t height) {
    bitmap.SetSize(width, height);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) bitmap.SetPixel(x, y, Numbered(x, y));
}

void FillRandom(TBitmap32& bitmap, int32_t width, int32_t height, uint32_t seed) {
    std::mt19937 random(seed);
    bitmap.SetSize(width, height);
    for (TColor32& pixel : std::span(bitmap.Bits(), static_cast<size_t>(width) * height)) pixel = random();
}

std::unique_ptr<TBitmap32> DrawPicture(int32_t width, int32_t height,
                                       const std::function<TColor32(int32_t x, int32_t y)>& colourAt) {
    auto picture = std::make_unique<TBitmap32>();
    picture->SetSize(width, height);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) picture->SetPixel(x, y, colourAt(x, y));
    return picture;
}

TColor32 ExpectedMix(TColor32 f, TColor32 b, uint32_t w) {
    TColor32 out = 0;
    for (int s = 0; s < 32; s += 8) {
        const uint32_t fc = f >> s & 0xFF, bc = b >> s & 0xFF;
        out |= ((fc * w + bc * (256 - w) + 128) >> 8) << s;
    }
    return out;
}

TColor32 Shown(TColor color) {
    const uint32_t rgb = ColorToRGB(color);
    return 0xFF000000u | (rgb & 0xFF) << 16 | (rgb & 0xFF00) | (rgb >> 16 & 0xFF);
}

}  // namespace thorn::test
