#include "model/StringTable.h"

#include <algorithm>
#include <cstdio>

#include "model/ProjectLink.h"

namespace {

constexpr const char* kNone = "none";

std::string Numbered(const char* format, int n) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, format, n);
    return buffer;
}

// Whether a text can be stored and saved as it is: the files hold a text and
// its NUL in a 16-bit count and end it at its first NUL.
bool Storable(std::string_view text) {
    return text.size() <= CStringTable::kMaxTextLength && text.find('\0') == std::string_view::npos;
}

int SetIfChanged(std::string& field, std::string_view text) {
    if (field == text || !Storable(text)) return 0;
    field.assign(text);
    thorn::Project().MarkModified();
    return 1;
}

template <size_t N>
uint8_t Find(const std::array<std::string, N>& names, std::string_view name) {
    auto it = std::find(names.begin(), names.end(), name);
    return it == names.end() ? CStringTable::kNotFound : static_cast<uint8_t>(it - names.begin());
}

template <size_t N>
std::string Get(const std::array<std::string, N>& names, uint8_t n) {
    return n < N ? names[n] : std::string();
}

template <size_t N>
void Set(std::array<std::string, N>& names, uint8_t n, std::string_view value) {
    if (n < N) names[n].assign(value);
}

}  // namespace

CStringTable::CStringTable() {
    for (int i = 0; i < kPlayerCount; ++i) PlayerNames[i] = Numbered("Player %d", i + 1);
    for (int i = 0; i < kUnitTypeCount; ++i) UnitNames[i] = Numbered("Unit %d", i);
    for (int i = 0; i < kCastleTypeCount; ++i) CastleTypeNames[i] = Numbered("Castle Type %d", i);
    for (int i = 0; i < kResourceCount; ++i) ResourceNames[i] = Numbered("Resource %d", i);
}

int CStringTable::SetAuthor(std::string_view text) { return SetIfChanged(Author, text); }
int CStringTable::SetAuthorNotes(std::string_view text) { return SetIfChanged(AuthorNotes, text); }
int CStringTable::SetMissionName(std::string_view text) { return SetIfChanged(MissionName, text); }
int CStringTable::SetShortDescription(std::string_view text) { return SetIfChanged(ShortDescription, text); }
int CStringTable::SetVictoryText(std::string_view text) { return SetIfChanged(VictoryText, text); }
int CStringTable::SetDefeatText(std::string_view text) { return SetIfChanged(DefeatText, text); }

int CStringTable::SetEventTitle(uint8_t n, std::string_view text) {
    return n < kEventPairCount ? SetIfChanged(EventStrings[n].Title, text) : 0;
}

int CStringTable::SetEventText(uint8_t n, std::string_view text) {
    return n < kEventPairCount ? SetIfChanged(EventStrings[n].Text, text) : 0;
}

int CStringTable::SetPlayerName(uint8_t n, std::string_view name) {
    if (n >= kPlayerCount || FindPlayerName(name) != kNotFound || !Storable(name)) return 0;
    PlayerNames[n].assign(name);
    thorn::Project().MarkModified();
    return 1;
}

int CStringTable::SetProvinceName(const CProvince* province, std::string_view name) {
    if (!province || FindProvinceName(name) != kNotFound || !Storable(name)) return 0;
    uint8_t index = thorn::Project().ProvinceIndex(province);
    if (index >= kProvinceCount) return 0;
    ProvinceNames[index].assign(name);
    thorn::Project().MarkModified();
    return 1;
}

std::string CStringTable::GetPlayerName(uint8_t n) const { return n < kPlayerCount ? PlayerNames[n] : kNone; }

std::string CStringTable::GetProvinceName(const CProvince* province) const {
    if (!province) return kNone;
    uint8_t index = thorn::Project().ProvinceIndex(province);
    return index < kProvinceCount ? ProvinceNames[index] : kNone;
}

uint8_t CStringTable::FindPlayerName(std::string_view name) const { return Find(PlayerNames, name); }
uint8_t CStringTable::FindUnitName(std::string_view name) const { return Find(UnitNames, name); }
uint8_t CStringTable::FindProvinceName(std::string_view name) const { return Find(ProvinceNames, name); }

std::string CStringTable::GetUnitName(uint8_t n) const { return Get(UnitNames, n); }
void CStringTable::SetUnitName(uint8_t n, std::string_view name) { Set(UnitNames, n, name); }
std::string CStringTable::GetCastleTypeName(uint8_t n) const { return Get(CastleTypeNames, n); }
void CStringTable::SetCastleTypeName(uint8_t n, std::string_view name) { Set(CastleTypeNames, n, name); }
std::string CStringTable::GetCastleImagePath(uint8_t n) const { return Get(CastleImagePaths, n); }
void CStringTable::SetCastleImagePath(uint8_t n, std::string_view path) { Set(CastleImagePaths, n, path); }
std::string CStringTable::GetArmyImagePath(uint8_t n) const { return Get(ArmyImagePaths, n); }
void CStringTable::SetArmyImagePath(uint8_t n, std::string_view path) { Set(ArmyImagePaths, n, path); }
std::string CStringTable::GetResourceName(uint8_t n) const { return Get(ResourceNames, n); }
void CStringTable::SetResourceName(uint8_t n, std::string_view name) { Set(ResourceNames, n, name); }
std::string CStringTable::GetSkillName(uint8_t n) const { return Get(SkillNames, n); }
void CStringTable::SetSkillName(uint8_t n, std::string_view name) { Set(SkillNames, n, name); }

std::string CStringTable::GetEventTitle(uint8_t n) const {
    return n < kEventPairCount ? EventStrings[n].Title : std::string();
}

std::string CStringTable::GetEventText(uint8_t n) const {
    return n < kEventPairCount ? EventStrings[n].Text : std::string();
}

void CStringTable::RemoveProvinceName(uint8_t n) {
    if (n >= kProvinceCount) return;
    std::move(ProvinceNames.begin() + n + 1, ProvinceNames.end(), ProvinceNames.begin() + n);
    // The last place belongs to no province any more: left as it was, it
    // would repeat the name moved down from it.
    ProvinceNames.back().clear();
}

std::string ReplaceLineBreaks(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            result += "{br}";
            ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}
