#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "MissionDesk.h"

namespace {

using thorn::test::MissionDesk;

class ProvinceSelection : public ::testing::Test {
protected:
    ProvinceSelection() { desk.ShowPage(MissionDesk::kProvincesPage); }

    CProvince* P(int i) { return &desk.Province(i); }
    bool Marked(const CProvince* p) const {
        return desk.Project().MapPieces.GetAt(static_cast<uint16_t>(p->MapPieceIndex))->Selected != 0;
    }
    // The selection, the list's selected rows and the marked pieces agree.
    void ExpectSelection(const std::vector<CProvince*>& expected) {
        EXPECT_EQ(desk.Selected(), expected);
        std::vector<CProvince*> rows = expected;
        std::sort(rows.begin(), rows.end(), [this](CProvince* a, CProvince* b) {
            return desk.Project().Provinces.IndexOf(a) < desk.Project().Provinces.IndexOf(b);
        });
        EXPECT_EQ(desk.SelectedRows(), rows);
        for (int i = 0; i < desk.ProvinceCount(); ++i) {
            const bool chosen = std::find(expected.begin(), expected.end(), P(i)) != expected.end();
            EXPECT_EQ(Marked(P(i)), chosen) << "piece of province " << i;
        }
    }
    void GiveTo(int province, uint8_t owner) {
        P(province)->SetOwner(owner);
        desk.Project().RedrawPiece(static_cast<uint16_t>(P(province)->MapPieceIndex));
    }

    MissionDesk desk;
};

TEST_F(ProvinceSelection, ClickCtrlClickAndDragOnTheMap) {
    // Far apart, so that a drag between the first two crosses others.
    CProvince* a = P(0);
    CProvince* b = P(5);
    CProvince* c = P(10);
    CProvince* d = P(12);
    const TPoint sea{3, 3};
    ASSERT_EQ(desk.Project().FindProvinceByPieceIndex(static_cast<uint16_t>(desk.Project().GetPieceAt(3, 3))), nullptr);
    struct Step {
        const char* what;
        std::function<void()> act;
        std::vector<CProvince*> selected;
    };
    const Step steps[] = {
        {"a click selects", [&] { desk.ClickWorld(desk.OpenPointOf(*a)); }, {a}},
        {"a click elsewhere selects that one alone", [&] { desk.ClickWorld(desk.OpenPointOf(*b)); }, {b}},
        {"Ctrl+click adds", [&] { desk.ClickWorld(desk.OpenPointOf(*a), {ssCtrl}); }, {b, a}},
        {"Ctrl+click again takes away", [&] { desk.ClickWorld(desk.OpenPointOf(*b), {ssCtrl}); }, {a}},
        {"open sea changes nothing", [&] { desk.ClickWorld(sea); }, {a}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        ExpectSelection(step.selected);
    }

    desk.DragWorld(desk.OpenPointOf(*c), desk.OpenPointOf(*d), 40);
    const std::vector<CProvince*> dragged = desk.Selected();
    ASSERT_GE(dragged.size(), 2u);
    EXPECT_EQ(dragged.front(), c) << "the press starts a new selection";
    EXPECT_NE(std::find(dragged.begin(), dragged.end(), d), dragged.end());
    ExpectSelection(dragged);

    // A Ctrl+click that takes a province away does not add it back while
    // the button moves on it.
    const TPoint at = desk.FormPointOf(desk.OpenPointOf(*d));
    desk.Host().MouseDown(desk.Main(), at.X, at.Y, mbLeft, {ssCtrl});
    desk.Host().MouseMove(desk.Main(), at.X + 1, at.Y + 1);
    desk.Host().MouseUp(desk.Main(), at.X + 1, at.Y + 1);
    const std::vector<CProvince*> after = desk.Selected();
    EXPECT_EQ(std::find(after.begin(), after.end(), d), after.end());
    ExpectSelection(after);
}

TEST_F(ProvinceSelection, TheListAndTheMapFollowEachOther) {
    const TPoint open = desk.OpenPointOf(*P(3));
    const TColor32 before = desk.Host().PixelAt(desk.Main(), desk.FormPointOf(open).X, desk.FormPointOf(open).Y);
    desk.ClickProvinceRow(3);
    ExpectSelection({P(3)});
    EXPECT_NE(desk.Host().PixelAt(desk.Main(), desk.FormPointOf(open).X, desk.FormPointOf(open).Y), before)
        << "the marked piece is drawn again on the world view";
    desk.ClickProvinceRow(7, {ssCtrl});
    ExpectSelection({P(3), P(7)});
    desk.ClickProvinceRow(7);
    ExpectSelection({P(7)});
    desk.ClickWorld(desk.OpenPointOf(*P(2)));
    ExpectSelection({P(2)});
    EXPECT_EQ(desk.Host().PixelAt(desk.Main(), desk.FormPointOf(open).X, desk.FormPointOf(open).Y), before)
        << "the piece let go looks as before";
    // The last one let go empties the grid.
    desk.ClickProvinceRow(2, {ssCtrl});
    ExpectSelection({});
    EXPECT_EQ(desk.Main().RMIProvince->GetItems().GetCount(), 0);
}

TEST_F(ProvinceSelection, ProvincesOfAnotherOwnerAreRefused) {
    GiveTo(0, 0);
    GiveTo(1, 0);
    GiveTo(2, 1);
    // Refused beside one province as beside two.
    desk.ClickWorld(desk.OpenPointOf(*P(0)));
    desk.ClickWorld(desk.OpenPointOf(*P(2)), {ssCtrl});
    ExpectSelection({P(0)});
    desk.ClickWorld(desk.OpenPointOf(*P(1)), {ssCtrl});
    desk.ClickWorld(desk.OpenPointOf(*P(2)), {ssCtrl});
    ExpectSelection({P(0), P(1)});
    desk.ClickProvinceRow(3, {ssCtrl});
    ExpectSelection({P(0), P(1)});
    EXPECT_EQ(desk.GridText("Owner"), desk.Project().Tables.GetAt(0)->GetPlayerName(0));

    // Provinces without owner go together, and say so.
    desk.ClickProvinceRow(3);
    desk.ClickProvinceRow(4, {ssCtrl});
    ExpectSelection({P(3), P(4)});
    EXPECT_EQ(desk.GridText("Owner"), "none");
}

}  // namespace
