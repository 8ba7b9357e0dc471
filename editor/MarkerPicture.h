#pragma once

#include <filesystem>

class TBitmap32List;

namespace thorn {

// The province marker of the world view, "res/marker.bmp" of the start
// folder, as the one picture of the main window's marker list, drawn
// blended. Answers false (the list left without it) when the file cannot
// be read.
bool LoadMarkerPicture(TBitmap32List& list, const std::filesystem::path& file);

}  // namespace thorn
