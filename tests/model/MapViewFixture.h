#pragma once

#include <gtest/gtest.h>

#include <string>

#include "MapProjectFixture.h"
#include "bitmapui/Pix32_Layers.h"
#include "model/BitmapHelpers.h"
#include "model/Settings.h"
#include "support/SourceTree.h"

namespace thorn::test {

// The flat colour of tile `tile` of the tests' texture strip `strip`
// (normal 0, selected 1, sea 2): every texel of a tile is that colour.
constexpr TColor32 TileColour(int strip, int tile) {
    return 0xFF000000u | static_cast<uint32_t>(0x20 + 0x40 * strip) << 16 | static_cast<uint32_t>(10 + 20 * tile) << 8 |
           0x55u;
}

// A project with the main window's pictures and textures as the editor
// loads them: the start folder's province marker, texture strips of eight
// flat 8 x 8 tiles, and castle and army pictures drawn by the test.
class MapViewTest : public MapProjectTest {
protected:
    static constexpr int kTileSide = 8;

    MapViewTest() {
        TBitmap32& marker = *editor.markers.GetBitmaps()->Add()->GetBitmap();
        marker.LoadFromFile((thorn::test::SourceDir() / "startdir/res/marker.bmp").string());
        marker.SetDrawMode(dmBlend);
        for (int strip = 0; strip < 3; ++strip) {
            const auto file = dir / ("strip" + std::to_string(strip) + ".bmp");
            WriteBmp24(file, *DrawPicture(8 * kTileSide, kTileSide, [&](int32_t x, int32_t) {
                return TileColour(strip, x / kTileSide);
            }));
            editor.textures[strip].Load(file);
        }
    }

    // The game data's counts, one string table and six players sized to
    // them; resource r's minimum is r + 1.
    void SetGameData(int resources, int units) {
        project.NumResources = static_cast<uint8_t>(resources);
        project.NumStandardUnits = static_cast<uint8_t>(units);
        for (int r = 0; r < resources; ++r) project.ResourceMin[r] = static_cast<int16_t>(r + 1);
        project.Tables.Add(std::make_unique<CStringTable>());
        project.ResizePlayerData();
    }

    // Appends a w x h picture of one colour to the castle and army pictures
    // as the catalogue would (magenta made transparent, blended), with its
    // pivot; the first `castles` are castle types, the rest army types.
    void AddIconPicture(int32_t w, int32_t h, TColor32 colour, TPoint pivot) {
        TBitmap32& picture = *editor.castles.GetBitmaps()->Add()->GetBitmap();
        picture.SetSize(w, h);
        picture.Clear(colour);
        ReplaceColor(picture, 0xFFFF00FF, 0);
        picture.SetDrawMode(dmBlend);
        project.CastlePivots.Add(pivot);
    }

    // A 200 x 160 world: provinces A (10..59, 10..59) and B (60..109,
    // 10..59) side by side, C (130..179, 10..59) alone, green land
    // (10..59, 90..139), and ocean around them.
    void ImportWorld() {
        ASSERT_EQ(Import(*DrawPicture(200, 160, [](int32_t x, int32_t y) {
                      if (y >= 10 && y < 60 && x >= 10 && x < 60) return ProvinceColour(1);
                      if (y >= 10 && y < 60 && x >= 60 && x < 110) return ProvinceColour(2);
                      if (y >= 10 && y < 60 && x >= 130 && x < 180) return ProvinceColour(3);
                      if (y >= 90 && y < 140 && x >= 10 && x < 60) return kGreen;
                      return kOcean;
                  })),
                  1);
        pieceA = static_cast<uint16_t>(project.GetPieceAt(30, 30));
        pieceB = static_cast<uint16_t>(project.GetPieceAt(80, 30));
        pieceC = static_cast<uint16_t>(project.GetPieceAt(150, 30));
        pieceGreen = static_cast<uint16_t>(project.GetPieceAt(30, 100));
        pieceOcean = static_cast<uint16_t>(project.GetPieceAt(0, 0));
    }

    // The world with its three provinces made, named "Noname 1" to 3.
    void MakeProvinces(int resources = 3, int units = 2) {
        ImportWorld();
        SetGameData(resources, units);
        ASSERT_EQ(project.CreateProvinces(), 1);
        ASSERT_EQ(project.Provinces.GetCount(), 3);
    }

    CProvince& Province(uint8_t i) {
        CProvince* province = project.Provinces.GetAt(i);
        if (!province) throw std::out_of_range("no such province");
        return *province;
    }
    TLayerCollection& Layers() { return *editor.view->GetLayers(); }
    TBitmapLayer& LayerAt(int i) { return *dynamic_cast<TBitmapLayer*>(Layers().GetItem(i)); }
    // The layer of the province, of the tag kind.
    TBitmapLayer& LayerOf(const CProvince& province, uint8_t kind) {
        for (int i = 0; i < Layers().GetCount(); ++i) {
            const CLayerTag* tag = project.TagOf(Layers().GetItem(i));
            if (tag && tag->Owner == &province && tag->Kind == kind) return LayerAt(i);
        }
        throw std::out_of_range("no such layer");
    }

    uint16_t pieceA = 0, pieceB = 0, pieceC = 0, pieceGreen = 0, pieceOcean = 0;
};

}  // namespace thorn::test
