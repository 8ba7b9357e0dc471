// Reads arbitrary bytes as the sample names "data/names.txt" and invents
// names from them. Every line must be learned as the generator's rules say
// (each key once, one follower for each letter after the first three, one
// ending a line), and every invented name must come to an end, at most six
// characters long.
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>

#include "editor/ProvinceNameGenerator.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    thorn::ProvinceNameTables tables;
    thorn::LearnSampleNames(tables, text);

    size_t lines = 0, letters = 0;
    for (size_t start = 0; start < text.size(); ++lines) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        const size_t length = end - start;
        letters += length > 3 ? length - 3 : 0;
        start = end + 1;
        if (end < text.size() && text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
    }
    if (tables.NameEndings.size() != lines) std::abort();
    std::set<std::string> keys;
    size_t followers = 0;
    for (const auto& key : tables.NameKeys) {
        if (key.Key.size() != 3 || key.Followers.empty() || !keys.insert(key.Key).second) std::abort();
        followers += key.Followers.size();
    }
    if (followers != letters) std::abort();

    tables.CRandSeed = static_cast<uint32_t>(size);
    for (int i = 0; i < 8; ++i) {
        const auto name = tables.GenerateProvinceName();
        if (name.has_value() == tables.NameKeys.empty()) std::abort();
        if (name && (name->empty() || name->size() > 6)) std::abort();
    }
    return 0;
}
