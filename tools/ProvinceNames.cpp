#include "tools/ProvinceNames.h"

#include <algorithm>
#include <array>
#include <set>
#include <string_view>

#include "tools/Random.h"

namespace thorn::startdir {

namespace {

constexpr std::array<std::string_view, 48> kStarts{
    "Ael", "Bar", "Cal", "Dun", "Eld", "Fen",  "Gal", "Hal", "Ist", "Kar", "Lor",  "Mor",
    "Nar", "Or",  "Pel", "Quen", "Ral", "Sar", "Tal", "Ul",  "Val", "Wen", "Yr",   "Zan",
    "Ash", "Bel", "Cor", "Dra", "Ery", "Gor",  "Hel", "Ith", "Kel", "Lyn", "Mar",  "Nim",
    "Ost", "Ryn", "Sil", "Thar", "Vor", "Wyl", "Bry", "Cael", "Fal", "Gwen", "Mael", "Tor",
};

// \xEB, \xE4, \xF6 and \xE9 are e-diaeresis, a-diaeresis, o-diaeresis and
// e-acute in Windows-1252.
constexpr std::array<std::string_view, 20> kMiddles{
    "a", "e", "i", "o", "an", "en", "ar", "or", "il", "el",
    "ad", "ith", "und", "ow", "ay", "\xEB", "\xE4r", "\xF6", "\xE9n", "u",
};

constexpr std::array<std::string_view, 42> kEnds{
    "dor",  "mar",  "wyn",  "heim", "gard",  "ford",  "moor",   "vale",  "mere", "holt", "wick",
    "ston", "ia",   "eth",  "ara",  "ion",   "ros",   "thas",   "dell",  "crag", "fell", "march",
    "ley",  "brook", "shire", "mont", "gate", "ric",  "ven",    "dun",   "ost",  "wald", "haven",
    "lin",  "rath", "var",  "oth",  "mund",  "wen",   "dal",    "reach", "hollow",
};

bool Acceptable(const std::string& name) {
    if (name.size() < 5 || name.size() > 12) return false;
    for (size_t i = 2; i < name.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(name[i]) == lower(name[i - 1]) && lower(name[i]) == lower(name[i - 2])) return false;
    }
    return true;
}

}  // namespace

std::vector<std::string> ProvinceNames(size_t count) {
    Random random(0x7A11E5u);
    std::set<std::string> names;
    while (names.size() < count) {
        std::string name(kStarts[random.Below(static_cast<int>(kStarts.size()))]);
        if (random.Below(5) < 2) name += kMiddles[random.Below(static_cast<int>(kMiddles.size()))];
        name += kEnds[random.Below(static_cast<int>(kEnds.size()))];
        if (Acceptable(name)) names.insert(name);
    }
    return {names.begin(), names.end()};
}

std::string NamesFileText(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += name + "\r\n";
    return text;
}

}  // namespace thorn::startdir
