#pragma once

#include "tools/Raster.h"

// The pictures of the editor's image lists (startfiles/EditorImageStrips.h
// gives their order): each drawn on a grid of 20 units, so that one drawing
// makes both the 20 x 20 pictures of the tool bars and the 16 x 16 ones of
// the warnings list, on the magenta that stands for transparency.
namespace thorn::startdir {

Raster DrawListImage(int index, int side);
// Every picture side by side, in index order.
Raster ListImageStrip(int side);

}  // namespace thorn::startdir
