#pragma once

#include <span>
#include <string>
#include <string_view>

#include "tools/Raster.h"

// The game catalogue the start folder ships ("pw.xml"): every kind of unit,
// castle, army, resource, skill, ability and computer player, with the
// pictures the generator draws for them.
namespace thorn::startdir {

// The catalogue's own id, four characters.
constexpr std::string_view kMissionId = "TVL2";

enum class CastleLook { Village, Castle, Capital, Fort, Watchtower, Citadel };
enum class ArmyLook { Banner, Swords, Camp };
enum class Emblem { Pale, Fess, Cross, Saltire, Chevron, Roundel, Bend, Chief, Quarterly, Pile, Bordure };

struct UnitKind {
    std::string_view name;
    std::string_view path;  // a small shield picture; the editor does not show it
    bool standard;
    Rgb field, charge;
    Emblem emblem;
};

// Castle picture i is shown for castle type i: 0 for a province without a
// castle, 1 for a castle, 2 for a player's capital; the others are offered as
// further kinds. The pivot is the pixel put on the castle's place.
struct CastleKind {
    std::string_view name;
    std::string_view path;
    int pivotX, pivotY;
    CastleLook look;
};

// The map shows the first army picture for every guardian army.
struct ArmyKind {
    std::string_view path;
    int pivotX, pivotY;
    ArmyLook look;
};

struct ResourceKind {
    std::string_view name;
    int min, max;  // what one province yields, within a byte
};

struct NamedValue {
    std::string_view name;
    int value;
};

std::span<const UnitKind> UnitKinds();
std::span<const CastleKind> CastleKinds();
std::span<const ArmyKind> ArmyKinds();
std::span<const ResourceKind> ResourceKinds();
std::span<const std::string_view> SkillNames();
std::span<const NamedValue> Abilities();
std::span<const NamedValue> ComputerPlayers();  // ids 1..127

// The text of "pw.xml".
std::string CatalogueXml();

}  // namespace thorn::startdir
