#include "model/GridItemKeys.h"

#include <array>

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

constexpr std::array<string_view, 21> kPlayer{
    Active,       ActiveCaption,  Name,       NameCaption,   Skills,         SkillsCaption, Capital,
    CapitalCaption, Playab,       PlayabCaption, PlayabHuman, PlayabComputer, PlayabHumanComputer, PlType,
    PlTypeCaption, ResT,          ResTCaption, UnitT,        UnitTCaption,   Army,          PlayerArmyCaption};

constexpr std::array<string_view, 32> kProvince{
    ProvName,    ProvNameCaption, Owner,         OwnerCaption,    Resour,       ResourCaption,
    Army,        ProvinceArmyCaption, Castle,    CastleCaption,   CastHP,       CastHPCaption,
    CastHP0,     CastHP25,        CastHP50,      CastHP75,        CastHP100,    CastMoat,
    CastMoatCaption, CastWalls,   CastWallsCaption, CastCat,      CastCatCaption, CastMar,
    CastMarCaption, CastBan,      CastBanCaption, CastTav,        CastMetlMine, CastMetlMineCaption,
    CastStonMine, CastStonMineCaption};

constexpr std::array<string_view, 14> kEvent{
    ETitle,  ETitleCaption,  EDecr,           EDecrCaption,    EAffects,     EAffectsCaption, EAffectsPlayers,
    ETurn,   ETurnCaption,   EEffect,         EEffectCaption,  EEffectIncrease, EEffectDecrease, EEffectCustom};

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

}  // namespace thorn
