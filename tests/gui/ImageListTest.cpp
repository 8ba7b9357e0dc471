#include <gtest/gtest.h>

#include "bitmap/Pix32_Blend.h"
#include "gui/ImageList.h"
#include "platform/Collections.h"
#include "support/Pixels.h"

namespace {

using thorn::test::Shown;

constexpr TColor32 kMagenta = 0xFFFF00FFu;
constexpr TColor32 kBlue = 0xFF0000FFu;
constexpr TColor32 kWhite = 0xFFFFFFFFu;
constexpr TColor32 kGreen = 0xFF00A000u;

// A strip of three 4 x 4 images on magenta: a blue square, a white one, a
// green one, each with its bottom row left magenta.
std::unique_ptr<TBitmap32> Strip(int width = 12) {
    return thorn::test::DrawPicture(width, 4, [](int x, int y) {
        if (y == 3) return kMagenta;
        return x < 4 ? kBlue : x < 8 ? kWhite : kGreen;
    });
}

TColor32 PixelOf(const TCustomImageList& list, int index, int x, int y) {
    TBitmap32 b;
    list.GetBitmap(index, b);
    return b.GetPixel(x, y);
}

TEST(GuiImageList, AStripBecomesImagesOfTheListsSizeWithTheMaskColourTransparent) {
    struct Case {
        const char* what;
        int stripWidth;
        TColor mask;
        int count;
        TColor32 bottom;  // pixel (0, 3) of image 0
    };
    const Case cases[] = {
        {"named mask colour", 12, clFuchsia, 3, 0},
        {"the bottom-left pixel", 12, clDefault, 3, 0},
        {"no mask", 12, clNone, 3, kMagenta},
        {"a narrow bitmap gives one image", 2, clFuchsia, 1, 0},
        {"a partial last image is left out", 14, clFuchsia, 3, 0},
    };
    for (const Case& c : cases) {
        TImageList list(4, 4);
        EXPECT_EQ(list.AddMasked(*Strip(c.stripWidth), c.mask), 0) << c.what;
        EXPECT_EQ(list.GetCount(), c.count) << c.what;
        EXPECT_EQ(PixelOf(list, 0, 0, 3), c.bottom) << c.what;
        EXPECT_EQ(PixelOf(list, 0, 0, 0), kBlue) << c.what;
    }
    TImageList list(4, 4);
    list.AddMasked(*Strip(2), clFuchsia);
    EXPECT_EQ(PixelOf(list, 0, 3, 0), 0u);  // padded where the bitmap ends
    EXPECT_EQ(list.AddMasked(*Strip(), clFuchsia), 1);
    EXPECT_EQ(PixelOf(list, 3, 0, 0), kGreen);
}

TEST(GuiImageList, ImagesCanBeMovedDeletedAndReplacedAndANewSizeEmptiesTheList) {
    TImageList list(4, 4);
    int changes = 0;
    list.OnChange = [&](TObject*) { ++changes; };
    auto token = list.Subscribe([&] { ++changes; });
    list.AddMasked(*Strip(), clFuchsia);
    list.Move(0, 2);  // white, green, blue
    EXPECT_EQ(PixelOf(list, 2, 0, 0), kBlue);
    list.Delete(0);   // green, blue
    EXPECT_EQ(PixelOf(list, 0, 0, 0), kGreen);
    list.ReplaceMasked(1, *Strip(), clFuchsia);
    EXPECT_EQ(PixelOf(list, 1, 0, 0), kBlue);
    EXPECT_EQ(changes, 2 * 4);
    token.reset();
    list.SetSize(8, 8);
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(changes, 2 * 4 + 1);
    EXPECT_THROW(list.Delete(0), EListError);
}

TEST(GuiImageList, DrawsNormalSelectedAndGreyedOut) {
    TImageList list(4, 4);
    list.AddMasked(*Strip(), clFuchsia);
    TBitmap32 target;
    target.SetSize(20, 10);
    target.Clear(0xFF808080u);
    TCanvas canvas(&target);
    canvas.SetOrigin({1, 1});
    list.Draw(canvas, 0, 0, 0);                      // blue at (1, 1)
    list.Draw(canvas, 5, 0, 0, idsSelected);         // at (6, 1)
    list.Draw(canvas, 10, 0, 0, idsDisabled);        // blue is ink: embossed at (11, 1)
    list.Draw(canvas, 15, 0, 1, false);              // white is no ink: nothing
    list.Draw(canvas, 0, 5, 7);                      // no such image: nothing
    TColor32 grey = 0xFF808080u;
    thorn::test::ExpectPixels(target, {
        {1, 1, kBlue}, {4, 3, kBlue}, {1, 4, grey},  // the masked row stays
        {6, 1, (CombineReg(kBlue, Shown(clHighlight), 128) & 0xFFFFFF) | 0xFF000000u},
        {11, 1, Shown(clBtnShadow)}, {14, 3, Shown(clBtnShadow)},
        {15, 4, Shown(clBtnHighlight)},  // the light copy, one pixel down and right
        {16, 1, grey}, {19, 3, grey}, {1, 6, grey},
    });
    // The canvas clip holds.
    canvas.SetClipRect({0, 5, 1, 6});
    list.Draw(canvas, 0, 5, 2);
    EXPECT_EQ(target.GetPixel(1, 6), kGreen);
    EXPECT_EQ(target.GetPixel(2, 6), grey);
}

}  // namespace
