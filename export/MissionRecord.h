#pragma once

#include "export/Pda_serialize.h"

class CMapProject;

// The game's mission record built from the project: the active players
// renumbered densely in slot order (owners and the player to defeat follow
// them; an inactive or unknown player becomes 255), pointers resolved into
// province indices, icon places in world pixels, neighbours from the map
// pieces (largest province index first), and the enabled events renumbered,
// each applying to every exported player. Throws thorn::ExportError for what
// the record cannot hold (no texts, a province bound to no map piece).
PdaMission BuildPdaMission(const CMapProject& project);
