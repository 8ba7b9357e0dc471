#pragma once

#include <vector>

#include "platform/Types.h"

namespace thorn {

// Adds r to a list of rectangles to repaint: a rectangle inside one already
// listed is dropped, listed ones inside r are replaced, and past a handful
// the list collapses into its bounding box, which keeps painting cheap.
void AddDirtyRect(std::vector<TRect>& list, const TRect& r);

}  // namespace thorn
