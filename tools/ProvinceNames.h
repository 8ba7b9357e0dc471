#pragma once

#include <string>
#include <vector>

namespace thorn::startdir {

// Invented province names composed from syllables with a fixed seed, sorted,
// each once: the samples the editor's name generator learns from. Windows-1252
// text; a few carry accented letters.
std::vector<std::string> ProvinceNames(size_t count);

// The names one per line with CR LF line ends, as the editor's texts are.
std::string NamesFileText(const std::vector<std::string>& names);

}  // namespace thorn::startdir
