#include <gtest/gtest.h>

#include "MapViewFixture.h"

namespace {

using thorn::test::MapViewTest;
using thorn::test::TileColour;

// Three provinces: 0 on piece A, 1 on B, 2 on C; the one in the middle
// belongs to player 2.
class ProvinceDeletion : public MapViewTest {
protected:
    void SetUp() override {
        MakeProvinces();
        ASSERT_EQ(Province(1).SetOwner(2), 1);
        project.RedrawPieces(1);
    }
    // Selects provinces as the editor does: in the selection and in the list.
    void Select(std::initializer_list<uint8_t> indices) {
        for (uint8_t i : indices) {
            project.Selection.Add(&Province(i));
            editor.provinceRows.at(i).selected = true;
        }
    }
    std::vector<std::string> Captions() const {
        std::vector<std::string> captions;
        for (const auto& row : editor.provinceRows) captions.push_back(row.caption);
        return captions;
    }
};

TEST_F(ProvinceDeletion, NamesRowsAndLayersOfLaterProvincesMoveDown) {
    CProvince* last = &Province(2);
    Select({1});
    project.DeleteSelectedProvinces();
    ASSERT_EQ(project.Provinces.GetCount(), 2);
    EXPECT_EQ(project.Provinces.GetAt(1), last);
    const CStringTable& table = *project.Tables.GetAt(0);
    EXPECT_EQ(table.ProvinceNames[0], "Noname 1");
    EXPECT_EQ(table.ProvinceNames[1], "Noname 3");
    EXPECT_EQ(table.ProvinceNames[2], "");
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Noname 1", "Noname 3"}));
    EXPECT_EQ(Layers().GetCount(), 8);
    for (int i = 0; i < Layers().GetCount(); ++i) EXPECT_NE(project.TagOf(Layers().GetItem(i)), nullptr);
    EXPECT_EQ(project.Selection.GetCount(), 0);
    EXPECT_EQ(editor.deletedProvinces.size(), 1u);
    // The views that name provinces are refreshed once, at the end.
    const auto tail = std::vector<std::string>(editor.calls.end() - 3, editor.calls.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"RefreshVictoryConds", "RefreshLoseConds", "UpdatePlayerInspector"}));
}

TEST_F(ProvinceDeletion, EveryCapitalOnTheProvinceIsCleared) {
    project.Players[2].SetCapital(&Province(1));
    // Another player's capital pointing at it must not dangle either.
    project.Players[4].SetCapital(&Province(1));
    project.Players[0].SetCapital(&Province(0));
    Select({1});
    project.DeleteSelectedProvinces();
    EXPECT_EQ(project.Players[2].Capital, nullptr);
    EXPECT_EQ(project.Players[4].Capital, nullptr);
    EXPECT_EQ(project.Players[0].Capital, &Province(0));
}

TEST_F(ProvinceDeletion, ConditionsLetGoAndLaterIndicesShift) {
    project.VictoryConds.Data.ProvinceToCapture = 1;
    project.LoseConds.ProvinceToKeep = 2;
    Select({1});
    project.DeleteSelectedProvinces();
    EXPECT_EQ(project.VictoryConds.Data.ProvinceToCapture, 255);
    EXPECT_EQ(project.LoseConds.ProvinceToKeep, 1);  // still province C

    project.VictoryConds.Data.ProvinceToCapture = 0;
    editor.provinceRows.at(1).selected = true;  // C, not in the selection
    project.DeleteSelectedProvinces();
    EXPECT_EQ(project.LoseConds.ProvinceToKeep, 255);
    EXPECT_EQ(project.VictoryConds.Data.ProvinceToCapture, 0);
}

TEST_F(ProvinceDeletion, SeveralAtOnce) {
    CProvince* middle = &Province(1);
    project.VictoryConds.Data.ProvinceToCapture = 2;
    Select({0, 2});
    project.DeleteSelectedProvinces();
    ASSERT_EQ(project.Provinces.GetCount(), 1);
    EXPECT_EQ(project.Provinces.GetAt(0), middle);
    EXPECT_EQ(project.Tables.GetAt(0)->ProvinceNames[0], "Noname 2");
    EXPECT_EQ(project.VictoryConds.Data.ProvinceToCapture, 255);
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Noname 2"}));
    EXPECT_EQ(Layers().GetCount(), 4);
    EXPECT_EQ(editor.CallsStartingWith("DeleteRow"), (std::vector<std::string>{"DeleteRow 0", "DeleteRow 1"}));
}

TEST_F(ProvinceDeletion, ThePieceIsRepaintedUnownedAndAFreeProvinceTakesIt) {
    const CProvinceMap& b = Piece(pieceB);
    // Player 2's tile (3) in the middle of piece B.
    ASSERT_EQ(editor.world.GetPixel(b.Left + 20, b.Top + 20), TileColour(0, 3));
    // A free province over B waits while B is taken.
    CProvince* free = project.AddProvince(static_cast<uint16_t>(b.Left + 5), static_cast<uint16_t>(b.Top + 5), 0, 0,
                                          0, 0, 0, -1);
    project.AttachFreeProvinces();
    ASSERT_EQ(free->BoundToPiece, 0);

    Select({1});
    project.DeleteSelectedProvinces();
    EXPECT_EQ(free->BoundToPiece, 1);
    EXPECT_EQ(free->MapPieceIndex, pieceB);
    EXPECT_EQ(free->CastleX, b.CastleX);
    // Unowned again: tile 0.
    EXPECT_EQ(editor.world.GetPixel(b.Left + 20, b.Top + 20), TileColour(0, 0));
}

TEST_F(ProvinceDeletion, NothingKeepsPointingAtADeletedProvince) {
    CProvince* gone = &Province(1);
    project.DraggedProvince = gone;
    project.DragLayerTag = project.TagOf(&LayerOf(*gone, CLayerTag::Castle));
    project.SelectMapPiece(pieceB);
    Select({1});
    project.DeleteSelectedProvinces();
    EXPECT_EQ(project.DragLayerTag, nullptr);
    // The editor was told before it went, so its blink stops with it.
    ASSERT_EQ(editor.deletedProvinces.size(), 1u);
    EXPECT_EQ(editor.deletedProvinces[0], gone);
    EXPECT_EQ(project.DraggedProvince, nullptr);
    EXPECT_FALSE(project.Selection.Contains(gone));
    EXPECT_EQ(Piece(pieceB).Selected, 0u);
    EXPECT_EQ(project.FindProvinceByPieceIndex(pieceB), nullptr);
}

TEST_F(ProvinceDeletion, NoSelectedRowDeletesNothing) {
    // A drag on another province goes on.
    const CLayerTag* dragged = project.TagOf(&LayerOf(Province(0), CLayerTag::Marker));
    project.DragLayerTag = dragged;
    project.DeleteSelectedProvinces();
    EXPECT_EQ(project.DragLayerTag, dragged);
    EXPECT_EQ(project.Provinces.GetCount(), 3);
    EXPECT_EQ(Layers().GetCount(), 12);
}

}  // namespace
