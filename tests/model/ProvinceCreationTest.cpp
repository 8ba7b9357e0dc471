#include <gtest/gtest.h>

#include "MapViewFixture.h"

namespace {

using thorn::test::DrawPicture;
using thorn::test::MapViewTest;
using thorn::test::ProvinceColour;

using ProvinceCreation = MapViewTest;

TEST_F(ProvinceCreation, EveryProvincePieceGetsANamedBoundProvince) {
    MakeProvinces(3, 2);
    const CStringTable& table = *project.Tables.GetAt(0);
    const uint16_t pieces[] = {pieceA, pieceB, pieceC};
    for (uint8_t i = 0; i < 3; ++i) {
        const CProvince& p = Province(i);
        const CProvinceMap& piece = Piece(pieces[i]);
        EXPECT_EQ(table.ProvinceNames[i], "Noname " + std::to_string(i + 1));
        EXPECT_EQ(p.BoundToPiece, 1);
        EXPECT_EQ(p.MapPieceIndex, pieces[i]);
        EXPECT_EQ(p.FreeX, piece.Left + piece.CastleX);
        EXPECT_EQ(p.FreeY, piece.Top + piece.CastleY);
        EXPECT_EQ(p.CastleX, piece.CastleX);
        EXPECT_EQ(p.ArmyY, piece.ArmyY);
        // Resources start at the game data's minimums (1, 2, 3 here).
        ASSERT_EQ(p.Resources.GetCount(), 3);
        EXPECT_EQ(p.Resources[2], 3);
        EXPECT_EQ(p.GuardianArmy.GetCount(), 2);
        EXPECT_EQ(p.Owner, 255);
        // The piece was painted before the province was made.
        EXPECT_EQ(piece.Mask->GetPixel(3, 3), 0xFF111111u);
    }
    // A list row and four layers each.
    ASSERT_EQ(editor.provinceRows.size(), 3u);
    EXPECT_EQ(editor.provinceRows[1].caption, "Noname 2");
    EXPECT_EQ(editor.provinceRows[1].owner, "none");
    EXPECT_EQ(editor.provinceRows[1].data, &Province(1));
    EXPECT_EQ(Layers().GetCount(), 12);
    EXPECT_EQ(editor.progressCaptions.back(), "Create provinces...");
    EXPECT_FALSE(editor.progressShown);
}

TEST_F(ProvinceCreation, A120PieceWorldIsTruncatedTo99Provinces) {
    // 12 x 10 squares of 16 x 16, each its own colour.
    ASSERT_EQ(Import(*DrawPicture(192, 160,
                                  [](int32_t x, int32_t y) { return ProvinceColour(1 + x / 16 + 12 * (y / 16)); })),
              1);
    ASSERT_EQ(project.MapPieces.GetCount(), 120);
    SetGameData(1, 1);
    EXPECT_EQ(project.CreateProvinces(), 0);
    EXPECT_EQ(project.Provinces.GetCount(), 99);
    EXPECT_EQ(editor.errors, (std::vector<std::string>{"Too many provinces! They will be truncated to 99 items"}));
    EXPECT_EQ(project.Tables.GetAt(0)->ProvinceNames[98], "Noname 99");
    int withoutProvince = 0;
    for (uint16_t n = 0; n < 120; ++n)
        if (Piece(n).IsProvince() && !project.FindProvinceByPieceIndex(n)) ++withoutProvince;
    EXPECT_EQ(withoutProvince, 21);
    EXPECT_FALSE(editor.progressShown);

    // The limit holds for provinces the designer adds.
    EXPECT_EQ(project.AddProvince(5, 5, 5, 5, 5, 5, 0, -1), nullptr);
    EXPECT_EQ(editor.errors.back(), "Too many provinces! You can create noone more.");
    EXPECT_EQ(project.Provinces.GetCount(), 99);
}

TEST_F(ProvinceCreation, ANameTakenAlreadyMovesToTheNextNumber) {
    ImportWorld();
    SetGameData(0, 0);
    CProvince* first = project.AddProvince(5, 5, 5, 5, 5, 5, 0, -1);
    project.AddProvince(6, 6, 6, 6, 6, 6, 0, -1);
    ASSERT_EQ(project.Tables.GetAt(0)->SetProvinceName(first, "Noname 3"), 1);
    CProvince* third = project.AddProvince(7, 7, 7, 7, 7, 7, 0, -1);
    EXPECT_EQ(project.CurrentProvinceName(third), "Noname 4");
}

TEST_F(ProvinceCreation, WithoutAStringTableTheProvinceStaysUnnamed) {
    ImportWorld();
    CProvince* p = project.AddProvince(5, 5, 5, 5, 5, 5, 0, -1);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(project.CurrentProvinceName(p), "none");
}

TEST_F(ProvinceCreation, AFreeProvinceComesTwentyPixelsUpLeftOfTheViewsMiddle) {
    ImportWorld();
    SetGameData(0, 0);
    editor.view->SetScale(2.0f);
    editor.view->SetBounds(-30, -10, 400, 320);
    // The scroll box's middle (150, 110) is (180, 120) of the view, world
    // (90, 60), less 20.
    CProvince* p = project.AddProvinceAtViewCentre();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->FreeX, 70);
    EXPECT_EQ(p->FreeY, 40);
    EXPECT_EQ(p->CastleX, 70);
    EXPECT_EQ(p->ArmyY, 40);
    EXPECT_EQ(p->BoundToPiece, 0);
    EXPECT_EQ(p->MapPieceIndex, -1);
    EXPECT_EQ(project.FindIconLayerIndex(p), 0);

    // A view placed right of and below the middle gives a point before the
    // world's corner, which stays at 0 instead of wrapping round.
    editor.view->SetScale(1.0f);
    editor.view->SetBounds(160, 100, 200, 160);
    CProvince* q = project.AddProvinceAtViewCentre();
    EXPECT_EQ(q->FreeX, 0);
    EXPECT_EQ(q->FreeY, 0);
}

TEST_F(ProvinceCreation, PlayersAreSizedToTheGameData) {
    project.NumStandardUnits = 2;
    project.NumNonStandardUnits = 1;
    project.NumResources = 4;
    project.Players.Resize(2);
    project.ResizePlayerData();
    ASSERT_EQ(project.Players.GetCount(), 6u);
    for (uint32_t i = 0; i < 6; ++i) {
        const CPlayerData& player = project.Players[i];
        ASSERT_EQ(player.UnitTypes.GetCount(), 3);
        EXPECT_EQ(player.UnitTypes[0], 0u);
        EXPECT_EQ(player.UnitTypes[2], 2u);
        EXPECT_EQ(player.CampaignArmy.GetCount(), 3);
        EXPECT_EQ(player.UnitNames.GetCount(), 3);
        ASSERT_EQ(player.Treasury.GetCount(), 4);
        EXPECT_EQ(player.Treasury[3], 0);
    }
    const CVictoryCondsB::VData& goals = project.VictoryConds.Data;
    ASSERT_EQ(goals.Resources.Amounts.GetCount(), 4);
    EXPECT_EQ(goals.Resources.Amounts[3], 10);
    ASSERT_EQ(goals.Army.Units.GetCount(), 3);
    EXPECT_EQ(goals.Army.Units[0], 10u);
}

}  // namespace
