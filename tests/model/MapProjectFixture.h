#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RecordingEditor.h"
#include "WorldPictures.h"
#include "model/mapproject.h"
#include "support/TempDir.h"

namespace thorn::test {

// A project wired to a recording editor, with a folder for the pictures
// the test writes.
class MapProjectTest : public ::testing::Test {
protected:
    MapProjectTest() { project.SetEditorLink(&editor); }
    ~MapProjectTest() override { project.SetEditorLink(nullptr); }

    // Writes the picture as a 24-bit BMP and imports it.
    int Import(const TBitmap32& picture, int reload = 0, const std::string& name = "world.bmp") {
        WriteBmp24(dir / name, picture);
        return project.ImportWorldImage(dir / name, reload);
    }

    CProvinceMap& Piece(uint16_t n) {
        CProvinceMap* piece = project.MapPieces.GetAt(n);
        if (!piece) throw std::out_of_range("no such piece");
        return *piece;
    }
    static std::vector<uint16_t> Neighbours(const CProvinceMap& piece) {
        return {piece.Neighbours.begin(), piece.Neighbours.end()};
    }
    static uint32_t SetPixels(const TBitmap32& mask) { return static_cast<uint32_t>(NonZero(mask).size()); }
    static std::vector<int> Box(const CProvinceMap& piece) {
        return {piece.Left, piece.Top, piece.Right, piece.Bottom};
    }

    TempDir dir;
    RecordingEditor editor;
    CMapProject project;
};

}  // namespace thorn::test
