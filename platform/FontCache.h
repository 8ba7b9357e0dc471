#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/Text.h"

// The fonts behind the text calls: a TFont resolved to an installed face
// through fontconfig, set to its pixel size, with its metrics and its
// rendered glyphs kept for reuse. The texts are Windows-1252, so each sized
// font holds at most 256 glyphs.
namespace thorn::text {

// One rendered character: its grey-scale coverage and where it sits.
struct Glyph {
    int32_t advance = 0;  // pixels the pen moves on
    int32_t left = 0;     // coverage column 0, right of the pen
    int32_t top = 0;      // coverage row 0, above the baseline
    int32_t width = 0;
    int32_t rows = 0;
    std::vector<uint8_t> coverage;  // rows * width, 0 = none, 255 = full
};

// Where a line under or through the text goes: its top relative to the
// baseline (positive is below it) and its thickness, in pixels.
struct Stroke {
    int32_t offset = 0;
    int32_t thickness = 1;
};

class SizedFont {
public:
    virtual ~SizedFont() = default;
    virtual const FontMetrics& Metrics() const = 0;
    virtual const Glyph& GlyphOf(unsigned char ch) = 0;
    // The character turned counter-clockwise by radians about its pen, which
    // lies (fractionX, fractionY) inside the pixel whose top-left corner the
    // glyph's left and top count from (y downwards). Not kept; its advance is
    // GlyphOf's.
    virtual Glyph TurnedGlyph(unsigned char ch, double radians, double fractionX, double fractionY) = 0;
    virtual Stroke Underline() const = 0;
    virtual Stroke StrikeOut() const = 0;
};

// The sized font that draws font (its name, height, pixels per inch and
// bold and italic styles). The reference stays valid until the next call.
// Throws Exception when no usable font is installed.
SizedFont& FontFor(const TFont& font);

// The face fontconfig picks for a name and styles, cached.
ResolvedFont ResolveFace(const std::string& name, bool bold, bool italic);

}  // namespace thorn::text
