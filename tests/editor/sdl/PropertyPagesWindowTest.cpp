#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <filesystem>
#include <vector>

#include "../EditorSession.h"
#include "SdlSession.h"
#include "XScreen.h"
#include "bitmap/Pix32_Layers.h"
#include "editor/PlayersList.h"
#include "editor/Program.h"
#include "gui/Application.h"
#include "gui/ComboBox.h"
#include "gui/PopupWindow.h"
#include "model/GridItemKeys.h"
#include "support/PngFile.h"
#include "support/Pixels.h"

// Runs under Xvfb: the editor as its program starts it, on a copy of the
// start folder, with a mission made from a sample world; its two pages used
// with the X pointer and keys. The screen is saved as "players_page.png",
// "players_page_capital_blinking.png", "provinces_page.png",
// "world_scrolled.png" and "world_zoom_fill.png" in the build folder, to look
// at.
namespace {

class PropertyPagesWindow : public thorn::test::SdlSession {
protected:
    const std::filesystem::path buildFolder = std::filesystem::current_path();
    thorn::test::StartFolderCopy folder;
    thorn::MainModuleScope module;
    thorn::test::XScreen screen;

    // The main window shown with a mission made from a sample world as the
    // New command leaves it, provinces 3 and 7 given to player 3.
    TMainForm& OpenMission() {
        thorn::CreateEditorWindows(*app);
        TMainForm& main = *MainForm.Get();
        main.Show();
        EXPECT_TRUE(RunUntil([&] { return main.GetHostWindow() && !main.HasPendingPaint(); }));
        EXPECT_EQ(MapProject->ImportWorldImage(folder / "worlds" / "twin_kingdoms.bmp", 0), 1);
        EXPECT_EQ(MapProject->NewMissionFromImage(), 1);
        for (int i : {3, 7}) MapProject->Provinces.GetAt(static_cast<uint8_t>(i))->SetOwner(2);
        MapProject->Players[0].Active = MapProject->Players[1].Active = 1;
        MapProject->EnableProjectUI(1);
        FillPlayersList();
        EXPECT_TRUE(RunUntil([&] { return !main.HasPendingPaint(); }));
        return main;
    }

    TPoint ScreenPoint(const TControl& control, TPoint p) const { return control.ClientToScreen(p); }
    void ClickAt(const TControl& control, TPoint p) {
        const TPoint at = ScreenPoint(control, p);
        screen.Click(at.X, at.Y);
    }

    // A screen point of the province's piece with no layer on it.
    TPoint OpenPointOf(const TMainForm& main, int province) const {
        const CProvince& p = *MapProject->Provinces.GetAt(static_cast<uint8_t>(province));
        const CProvinceMap& piece = *MapProject->MapPieces.GetAt(static_cast<uint16_t>(p.MapPieceIndex));
        const double scale = main.ImgVWorld->GetScale();
        for (int y = piece.Top + 4; y < piece.Top + piece.Mask->Height() - 4; ++y)
            for (int x = piece.Left + 4; x < piece.Left + piece.Mask->Width() - 4; ++x) {
                const TPoint view{static_cast<int32_t>(x * scale), static_cast<int32_t>(y * scale)};
                if (MapProject->GetPieceAt(x, y) == p.MapPieceIndex &&
                    !main.ImgVWorld->GetLayers()->FindLayerAtPos(view.X, view.Y, kLayerMouseEvents))
                    return ScreenPoint(*main.ImgVWorld, view);
            }
        ADD_FAILURE() << "no open point on province " << province;
        return {};
    }

    // The X server's events handled for a while, as time passes for a user.
    void Pump(uint64_t milliseconds) {
        const uint64_t until = host->Now() + milliseconds;
        while (host->Now() < until) {
            Application->ProcessMessages();
            host->PumpEvents(5);
        }
        Application->ProcessMessages();
    }

    void SaveScreen(const char* name) {
        TBitmap32 whole;
        screen.Grab(whole);
        thorn::test::WritePng(buildFolder / name, whole);
    }

    void CloseMission(TMainForm& main) {
        MapProject->Modified = 0;
        main.Close();
        ASSERT_TRUE(RunUntil([&] { return MapProject == nullptr; }));
    }
};

TEST_F(PropertyPagesWindow, APlayerSwitchedOnAndGivenACapitalWithThePointer) {
    ASSERT_TRUE(screen.Ok());
    TMainForm& main = OpenMission();

    // Player 3: its check box, then its row.
    TListView& list = *main.LVPlayers;
    const TRect row = list.GetItems()->GetItem(2)->DisplayRect();
    const int middle = (row.Top + row.Bottom) / 2;
    ClickAt(list, {row.Left + 8, middle});
    ASSERT_TRUE(RunUntil([&] { return MapProject->Players[2].Active != 0; }));
    ClickAt(list, {row.Left + 60, middle});
    TrmInspector& grid = *main.RMIPlayer;
    ASSERT_TRUE(RunUntil([&] { return grid.GetItemByName(InspectorKeys::Capital) != nullptr; }));

    // Its capital: the row's value cell, the list dropped, the second province.
    const int capitalRow = grid.VisibileItemIndex(grid.GetItemByName(InspectorKeys::Capital));
    const TRect cell = grid.GetVisibleItemRect(capitalRow - grid.GetVScrollPos(), true);
    ClickAt(grid, {cell.Left + 20, (cell.Top + cell.Bottom) / 2});
    TCustomComboBox* combo = nullptr;
    ASSERT_TRUE(RunUntil([&] { return (combo = dynamic_cast<TCustomComboBox*>(grid.GetEditor())) != nullptr; }));
    ClickAt(*combo, {combo->GetWidth() / 2, combo->GetHeight() / 2});
    ASSERT_TRUE(RunUntil([&] { return combo->GetDroppedDown(); }));
    thorn::RowView& choices = *combo->GetListView();
    const TRect second = choices.RowRect(2);
    ClickAt(choices, {second.Left + 5, (second.Top + second.Bottom) / 2});
    CProvince* capital = MapProject->Provinces.GetAt(7);
    ASSERT_TRUE(RunUntil([&] { return MapProject->Players[2].Capital == capital && !main.HasPendingPaint(); }));
    EXPECT_EQ(grid.GetItemByName(InspectorKeys::Capital)->GetAsString(),
              MapProject->Tables.GetAt(0)->GetProvinceName(capital));
    EXPECT_TRUE(list.GetItems()->GetItem(2)->GetChecked());
    // The domain of player 3 under the grid, its capital's castle counted.
    EXPECT_EQ(main.LblDomainSummary->GetCaption(), "2 Provinces, 1 Castles");

    SaveScreen("players_page.png");
    // The capital blinks, its piece alone repainted at each tick: a few
    // ticks on, one of its shades.
    Pump(500);
    SaveScreen("players_page_capital_blinking.png");
    CloseMission(main);
}

TEST_F(PropertyPagesWindow, ProvincesSelectedByDraggingAcrossTheMap) {
    ASSERT_TRUE(screen.Ok());
    TMainForm& main = OpenMission();
    // Provinces that differ in their first resource and in having a castle,
    // so the grid shows its mixed marks.
    for (int i = 0; i < MapProject->Provinces.GetCount(); ++i) {
        CProvince& p = *MapProject->Provinces.GetAt(static_cast<uint8_t>(i));
        p.SetResource(0, static_cast<uint16_t>(1 + i % 3));
        p.SetHasCastle(i % 2 == 0 ? 1 : 0);
    }

    TPageControl& pages = *main.PgCMissionProperties;
    const TRect tab = pages.TabRect(1);
    ClickAt(pages, {(tab.Left + tab.Right) / 2, (tab.Top + tab.Bottom) / 2});
    ASSERT_TRUE(RunUntil([&] { return pages.GetActivePageIndex() == 1 && !main.HasPendingPaint(); }));

    // Pressed on one province of nobody's, dragged over others to a fourth.
    const TPoint from = OpenPointOf(main, 0), to = OpenPointOf(main, 12);
    screen.Press(from.X, from.Y);
    constexpr int kSteps = 30;
    for (int step = 1; step <= kSteps; ++step) {
        screen.MoveTo(from.X + (to.X - from.X) * step / kSteps, from.Y + (to.Y - from.Y) * step / kSteps);
        Pump(20);
    }
    screen.Release();
    ASSERT_TRUE(RunUntil([&] { return MapProject->Selection.GetCount() >= 3 && !main.HasPendingPaint(); }));

    const int selected = MapProject->Selection.GetCount();
    TrmInspector& grid = *main.RMIProvince;
    EXPECT_EQ(grid.GetItemByName(InspectorKeys::ProvName), nullptr) << "no name row for several provinces";
    EXPECT_EQ(grid.GetItemByName(InspectorKeys::Owner)->GetAsString(), "none");
    EXPECT_EQ(grid.GetItemByName("Res_0")->GetAsString(), "") << "their first resources differ";
    EXPECT_EQ(main.LblSelProvSummary->GetCaption().rfind(std::to_string(selected) + " Provinces, ", 0), 0u);
    int rows = 0;
    for (int i = 0; i < main.LVProvinces->GetItems()->GetCount(); ++i)
        rows += main.LVProvinces->GetItems()->GetItem(i)->GetSelected() ? 1 : 0;
    EXPECT_EQ(rows, selected);

    SaveScreen("provinces_page.png");
    CloseMission(main);
}

}  // namespace

namespace {

// The view zoomed in over the provinces, all of them selected from the list
// with Shift+End and the view scrolled with the wheel: what comes into sight
// shows their selected paint at once, as the whole picture completed and
// painted again shows it. The screen is saved as "world_scrolled.png".
TEST_F(PropertyPagesWindow, PiecesPaintedOutOfSightShowWhenScrolledIntoIt) {
    ASSERT_TRUE(screen.Ok());
    TMainForm& main = OpenMission();
    for (int i : {3, 7}) MapProject->Provinces.GetAt(static_cast<uint8_t>(i))->SetOwner(CProvinceB::kNoOwner);
    MapProject->RedrawPieces(0);
    MapProject->SetZoom(3.0f);
    TPageControl& pages = *main.PgCMissionProperties;
    const TRect tab = pages.TabRect(1);
    ClickAt(pages, {(tab.Left + tab.Right) / 2, (tab.Top + tab.Bottom) / 2});
    ASSERT_TRUE(RunUntil([&] { return pages.GetActivePageIndex() == 1 && !main.HasPendingPaint(); }));

    const TRect first = main.LVProvinces->GetItems()->GetItem(0)->DisplayRect();
    const TPoint firstRow = ScreenPoint(*main.LVProvinces, {first.Left + 20, (first.Top + first.Bottom) / 2});
    screen.Click(firstRow.X, firstRow.Y);
    ASSERT_TRUE(RunUntil([&] { return MapProject->Selection.GetCount() == 1; }));
    screen.FocusAt(firstRow.X, firstRow.Y);
    screen.Key(XK_End, true);
    const int all = MapProject->Provinces.GetCount();
    ASSERT_TRUE(RunUntil([&] { return MapProject->Selection.GetCount() == all && !main.HasPendingPaint(); }))
        << MapProject->Selection.GetCount() << " of " << all;

    TScrollBox& box = *main.ScrBWorld;
    const TPoint middle = ScreenPoint(box, {box.GetClientWidth() / 2, box.GetClientHeight() / 2});
    screen.Wheel(middle.X, middle.Y, -6);
    ASSERT_TRUE(RunUntil([&] { return box.VertScrollBar().GetScrollPos() > 0 && !main.HasPendingPaint(); }));
    Pump(100);
    auto viewOnScreen = [&] {
        TBitmap32 whole, part;
        screen.Grab(whole);
        const TPoint corner = ScreenPoint(box, {0, 0});
        part.SetSize(box.GetClientWidth(), box.GetClientHeight());
        for (int y = 0; y < part.Height(); ++y)
            for (int x = 0; x < part.Width(); ++x) part.SetPixel(x, y, whole.GetPixel(corner.X + x, corner.Y + y));
        return thorn::test::PixelsOf(part);
    };
    const std::vector<TColor32> scrolled = viewOnScreen();
    SaveScreen("world_scrolled.png");

    main.ImgVWorld->GetBitmap();  // every part of the picture
    main.ImgVWorld->Invalidate();
    ASSERT_TRUE(RunUntil([&] { return !main.HasPendingPaint(); }));
    Pump(100);
    EXPECT_EQ(scrolled, viewOnScreen());
    CloseMission(main);
}

// Zoom Fill after the map was scrolled at 300 %: the whole world shows in
// the middle of its box, with no scroll bars ("world_zoom_fill.png").
TEST_F(PropertyPagesWindow, ZoomFillAfterScrollingShowsTheWholeWorld) {
    ASSERT_TRUE(screen.Ok());
    TMainForm& main = OpenMission();
    MapProject->SetZoom(3.0f);
    TScrollBox& box = *main.ScrBWorld;
    ASSERT_TRUE(RunUntil([&] { return !main.HasPendingPaint(); }));
    const TPoint middle = ScreenPoint(box, {box.GetClientWidth() / 2, box.GetClientHeight() / 2});
    screen.Wheel(middle.X, middle.Y, -6);
    ASSERT_TRUE(RunUntil([&] { return box.VertScrollBar().GetScrollPos() > 0 && !main.HasPendingPaint(); }));

    TToolButton* fill = nullptr;
    for (int i = 0; i < main.TBrShow->GetButtonCount(); ++i)
        if (main.TBrShow->GetButton(i)->GetAction() == main.ActZoomFill) fill = main.TBrShow->GetButton(i);
    ASSERT_NE(fill, nullptr);
    ClickAt(*fill, {fill->GetWidth() / 2, fill->GetHeight() / 2});
    ASSERT_TRUE(RunUntil([&] { return main.ImgVWorld->GetScale() == 1.0f && !main.HasPendingPaint(); }));
    Pump(100);
    SaveScreen("world_zoom_fill.png");
    EXPECT_FALSE(box.HorzScrollBar().IsScrollBarVisible());
    EXPECT_FALSE(box.VertScrollBar().IsScrollBarVisible());
    // The box's own colour shows on all four sides of the world.
    TBitmap32 whole;
    screen.Grab(whole);
    const TRect world = main.ImgVWorld->GetBoundsRect();
    const int midX = (world.Left + world.Right) / 2, midY = (world.Top + world.Bottom) / 2;
    for (const TPoint beside : {TPoint{world.Left - 2, midY}, TPoint{world.Right + 1, midY}, TPoint{midX, world.Top - 2},
                                TPoint{midX, world.Bottom + 1}}) {
        const TPoint at = ScreenPoint(box, beside);
        EXPECT_EQ(whole.GetPixel(at.X, at.Y), thorn::test::Shown(clWindow)) << beside.X << ";" << beside.Y;
    }
    CloseMission(main);
}

}  // namespace
