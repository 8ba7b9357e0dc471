#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace thorn {

// Invents province names that sound like a list of sample names: a letter
// chain of order three learned from the samples, with the samples' endings
// to close long names. '?' marks the end of a name throughout.
class ProvinceNameTables {
public:
    struct NameKey {
        std::string Key;             // three letters
        std::vector<char> Followers;  // one entry per occurrence in the samples
    };

    // Three-letter keys in the order they were first met; filled by
    // LearnName (which keeps an index of them) and emptied by FreeNameTable.
    std::vector<NameKey> NameKeys;
    // Per sample line, its last three characters and '?', in the file's case.
    std::vector<std::string> NameEndings;

    // Empties both tables.
    void FreeNameTable();

    // Adds the transitions of one lower-cased sample that ends with '?'.
    void LearnName(std::string_view sample);
    // Index of the key (three characters or fewer), appended with no
    // followers when it is new.
    std::size_t FindOrAddNameKey(std::string_view key);
    // A random follower of the key; '?' for a key never learned.
    char NextLetter(std::string_view key);
    // The first sample ending that holds the tail and starts with its first
    // letter; else the same for the tail less its last letter; a tail of one
    // letter stands for itself.
    std::string MatchKnownEnding(std::string_view tail) const;

    // One new name of three to six letters, capitalised; nothing while no key
    // has been learned.
    std::optional<std::string> GenerateProvinceName();
    // A generated name that `taken` refuses no more, trying at most `attempts`
    // names: few samples may never give a free one.
    std::optional<std::string> GenerateUnusedName(const std::function<bool(const std::string&)>& taken,
                                                  int attempts = 1000);

    // Seeds the C library's generator as the program does, from the clock's
    // whole seconds; tests seed it themselves.
    void SeedFromClock();
    uint32_t CRandSeed = 0;

private:
    // (class library draw + C library draw + hundredths of the second) mod count.
    std::size_t PickRandomEntry(std::size_t count);
    // The entry of a learned key; null for one never learned.
    const NameKey* FindNameKey(std::string_view key) const;

    // Where each key stands in NameKeys, by its characters packed into one
    // number: a key is found in one step, so learning a large file takes
    // time in proportion to its size.
    std::unordered_map<uint32_t, std::size_t> keyIndex_;
};

// The three characters of the text from a 1-based position (fewer at the end,
// none past it).
std::string NameKeyAt(std::string_view text, std::size_t position);

// The largest "data/names.txt" read: many thousands of names, far more than
// the generator needs.
inline constexpr uint64_t kMaxNamesFileSize = uint64_t{1} << 20;

// Learns the sample names of a text, one a line (a line ends at CR, LF or
// CR LF), into emptied tables.
void LearnSampleNames(ProvinceNameTables& tables, std::string_view text);

// Reads "data/names.txt" of the start folder into the tables; 1 on success,
// 0 when the file cannot be read, leaving the tables empty. A file that is
// not a regular file or is larger than kMaxNamesFileSize is not read; why a
// file was not read follows the line on standard output.
int ProvinceNameGenerator(ProvinceNameTables& tables, const std::filesystem::path& startDir);

}  // namespace thorn
