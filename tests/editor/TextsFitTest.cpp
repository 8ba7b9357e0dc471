#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "MissionDesk.h"
#include "ToolWindows.h"
#include "editor/Eventsframe.h"
#include "editor/SelectionInfo.h"
#include "gui/Application.h"
#include "platform/Text.h"

// The texts the windows show at the sizes they start with, in the shipped
// start folder, read back from the pixels the host shows: each is drawn
// whole, not cut by its field, a bar or a wrap with no room.
namespace {

using thorn::test::MissionDesk;

// The columns of an area that hold a pixel other than the background.
struct Ink {
    int first = -1;
    int last = -1;
    int columns = 0;
    int Span() const { return first < 0 ? 0 : last - first + 1; }
};

Ink InkOf(const TBitmap32& picture, const TRect& area, TColor background) {
    const TColor32 plain = Color32(background) & 0xFFFFFF;
    Ink ink;
    for (int x = std::max(0, area.Left); x < std::min(area.Right, picture.Width()); ++x) {
        bool inked = false;
        for (int y = std::max(0, area.Top); y < std::min(area.Bottom, picture.Height()) && !inked; ++y)
            inked = (picture.GetPixel(x, y) & 0xFFFFFF) != plain;
        if (!inked) continue;
        if (ink.first < 0) ink.first = x;
        ink.last = x;
        ++ink.columns;
    }
    return ink;
}

// The text drawn alone in the font, on the background.
Ink InkOfText(const TFont& font, std::string_view text, TColor background) {
    TBitmap32 alone;
    const TSize extent = thorn::TextExtent(font, text);
    alone.SetSize(extent.cx + 8, extent.cy + 4);
    alone.Clear(Color32(background));
    thorn::TextOut(alone.PixelStore(), 4, 2, font, text);
    return InkOf(alone, alone.BoundsRect(), background);
}

// What the window shows of an area of the control, in the control's client
// coordinates.
TRect OnWindow(const TControl& control, TRect area) {
    const TCustomForm& form = *control.GetParentForm();
    const TPoint at = control.ClientToParent({area.Left, area.Top}, &form);
    const int menu = form.GetMenuBarHeight();
    return {at.X, at.Y + menu, at.X + area.Width(), at.Y + menu + area.Height()};
}

struct ShownText {
    const char* what;
    const TControl* control;
    TRect area;  // the text's field, client coordinates of the control
    std::string text;
};

void ExpectWhole(thorn::HeadlessHost& host, const ShownText& shown) {
    SCOPED_TRACE(shown.what);
    TBitmap32 window;
    host.Snapshot(*shown.control->GetParentForm(), window);
    const Ink drawn = InkOf(window, OnWindow(*shown.control, shown.area), clBtnFace);
    const Ink whole = InkOfText(shown.control->GetFont(), shown.text, clBtnFace);
    EXPECT_EQ(drawn.Span(), whole.Span()) << shown.text;
    EXPECT_EQ(drawn.columns, whole.columns) << shown.text;
}

// The rows of a grid row's caption or value cell that the text takes.
TRect TextRowsOf(TrmInspector& grid, const char* key, bool valueSide) {
    const int line = grid.VisibileItemIndex(grid.GetItemByName(key)) - grid.GetVScrollPos();
    TRect cell = grid.GetVisibleItemRect(line, valueSide);
    const int textTop = cell.Top + (grid.RowHeight() - thorn::GetFontMetrics(grid.GetFont()).height) / 2;
    cell.Top = textTop;
    cell.Bottom = textTop + thorn::GetFontMetrics(grid.GetFont()).height;
    return cell;
}

TEST(TextsFit, TheMainWindowsTextsShowWholeAtItsStartingSizes) {
    MissionDesk desk;
    TMainForm& main = desk.Main();
    ASSERT_EQ(main.PgCMissionProperties->GetWidth(), 233);

    // The point under the pointer, in the narrow coordinates panel.
    desk.MoveOverWorld({107, 110});
    const TStatusPanel& coords = *main.StatusBar->Panels()[0];
    ASSERT_EQ(coords.GetText(), "(107;110)");
    TRect field = main.StatusBar->GetPanelRect(0);
    InflateRect(field, -1, -1);  // inside the bevel

    // Every player slot in sight: no bar covers the right-aligned column.
    desk.ShowPage(MissionDesk::kPlayersPage);
    TListView& players = *main.LVPlayers;
    EXPECT_GE(players.GetVisibleRowCount(), players.GetItems()->GetCount());
    int left = -players.GetScrollPos().X;
    for (int column = 0; column < 3; ++column) left += players.GetColumns()->GetItem(column)->GetWidth();
    // Inside the header button's edges.
    const int right = left + players.GetColumns()->GetItem(3)->GetWidth();
    const TRect ability{left + 2, 2, std::min(right - 2, players.GetClientWidth()), players.HeaderHeight() - 2};

    for (const ShownText& shown : {ShownText{"coordinates panel", main.StatusBar, field, coords.GetText()},
                                   ShownText{"players list's last column", &players, ability, "Ability"}})
        ExpectWhole(desk.Host(), shown);

    // The selection's income and army (the shipped catalogue has five
    // resources and eleven unit types) wrap to as many lines as they need
    // inside their page.
    desk.ShowPage(MissionDesk::kProvincesPage);
    desk.ClickWorld(desk.OpenPointOf(desk.Province(0)));
    for (TLabel* label : {main.LblDomainIncome, main.LblDomainArmy, main.LblSelProvIncome, main.LblSelProvArmy}) {
        SCOPED_TRACE(label->GetName());
        ASSERT_FALSE(label->GetCaption().empty());
        TRect needed{0, 0, label->GetWidth(), 0};
        thorn::DrawText(thorn::PixelView{}, needed, DT_WORDBREAK | DT_CALCRECT | DT_NOPREFIX, label->GetFont(),
                        label->GetCaption());
        EXPECT_GE(label->GetHeight(), needed.Height()) << label->GetCaption();
        EXPECT_LE(needed.Width(), label->GetWidth());
        EXPECT_LE(label->GetTop() + label->GetHeight(), label->GetParent()->GetClientHeight());
        EXPECT_LE(label->GetLeft() + label->GetWidth(), label->GetParent()->GetClientWidth());
    }
}

class EventsTextsFit : public thorn::test::ToolWindowTest {
protected:
    EventsTextsFit() : frame(*EventFrame.Get()), grid(*frame.RMIEvent) {
        ShowWith(*editor.Main().ActShowEventRMI);
        ClickMiddle(*frame.TBAdd);
    }
    void ChooseTheEvent() {
        const TRect first = frame.LVEvents->GetItems()->GetItem(0)->DisplayRect();
        ClickOn(*frame.LVEvents, {first.Left + 60, (first.Top + first.Bottom) / 2});
    }
    CEvent& Event() const { return *MapProject->Events.GetAt(0); }

    TEventFrame& frame;
    TrmInspector& grid;
};

TEST_F(EventsTextsFit, TheLongestCaptionShowsWhole) {
    ChooseTheEvent();
    ClickValue(grid, "ETurn");
    TRect caption = TextRowsOf(grid, "ETurn", false);
    caption.Left = 14;  // right of the group marks
    ExpectWhole(Host(), {"turn row's caption", &grid, caption, "Occurrence Turn, No."});
}

// A long text with a line break, shown in its one-line row, reads as its
// words with a space between, no mark for the break.
TEST_F(EventsTextsFit, ALineBreakInARowShowsAsASpace) {
    TableInUse().SetEventText(Event().TextSlot, "fight\r\nover");
    ChooseTheEvent();
    ClickValue(grid, "ETitle");
    ASSERT_EQ(ValueOf(grid, "EDecr"), "fight\r\nover");
    ExpectWhole(Host(), {"description row", &grid, TextRowsOf(grid, "EDecr", true), "fight over"});
}

}  // namespace
