#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

class CProvince;

// Every text of a mission in one language: the mission's own texts, the names
// of the players, of the game data's unit types, castle types, resources and
// skills, the picture paths of castle and army types, the province names by
// province index and the title and text pairs of the events. Texts are
// Windows-1252 bytes.
//
// The mission texts, the event pairs and the player and province names change
// through setters that mark the project modified; a text the files cannot
// hold (longer than 65534 characters, or with a NUL inside) is refused. The
// game-data names and paths are plain values. An index past an array is
// refused by setters and read as an empty text by getters.
class CStringTable {
public:
    static constexpr int kReservedCount = 38;
    static constexpr int kPlayerCount = 6;
    static constexpr int kUnitTypeCount = 40;
    static constexpr int kCastleTypeCount = 16;
    static constexpr int kResourceCount = 16;
    static constexpr int kSkillCount = 16;
    static constexpr int kProvinceCount = 99;
    static constexpr int kEventPairCount = 145;
    static constexpr uint8_t kNotFound = 0xFF;
    static constexpr size_t kMaxTextLength = 65534;

    struct CEventStrings {
        std::string Title;
        std::string Text;
    };

    CStringTable();

    std::string TableName = "Table Name";
    std::string Author = "Unknown";
    std::string AuthorNotes = "No notes";
    std::string MissionName = "My Mission";
    std::string ShortDescription = "Short description";
    std::string FullDescription = "Full description";
    std::array<std::string, kReservedCount> Reserved;  // stored, never used
    std::array<std::string, kPlayerCount> PlayerNames;
    std::array<std::string, kUnitTypeCount> UnitNames;
    std::array<std::string, kCastleTypeCount> CastleTypeNames;
    std::array<std::string, kCastleTypeCount> CastleImagePaths;
    std::array<std::string, kCastleTypeCount> ArmyImagePaths;
    std::array<std::string, kResourceCount> ResourceNames;
    std::array<std::string, kSkillCount> SkillNames;
    std::string VictoryText = "You win!";
    std::string DefeatText = "You lose!";
    std::array<std::string, kProvinceCount> ProvinceNames;
    std::array<CEventStrings, kEventPairCount> EventStrings;

    // Set-if-changed: 0 when the text equals the stored one (or cannot be
    // stored), else store it, mark the project modified and answer 1.
    int SetAuthor(std::string_view text);
    int SetAuthorNotes(std::string_view text);
    int SetMissionName(std::string_view text);
    int SetShortDescription(std::string_view text);
    int SetVictoryText(std::string_view text);
    int SetDefeatText(std::string_view text);
    int SetEventTitle(uint8_t n, std::string_view text);
    int SetEventText(uint8_t n, std::string_view text);

    // Names are unique: 0 for a player past 5, a null province or one not in
    // the project, or a name that any player (province) already bears, the
    // unchanged name included; else store, mark modified, answer 1.
    int SetPlayerName(uint8_t n, std::string_view name);
    int SetProvinceName(const CProvince* province, std::string_view name);
    // "none" for a player past 5, a null province or one not in the project.
    std::string GetPlayerName(uint8_t n) const;
    std::string GetProvinceName(const CProvince* province) const;

    // Index of the first exactly equal name; 0xFF when there is none.
    uint8_t FindPlayerName(std::string_view name) const;
    uint8_t FindUnitName(std::string_view name) const;
    uint8_t FindProvinceName(std::string_view name) const;

    // Game-data names and paths: no comparison, no modified mark.
    std::string GetUnitName(uint8_t n) const;
    void SetUnitName(uint8_t n, std::string_view name);
    std::string GetCastleTypeName(uint8_t n) const;
    void SetCastleTypeName(uint8_t n, std::string_view name);
    std::string GetCastleImagePath(uint8_t n) const;
    void SetCastleImagePath(uint8_t n, std::string_view path);
    std::string GetArmyImagePath(uint8_t n) const;
    void SetArmyImagePath(uint8_t n, std::string_view path);
    std::string GetResourceName(uint8_t n) const;
    void SetResourceName(uint8_t n, std::string_view name);
    std::string GetSkillName(uint8_t n) const;
    void SetSkillName(uint8_t n, std::string_view name);
    std::string GetEventTitle(uint8_t n) const;
    std::string GetEventText(uint8_t n) const;

    // Removes province name n, moving the later names down; the last place
    // becomes empty. n past 98 changes nothing.
    void RemoveProvinceName(uint8_t n);
};

// The text with every CR LF pair replaced by "{br}"; a lone CR or LF stays.
std::string ReplaceLineBreaks(std::string_view text);
