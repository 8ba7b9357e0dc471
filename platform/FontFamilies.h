#pragma once

#include <string>
#include <vector>

// The font families installed, as the font dialog offers them.
namespace thorn::text {

// One style of a family: its name as the font calls it ("Book", "Bold
// Oblique") and the bold and italic a TFont asks for to draw with it.
struct FontStyle {
    std::string name;
    bool bold = false;
    bool italic = false;
};

struct FontFamily {
    std::string name;
    // In the order regular, italic, bold, bold italic; only those the family
    // has a face for (none is made up).
    std::vector<FontStyle> styles;
};

// The scalable families fontconfig knows, sorted by name without case, each
// name once (a face listed under two names counts in both families). Names
// and styles are Windows-1252; a family whose name the code page cannot
// spell is left out. Each style is named after the face the text calls draw
// for that family, bold and italic, so choosing it draws exactly that face.
// Read once per run.
const std::vector<FontFamily>& FontFamilies();

}  // namespace thorn::text
