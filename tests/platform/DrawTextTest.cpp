#include <gtest/gtest.h>

#include <vector>

#include "platform/Text.h"

namespace {

using namespace thorn;

TFont Mono() {
    TFont font;
    font.SetName("Courier New");
    font.SetHeight(-13);
    font.SetColor(clBlack);
    return font;
}

TFont Sans() {
    TFont font;
    font.SetColor(clBlack);
    return font;
}

int32_t CharWidth() { return TextExtent(Mono(), "x").cx; }
int32_t LineHeight(const TFont& font) { return GetFontMetrics(font).height; }

TRect Measure(uint32_t format, const TFont& font, std::string_view text, TRect rect) {
    DrawText(PixelView{}, rect, format | DT_CALCRECT, font, text);
    return rect;
}

struct Store {
    int32_t width, height;
    std::vector<uint32_t> pixels;
    Store(int32_t w, int32_t h) : width(w), height(h), pixels(size_t(w) * h, 0xFFFFFFFF) {}
    PixelView View() { return {pixels.data(), width, height}; }
    TRect Changed() const {
        TRect r{width, height, 0, 0};
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (pixels[size_t(y) * width + x] != 0xFFFFFFFF)
                    r = {std::min(r.Left, x), std::min(r.Top, y), std::max(r.Right, x + 1), std::max(r.Bottom, y + 1)};
        return r;
    }
};

TEST(DrawText, WordBreakFitsWordsToTheWidth) {
    const int32_t w = CharWidth(), h = LineHeight(Mono());
    // Nine characters fit: "aaaa bbbb" on one line, "cccc dddd" on the next.
    TRect rect = Measure(DT_WORDBREAK, Mono(), "aaaa bbbb cccc dddd", {10, 20, 10 + 9 * w, 100});
    EXPECT_EQ(rect, (TRect{10, 20, 10 + 9 * w, 20 + 2 * h}));
    rect = {0, 0, 9 * w, 0};
    EXPECT_EQ(DrawText(PixelView{}, rect, DT_WORDBREAK | DT_CALCRECT, Mono(), "aaaa bbbb cccc dddd e"), 3 * h);
    // A word wider than the rectangle stays whole and widens it.
    rect = Measure(DT_WORDBREAK, Mono(), "abcdefghij xy", {0, 0, 3 * w, 0});
    EXPECT_EQ(rect, (TRect{0, 0, 10 * w, 2 * h}));
}

TEST(DrawText, LineBreaksAndSingleLine) {
    const int32_t h = LineHeight(Mono()), w = CharWidth();
    EXPECT_EQ(Measure(0, Mono(), "one\r\ntwo\nthree", {0, 0, 10, 10}), (TRect{0, 0, 5 * w, 3 * h}));
    EXPECT_EQ(Measure(DT_SINGLELINE, Mono(), "one\r\ntwo", {0, 0, 10, 10}), (TRect{0, 0, 7 * w, h}));
    EXPECT_EQ(Measure(0, Mono(), "last\n", {0, 0, 10, 10}).Bottom, 2 * h);
    // In one line of text a break takes one space's room.
    for (const char* broken : {"one\r\ntwo", "one\ntwo"})
        EXPECT_EQ(TextExtent(Sans(), broken), TextExtent(Sans(), "one two")) << broken;
}

TEST(DrawText, EmptyTextMeasuresNothing) {
    TRect rect{5, 6, 50, 60};
    EXPECT_EQ(DrawText(PixelView{}, rect, DT_CALCRECT, Sans(), ""), 0);
    EXPECT_EQ(rect, (TRect{5, 6, 5, 6}));
}

TEST(DrawText, HorizontalAlignment) {
    const TRect box{10, 0, 110, 20};
    const int32_t width = TextExtent(Mono(), "abcd").cx;
    Store centred(120, 20), right(120, 20), left(120, 20);
    TRect r = box;
    DrawText(centred.View(), r, DT_CENTER | DT_SINGLELINE, Mono(), "abcd");
    r = box;
    DrawText(right.View(), r, DT_RIGHT | DT_SINGLELINE, Mono(), "abcd");
    r = box;
    DrawText(left.View(), r, DT_LEFT | DT_SINGLELINE, Mono(), "abcd");
    const int32_t start = 10 + (100 - width) / 2;
    EXPECT_GE(centred.Changed().Left, start);
    EXPECT_LE(centred.Changed().Right, start + width);
    EXPECT_LE(std::abs((centred.Changed().Left + centred.Changed().Right) - (start * 2 + width)), 4);
    EXPECT_GE(right.Changed().Left, 110 - width);
    EXPECT_LE(right.Changed().Right, 110);
    EXPECT_GE(right.Changed().Right, 110 - 3);
    EXPECT_LE(left.Changed().Left, 12);
}

TEST(DrawText, VerticalPlacementOfASingleLine) {
    const int32_t h = LineHeight(Sans());
    TRect rect{0, 10, 50, 50};
    EXPECT_EQ(DrawText(PixelView{}, rect, DT_SINGLELINE, Sans(), "x"), h);
    EXPECT_EQ(DrawText(PixelView{}, rect, DT_SINGLELINE | DT_VCENTER, Sans(), "x"), (40 - h) / 2 + h);
    EXPECT_EQ(DrawText(PixelView{}, rect, DT_SINGLELINE | DT_BOTTOM, Sans(), "x"), 40);
    Store store(50, 60);
    DrawText(store.View(), rect, DT_SINGLELINE | DT_BOTTOM, Sans(), "Hg");
    EXPECT_GE(store.Changed().Top, 50 - h);
    EXPECT_LE(store.Changed().Bottom, 50);
    // Several lines ignore the vertical placement.
    EXPECT_EQ(DrawText(PixelView{}, rect, DT_VCENTER, Sans(), "a\nb"), 2 * h);
}

TEST(DrawText, EndEllipsisShortensWhatDoesNotFit) {
    const std::string text = "A caption far too long for its box";
    const TRect box{0, 0, 60, 20};
    EXPECT_GT(Measure(DT_SINGLELINE, Sans(), text, box).Right, 60);
    const TRect cut = Measure(DT_SINGLELINE | DT_END_ELLIPSIS, Sans(), text, box);
    EXPECT_LE(cut.Right, 60);
    EXPECT_GE(cut.Right, 60 - TextExtent(Sans(), "W").cx * 2);
    // What fits is left alone.
    EXPECT_EQ(Measure(DT_SINGLELINE | DT_END_ELLIPSIS, Sans(), "Short", box).Right, TextExtent(Sans(), "Short").cx);
    // The ellipsis is what shows at the end.
    Store dots(60, 20), plain(60, 20);
    TRect r = box;
    DrawText(dots.View(), r, DT_SINGLELINE | DT_END_ELLIPSIS, Mono(), "abcdefghijklmnop");
    EXPECT_LE(dots.Changed().Right, 60);
}

TEST(DrawText, AmpersandUnderlinesTheNextCharacter) {
    const TFont font = Sans();
    EXPECT_EQ(Measure(DT_SINGLELINE, font, "&File", {}).Right, TextExtent(font, "File").cx);
    EXPECT_EQ(Measure(DT_SINGLELINE, font, "Save && Exit", {}).Right, TextExtent(font, "Save & Exit").cx);
    EXPECT_EQ(Measure(DT_SINGLELINE | DT_NOPREFIX, font, "&File", {}).Right, TextExtent(font, "&File").cx);
    Store prefixed(40, 20), plain(40, 20), hidden(40, 20);
    TRect r{0, 0, 40, 20};
    DrawText(prefixed.View(), r, DT_SINGLELINE, font, "&File");
    DrawText(plain.View(), r, DT_SINGLELINE, font, "File");
    DrawText(hidden.View(), r, DT_SINGLELINE | DT_HIDEPREFIX, font, "&File");
    EXPECT_NE(prefixed.pixels, plain.pixels);
    EXPECT_EQ(hidden.pixels, plain.pixels);
    // The underline is below the baseline, under the "F" only.
    const int32_t ascent = GetFontMetrics(font).ascent;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            if (prefixed.pixels[size_t(y) * 40 + x] != plain.pixels[size_t(y) * 40 + x]) {
                EXPECT_GE(y, ascent);
                EXPECT_LT(x, TextExtent(font, "F").cx);
            }
}

TEST(DrawText, ClipsToTheRectangleUnlessNoClip) {
    Store clipped(100, 30), free(100, 30);
    TRect r{10, 5, 30, 25};
    DrawText(clipped.View(), r, DT_SINGLELINE, Sans(), "Much wider than the box");
    DrawText(free.View(), r, DT_SINGLELINE | DT_NOCLIP, Sans(), "Much wider than the box");
    EXPECT_LE(clipped.Changed().Right, 30);
    EXPECT_GT(free.Changed().Right, 30);
    EXPECT_EQ(r, (TRect{10, 5, 30, 25}));  // drawing leaves the rectangle alone
}

TEST(DrawText, TabsExpandToEightAverageCharacters) {
    const TFont font = Mono();
    const int32_t stop = 8 * GetFontMetrics(font).averageCharWidth;
    EXPECT_EQ(Measure(DT_EXPANDTABS | DT_SINGLELINE, font, "a\tb", {}).Right, stop + CharWidth());
    EXPECT_EQ(Measure(DT_EXPANDTABS | DT_SINGLELINE, font, "\t\tb", {}).Right, 2 * stop + CharWidth());
}

}  // namespace
