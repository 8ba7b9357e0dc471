#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "model/RecordingEditor.h"
#include "model/mapproject.h"
#include "support/TempDir.h"

namespace thorn::test {

// A project set up as a designer would for the export tests, wired to a
// recording editor. The game data's counts, the six players and one string
// table are set directly (the catalogue and province creation are not used).
class ExportProject : public ::testing::Test {
protected:
    ExportProject();
    ~ExportProject() override;

    // The game data: resource and unit-type counts, six players with their
    // arrays sized, one default string table.
    void SetGameData(int resources, int unitTypes);

    // Map pieces straight from a labelling of the world: label(x, y) is the
    // piece of the pixel (-1 none), pieces numbered in the order given,
    // kinds[n] the kind of piece n. Masks are cropped to the pieces' boxes
    // and four-connected pieces become neighbours.
    void SetPieces(int32_t width, int32_t height, const std::function<int(int32_t, int32_t)>& label,
                   const std::vector<uint32_t>& kinds);

    // A province bound to piece n, sized to the game data, named "P<index>".
    CProvince& BindProvince(uint16_t piece);
    // One province on every province piece, in piece order.
    void BindAllProvincePieces();

    // Players 0 and 1 active and human, their capitals provinces 0 and 1,
    // which they own.
    void MakePlayable();

    CStringTable& Table() { return *project.Tables.GetAt(project.CurrentStringTable); }
    CPlayerData& Player(uint32_t slot) { return project.Players[slot]; }

    TempDir dir;
    RecordingEditor editor;
    CMapProject project;
};

}  // namespace thorn::test
