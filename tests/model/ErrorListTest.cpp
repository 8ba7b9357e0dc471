#include <gtest/gtest.h>

#include "MapProjectFixture.h"
#include "model/Settings.h"

namespace {

using thorn::test::DrawPicture;
using thorn::test::kOcean;
using thorn::test::MapProjectTest;
using thorn::test::ProvinceColour;

// A province (x 20..79, y 20..79) with one 3 x 3 small piece beside it at
// x 80..82, y 40..42, and a 5 x 5 island at x 150..154, y 150..154, in the
// ocean: one connection and one conversion.
class WarningsTest : public MapProjectTest {
protected:
    void SetUp() override {
        ASSERT_EQ(Import(*DrawPicture(200, 200, [](int32_t x, int32_t y) {
                      if (x >= 20 && x < 80 && y >= 20 && y < 80) return ProvinceColour(1);
                      if (x >= 80 && x < 83 && y >= 40 && y < 43) return ProvinceColour(2);
                      if (x >= 150 && x < 155 && y >= 150 && y < 155) return ProvinceColour(3);
                      return kOcean;
                  })),
                  1);
        ASSERT_EQ(project.ErrorList.GetCount(), 2);
        connect = dynamic_cast<CErrorConnect*>(project.ErrorList.GetAt(0));
        converted = dynamic_cast<CErrorConverted*>(project.ErrorList.GetAt(1));
        ASSERT_NE(connect, nullptr);
        ASSERT_NE(converted, nullptr);
        editor.calls.clear();
    }

    CErrorConnect* connect = nullptr;
    CErrorConverted* converted = nullptr;
};

TEST_F(WarningsTest, BothKindsInform) {
    EXPECT_EQ(connect->IsCritical(), 0);
    EXPECT_EQ(connect->IsInformal(), 1);
    EXPECT_EQ(converted->IsInformal(), 1);
    EXPECT_EQ(converted->GetImageIndex(), 22);
    EXPECT_EQ(converted->Piece(), project.MapPieces.GetAt(2));
}

TEST_F(WarningsTest, ConnectionNamesTheBoundProvince) {
    EXPECT_EQ(connect->GetText(), "Piece was connected to <unhandled map>");
    project.Tables.Add(std::make_unique<CStringTable>());
    auto province = std::make_unique<CProvince>();
    province->MapPieceIndex = 1;
    CProvince* raw = province.get();
    project.Provinces.Add(std::move(province));
    ASSERT_EQ(project.Tables.GetAt(0)->SetProvinceName(raw, "Eastmarch"), 1);
    EXPECT_EQ(connect->GetText(), "Piece was connected to Eastmarch");
}

TEST_F(WarningsTest, FillListViewMatchesTheRowsToTheWarnings) {
    editor.warningRows.resize(5);
    project.ErrorList.FillListView();
    ASSERT_EQ(editor.warningRows.size(), 2u);
    EXPECT_EQ(editor.warningRows[0].caption, "Piece was connected to <unhandled map>");
    EXPECT_EQ(editor.warningRows[0].data, connect);
    EXPECT_EQ(editor.warningRows[1].caption, "Piece was converted to green land");
    EXPECT_EQ(editor.warningRows[1].image, 22);
    editor.warningRows.clear();
    project.ErrorList.FillListView();
    EXPECT_EQ(editor.warningRows.size(), 2u);
}

TEST_F(WarningsTest, ShowingAConnectionMarksTheAbsorbedPixels) {
    const CProvinceMap& province = *project.MapPieces.GetAt(1);
    // The view is 210 x 210; the scroll box shows 100 x 80 of it.
    editor.scrollBoxClient = {0, 0, 100, 80};
    connect->Show();
    EXPECT_EQ(project.ErrorList.GetCurrent(), connect);
    EXPECT_EQ(province.Selected, 1u);
    // World (81, 41) is mask (61, 21) of the box starting at (20, 20).
    EXPECT_EQ(province.Mask->GetPixel(61, 21), 0xFFFF0000u);
    EXPECT_EQ(editor.world.GetPixel(81, 41), 0xFFFF0000u);
    EXPECT_NE(province.Mask->GetPixel(10, 10), 0xFFFF0000u);
    EXPECT_EQ(editor.CallsStartingWith("ClearSelection").size(), 1u);
    // (82, 42) to the middle: 210 * 82 div 200 - 50 and 210 * 42 div 200 - 40.
    EXPECT_EQ(editor.CallsStartingWith("Scroll "), (std::vector<std::string>{"Scroll H 36", "Scroll V 4"}));

    // Showing another warning restores the first piece.
    converted->Show();
    EXPECT_EQ(project.ErrorList.GetCurrent(), converted);
    EXPECT_EQ(province.Selected, 0u);
    EXPECT_NE(province.Mask->GetPixel(61, 21), 0xFFFF0000u);
    const CProvinceMap& island = *project.MapPieces.GetAt(2);
    EXPECT_EQ(island.Mask->GetPixel(2, 2), 0xFFFF0000u);
    EXPECT_EQ(editor.world.GetPixel(152, 152), 0xFFFF0000u);
    // (152, 152): 210 * 152 div 200 - 50 and - 40, inside the bars' ranges.
    EXPECT_EQ(editor.CallsStartingWith("Scroll ").size(), 4u);
    EXPECT_EQ(editor.bars[0].position, 109);
    EXPECT_EQ(editor.bars[1].position, 119);
}

TEST_F(WarningsTest, ClearingTheListRepaintsTheShownWarningFirst) {
    converted->Show();
    const CProvinceMap& island = *project.MapPieces.GetAt(2);
    ASSERT_EQ(island.Mask->GetPixel(0, 0), 0xFFFF0000u);
    editor.warningRows.resize(2);
    project.ErrorList.Clear();
    EXPECT_EQ(project.ErrorList.GetCount(), 0);
    EXPECT_EQ(project.ErrorList.GetCurrent(), nullptr);
    EXPECT_TRUE(editor.warningRows.empty());
    EXPECT_NE(island.Mask->GetPixel(0, 0), 0xFFFF0000u);  // green land again
    EXPECT_EQ(island.Mask->GetPixel(0, 0), CTextures::kStandInColor);
}

TEST_F(WarningsTest, ResetClearsTheWarningsBeforeThePieces) {
    connect->Show();
    project.Reset();
    EXPECT_EQ(project.ErrorList.GetCount(), 0);
    EXPECT_EQ(project.MapPieces.GetCount(), 0);
    EXPECT_EQ(project.GetPieceAt(30, 30), -1);
}

}  // namespace
