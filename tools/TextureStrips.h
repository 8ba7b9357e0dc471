#pragma once

#include "tools/Raster.h"

// The three texture strips the editor paints map pieces with: a row of
// square tiles as high as the strip. Tile 0 of the map strips is an unowned
// province, tiles 1 to 6 the six players, tile 7 free green land; the sea
// strip's tile 0 is the open sea and the others are variations of it.
namespace thorn::startdir {

constexpr int kTileSide = 64;
constexpr int kTileCount = 8;

Raster NormalMapTextures();
// The normal tiles lightened and hatched, for selected provinces.
Raster SelectedMapTextures();
Raster SeaTextures();

}  // namespace thorn::startdir
