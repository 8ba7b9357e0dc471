#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>

#include "DropDowns.h"
#include "controls/Rmcalendar.h"
#include "inspector/Rmspeedbtns.h"
#include "support/Pixels.h"

namespace {

using thorn::test::Shown;

// Today is Saturday, February 10, 2024, for every test here.
class FixedToday {
protected:
    FixedToday() {
        thorn::SetDateTimeSource([] { return EncodeDate(2024, 2, 10) + 0.5; });
    }
    ~FixedToday() { thorn::SetDateTimeSource({}); }
};

std::string Text(TDate date) { return FormatDateTime("yyyy-mm-dd", date); }

class Calendar : public FixedToday, public thorn::test::DropDownForm<TrmCalendar> {
protected:
    Calendar() {
        control->SetBounds(10, 10, 205, 158);
        form->SetHeight(230);
        other->SetTop(180);
        control->OnSelectedDateChange = [this](TObject*) { ++selections; };
        grid().SetFocus();
    }
    TDrawGrid& grid() const { return *control->GetGrid(); }
    // The grid's cell of a day of the month shown.
    void CellOf(int day, int& col, int& row) const {
        int year = 0, month = 0, unused = 0;
        DecodeDate(control->GetWorkingDate(), year, month, unused);
        control->GetRowColInfo(EncodeDate(year, month, day), row, col);
    }
    TPoint Middle(int col, int row) const {
        const TRect r = grid().CellRect(col, row);
        return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    }
    void ClickCell(int col, int row) { ClickOn(grid(), Middle(col, row)); }
    // The colour in the top left corner of a day's cell, as painted.
    TColor32 CellBackground(int day) {
        int col = 0, row = 0;
        CellOf(day, col, row);
        Application->ProcessMessages();
        const TRect cell = grid().CellRect(col, row);
        const TPoint p = grid().ClientToParent({cell.Left + 1, cell.Top + 1}, form);
        return host.PixelAt(*form, p.X, p.Y);
    }
    // Whether a day's cell is hatched as beyond the date limits.
    bool Hatched(int day) {
        int col = 0, row = 0;
        CellOf(day, col, row);
        Application->ProcessMessages();
        const TRect cell = grid().CellRect(col, row);
        for (int x = cell.Left; x < cell.Right; ++x) {
            const TPoint p = grid().ClientToParent({x, cell.Top + 1}, form);
            if (host.PixelAt(*form, p.X, p.Y) == Shown(clInactiveCaption)) return true;
        }
        return false;
    }
    int selections = 0;
};

TEST_F(Calendar, StepsMonthsAndYearsWithTheRealMonthLengths) {
    struct Case {
        TDate from;
        TKey key;
        const char* to;
        const char* caption;
    };
    const Case cases[] = {
        {EncodeDate(2024, 1, 31), VK_RIGHT, "2024-02-29", "February 2024"},
        {EncodeDate(2023, 1, 31), VK_RIGHT, "2023-02-28", "February 2023"},
        {EncodeDate(1900, 1, 31), VK_RIGHT, "1900-02-28", "February 1900"},
        {EncodeDate(2000, 1, 31), VK_RIGHT, "2000-02-29", "February 2000"},
        {EncodeDate(2023, 12, 15), VK_RIGHT, "2024-01-15", "January 2024"},
        {EncodeDate(2024, 1, 15), VK_LEFT, "2023-12-15", "December 2023"},
        {EncodeDate(2024, 2, 29), VK_DOWN, "2025-02-28", "February 2025"},
        {EncodeDate(2024, 2, 29), VK_UP, "2023-02-28", "February 2023"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.to);
        control->SetWorkingDate(c.from);
        host.PressKey(c.key, {ssCtrl});
        EXPECT_EQ(Text(control->GetWorkingDate()), c.to);
        EXPECT_EQ(control->GetCaptionLabel()->GetCaption(), c.caption);
    }
    // Twelve months on from a leap February's last day, a year later.
    control->SetWorkingDate(EncodeDate(2024, 2, 29));
    for (int i = 0; i < 12; ++i) host.PressKey(VK_RIGHT, {ssCtrl});
    EXPECT_EQ(Text(control->GetWorkingDate()), "2025-02-28");
    EXPECT_EQ(selections, 0) << "moving is not choosing";
}

TEST_F(Calendar, ADayIsChosenWithTheMouseOrTheKeyboard) {
    control->SetWorkingDate(EncodeDate(2024, 3, 10));
    int col = 0, row = 0;
    CellOf(20, col, row);
    ClickCell(col, row);
    EXPECT_EQ(Text(control->GetWorkingDate()), "2024-03-20");
    EXPECT_EQ(Text(control->GetSelectedDate()), "2024-02-10");
    const TPoint middle = grid().ClientToParent(Middle(col, row), form);
    host.DoubleClick(*form, middle.X, middle.Y);
    EXPECT_EQ(Text(control->GetSelectedDate()), "2024-03-20");
    EXPECT_EQ(selections, 1);

    // The arrows move within the month; Left on a Sunday goes to Saturday.
    host.PressKey(VK_RIGHT);
    host.PressKey(VK_DOWN);
    EXPECT_EQ(Text(control->GetWorkingDate()), "2024-03-28");
    control->SetWorkingDate(EncodeDate(2024, 3, 17));
    host.PressKey(VK_LEFT);
    EXPECT_EQ(Text(control->GetWorkingDate()), "2024-03-16");
    host.PressKey(VK_RETURN);
    EXPECT_EQ(Text(control->GetSelectedDate()), "2024-03-16");
    // Neither the day names nor the days of the months around can be chosen.
    ClickCell(3, 0);
    CellOf(31, col, row);
    ClickCell(col + 1, row);
    EXPECT_EQ(Text(control->GetWorkingDate()), "2024-03-16");
}

TEST_F(Calendar, TheGridShowsTheMonthFromItsFirstWeekday) {
    // September 2024 begins on a Sunday: its 1st is in the first week row,
    // first column, with the previous month's last days nowhere before it.
    control->SetWorkingDate(EncodeDate(2024, 9, 1));
    EXPECT_EQ(grid().GetCol(), 0);
    EXPECT_EQ(grid().GetRow(), 1);
    EXPECT_EQ(grid().GetRowCount(), 7);
    Application->ProcessMessages();
    const TRect first = grid().CellRect(0, 1);
    const TPoint selected = grid().ClientToParent({first.Left, first.Top}, form);
    EXPECT_EQ(host.PixelAt(*form, selected.X + 1, selected.Y + 1), Shown(clHighlight));
    const TRect name = grid().CellRect(2, 0);
    const TPoint header = grid().ClientToParent({name.Left, name.Top}, form);
    EXPECT_EQ(host.PixelAt(*form, header.X + 1, header.Y + 1), Shown(clBtnFace));
    // The weekend's colour lies on the Saturdays and Sundays alone.
    struct Day {
        int day;
        const char* name;
        TColor background;
    };
    const Day days[] = {{6, "Friday", clWindow}, {7, "Saturday", 0xE1E1E1}, {8, "Sunday", 0xE1E1E1},
                        {9, "Monday", clWindow}};
    for (const Day& d : days) {
        SCOPED_TRACE(d.name);
        EXPECT_EQ(CellBackground(d.day), Shown(d.background));
    }
}

TEST_F(Calendar, DateLimitsHatchTheDaysBeyondAndKeepTheDatesInside) {
    control->SetMinDate(EncodeDate(2024, 2, 5));
    control->SetMaxDate(EncodeDate(2024, 2, 20));
    control->SetUseDateRanges(true);
    // The limits' own days are in range: drawn as days and chosen with a
    // click; the days beyond are hatched and refused.
    struct Limit {
        int day;
        bool inRange;
    };
    for (const Limit& l : {Limit{4, false}, Limit{5, true}, Limit{20, true}, Limit{21, false}}) {
        SCOPED_TRACE(l.day);
        control->SetSelectedDate(EncodeDate(2024, 2, 12));
        EXPECT_EQ(Hatched(l.day), !l.inRange);
        int col = 0, row = 0;
        CellOf(l.day, col, row);
        ClickCell(col, row);
        EXPECT_EQ(Text(control->GetWorkingDate()), l.inRange ? Text(EncodeDate(2024, 2, l.day)) : "2024-02-12");
    }
    control->SetSelectedDate(EncodeDate(2024, 2, 25));
    EXPECT_EQ(Text(control->GetSelectedDate()), "2024-02-20");
    control->SetMaxDate(EncodeDate(2024, 2, 15));
    EXPECT_EQ(Text(control->GetSelectedDate()), "2024-02-15");
    int col = 0, row = 0;
    CellOf(25, col, row);
    ClickCell(col, row);
    EXPECT_EQ(Text(control->GetWorkingDate()), "2024-02-15");
    EXPECT_TRUE(Hatched(25));
    struct Case {
        std::function<void()> set;
        const char* message;
    };
    const Case refused[] = {
        {[&] { control->SetMinDate(EncodeDate(2024, 2, 15)); },
         "MinDate value can't be greater than or equal to the MaxDate value"},
        {[&] { control->SetMaxDate(EncodeDate(2024, 2, 1)); },
         "MaxDate value can't be less than or equal to the MinDate value"},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(c.message);
        try {
            c.set();
            ADD_FAILURE() << "no exception";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), c.message);
        }
    }
    EXPECT_EQ(Text(control->GetMinDate()), "2024-02-05");
    EXPECT_EQ(Text(control->GetMaxDate()), "2024-02-15");
}

// The calendar shows the years 1 to 9999: a date beyond them becomes the
// nearest day it can show (inside the limits with UseDateRanges, which
// clamp and never refuse), and NaN changes nothing.
TEST_F(Calendar, KeepsEveryDateWhereItCanShowIt) {
    const TDate nan = std::numeric_limits<double>::quiet_NaN();
    const TDate infinity = std::numeric_limits<double>::infinity();
    control->SetMinDate(EncodeDate(2024, 2, 5));
    control->SetMaxDate(EncodeDate(2024, 2, 20));
    struct Case {
        const char* what;
        TDate value;
        bool ranges;
        const char* kept;  // the selected and the working date
    };
    const Case cases[] = {
        {"far ahead", 1e8, false, "9999-12-31"},
        {"infinitely far behind", -infinity, false, "0001-01-01"},
        {"NaN", nan, false, "0001-01-01"},
        {"far behind, with limits", -1e8, true, "2024-02-05"},
        {"infinitely far ahead, with limits", infinity, true, "2024-02-20"},
        {"NaN, with limits", nan, true, "2024-02-20"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        control->SetUseDateRanges(c.ranges);
        control->SetSelectedDate(c.value);
        EXPECT_EQ(Text(control->GetSelectedDate()), c.kept);
        EXPECT_EQ(Text(control->GetWorkingDate()), c.kept);
        control->SetWorkingDate(c.value);
        EXPECT_EQ(Text(control->GetWorkingDate()), c.kept);
    }
    // The last month shown goes no further.
    control->SetUseDateRanges(false);
    control->SetSelectedDate(1e8);
    host.PressKey(VK_RIGHT, {ssCtrl});
    EXPECT_EQ(control->GetCaptionLabel()->GetCaption(), "December 9999");
    // The limits are kept the same way.
    control->SetMinDate(nan);
    control->SetMaxDate(1e8);
    EXPECT_EQ(Text(control->GetMinDate()), "2024-02-05");
    EXPECT_EQ(Text(control->GetMaxDate()), "9999-12-31");
}

class ComboCalendar : public FixedToday, public thorn::test::DropDownForm<TrmComboCalendar> {
protected:
    TrmScreenCalendar& Popup() const { return *control->GetCalendar(); }
    TCustomForm& PopupWindow() const { return *Popup().GetScreenWindow(); }
    void Drop() {
        host.KeyDown(VK_DOWN, {ssAlt});
        host.KeyUp(VK_DOWN, {ssAlt});
    }
    void ClickBarButton(TrmSpeedButton& button) {
        const TPoint p = button.ClientToParent({button.GetWidth() / 2, button.GetHeight() / 2}, &PopupWindow());
        host.Click(PopupWindow(), p.X, p.Y);
    }
};

TEST_F(ComboCalendar, DropsTheCalendarAndTakesTheDayChosenThere) {
    EXPECT_EQ(control->GetText(), "02/10/2024");
    TrmSpeedButton* arrow = control->Btn1();
    ClickOn(*arrow, {arrow->GetWidth() / 2, arrow->GetHeight() / 2});
    ASSERT_TRUE(Popup().GetVisible());
    const TPoint at = ScreenTopLeft();
    EXPECT_EQ(PopupWindow().GetBoundsRect(), (TRect{at.X, at.Y + 21, at.X + 180, at.Y + 21 + 158}));
    host.KeyDown(VK_DOWN, {ssAlt});
    EXPECT_FALSE(Popup().GetVisible());

    struct Case {
        const char* what;
        std::function<void()> act;
        const char* text;
    };
    const Case cases[] = {
        {"a month on, a day on, Enter",
         [&] { host.PressKey(VK_RIGHT, {ssCtrl}); host.PressKey(VK_RIGHT); host.PressKey(VK_RETURN); }, "03/11/2024"},
        {"Escape", [&] { host.PressKey(VK_DOWN); host.PressKey(VK_ESCAPE); }, "03/11/2024"},
        {"a click outside", [&] { ClickOn(*other, {5, 5}); }, "03/11/2024"},
        {"F4 again", [&] { host.PressKey(VK_LEFT); host.PressKey(VK_F4); }, "03/11/2024"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Drop();
        ASSERT_TRUE(host.IsWindowVisible(PopupWindow()));
        c.act();
        EXPECT_FALSE(host.IsWindowVisible(PopupWindow()));
        EXPECT_EQ(control->GetText(), c.text);
        EXPECT_TRUE(control->Focused());
    }
    EXPECT_EQ(Text(control->GetDate()), "2024-03-11");
}

TEST_F(ComboCalendar, TheBarButtonsNameAndStepTheMonthsAround) {
    control->SetDate(EncodeDate(2006, 1, 15));
    Drop();
    EXPECT_EQ(Popup().GetPrevButton()->GetCaption(), "December 2005");
    EXPECT_EQ(Popup().GetNextButton()->GetCaption(), "February 2006");
    ClickBarButton(*Popup().GetNextButton());
    EXPECT_EQ(Text(Popup().GetWorkingDate()), "2006-02-15");
    EXPECT_EQ(Popup().GetPrevButton()->GetCaption(), "January 2006");
    EXPECT_EQ(Popup().GetNextButton()->GetCaption(), "March 2006");
    EXPECT_TRUE(Popup().GetVisible()) << "a press on the bar is inside";
    host.KeyDown(VK_CONTROL, {ssCtrl});
    EXPECT_EQ(Popup().GetPrevButton()->GetCaption(), "February 2005");
    EXPECT_EQ(Popup().GetNextButton()->GetCaption(), "February 2007");
    // Ctrl+Right moves a month on; releasing Ctrl names the months again.
    host.PressKey(VK_RIGHT, {ssCtrl});
    EXPECT_EQ(Popup().GetPrevButton()->GetCaption(), "March 2005");
    host.KeyUp(VK_CONTROL);
    EXPECT_EQ(Popup().GetPrevButton()->GetCaption(), "February 2006");
    EXPECT_EQ(Popup().GetNextButton()->GetCaption(), "April 2006");
    EXPECT_EQ(control->GetText(), "01/15/2006") << "nothing chosen yet";
}

// The date edit shows, and drops, only dates the calendar can show.
TEST_F(ComboCalendar, ShowsOnlyDatesTheCalendarCanShow) {
    control->SetDate(1e8);
    EXPECT_EQ(control->GetText(), "12/31/9999");
    control->SetDate(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(control->GetText(), "12/31/9999");
    Drop();
    ASSERT_TRUE(Popup().GetVisible());
    EXPECT_EQ(Popup().GetCaptionLabel()->GetCaption(), "December 9999");
    host.PressKey(VK_ESCAPE);
    control->SetDate(-1e8);
    EXPECT_EQ(control->GetText(), "01/01/0001");
    EXPECT_TRUE(host.ShownDialogs().empty());
}

TEST_F(ComboCalendar, FormatWidthAndPlaceFollowTheirRules) {
    control->SetDateFormat("dd.mm.yyyy");
    EXPECT_EQ(control->GetText(), "10.02.2024");
    control->SetDateFormat("");
    EXPECT_EQ(control->GetDateFormat(), "mm/dd/yyyy");
    control->SetDropDownWidth(100);
    EXPECT_EQ(control->GetDropDownWidth(), 180);
    control->SetDropDownWidth(240);
    form->SetTop(420);
    Drop();
    const TPoint at = ScreenTopLeft();
    EXPECT_EQ(PopupWindow().GetBoundsRect(), (TRect{at.X, at.Y - 158, at.X + 240, at.Y})) << "above, near the bottom";
}

}  // namespace
