#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace thorn {

// A text file read for a text of the game: Windows-1252 with CR LF line
// breaks, at most a given number of characters.
struct LoadedText {
    enum class Outcome : uint8_t {
        Whole,    // the file's whole text
        Cut,      // its first characters, as many as the limit lets in
        Refused,  // nothing: the file holds a character the text cannot keep
    };
    Outcome outcome = Outcome::Whole;
    // Read as UTF-8 (the bytes were well-formed UTF-8), else as Windows-1252.
    bool utf8 = false;
    // What is loaded; empty when refused.
    std::string text;
    // How many characters the file's whole text has (a line break counts
    // two, as CR LF).
    size_t length = 0;
    // Refused: the first character that cannot be kept (0 for NUL) and
    // where it stands, line and column counted from 1.
    char32_t refused = 0;
    int line = 0;
    int column = 0;
};

// The text of a file's bytes: UTF-8 when they are well-formed UTF-8 (a
// leading byte order mark is dropped), else Windows-1252. Line breaks (CR
// LF, a lone CR, a lone LF) become CR LF. A NUL, or a character that
// Windows-1252 lacks, refuses the whole file; a text of more than limit
// characters is cut there (0: no limit), never between CR and LF.
LoadedText DecodeTextFile(std::string_view bytes, size_t limit);

}  // namespace thorn
