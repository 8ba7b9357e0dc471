#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

// The fixed vocabulary of the four property grids (mission, player,
// province, event): item keys, which become the items' component names and
// find them again, the captions of their rows, and the choice texts of the
// choice items. Keys and choices are compared exactly.
namespace InspectorKeys {

// Shared texts.
inline constexpr char Present[] = "present";
inline constexpr char NotPresent[] = "not present";
inline constexpr char Empty[] = "";

// Mission properties.
inline constexpr char MisAuthor[] = "MisAuthor";
inline constexpr char MisAuthorCaption[] = "Mission Author";
inline constexpr char MisAuthorNotes[] = "MisAuthorNotes";
inline constexpr char MisAuthorNotesCaption[] = "Author Notes";
inline constexpr char MisName[] = "MisName";
inline constexpr char MisNameCaption[] = "Mission Name";
inline constexpr char SDesc[] = "SDesc";
inline constexpr char SDescCaption[] = "Short Description";
inline constexpr char FDesc[] = "FDesc";
inline constexpr char Diff[] = "Diff";
inline constexpr char MaxExp[] = "MaxExp";
inline constexpr char VictMsg[] = "VictMsg";
inline constexpr char VictMsgCaption[] = "Victory message";
inline constexpr char DefeatMsg[] = "DefeatMsg";
inline constexpr char DefeatMsgCaption[] = "Defeat message";
inline constexpr char VConds[] = "VConds";
inline constexpr char VCond01_01[] = "VCond01_01";
inline constexpr char VCond01_01Caption[] = "Defeat Ally";
inline constexpr char VCond02_01[] = "VCond02_01";
inline constexpr char VCond02_01Caption[] = "Player";
inline constexpr char VCond03_01[] = "VCond03_01";
inline constexpr char VCond03_01Caption[] = "Army";
inline constexpr char VCond03_02[] = "VCond03_02";
inline constexpr char VCond03_02Caption[] = "\"Defeat opponents\" Victory";
inline constexpr char VCond03_03[] = "VCond03_03";
inline constexpr char VCond03_03Caption[] = "Applies To Comp. Players";
inline constexpr char VCond04_01[] = "VCond04_01";
inline constexpr char VCond04_01Caption[] = "Resources";
inline constexpr char VCond04_02[] = "VCond04_02";
inline constexpr char VCond04_02Caption[] = "Allow \"Defeat All\" Victory";
inline constexpr char VCond04_03[] = "VCond04_03";
inline constexpr char VCond04_03Caption[] = "Applies To Comp. Players";
inline constexpr char VCond05_01[] = "VCond05_01";
inline constexpr char VCond05_01Caption[] = "Province";
inline constexpr char LConds[] = "LConds";
inline constexpr char LCond01_01[] = "LCond01_01";
inline constexpr char LCond01_01Caption[] = "Province";
inline constexpr char LCond02_01[] = "LCond02_01";
inline constexpr char LCond02_01Caption[] = "Max Turns To Win";

// Player.
inline constexpr char Active[] = "Active";
inline constexpr char ActiveCaption[] = "Active Player";
inline constexpr char Name[] = "Name";
inline constexpr char NameCaption[] = "Name";
inline constexpr char Skills[] = "Skills";
inline constexpr char SkillsCaption[] = "Skills";
inline constexpr char Capital[] = "Capital";
inline constexpr char CapitalCaption[] = "Capital";
inline constexpr char Playab[] = "Playab";
inline constexpr char PlayabCaption[] = "Playability";
inline constexpr char PlayabHuman[] = "Human";
inline constexpr char PlayabComputer[] = "Computer";
inline constexpr char PlayabHumanComputer[] = "Human & Computer";
inline constexpr char PlType[] = "PlType";
inline constexpr char PlTypeCaption[] = "AI Type";
inline constexpr char ResT[] = "ResT";
inline constexpr char ResTCaption[] = "Treasury";
inline constexpr char UnitT[] = "UnitT";
inline constexpr char UnitTCaption[] = "Unit Types";
// "Army" keys the campaign army in the player grid and the guardian army in
// the province grid.
inline constexpr char Army[] = "Army";
inline constexpr char PlayerArmyCaption[] = "Campaign Army";
// Numbered rows: the format takes the row's 0-based index (NumberedKey);
// the unit slot's caption takes the index + 1.
inline constexpr char SkillN[] = "Skill_%d";
inline constexpr char PlResN[] = "PlRes_%d";
inline constexpr char UnitN[] = "Unit_%d";
inline constexpr char UnitNCaption[] = "Unit %d";
inline constexpr char ArmyN[] = "Army_%d";  // both grids

// Province.
inline constexpr char ProvName[] = "ProvName";
inline constexpr char ProvNameCaption[] = "Name";
inline constexpr char Owner[] = "Owner";
inline constexpr char OwnerCaption[] = "Owner";
inline constexpr char Resour[] = "Resour";
inline constexpr char ResourCaption[] = "Resources";
inline constexpr char ResN[] = "Res_%d";
inline constexpr char ProvinceArmyCaption[] = "Guardian Army";
inline constexpr char Castle[] = "Castle";
inline constexpr char CastleCaption[] = "Castle";
inline constexpr char CastHP[] = "CastHP";
inline constexpr char CastHPCaption[] = "Hit Points";
inline constexpr char CastHP0[] = "0%";
inline constexpr char CastHP25[] = "25%";
inline constexpr char CastHP50[] = "50%";
inline constexpr char CastHP75[] = "75%";
inline constexpr char CastHP100[] = "100%";
inline constexpr char CastMoat[] = "CastMoat";
inline constexpr char CastMoatCaption[] = "Moat";
inline constexpr char CastWalls[] = "CastWalls";
inline constexpr char CastWallsCaption[] = "Fortified walls";
inline constexpr char CastCat[] = "CastCat";
inline constexpr char CastCatCaption[] = "Catapults";
inline constexpr char CastMar[] = "CastMar";
inline constexpr char CastMarCaption[] = "Market";
inline constexpr char CastBan[] = "CastBan";
inline constexpr char CastBanCaption[] = "Bank";
inline constexpr char CastTav[] = "CastTav";
inline constexpr char CastMetlMine[] = "CastMetlMine";
inline constexpr char CastMetlMineCaption[] = "Metal Mine";
inline constexpr char CastStonMine[] = "CastStonMine";
inline constexpr char CastStonMineCaption[] = "Stone Mine";

// Event.
inline constexpr char ETitle[] = "ETitle";
inline constexpr char ETitleCaption[] = "Event Title";
inline constexpr char EDecr[] = "EDecr";
inline constexpr char EDecrCaption[] = "Event Description";
inline constexpr char EAffects[] = "EAffects";
inline constexpr char EAffectsCaption[] = "Affects";
inline constexpr char EAffectsPlayers[] = "Players";
inline constexpr char EPlN[] = "Pl%d";
inline constexpr char ETurn[] = "ETurn";
inline constexpr char ETurnCaption[] = "Occurrence Turn, No.";
inline constexpr char EEffect[] = "EEffect";
inline constexpr char EEffectCaption[] = "Effect";
inline constexpr char EEffectIncrease[] = "Treasury Resources Increase";
inline constexpr char EEffectDecrease[] = "Treasury Resources Decrease";
inline constexpr char EEffectCustom[] = "Custom";
inline constexpr char EResN[] = "Res%d";

}  // namespace InspectorKeys

namespace thorn {

enum class InspectorGroup { Shared, Mission, Player, Province, Event };

// Every string of a group, in its order (keys, captions and choices), for
// walks over the whole vocabulary.
std::span<const std::string_view> InspectorStrings(InspectorGroup group);

// The key (or caption) of row n of a numbered family: the format's "%d"
// replaced by n in decimal ("Skill_%d" and 2 give "Skill_2").
std::string NumberedKey(std::string_view format, int n);
// The row number of a key of the family: the decimal number after the
// format's text before "%d". Empty for a key without that beginning or
// without a number after it.
std::optional<int> KeyNumber(std::string_view format, std::string_view key);

}  // namespace thorn
