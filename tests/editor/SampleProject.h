#pragma once

#include <filesystem>

#include "bitmap/Pix32.h"

namespace thorn::test {

// Where the two specks of a world made by WorldWithSpecks lie, in world
// pixels: a 3 x 3 speck of a colour of its own inside a province (the
// import joins it to the province around it) and a 5 x 5 island in the sea
// (turned into green land).
struct Specks {
    TRect joined;
    TRect island;
};

// The start folder's sample world "worlds/small_isles.bmp" with the two
// specks drawn in, written as "specks.bmp" into folder.
Specks WorldWithSpecks(const std::filesystem::path& folder, std::filesystem::path& world);

// A project made on the world picture as the New command makes it, through
// the model: imported and analysed, the mission built, shown at zoom 2 with
// the project's controls enabled.
void MakeProject(const std::filesystem::path& world);

// Makes the project from the start folder's sample world "worlds/small_isles.bmp"
// the way the New command does for the tool windows: the mission built from
// the picture, the mission window's rows built and filled, the project's
// controls enabled and nothing modified yet. A second string table is made
// the one in use, so that a text reaching the first one would show. Throws
// when the sample makes no mission.
void NewSampleProject();

}  // namespace thorn::test
