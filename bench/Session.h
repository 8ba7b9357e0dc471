#pragma once

#include <filesystem>

#include "bitmap/Pix32.h"
#include "model/DetachedEditor.h"
#include "model/mapproject.h"

// A project as the editor holds one: with its own detached editor that
// holds the start folder's game catalogue.
namespace thorn::bench {

const std::filesystem::path& StartFolder();

struct Session {
    Session();
    thorn::DetachedEditor editor;
    CMapProject project;
};

// What the New command does with a world picture: the import, then the
// mission built with the catalogue; answers the number of provinces.
int NewMission(CMapProject& project, const TBitmap32& world);

}  // namespace thorn::bench
