#include "editor/ProvinceNameGenerator.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <stdexcept>

#include "platform/Charset.h"
#include "platform/Classes.h"
#include "platform/Files.h"
#include "platform/Random.h"
#include "platform/StringList.h"

namespace thorn {
namespace {

constexpr char kEnd = '?';
constexpr std::size_t kKeyLength = 3;

// A key of up to three characters as one number: its length, then its
// characters, a byte each.
uint32_t PackedKey(std::string_view key) {
    uint32_t packed = static_cast<uint32_t>(key.size()) << 24;
    for (std::size_t i = 0; i < key.size(); ++i) packed |= uint32_t{static_cast<unsigned char>(key[i])} << (8 * i);
    return packed;
}

// The C library's generator as the original platform's runtime has it.
int CRand(uint32_t& seed) {
    seed = seed * 22'695'477u + 1;
    return static_cast<int>((seed >> 16) & 0x7FFF);
}

int HundredthsOfSecond() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count() % 1000 / 10);
}

std::string LowerCased(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(LowerCase1252(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

std::string NameKeyAt(std::string_view text, std::size_t position) {
    if (position == 0 || position > text.size()) return {};
    return std::string(text.substr(position - 1, 3));
}

void ProvinceNameTables::FreeNameTable() {
    NameKeys.clear();
    NameEndings.clear();
    keyIndex_.clear();
}

std::size_t ProvinceNameTables::FindOrAddNameKey(std::string_view key) {
    if (key.size() > kKeyLength) throw std::invalid_argument("a name key has at most three characters");
    const auto [entry, added] = keyIndex_.try_emplace(PackedKey(key), NameKeys.size());
    if (added) NameKeys.push_back({std::string(key), {}});
    return entry->second;
}

const ProvinceNameTables::NameKey* ProvinceNameTables::FindNameKey(std::string_view key) const {
    if (key.size() > kKeyLength) return nullptr;
    const auto entry = keyIndex_.find(PackedKey(key));
    return entry == keyIndex_.end() ? nullptr : &NameKeys[entry->second];
}

void ProvinceNameTables::LearnName(std::string_view sample) {
    // The windows stop before the final '?', which is never a follower.
    for (std::size_t p = 0; p + 4 < sample.size(); ++p)
        NameKeys[FindOrAddNameKey(sample.substr(p, 3))].Followers.push_back(sample[p + 3]);
}

std::size_t ProvinceNameTables::PickRandomEntry(std::size_t count) {
    const auto r1 = static_cast<std::size_t>(Random(999));
    const auto r2 = static_cast<std::size_t>(CRand(CRandSeed));
    return (r1 + r2 + static_cast<std::size_t>(HundredthsOfSecond())) % count;
}

char ProvinceNameTables::NextLetter(std::string_view key) {
    const NameKey* entry = FindNameKey(key);
    if (!entry || entry->Followers.empty()) return kEnd;
    return entry->Followers[PickRandomEntry(entry->Followers.size())];
}

std::string ProvinceNameTables::MatchKnownEnding(std::string_view tail) const {
    for (; tail.size() >= 2; tail.remove_suffix(1))
        for (const std::string& ending : NameEndings)
            if (ending.find(tail) != std::string::npos && ending.front() == tail.front()) return ending;
    return std::string(tail);
}

void ProvinceNameTables::SeedFromClock() { CRandSeed = static_cast<uint32_t>(std::time(nullptr)); }

std::optional<std::string> ProvinceNameTables::GenerateProvinceName() {
    if (NameKeys.empty()) return std::nullopt;
    SeedFromClock();
    std::string name = NameKeys[PickRandomEntry(NameKeys.size())].Key;
    for (std::size_t i = 0; i < 3 && name.back() != kEnd; ++i) name += NextLetter(NameKeyAt(name, i + 1));
    if (name.back() != kEnd) {
        const std::string tail = name.substr(3);
        name.erase(3);
        name += MatchKnownEnding(tail);
    }
    if (name.back() == kEnd) name.pop_back();
    if (!name.empty()) name.front() = static_cast<char>(UpperCase1252(static_cast<unsigned char>(name.front())));
    return name;
}

std::optional<std::string> ProvinceNameTables::GenerateUnusedName(
    const std::function<bool(const std::string&)>& taken, int attempts) {
    for (int i = 0; i < attempts; ++i) {
        std::optional<std::string> name = GenerateProvinceName();
        if (!name) return std::nullopt;
        if (!taken(*name)) return name;
    }
    return std::nullopt;
}

void LearnSampleNames(ProvinceNameTables& tables, std::string_view text) {
    tables.FreeNameTable();
    TStringList lines;
    lines.SetText(text);
    for (int i = 0; i < lines.GetCount(); ++i) {
        const std::string sample = lines[i] + kEnd;
        tables.NameEndings.push_back(sample.size() > 4 ? sample.substr(sample.size() - 4) : sample);
        tables.LearnName(LowerCased(sample));
    }
}

int ProvinceNameGenerator(ProvinceNameTables& tables, const std::filesystem::path& startDir) {
    tables.SeedFromClock();
    tables.FreeNameTable();
    std::vector<uint8_t> bytes;
    try {
        bytes = ReadRegularFile(startDir / "data" / "names.txt", kMaxNamesFileSize);
    } catch (const EStreamError& refusal) {
        std::fputs("\n\nCannot open file 'names.txt'\n\n", stdout);
        std::fputs((refusal.Message() + "\n").c_str(), stdout);
        return 0;
    }
    LearnSampleNames(tables, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    return 1;
}

}  // namespace thorn
