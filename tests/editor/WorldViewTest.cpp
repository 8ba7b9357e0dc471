#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "MissionDesk.h"
#include "bitmap/Pix32_Layers.h"
#include "gui/Application.h"
#include "model/Settings.h"

namespace {

using thorn::test::MissionDesk;

class WorldView : public ::testing::Test {
protected:
    CProvince& P(int i) { return desk.Province(i); }
    const CProvinceMap& PieceOf(const CProvince& p) {
        return *desk.Project().MapPieces.GetAt(static_cast<uint16_t>(p.MapPieceIndex));
    }
    void Own(int i, uint8_t owner) {
        P(i).SetOwner(owner);
        desk.Project().RedrawPiece(static_cast<uint16_t>(P(i).MapPieceIndex));
    }
    // A form point of the view's client area.
    TPoint OnView(int x, int y) {
        const TImage32& view = *desk.Main().ImgVWorld;
        const TPoint screen = view.ClientToScreen({x, y});
        return {screen.X - desk.Main().GetLeft(), screen.Y - desk.Main().GetTop()};
    }
    std::string Panel(int i) { return desk.Main().StatusBar->Panels()[i]->GetText(); }
    TColor32 Shown(TPoint world) {
        const TPoint at = desk.FormPointOf(world);
        return desk.Host().PixelAt(desk.Main(), at.X, at.Y);
    }
    // Pieces marked selected that no selected province holds.
    int StrayMarks() {
        int stray = 0;
        const CMapProject& project = desk.Project();
        for (uint16_t n = 0; n < project.MapPieces.GetCount(); ++n) {
            if (!project.MapPieces.GetAt(n)->Selected) continue;
            const CProvince* holder = project.FindProvinceByPieceIndex(n);
            if (!holder || !project.Selection.Contains(holder)) ++stray;
        }
        return stray;
    }

    MissionDesk desk;
};

TEST_F(WorldView, ThePanelShowsTheWorldPointUnderThePointer) {
    struct Case {
        float scale;
        int x, y;
        const char* shown;
    };
    for (const Case& c : {Case{1.0f, 100, 37, "(100;37)"}, Case{2.0f, 5, 5, "(2;2)"}, Case{3.0f, 8, 8, "(2;2)"},
                          Case{3.0f, 9, 17, "(3;5)"}}) {
        SCOPED_TRACE(c.shown);
        desk.Project().SetZoom(c.scale);
        const TPoint at = OnView(c.x, c.y);
        desk.Host().MouseMove(desk.Main(), at.X, at.Y);
        EXPECT_EQ(Panel(0), c.shown);
    }

    // Off the controls (the free end of the menu bar) the coordinates and
    // the help text go.
    desk.Host().MouseMove(desk.Main(), desk.Main().GetClientWidth() - 20, desk.Main().GetMenuBarHeight() / 2);
    EXPECT_EQ(Panel(0), "");
    EXPECT_EQ(Panel(2), "");

    // While a row of the province grid is current, the view lets the
    // pointer be.
    desk.Project().SetZoom(1.0f);
    desk.ShowPage(MissionDesk::kProvincesPage);
    desk.ClickWorld(desk.OpenPointOf(P(0)));
    desk.GoToGridRow("Owner");
    const std::string before = Panel(0);
    desk.MoveOverWorld({40, 50});
    EXPECT_EQ(Panel(0), before);
}

TEST_F(WorldView, TheMiddleButtonPans) {
    desk.Project().SetZoom(2.0f);
    TControlScrollBar& h = desk.Main().ScrBWorld->HorzScrollBar();
    TControlScrollBar& v = desk.Main().ScrBWorld->VertScrollBar();
    h.SetPosition(100);
    v.SetPosition(100);
    const TPoint from = OnView(400, 400);
    desk.Host().MouseDown(desk.Main(), from.X, from.Y, mbMiddle);
    for (int step = 1; step <= 5; ++step) desk.Host().MouseMove(desk.Main(), from.X - 10 * step, from.Y - 6 * step);
    desk.Host().MouseUp(desk.Main(), from.X - 50, from.Y - 30, mbMiddle);
    EXPECT_EQ(h.GetPosition(), 150);
    EXPECT_EQ(v.GetPosition(), 130);
}

TEST_F(WorldView, AMarkerDraggedStaysInsideTheWorldAndBindsWhereItLies) {
    desk.ShowPage(MissionDesk::kProvincesPage);
    CProvince& a = P(0);
    const int32_t home = a.MapPieceIndex;
    const TPoint homePoint = desk.OpenPointOf(a), neighbourPoint = desk.OpenPointOf(P(1));
    const CMapProject& project = desk.Project();

    // Past the left edge, then past the bottom edge.
    const TPoint marker = desk.FormPointOf(desk.MarkerPointOf(a));
    const TPoint leftOut = OnView(-15, 200), bottomOut = OnView(200, project.WorldHeight + 6);
    desk.Host().Drag(desk.Main(), marker, leftOut, 6);
    EXPECT_EQ(a.FreeX, 12);
    EXPECT_EQ(a.FreeY, 200);
    desk.Host().Drag(desk.Main(), desk.FormPointOf(desk.MarkerPointOf(a)), bottomOut, 6);
    EXPECT_EQ(a.FreeY, project.WorldHeight - 5);
    EXPECT_EQ(desk.Selected(), std::vector<CProvince*>{&a});

    // Onto a piece another province holds: it comes loose and no piece is
    // marked for it; back home, it binds to its piece again.
    struct Drop {
        const char* where;
        TPoint world;
        int32_t piece;
    };
    for (const Drop& d : {Drop{"on the neighbour's piece", neighbourPoint, -1}, Drop{"back home", homePoint, home}}) {
        SCOPED_TRACE(d.where);
        desk.DragWorld(desk.MarkerPointOf(a), d.world, 8);
        EXPECT_EQ(a.MapPieceIndex, d.piece);
        EXPECT_EQ(a.FreeX, d.world.X);
        EXPECT_EQ(project.GetPieceAt(neighbourPoint.X, neighbourPoint.Y), P(1).MapPieceIndex) << "the neighbour stays";
        EXPECT_EQ(StrayMarks(), 0);
        EXPECT_EQ(PieceOf(P(1)).Selected, 0);
    }
    EXPECT_EQ(PieceOf(a).Selected, 1);
    EXPECT_EQ(desk.Selected(), std::vector<CProvince*>{&a});
}

TEST_F(WorldView, CastleAndArmyIconsMoveOnlyInsideTheirPiece) {
    struct Icon {
        const char* what;
        uint32_t CSettings::*mode;
        TPoint (MissionDesk::*pointOf)(const CProvince&) const;
        TBitmapLayer* (CMapProject::*layerOf)(const CProvince*) const;
        uint16_t CProvinceB::*x;
        uint16_t CProvinceB::*y;
    };
    const Icon icons[] = {
        {"castle", &CSettings::ShCastles, &MissionDesk::CastlePointOf, &CMapProject::FindCastleLayer,
         &CProvinceB::CastleX, &CProvinceB::CastleY},
        {"army", &CSettings::ShArmies, &MissionDesk::ArmyPointOf, &CMapProject::FindArmyLayer, &CProvinceB::ArmyX,
         &CProvinceB::ArmyY},
    };
    desk.ShowPage(MissionDesk::kProvincesPage);
    Settings->ShIcons = 0;
    CProvince& a = P(2);
    const CProvinceMap& piece = PieceOf(a);
    for (const Icon& icon : icons) {
        SCOPED_TRACE(icon.what);
        Settings->ShCastles = Settings->ShArmies = 0;
        (*Settings).*icon.mode = 1;
        desk.Project().UpdateIconLayers();
        desk.Project().UpdateCastleIcons();
        desk.Project().UpdateArmyIcons();
        // A point of the piece the other icon does not cover either.
        const TPoint inside = desk.OpenPointOf(a);

        desk.DragWorld((desk.*icon.pointOf)(a), inside, 6);
        EXPECT_EQ(desk.Selected(), std::vector<CProvince*>{&a});
        EXPECT_EQ(a.*icon.x, inside.X - piece.Left);
        EXPECT_EQ(a.*icon.y, inside.Y - piece.Top);
        const TFloatRect placed = (desk.Project().*icon.layerOf)(&a)->GetLocation();

        desk.DragWorld((desk.*icon.pointOf)(a), desk.OpenPointOf(P(3)), 6);
        EXPECT_EQ(a.*icon.x, inside.X - piece.Left) << "outside its piece the icon keeps its place";
        EXPECT_EQ(a.*icon.y, inside.Y - piece.Top);
        const TFloatRect after = (desk.Project().*icon.layerOf)(&a)->GetLocation();
        EXPECT_EQ(after.Left, placed.Left);
        EXPECT_EQ(after.Top, placed.Top);
    }
}

TEST_F(WorldView, AClickOnThePlayersPageChoosesTheProvincesOwner) {
    Own(4, 1);
    Own(6, 1);
    TListView& players = *desk.Main().LVPlayers;
    struct Click {
        const char* what;
        TPoint world;
        int row;
    };
    for (const Click& c : {Click{"open sea", {3, 3}, -1}, Click{"a province of nobody", desk.OpenPointOf(P(5)), -1},
                           Click{"a province of player 2", desk.OpenPointOf(P(4)), 1}}) {
        SCOPED_TRACE(c.what);
        desk.ClickWorld(c.world);
        EXPECT_EQ(players.GetItemIndex(), c.row);
    }
    // The owner's row chosen as if clicked: its grid, its provinces, its
    // domain; the province grid of the other page stays empty.
    EXPECT_EQ(desk.Main().RMIPlayer->GetItemByName("Name")->GetAsString(), "Player 2");
    EXPECT_EQ(desk.Selected(), (std::vector<CProvince*>{&P(4), &P(6)}));
    EXPECT_EQ(desk.Main().RMIProvince->GetItems().GetCount(), 0);
    EXPECT_EQ(desk.Main().LblDomainSummary->GetCaption(), "2 Provinces, 0 Castles");
    // A capital made with Ctrl counts its castle at once.
    desk.ClickWorld(desk.OpenPointOf(P(6)), {ssCtrl});
    EXPECT_EQ(desk.Main().LblDomainSummary->GetCaption(), "2 Provinces, 1 Castles");
}

TEST_F(WorldView, CtrlClickOnThePlayersPageMakesTheSelectedPlayersCapitalAndBlinksIt) {
    Own(4, 0);
    Own(5, 1);
    CPlayerData& first = *desk.Project().PlayerAt(0);
    desk.ClickWorld(desk.OpenPointOf(P(4)), {ssCtrl});
    EXPECT_EQ(first.Capital, nullptr) << "no player chosen";
    desk.ClickPlayerRow(0);
    desk.ClickWorld(desk.OpenPointOf(P(5)), {ssCtrl});
    EXPECT_EQ(first.Capital, nullptr) << "another player's province";
    desk.ClickWorld(desk.OpenPointOf(P(4)), {ssCtrl});
    EXPECT_EQ(first.Capital, &P(4));
    EXPECT_EQ(BlinkProvince, &P(4));

    // Darker, as it is, lighter, as it is, every 150 ms.
    const TPoint open = desk.OpenPointOf(P(4));
    const TColor32 normal = Shown(open);
    struct Phase {
        const char* what;
        int sign;
    };
    for (const Phase& phase : {Phase{"darker", -1}, Phase{"normal", 0}, Phase{"lighter", 1}, Phase{"normal", 0}}) {
        SCOPED_TRACE(phase.what);
        desk.Host().Advance(150);
        const int difference = Intensity(Shown(open)) - Intensity(normal);
        EXPECT_EQ((difference > 0) - (difference < 0), phase.sign);
    }

    // Another player chosen while the piece is shown darker: the new blink
    // (of no capital) stops the old one, and the piece, no longer selected,
    // keeps its look.
    desk.Host().Advance(150);
    ASSERT_LT(Intensity(Shown(open)), Intensity(normal));
    desk.ClickPlayerRow(1);
    EXPECT_EQ(BlinkProvince, nullptr);
    const TColor32 settled = Shown(open);
    for (int tick = 0; tick < 4; ++tick) {
        desk.Host().Advance(150);
        EXPECT_EQ(Shown(open), settled) << tick;
    }
}

TEST_F(WorldView, CtrlClickOnTheCapitalItHasChangesNothing) {
    Own(4, 0);
    P(4).Castle = {CCastleDataB::kPresent, CCastleDataB::kMarket, 50};
    desk.ClickPlayerRow(0);
    for (int click = 0; click < 2; ++click) desk.ClickWorld(desk.OpenPointOf(P(4)), {ssCtrl});
    ASSERT_EQ(desk.Project().PlayerAt(0)->Capital, &P(4));
    desk.ChooseInGridRow("Capital", 0, desk.Main().RMIPlayer);
    ASSERT_EQ(desk.Project().PlayerAt(0)->Capital, nullptr);
    EXPECT_EQ(P(4).Castle.Flags, CCastleDataB::kPresent) << "the castle it had before it became the capital";
    EXPECT_EQ(P(4).Castle.Buildings, CCastleDataB::kMarket);
    EXPECT_EQ(P(4).Castle.HitPoints, 50);
}

TEST_F(WorldView, ALabelShowsTheIncomeOfTheCastleACapitalSwitchGivesOrTakes) {
    Own(4, 0);
    P(4).Castle = {0, 0, 50};
    desk.Host().PressKey(VK_F8);
    ASSERT_TRUE(Settings->ShNames);
    desk.ClickPlayerRow(0);
    // What the view shows of the province's label.
    auto label = [&] {
        Application->ProcessMessages();
        const TFloatRect where = desk.Project().FindNameLayer(&P(4))->GetLocation();
        std::vector<TColor32> pixels;
        for (int y = static_cast<int>(where.Top); y < static_cast<int>(where.Bottom); ++y)
            for (int x = static_cast<int>(where.Left); x < static_cast<int>(where.Right); ++x) {
                const TPoint at = OnView(x, y);
                pixels.push_back(desk.Host().PixelAt(desk.Main(), at.X, at.Y));
            }
        return pixels;
    };
    struct Step {
        const char* what;
        std::function<void()> act;
    };
    for (const Step& step : {Step{"made the capital", [&] { desk.ClickWorld(desk.OpenPointOf(P(4)), {ssCtrl}); }},
                             Step{"the capital no more",
                                  [&] { desk.ChooseInGridRow("Capital", 0, desk.Main().RMIPlayer); }}}) {
        SCOPED_TRACE(step.what);
        step.act();
        const auto shown = label();
        // What a reopened project would show.
        desk.Project().UpdateAllLabels();
        EXPECT_EQ(label(), shown);
    }
}

// While a capital blinks, each 150 ms tick repaints the box of its piece,
// not all the view shows.
TEST_F(WorldView, ABlinkRepaintsOnlyItsPiece) {
    Own(4, 0);
    desk.ClickPlayerRow(0);
    desk.ClickWorld(desk.OpenPointOf(P(4)), {ssCtrl});
    ASSERT_EQ(BlinkProvince, &P(4));
    Application->ProcessMessages();
    const CProvinceMap& piece = PieceOf(P(4));
    const TBitmap32& mask = piece.Mask.AsIs();
    const TPoint from = desk.FormPointOf({piece.Left, piece.Top});
    const TPoint to = desk.FormPointOf({piece.Left + mask.Width(), piece.Top + mask.Height()});
    constexpr int kMargin = 3;  // the view's rounding and its filter's reach
    for (int tick = 0; tick < 4; ++tick) {
        SCOPED_TRACE(tick);
        const int before = desk.Host().PresentCount(desk.Main());
        desk.Host().Advance(150);
        ASSERT_EQ(desk.Host().PresentCount(desk.Main()), before + 1);
        const TRect shown = desk.Host().LastPresented(desk.Main()).at(0);
        EXPECT_GE(shown.Left, from.X - kMargin);
        EXPECT_GE(shown.Top, from.Y - kMargin);
        EXPECT_LE(shown.Right, to.X + kMargin);
        EXPECT_LE(shown.Bottom, to.Y + kMargin);
    }
}

TEST_F(WorldView, TheBlinkStopsWhenItsProvinceIsDeleted) {
    Own(6, 0);
    Own(7, 0);
    desk.ClickPlayerRow(0);
    desk.ClickWorld(desk.OpenPointOf(P(7)), {ssCtrl});
    ASSERT_EQ(BlinkProvince, &P(7));
    // Back on the players page the player's provinces are selected, and the
    // delete command takes them.
    desk.ShowPage(MissionDesk::kProvincesPage);
    desk.ShowPage(MissionDesk::kPlayersPage);
    ASSERT_EQ(BlinkProvince, &P(7));
    const TPoint open = desk.OpenPointOf(P(7));
    const int count = desk.ProvinceCount();
    desk.Host().Advance(150);
    desk.Project().DeleteSelectedProvinces();
    EXPECT_EQ(desk.ProvinceCount(), count - 2);
    EXPECT_EQ(BlinkProvince, nullptr);
    EXPECT_FALSE(desk.Main().Timer->GetEnabled());
    Application->ProcessMessages();
    const TColor32 after = Shown(open);
    desk.Host().Advance(600);
    EXPECT_EQ(Shown(open), after) << "nothing blinks where it was";
}

}  // namespace
