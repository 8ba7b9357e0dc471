#include "tools/Catalogue.h"

#include <array>

#include "tools/XmlText.h"

namespace thorn::startdir {

namespace {

// Resource 0 is the castle's gold (and the bank's), 1 the metal mine's and 2
// the stone mine's, as the editor's income figures expect. A new province
// yields each resource's minimum: every province some gold, timber and grain,
// metal and stone only where the designer puts mines.
constexpr std::array kResources{
    ResourceKind{"Gold", 1, 9},  ResourceKind{"Iron", 0, 6},  ResourceKind{"Stone", 0, 6},
    ResourceKind{"Timber", 1, 6}, ResourceKind{"Grain", 2, 9},
};

constexpr std::array<std::string_view, 3> kSkills{"Warfare", "Commerce", "Lore"};

constexpr std::array kUnits{
    UnitKind{"Militia", "res/units/militia.bmp", true, {150, 110, 60}, {235, 225, 190}, Emblem::Fess},
    UnitKind{"Spearmen", "res/units/spearmen.bmp", true, {40, 80, 160}, {230, 230, 230}, Emblem::Pale},
    UnitKind{"Archers", "res/units/archers.bmp", true, {40, 120, 60}, {240, 210, 60}, Emblem::Chevron},
    UnitKind{"Knights", "res/units/knights.bmp", true, {170, 30, 30}, {240, 210, 60}, Emblem::Cross},
    UnitKind{"Catapults", "res/units/catapults.bmp", true, {90, 90, 90}, {220, 140, 40}, Emblem::Roundel},
    UnitKind{"Forest Rangers", "res/units/rangers.bmp", false, {30, 90, 40}, {200, 230, 140}, Emblem::Bend},
    UnitKind{"Hill Dwarves", "res/units/dwarves.bmp", false, {110, 70, 40}, {200, 200, 210}, Emblem::Chief},
    UnitKind{"Griffin Riders", "res/units/griffins.bmp", false, {200, 160, 40}, {120, 30, 30}, Emblem::Saltire},
    UnitKind{"Stone Golems", "res/units/golems.bmp", false, {120, 120, 130}, {60, 60, 70}, Emblem::Quarterly},
    UnitKind{"Marsh Trolls", "res/units/trolls.bmp", false, {70, 100, 80}, {180, 60, 40}, Emblem::Pile},
    UnitKind{"Sea Raiders", "res/units/raiders.bmp", false, {20, 60, 110}, {230, 230, 230}, Emblem::Bordure},
};

constexpr std::array kCastles{
    CastleKind{"Village (no castle)", "res/castles/village.bmp", 10, 14, CastleLook::Village},
    CastleKind{"Castle", "res/castles/castle.bmp", 10, 14, CastleLook::Castle},
    CastleKind{"Capital", "res/castles/capital.bmp", 10, 14, CastleLook::Capital},
    CastleKind{"Fort", "res/castles/fort.bmp", 10, 14, CastleLook::Fort},
    CastleKind{"Watchtower", "res/castles/watchtower.bmp", 10, 14, CastleLook::Watchtower},
    CastleKind{"Citadel", "res/castles/citadel.bmp", 10, 14, CastleLook::Citadel},
};

constexpr std::array kArmies{
    ArmyKind{"res/armies/banner.bmp", 8, 10, ArmyLook::Banner},
    ArmyKind{"res/armies/swords.bmp", 8, 10, ArmyLook::Swords},
    ArmyKind{"res/armies/camp.bmp", 8, 10, ArmyLook::Camp},
};

constexpr std::array kAbilities{
    NamedValue{"Born Leader", 1},   NamedValue{"Master Builder", 2}, NamedValue{"Horse Lord", 3},
    NamedValue{"Silver Tongue", 4}, NamedValue{"Iron Will", 5},
};

constexpr std::array kComputerPlayers{
    NamedValue{"Balanced", 1}, NamedValue{"Aggressor", 2},    NamedValue{"Defender", 3},
    NamedValue{"Merchant", 4}, NamedValue{"Expansionist", 5},
};

}  // namespace

std::span<const UnitKind> UnitKinds() { return kUnits; }
std::span<const CastleKind> CastleKinds() { return kCastles; }
std::span<const ArmyKind> ArmyKinds() { return kArmies; }
std::span<const ResourceKind> ResourceKinds() { return kResources; }
std::span<const std::string_view> SkillNames() { return kSkills; }
std::span<const NamedValue> Abilities() { return kAbilities; }
std::span<const NamedValue> ComputerPlayers() { return kComputerPlayers; }

std::string CatalogueXml() {
    int standard = 0, other = 0;
    for (const UnitKind& u : kUnits) (u.standard ? standard : other) += 1;

    XmlText xml;
    xml.Comment(
        "Game catalogue of the Thornvale II mission editor: the kinds of units, castles,\n"
        "     armies, resources, skills, abilities and computer players a new mission is\n"
        "     built with. Picture paths are relative to this folder. Castle and army\n"
        "     pictures are drawn on magenta (255, 0, 255), which the editor shows as\n"
        "     transparent; the pivot is the picture's pixel placed on the icon's point.\n"
        "     Castle 0 is shown for a province without a castle, 1 for a castle, 2 for a\n"
        "     player's capital; the map shows the first army for every guardian army.\n"
        "     At most 40 unit types, 16 castles, 16 armies, 16 resources and 16 skills;\n"
        "     computer-player ids lie in 1..127.");
    xml.Open("GameData", {{"dwID", std::string(kMissionId)}});

    xml.Open("Units", {{"standart", std::to_string(standard)}, {"non-standart", std::to_string(other)}});
    for (const bool wantStandard : {true, false}) {
        xml.Open(wantStandard ? "Standart" : "NonStandart", {});
        for (const UnitKind& u : kUnits)
            if (u.standard == wantStandard) xml.Empty("Unit", {{"name", std::string(u.name)}, {"path", std::string(u.path)}});
        xml.Close();
    }
    xml.Close();

    xml.Open("Castles", {});
    for (const CastleKind& c : kCastles)
        xml.Empty("Castle", {{"name", std::string(c.name)},
                             {"path", std::string(c.path)},
                             {"pivot_x", std::to_string(c.pivotX)},
                             {"pivot_y", std::to_string(c.pivotY)}});
    xml.Close();

    xml.Open("Armies", {});
    for (const ArmyKind& a : kArmies)
        xml.Empty("Army", {{"path", std::string(a.path)},
                           {"pivot_x", std::to_string(a.pivotX)},
                           {"pivot_y", std::to_string(a.pivotY)}});
    xml.Close();

    xml.Open("Resources", {});
    for (const ResourceKind& r : kResources)
        xml.Empty("Resource",
                  {{"name", std::string(r.name)}, {"min", std::to_string(r.min)}, {"max", std::to_string(r.max)}});
    xml.Close();

    xml.Open("Skills", {});
    for (std::string_view s : kSkills) xml.Empty("Skill", {{"name", std::string(s)}});
    xml.Close();

    xml.Open("Abilities", {});
    for (const NamedValue& a : kAbilities)
        xml.Empty("Ability", {{"name", std::string(a.name)}, {"val", std::to_string(a.value)}});
    xml.Close();

    xml.Open("AIs", {});
    for (const NamedValue& a : kComputerPlayers)
        xml.Empty("AI", {{"name", std::string(a.name)}, {"val", std::to_string(a.value)}});
    xml.Close();

    xml.Close();
    return xml.Text();
}

}  // namespace thorn::startdir
