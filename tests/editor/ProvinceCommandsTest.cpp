#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "MainCommands.h"
#include "MissionDesk.h"
#include "bitmapui/Pix32_Layers.h"
#include "gui/Application.h"
#include "editor/Dlg_slide.h"
#include "editor/GridItemKeys.h"
#include "model/StringTable.h"
#include "platform/Charset.h"

namespace {

using thorn::test::ClickToolButton;
using thorn::test::MissionDesk;

std::vector<std::string> RowCaptions(const TMainForm& main) {
    std::vector<std::string> captions;
    TListItems& rows = *main.LVProvinces->GetItems();
    for (int i = 0; i < rows.GetCount(); ++i) captions.push_back(rows[i]->GetCaption());
    return captions;
}

std::vector<std::string> ProvinceNames(const CMapProject& project) {
    std::vector<std::string> names;
    for (uint16_t i = 0; i < project.Provinces.GetCount(); ++i)
        names.push_back(project.CurrentProvinceName(project.Provinces.GetAt(static_cast<uint8_t>(i))));
    return names;
}

class ProvinceCommands : public ::testing::Test {
protected:
    ProvinceCommands() { desk.ShowPage(MissionDesk::kProvincesPage); }
    ~ProvinceCommands() override {
        if (MapProject && MapProject->Modified) desk.Host().AnswerMessageBox(IDNO, "You have made changes");
        desk.Editor().Close();
    }
    // Rows chosen as the designer chooses several: the first clicked, the
    // others with Ctrl.
    void ChooseRows(std::initializer_list<int> rows) {
        bool first = true;
        for (int row : rows) {
            desk.ClickProvinceRow(row, first ? TShiftState{} : TShiftState{ssCtrl});
            first = false;
        }
    }

    MissionDesk desk;
    TMainForm& main = desk.Main();
    CMapProject& project = desk.Project();
};

TEST_F(ProvinceCommands, AddPutsAProvinceAtTheViewsMiddleAndDeleteTakesTheChosenOnesAway) {
    const int before = desk.ProvinceCount();
    ClickToolButton(desk.Host(), main, *main.ActAddProvince);
    ASSERT_EQ(desk.ProvinceCount(), before + 1);
    CProvince& added = desk.Province(before);
    EXPECT_EQ(project.CurrentProvinceName(&added), "Noname " + std::to_string(before + 1));
    EXPECT_EQ(RowCaptions(main).back(), project.CurrentProvinceName(&added));
    EXPECT_EQ(added.BoundToPiece, 0);
    EXPECT_TRUE(project.FindIconLayer(&added)->GetVisible());
    EXPECT_EQ(project.Modified, 1u);

    const std::vector<std::string> names = ProvinceNames(project);
    ChooseRows({1, before});
    ClickToolButton(desk.Host(), main, *main.ActDelProvince);
    std::vector<std::string> left = names;
    left.erase(left.begin() + before);
    left.erase(left.begin() + 1);
    EXPECT_EQ(ProvinceNames(project), left);
    EXPECT_EQ(RowCaptions(main), left);
    EXPECT_TRUE(desk.Selected().empty());
}

TEST_F(ProvinceCommands, RecalculatingPutsTheChosenProvincesIconsBackOnTheirPiecesPlaces) {
    CProvince& moved = desk.Province(0);
    CProvince& other = desk.Province(1);
    const uint16_t homeX = moved.CastleX, homeY = moved.CastleY, armyX = moved.ArmyX, armyY = moved.ArmyY;
    for (CProvince* p : {&moved, &other}) {
        p->SetCastleX(static_cast<uint16_t>(p->CastleX + 1));
        p->SetArmyY(static_cast<uint16_t>(p->ArmyY + 1));
    }
    const uint16_t otherX = other.CastleX;
    project.Modified = 0;
    ChooseRows({0});
    // Every press gives the same places.
    for (int press = 1; press <= 3; ++press) {
        thorn::test::ChooseMenuItem(desk.Host(), main, "View", "Recalculate Icons Positions");
        EXPECT_EQ(std::vector<int>({moved.CastleX, moved.CastleY, moved.ArmyX, moved.ArmyY}),
                  std::vector<int>({homeX, homeY, armyX, armyY}))
            << "press " << press;
    }
    EXPECT_EQ(other.CastleX, otherX);
    // The places are the pieces' own, no edit of the designer's.
    EXPECT_EQ(project.Modified, 0u);
    EXPECT_FALSE(FormSlide->GetVisible());
}

TEST_F(ProvinceCommands, GeneratedIncomeChangesTheFirstThreeResourcesOfEveryChosenProvince) {
    ChooseRows({0, 2, 3});
    const auto resources = [&](int i) {
        const CProvince& p = desk.Province(i);
        return std::vector<int>({p.Resources[0], p.Resources[1], p.Resources[2]});
    };
    const std::vector<int> untouched = resources(1);
    for (int round = 0; round < 30; ++round) {
        SCOPED_TRACE(round);
        std::vector<std::vector<int>> before;
        for (int i : {0, 2, 3}) before.push_back(resources(i));
        ClickToolButton(desk.Host(), main, *main.ActGenerateIncome);
        for (size_t n = 0; n < before.size(); ++n) {
            const std::vector<int> now = resources(std::vector<int>{0, 2, 3}[n]);
            for (int r = 0; r < 3; ++r) EXPECT_NE(now[r], before[n][r]);
            EXPECT_TRUE(now[0] >= 2 && now[0] <= 5 && now[1] >= 0 && now[1] <= 4 && now[2] >= 0 && now[2] <= 3);
        }
    }
    EXPECT_EQ(resources(1), untouched);
    EXPECT_EQ(project.Modified, 1u);

    // One province: the grid and the selection's summary show its new values.
    ChooseRows({2});
    ClickToolButton(desk.Host(), main, *main.ActGenerateIncome);
    const std::vector<int> now = resources(2);
    for (int r = 0; r < 3; ++r) EXPECT_EQ(desk.GridText(thorn::NumberedKey("Res_%d", r)), std::to_string(now[r]));
    // The start folder's catalogue names the first three resources.
    const std::string income = "Gold[" + std::to_string(now[0]) + "], Iron[" + std::to_string(now[1]) +
                               "], Stone[" + std::to_string(now[2]) + "]";
    EXPECT_EQ(main.LblSelProvIncome->GetCaption().substr(0, income.size()), income);
}

TEST_F(ProvinceCommands, GeneratedNamesAreNewCapitalisedAndShownEverywhere) {
    const std::vector<std::string> before = ProvinceNames(project);
    ChooseRows({1, 3});
    ClickToolButton(desk.Host(), main, *main.ActRenProv);
    const std::vector<std::string> after = ProvinceNames(project);
    for (size_t i = 0; i < after.size(); ++i) {
        SCOPED_TRACE(i);
        if (i != 1 && i != 3) {
            EXPECT_EQ(after[i], before[i]);
            continue;
        }
        EXPECT_EQ(std::count(before.begin(), before.end(), after[i]), 0);
        EXPECT_EQ(std::count(after.begin(), after.end(), after[i]), 1);
        EXPECT_TRUE(after[i].size() >= 3 && after[i].size() <= 6);
        const auto first = static_cast<unsigned char>(after[i].front());
        EXPECT_EQ(thorn::UpperCase1252(first), first);
    }
    EXPECT_EQ(RowCaptions(main), after);
    EXPECT_EQ(project.Modified, 1u);
}

TEST_F(ProvinceCommands, TooFewSampleNamesEndTheRenamingWithAMessage) {
    struct Case {
        const char* samples;
        const char* message;
        int renamed;
    };
    const Case cases[] = {
        // Every generated name is "Abcd": the first province takes it.
        {"Abcd\n", "No new name could be found for", 1},
        {"Ab\nXyz\n", "No province names can be generated", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.samples);
        thorn::test::WriteText(desk.Editor() / "data/names.txt", c.samples);
        ASSERT_EQ(thorn::ProvinceNameGenerator(main.NameTables, desk.Editor().Folder().Path()), 1);
        const std::vector<std::string> before = ProvinceNames(project);
        ChooseRows({4, 5});
        desk.Host().AnswerMessageBox(IDOK, c.message);
        ClickToolButton(desk.Host(), main, *main.ActRenProv);
        EXPECT_EQ(desk.Host().PendingScripts(), 0u);
        const std::vector<std::string> after = ProvinceNames(project);
        EXPECT_EQ(after[4] != before[4], c.renamed == 1);
        EXPECT_EQ(after[5], before[5]);
    }
}

}  // namespace
