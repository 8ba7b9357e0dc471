#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <vector>

#include "platform/Text.h"

namespace {

using namespace thorn;

// A white store of the given size with every alpha byte set to alpha.
struct Store {
    int32_t width, height;
    std::vector<uint32_t> pixels;
    Store(int32_t w, int32_t h, uint32_t fill = 0xFFFFFFFF) : width(w), height(h), pixels(size_t(w) * h, fill) {}
    PixelView View() { return {pixels.data(), width, height}; }
    uint32_t At(int x, int y) const { return pixels[size_t(y) * width + x]; }
    // The smallest rectangle holding every pixel that differs from fill.
    TRect Changed(uint32_t fill = 0xFFFFFFFF) const {
        TRect r{width, height, 0, 0};
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (At(x, y) != fill) r = {std::min(r.Left, x), std::min(r.Top, y), std::max(r.Right, x + 1), std::max(r.Bottom, y + 1)};
        return r;
    }
};

TFont Font(const std::string& name = "MS Sans Serif", int height = -11, TFontStyles style = 0) {
    TFont font;
    font.SetName(name);
    font.SetHeight(height);
    font.SetStyle(style);
    font.SetColor(clBlack);
    return font;
}

// The advance of a character in pixels, read straight from the font file.
int32_t FreeTypeAdvance(const std::string& file, int emPixels, char32_t ch) {
    FT_Library library;
    FT_Init_FreeType(&library);
    FT_Face face;
    EXPECT_EQ(FT_New_Face(library, file.c_str(), 0, &face), 0);
    FT_Set_Pixel_Sizes(face, 0, emPixels);
    FT_Load_Char(face, ch, FT_LOAD_DEFAULT);
    const auto advance = static_cast<int32_t>((face->glyph->advance.x + 32) >> 6);
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return advance;
}

TEST(Text, FaceNamesMapToInstalledFonts) {
    for (const char* name : {"MS Sans Serif", "Tahoma", "Arial", "Small Fonts"}) {
        const auto file = ResolveFont(Font(name)).file;
        EXPECT_TRUE(file.find("LiberationSans-Regular") != std::string::npos ||
                    file.find("DejaVuSans.ttf") != std::string::npos)
            << name << ": " << file;
    }
    EXPECT_NE(ResolveFont(Font("Courier New")).file.find("LiberationMono"), std::string::npos);
    EXPECT_NE(ResolveFont(Font("Times New Roman")).file.find("LiberationSerif"), std::string::npos);
    const auto bold = ResolveFont(Font("Arial", -11, fsBold | fsItalic));
    EXPECT_NE(bold.file.find("BoldItalic"), std::string::npos) << bold.file;
    EXPECT_FALSE(bold.syntheticBold);
    EXPECT_FALSE(ResolveFont(Font("No Such Face Anywhere")).file.empty());
}

TEST(Text, ExtentsGrowWithTextAndSize) {
    const TFont small = Font();
    const TSize abc = TextExtent(small, "abc");
    const TSize abcdef = TextExtent(small, "abcdef");
    EXPECT_GT(abc.cx, 0);
    EXPECT_GT(abcdef.cx, abc.cx);
    EXPECT_EQ(abcdef.cy, abc.cy);
    const TSize large = TextExtent(Font("MS Sans Serif", -24), "abc");
    EXPECT_GT(large.cx, abc.cx);
    EXPECT_GT(large.cy, abc.cy);
    EXPECT_GT(TextExtent(Font("Arial", -11, fsBold), "Wide text").cx, TextExtent(small, "Wide text").cx);
}

TEST(Text, HeightIsAscentPlusDescent) {
    const FontMetrics m = GetFontMetrics(Font());
    EXPECT_EQ(m.height, m.ascent + m.descent);
    EXPECT_EQ(TextExtent(Font(), "Hello").cy, m.height);
    EXPECT_EQ(m.internalLeading, m.height - 11);  // a negative height is the em size
    EXPECT_GT(m.averageCharWidth, 0);
    EXPECT_GE(m.maxCharWidth, m.averageCharWidth);
    EXPECT_EQ(TextExtent(Font("Arial", 20), "Hello").cy, 20);  // a positive height is the cell
    TFont points = Font();
    points.SetSize(12);  // 16 pixels at 96 per inch
    EXPECT_EQ(GetFontMetrics(points).internalLeading, GetFontMetrics(points).height - 16);
}

TEST(Text, EmptyTextHasNoWidthButFullHeight) {
    const TSize empty = TextExtent(Font(), "");
    EXPECT_EQ(empty.cx, 0);
    EXPECT_EQ(empty.cy, GetFontMetrics(Font()).height);
}

TEST(Text, Windows1252CharactersUseTheirUnicodeGlyphs) {
    const TFont font = Font("Arial", -20);
    const std::string file = ResolveFont(font).file;
    EXPECT_EQ(TextExtent(font, "\x80").cx, FreeTypeAdvance(file, 20, U'\u20AC'));
    EXPECT_EQ(TextExtent(font, "\xE9").cx, FreeTypeAdvance(file, 20, U'\u00E9'));
    EXPECT_EQ(TextExtent(font, "\x97").cx, FreeTypeAdvance(file, 20, U'\u2014'));
    EXPECT_EQ(TextExtent(font, "Wm").cx, FreeTypeAdvance(file, 20, U'W') + FreeTypeAdvance(file, 20, U'm'));
}

TEST(Text, DrawingStaysInsideTheTextCell) {
    Store store(120, 40);
    const TFont font = Font();
    TextOut(store.View(), 10, 7, font, "Hello World");
    const TSize extent = TextExtent(font, "Hello World");
    const TRect changed = store.Changed();
    EXPECT_LT(changed.Left, changed.Right) << "nothing drawn";
    EXPECT_GE(changed.Left, 10);
    EXPECT_GE(changed.Top, 7);
    EXPECT_LE(changed.Right, 10 + extent.cx);
    EXPECT_LE(changed.Bottom, 7 + extent.cy);
    // Fully covered pixels take the font's colour.
    bool black = false;
    for (uint32_t p : store.pixels) black |= p == 0xFF000000u;
    EXPECT_TRUE(black);
}

TEST(Text, ColourBlendsIntoRgbAndAlphaStaysAsItWas) {
    Store store(80, 20, 0x12FFFFFF);
    TFont font = Font();
    font.SetColor(clRed);
    TextOut(store.View(), 2, 2, font, "Red text");
    bool red = false;
    for (uint32_t p : store.pixels) {
        EXPECT_EQ(p >> 24, 0x12u);
        EXPECT_EQ((p >> 16) & 0xFF, 0xFFu);  // red stays full, green and blue fall
        red |= (p & 0xFFFFFF) == 0xFF0000;
    }
    EXPECT_TRUE(red);
}

TEST(Text, ClipRectangleAndStoreEdgesAreRespected) {
    Store store(60, 30);
    const TRect clip{5, 5, 25, 12};
    TextOut(store.View(), 3, 3, Font("Arial", -16), "Clipped text", &clip);
    const TRect changed = store.Changed();
    EXPECT_GE(changed.Left, clip.Left);
    EXPECT_GE(changed.Top, clip.Top);
    EXPECT_LE(changed.Right, clip.Right);
    EXPECT_LE(changed.Bottom, clip.Bottom);
    // Partly or wholly outside the store: no write outside it.
    TextOut(store.View(), -30, -5, Font(), "Left of it");
    TextOut(store.View(), 50, 25, Font(), "Past the corner");
    TextOut(store.View(), INT32_MAX - 5, INT32_MIN + 5, Font(), "Far away");
    TextOut(PixelView{}, 0, 0, Font(), "No store");
}

TEST(Text, UnderlineAndStrikeOutAddLines) {
    Store plain(80, 20), underlined(80, 20), struck(80, 20);
    TextOut(plain.View(), 0, 0, Font(), "ace");
    TextOut(underlined.View(), 0, 0, Font("MS Sans Serif", -11, fsUnderline), "ace");
    TextOut(struck.View(), 0, 0, Font("MS Sans Serif", -11, fsStrikeOut), "ace");
    const int32_t ascent = GetFontMetrics(Font()).ascent;
    EXPECT_GT(underlined.Changed().Bottom, ascent);  // "ace" has no descender: the line is below it
    EXPECT_LE(plain.Changed().Bottom, ascent + 1);
    int struckRows = 0, plainRows = 0;
    for (int y = 0; y < 20; ++y) {
        int s = 0, p = 0;
        for (int x = 0; x < 80; ++x) s += struck.At(x, y) == 0xFF000000u, p += plain.At(x, y) == 0xFF000000u;
        struckRows += s > 10, plainRows += p > 10;
    }
    EXPECT_GT(struckRows, plainRows);
}

TEST(Text, OpaqueBackgroundAndOptions) {
    Store store(60, 30);
    const TRect rect{2, 2, 40, 20};
    ExtTextOut(store.View(), 4, 4, ETO_OPAQUE | ETO_CLIPPED, &rect, Font(), "ab", clYellow);
    EXPECT_EQ(store.At(2, 2), 0xFFFFFF00u);
    EXPECT_EQ(store.At(39, 19), 0xFFFFFF00u);
    EXPECT_EQ(store.At(40, 20), 0xFFFFFFFFu);
    Store cell(60, 30);
    ExtTextOut(cell.View(), 4, 4, 0, nullptr, Font(), "ab", clBlue);
    const TSize extent = TextExtent(Font(), "ab");
    EXPECT_EQ(cell.Changed(), (TRect{4, 4, 4 + extent.cx, 4 + extent.cy}));
    EXPECT_EQ(cell.At(4, 4), 0xFF0000FFu);
}

TEST(Text, TurnedTextLiesAlongItsTurnedBaseline) {
    const TFont font = Font("Arial", -20);
    const TSize extent = TextExtent(font, "WWWW");
    const FontMetrics metrics = GetFontMetrics(font);
    const int32_t x = 100, y = 100;
    struct Turn {
        int32_t escapement;
        TRect cell;  // where the turned text cell lies
    } const turns[] = {
        {0, {x - extent.cx / 2, y - metrics.ascent, x + extent.cx / 2, y + metrics.descent}},
        // A quarter turn: the text runs upwards, its top to the left.
        {900, {x - metrics.ascent, y - extent.cx / 2, x + metrics.descent, y + extent.cx / 2}},
        {1800, {x - extent.cx / 2, y - metrics.descent, x + extent.cx / 2, y + metrics.ascent}},
        {2700, {x - metrics.descent, y - extent.cx / 2, x + metrics.ascent, y + extent.cx / 2}},
    };
    for (const auto& [escapement, cell] : turns) {
        SCOPED_TRACE(escapement);
        Store ink(200, 200), filled(200, 200);
        TurnedTextOut(ink.View(), x, y, font, "WWWW", escapement);
        TurnedTextOut(filled.View(), x, y, font, "WWWW", escapement, nullptr, clYellow);
        // The ink lies inside the turned cell and fills its length; the
        // background fills the cell.
        const TRect drawn = ink.Changed(), background = filled.Changed();
        EXPECT_GE(drawn.Left, cell.Left - 1);
        EXPECT_GE(drawn.Top, cell.Top - 1);
        EXPECT_LE(drawn.Right, cell.Right + 1);
        EXPECT_LE(drawn.Bottom, cell.Bottom + 1);
        const bool across = escapement % 1800 == 0;
        EXPECT_NEAR(across ? drawn.Right - drawn.Left : drawn.Bottom - drawn.Top, extent.cx, 2);
        EXPECT_NEAR(background.Left, cell.Left, 1);
        EXPECT_NEAR(background.Top, cell.Top, 1);
        EXPECT_NEAR(background.Right, cell.Right, 1);
        EXPECT_NEAR(background.Bottom, cell.Bottom, 1);
        EXPECT_EQ(filled.At(cell.Left + 1, cell.Top + 1), 0xFFFFFF00u);
    }
}

TEST(Text, TurnedTextAtAnAngleKeepsItsLengthAndClip) {
    const TFont font = Font("Arial", -20, fsUnderline);
    const int32_t width = TextExtent(font, "Thornvale").cx;
    Store ink(200, 200);
    TurnedTextOut(ink.View(), 100, 100, font, "Thornvale", 450);
    const TRect drawn = ink.Changed();
    // Half a turn of 90 degrees: the line's length shows as width / sqrt(2)
    // across and up, plus the letters' height.
    EXPECT_GT(drawn.Right - drawn.Left, width * 0.7);
    EXPECT_LT(drawn.Right - drawn.Left, width * 0.71 + 25);
    EXPECT_GT(drawn.Bottom - drawn.Top, width * 0.7);

    Store clipped(200, 200);
    const TRect clip{0, 0, 100, 200};
    TurnedTextOut(clipped.View(), 100, 100, font, "Thornvale", 450, &clip);
    EXPECT_LE(clipped.Changed().Right, 100);
    EXPECT_GT(clipped.Changed().Right, 95);
}

}  // namespace
