#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Graphics.h"
#include "platform/Types.h"

// Formats of DrawText, with the original platform's values.
inline constexpr uint32_t DT_TOP = 0x0;
inline constexpr uint32_t DT_LEFT = 0x0;
inline constexpr uint32_t DT_CENTER = 0x1;
inline constexpr uint32_t DT_RIGHT = 0x2;
inline constexpr uint32_t DT_VCENTER = 0x4;  // single lines only
inline constexpr uint32_t DT_BOTTOM = 0x8;   // single lines only
inline constexpr uint32_t DT_WORDBREAK = 0x10;
inline constexpr uint32_t DT_SINGLELINE = 0x20;
inline constexpr uint32_t DT_EXPANDTABS = 0x40;
inline constexpr uint32_t DT_NOCLIP = 0x100;
inline constexpr uint32_t DT_EXTERNALLEADING = 0x200;  // accepted; the fonts here have none
inline constexpr uint32_t DT_CALCRECT = 0x400;
inline constexpr uint32_t DT_NOPREFIX = 0x800;
inline constexpr uint32_t DT_EDITCONTROL = 0x2000;  // accepted, no effect
inline constexpr uint32_t DT_PATH_ELLIPSIS = 0x4000;  // treated as DT_END_ELLIPSIS
inline constexpr uint32_t DT_END_ELLIPSIS = 0x8000;
inline constexpr uint32_t DT_RTLREADING = 0x20000;  // accepted, no effect
inline constexpr uint32_t DT_WORD_ELLIPSIS = 0x40000;  // treated as DT_END_ELLIPSIS
inline constexpr uint32_t DT_HIDEPREFIX = 0x100000;  // '&' is removed but draws no underline

// Options of ExtTextOut.
inline constexpr uint32_t ETO_OPAQUE = 0x2;   // fill the rectangle with the background first
inline constexpr uint32_t ETO_CLIPPED = 0x4;  // clip the text to the rectangle

// Text measured and drawn into 32-bit pixel stores with FreeType and
// fontconfig: what the original platform's text calls gave. Every text is
// Windows-1252. Sizes are in pixels; a text's height is the font's ascent
// plus descent. Drawing blends the font's colour (ColorToRGB of
// TFont::GetColor) into the red, green and blue of each pixel by the glyph's
// grey-scale coverage and leaves the alpha byte as it was. Fonts and glyphs
// are cached; everything runs on one thread.
namespace thorn {

// The font's metrics in pixels. height = ascent + descent (the cell height);
// internalLeading = height - em size.
struct FontMetrics {
    int32_t ascent = 0;
    int32_t descent = 0;
    int32_t height = 0;
    int32_t internalLeading = 0;
    int32_t externalLeading = 0;
    int32_t averageCharWidth = 0;
    int32_t maxCharWidth = 0;
};

FontMetrics GetFontMetrics(const TFont& font);

// In one line of text a line break (CR LF, or a lone LF) takes the room of
// one space and draws nothing; a CR takes none.

// cx = the sum of the characters' advances, cy = ascent + descent. An empty
// text measures (0, ascent + descent), so a label or row sized by an empty
// caption keeps the height of a line of text.
TSize TextExtent(const TFont& font, std::string_view text);

// Draws one line of text whose text cell has
// its top-left corner at (x, y), clipped to the store and, when given, to
// *clip (as ETO_CLIPPED).
void TextOut(PixelView target, int32_t x, int32_t y, const TFont& font, std::string_view text,
             const TRect* clip = nullptr);

// TextOut with the platform's options: ETO_OPAQUE fills *rect with the
// background colour first, ETO_CLIPPED clips the text to *rect (rect may be
// null, which ignores both). A background colour also fills the text cell
// behind the text (the opaque background mode); nothing means transparent.
void ExtTextOut(PixelView target, int32_t x, int32_t y, uint32_t options, const TRect* rect, const TFont& font,
                std::string_view text, std::optional<TColor> background = std::nullopt);

// One line of text turned counter-clockwise by escapement tenths of a
// degree, as a font with that escapement draws it, centred on its baseline:
// (x, y) is the middle of the baseline. Clipped to the store and to *clip; a
// background colour fills the turned text cell; underline and strike-out
// turn with the text.
void TurnedTextOut(PixelView target, int32_t x, int32_t y, const TFont& font, std::string_view text,
                   int32_t escapement, const TRect* clip = nullptr, std::optional<TColor> background = std::nullopt);

// The platform's formatted text in rect (DT_ flags above). Lines break at CR,
// LF and CR LF unless DT_SINGLELINE (where a break shows as one space, as in
// TextOut); DT_WORDBREAK also breaks at spaces to fit
// the width (a single word wider than the rectangle is not split); '&' marks
// the next character as underlined and "&&" is one '&' unless DT_NOPREFIX;
// DT_END_ELLIPSIS cuts a line that does not fit and ends it with "...";
// DT_EXPANDTABS sets tab stops every eight average character widths. The
// lines are clipped to rect unless DT_NOCLIP. DT_CALCRECT draws nothing and
// sets rect.Right to rect.Left + the widest line and rect.Bottom to rect.Top +
// the text's height. Answers the text's height (with DT_VCENTER or DT_BOTTOM,
// the offset from rect.Top to the text's bottom); an empty text answers 0 and
// with DT_CALCRECT gives an empty rectangle. A background colour fills each
// line's text cell (the opaque background mode).
int32_t DrawText(PixelView target, TRect& rect, uint32_t format, const TFont& font, std::string_view text,
                 std::optional<TColor> background = std::nullopt);

// The installed font file that draws a TFont: its face name mapped through
// fontconfig ("Tahoma", "MS Sans Serif", "Arial" and "Small Fonts" to
// Liberation Sans or DejaVu Sans, "Courier New" to Liberation Mono, "Times New
// Roman" to Liberation Serif), whether bold or italic must be made up
// because the family has no such face, and how wide the face is drawn
// (the interface faces "Tahoma" and "MS Sans Serif" at ten elevenths, to
// their own measure).
struct ResolvedFont {
    std::string file;   // the font file fontconfig chose
    int faceIndex = 0;
    bool syntheticBold = false;
    bool syntheticItalic = false;
    double widthScale = 1.0;  // across, against the em down
};
ResolvedFont ResolveFont(const TFont& font);

}  // namespace thorn
