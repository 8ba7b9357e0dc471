#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <string>

#include "SdlSession.h"
#include "XScreen.h"
#include "controls/Rmbtncombo.h"
#include "controls/Rmcalendar.h"
#include "controls/Rmcombobox.h"
#include "gui/Application.h"
#include "inspector/Rmspeedbtns.h"
#include "platform/StringList.h"
#include "support/PngFile.h"

// Runs under Xvfb (see tests/CMakeLists.txt): the popup-list combo box and
// the date edit dropped in a real window with the X pointer. The screen with
// each drop-down open is saved as "dropped_combo.png" and
// "dropped_calendar.png" in the working folder, to look at; drop-downs asked
// to be larger than the screen as "capped_dropdown.png" and
// "capped_calendar.png".
namespace {

using ControlsWindow = thorn::test::SdlSession;

// A click on the arrow button of a drop-down edit.
void ClickArrow(thorn::test::XScreen& screen, TrmCustomBtnEdit& edit) {
    TrmSpeedButton& arrow = *edit.Btn1();
    const TPoint p = arrow.ClientToScreen({arrow.GetWidth() / 2, arrow.GetHeight() / 2});
    screen.Click(p.X, p.Y);
}

TEST_F(ControlsWindow, DropDownsOpenAndPickInARealWindow) {
    thorn::test::XScreen screen;
    ASSERT_TRUE(screen.Ok());
    thorn::SetDateTimeSource([] { return EncodeDate(2024, 2, 10); });
    TForm* form = Application->CreateForm<TForm>();
    form->SetCaption("Drop-downs");
    form->SetBounds(40, 40, 300, 260);
    auto* combo = thorn::Make<TrmNewComboBox>(*form);
    combo->SetParent(form);
    combo->SetBounds(10, 10, 150, 21);
    TStringList items;
    for (const char* item : {"Plains", "Hills", "Forest", "Marsh", "Mountains"}) items.Add(item);
    combo->SetComboItems(items);
    combo->SetItemIndex(0);
    auto* date = thorn::Make<TrmComboCalendar>(*form);
    date->SetParent(form);
    date->SetBounds(10, 50, 200, 21);
    date->SetDate(EncodeDate(2024, 3, 1));
    form->Show();
    ASSERT_TRUE(RunUntil([&] { return !form->HasPendingPaint(); }));

    auto clickButton = [&](TrmCustomBtnEdit& edit) { ClickArrow(screen, edit); };
    TCustomForm& list = *combo->GetListBox()->GetScreenWindow();
    clickButton(*combo);
    ASSERT_TRUE(RunUntil([&] { return combo->DroppedDown() && !list.HasPendingPaint(); }));
    // A press on the third row picks it.
    const int h = combo->GetItemHeight();
    TPoint row = list.ClientToScreen({30, 1 + 2 * h + h / 2});
    screen.Click(row.X, row.Y);
    ASSERT_TRUE(RunUntil([&] { return !combo->DroppedDown() && combo->GetText() == "Forest"; }));

    clickButton(*combo);
    ASSERT_TRUE(RunUntil([&] { return combo->DroppedDown() && !list.HasPendingPaint(); }));
    row = list.ClientToScreen({30, 1 + 2 * h + h / 2});
    TBitmap32 shot;
    ASSERT_TRUE(RunUntil([&] {
        screen.Grab(shot);
        return shot.GetPixel(row.X, row.Y - h / 2 + 1) == Color32(clHighlight);
    }));
    thorn::test::WritePng("dropped_combo.png", shot);

    // A press outside closes the list and is used up; the next one drops the
    // calendar below the date edit.
    clickButton(*date);
    ASSERT_TRUE(RunUntil([&] { return !combo->DroppedDown(); }));
    clickButton(*date);
    TrmScreenCalendar& calendar = *date->GetCalendar();
    TCustomForm& popup = *calendar.GetScreenWindow();
    ASSERT_TRUE(RunUntil([&] { return calendar.GetVisible() && !popup.HasPendingPaint(); }));
    const TPoint below = form->ClientToScreen({date->GetLeft(), date->GetTop() + date->GetHeight()});
    EXPECT_EQ(popup.GetLeft(), below.X);
    EXPECT_EQ(popup.GetTop(), below.Y);
    // Next month, then the 13th of it, then a double click confirms it.
    TrmSpeedButton& next = *calendar.GetNextButton();
    const TPoint nextAt = next.ClientToScreen({next.GetWidth() / 2, next.GetHeight() / 2});
    screen.Click(nextAt.X, nextAt.Y);
    ASSERT_TRUE(RunUntil([&] { return FormatDateTime("yyyy-mm-dd", calendar.GetWorkingDate()) == "2024-04-01"; }));
    int cellRow = 0, cellCol = 0;
    calendar.GetRowColInfo(EncodeDate(2024, 4, 13), cellRow, cellCol);
    const TRect cell = calendar.GetGrid()->CellRect(cellCol, cellRow);
    const TPoint day = calendar.GetGrid()->ClientToScreen({(cell.Left + cell.Right) / 2, (cell.Top + cell.Bottom) / 2});
    screen.Click(day.X, day.Y);
    ASSERT_TRUE(RunUntil([&] {
        return FormatDateTime("yyyy-mm-dd", calendar.GetWorkingDate()) == "2024-04-13" && !popup.HasPendingPaint();
    }));
    // The chosen day's cell is highlighted up to its edges, clear of the
    // day's digits.
    const TPoint cellCorner = calendar.GetGrid()->ClientToScreen({cell.Left + 2, cell.Top + 2});
    ASSERT_TRUE(RunUntil([&] {
        screen.Grab(shot);
        return shot.GetPixel(cellCorner.X, cellCorner.Y) == Color32(clHighlight);
    }));
    thorn::test::WritePng("dropped_calendar.png", shot);
    screen.Click(day.X, day.Y);
    screen.Click(day.X, day.Y);
    ASSERT_TRUE(RunUntil([&] { return !calendar.GetVisible(); }));
    EXPECT_EQ(date->GetText(), "04/13/2024");
    thorn::SetDateTimeSource({});
}

// However large a drop-down is asked to be, it shows no larger than the
// screen's work area; a date far ahead shows as the last day the calendar
// knows; and letting Ctrl go names the months on the calendar's bar again.
TEST_F(ControlsWindow, DropDownsOfAnySizeAndDatesFarAheadStayOnTheScreen) {
    thorn::test::XScreen screen;
    ASSERT_TRUE(screen.Ok());
    TForm* form = Application->CreateForm<TForm>();
    form->SetCaption("Capped drop-downs");
    form->SetBounds(40, 40, 300, 260);
    auto* combo = thorn::Make<TrmBtnCombo>(*form);
    combo->SetParent(form);
    combo->SetBounds(10, 10, 150, 21);
    TStringList items;
    for (const char* item : {"Plains", "Hills", "Forest"}) items.Add(item);
    combo->SetComboItems(items);
    combo->SetDropDownWidth(10'000'000);
    combo->SetDropDownHeight(1 << 30);
    auto* date = thorn::Make<TrmComboCalendar>(*form);
    date->SetParent(form);
    date->SetBounds(10, 50, 200, 21);
    date->SetDropDownWidth(10'000'000);
    date->SetDate(1e8);
    form->Show();
    ASSERT_TRUE(RunUntil([&] { return !form->HasPendingPaint(); }));
    EXPECT_EQ(date->GetText(), "12/31/9999");
    const TRect area = Screen->GetWorkAreaRect();

    TCustomForm& list = *combo->GetListBox()->GetScreenWindow();
    ClickArrow(screen, *combo);
    ASSERT_TRUE(RunUntil([&] { return combo->GetDroppedDown() && !list.HasPendingPaint(); }));
    EXPECT_EQ(list.GetBoundsRect(), area);
    TBitmap32 shot;
    ASSERT_TRUE(RunUntil([&] {
        screen.Grab(shot);
        return shot.GetPixel(area.Right - 10, area.Bottom - 10) == Color32(clWindow);
    }));
    thorn::test::WritePng("capped_dropdown.png", shot);
    screen.Key("Escape");
    ASSERT_TRUE(RunUntil([&] { return !combo->GetDroppedDown(); }));

    ClickArrow(screen, *date);
    TrmScreenCalendar& calendar = *date->GetCalendar();
    TCustomForm& popup = *calendar.GetScreenWindow();
    ASSERT_TRUE(RunUntil([&] { return calendar.GetVisible() && !popup.HasPendingPaint(); }));
    EXPECT_EQ(popup.GetWidth(), area.Width());
    EXPECT_EQ(calendar.GetCaptionLabel()->GetCaption(), "December 9999");
    // Ctrl+Left goes a month back; with Ctrl let go the bar names the months
    // before and after it.
    screen.Key("Left", {"Control_L"});
    ASSERT_TRUE(RunUntil([&] {
        return calendar.GetPrevButton()->GetCaption() == "October 9999" && !popup.HasPendingPaint();
    }));
    EXPECT_EQ(calendar.GetNextButton()->GetCaption(), "December 9999");
    screen.Grab(shot);
    thorn::test::WritePng("capped_calendar.png", shot);
    screen.Key("Escape");
    ASSERT_TRUE(RunUntil([&] { return !calendar.GetVisible(); }));
    EXPECT_EQ(date->GetText(), "12/31/9999");
}

}  // namespace
