#pragma once

#include "tools/Raster.h"

// The about box's picture: a castle on a green hill under a summer sky.
namespace thorn::startdir {

constexpr int kAboutWidth = 168, kAboutHeight = 192;  // the box's size, so it is shown unscaled

Raster DrawAboutPicture();

}  // namespace thorn::startdir
