#include "editor/GridItemKeys.h"

#include <array>
#include <charconv>

namespace thorn {
namespace {

using namespace InspectorKeys;
using std::string_view;

constexpr std::array<string_view, 3> kShared{Present, NotPresent, Empty};

constexpr std::array<string_view, 39> kMission{
    MisAuthor,  MisAuthorCaption,  MisAuthorNotes,    MisAuthorNotesCaption, MisName,    MisNameCaption,
    SDesc,      SDescCaption,      FDesc,             Diff,                  MaxExp,     VictMsg,
    VictMsgCaption, DefeatMsg,     DefeatMsgCaption,  VConds,                VCond01_01, VCond01_01Caption,
    VCond02_01, VCond02_01Caption, VCond03_01,        VCond03_01Caption,     VCond03_02, VCond03_02Caption,
    VCond03_03, VCond03_03Caption, VCond04_01,        VCond04_01Caption,     VCond04_02, VCond04_02Caption,
    VCond04_03, VCond04_03Caption, VCond05_01,        VCond05_01Caption,     LConds,     LCond01_01,
    LCond01_01Caption, LCond02_01, LCond02_01Caption};

constexpr std::array<string_view, 26> kPlayer{
    Active,       ActiveCaption,  Name,       NameCaption,   Skills,         SkillsCaption, Capital,
    CapitalCaption, Playab,       PlayabCaption, PlayabHuman, PlayabComputer, PlayabHumanComputer, PlType,
    PlTypeCaption, ResT,          ResTCaption, UnitT,        UnitTCaption,   Army,          PlayerArmyCaption,
    SkillN,       PlResN,         UnitN,      UnitNCaption,  ArmyN};

constexpr std::array<string_view, 34> kProvince{
    ProvName,    ProvNameCaption, Owner,         OwnerCaption,    Resour,       ResourCaption,
    Army,        ProvinceArmyCaption, Castle,    CastleCaption,   CastHP,       CastHPCaption,
    CastHP0,     CastHP25,        CastHP50,      CastHP75,        CastHP100,    CastMoat,
    CastMoatCaption, CastWalls,   CastWallsCaption, CastCat,      CastCatCaption, CastMar,
    CastMarCaption, CastBan,      CastBanCaption, CastTav,        CastMetlMine, CastMetlMineCaption,
    CastStonMine, CastStonMineCaption, ResN, ArmyN};

constexpr std::array<string_view, 16> kEvent{
    ETitle,  ETitleCaption,  EDecr,           EDecrCaption,    EAffects,     EAffectsCaption, EAffectsPlayers,
    ETurn,   ETurnCaption,   EEffect,         EEffectCaption,  EEffectIncrease, EEffectDecrease, EEffectCustom,
    EPlN,    EResN};

}  // namespace

std::span<const std::string_view> InspectorStrings(InspectorGroup group) {
    switch (group) {
    case InspectorGroup::Shared: return kShared;
    case InspectorGroup::Mission: return kMission;
    case InspectorGroup::Player: return kPlayer;
    case InspectorGroup::Province: return kProvince;
    case InspectorGroup::Event: return kEvent;
    }
    return {};
}

std::string NumberedKey(std::string_view format, int n) {
    const size_t at = format.find("%d");
    if (at == string_view::npos) return std::string(format);
    return std::string(format.substr(0, at)) + std::to_string(n) + std::string(format.substr(at + 2));
}

std::optional<int> KeyNumber(std::string_view format, std::string_view key) {
    const string_view prefix = format.substr(0, format.find("%d"));
    if (!key.starts_with(prefix)) return std::nullopt;
    const char* first = key.data() + prefix.size();
    const char* last = key.data() + key.size();
    int n = 0;
    const auto [end, error] = std::from_chars(first, last, n);
    if (error != std::errc{} || end == first) return std::nullopt;
    return n;
}

}  // namespace thorn
