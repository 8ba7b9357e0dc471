#pragma once

#include "tools/Catalogue.h"
#include "tools/Raster.h"

// The small pictures of the start folder, drawn on the magenta background
// that the editor turns transparent, with a dark outline so they stand out
// on every map texture.
namespace thorn::startdir {

constexpr int kCastleWidth = 20, kCastleHeight = 24;  // the size of a castle legend picture
constexpr int kArmyWidth = 16, kArmyHeight = 18;
constexpr int kUnitSide = 16;
constexpr int kMarkerWidth = 29, kMarkerHeight = 15;

Raster DrawCastle(CastleLook look);
Raster DrawArmy(ArmyLook look);
// A heraldic shield in the unit's colours.
Raster DrawUnit(const UnitKind& unit);
// The province marker: a parchment oval with a red diamond.
Raster DrawProvinceMarker();

}  // namespace thorn::startdir
