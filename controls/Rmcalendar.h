#pragma once

#include <functional>
#include <memory>
#include <string>

#include "controls/Rmscrnctrls.h"
#include "gui/Grids.h"
#include "gui/Host.h"
#include "gui/Label.h"
#include "gui/Panel.h"
#include "inspector/ItemEditors.h"
#include "inspector/Rmbtnedit.h"
#include "platform/DateTime.h"

class TrmCustomCalendar;
class TrmSpeedButton;

// Month calendars: a panel with the month and year on top and a grid of
// seven columns (Sunday first) under a row of day names, six week rows; a
// pop-up form of it with buttons for the months before and after; and a
// date edit that drops the pop-up down. Months have their real lengths.

enum TCurrentDateValue : uint8_t { cdvYear, cdvMonth, cdvDay };

using TPaintCellEvent = std::function<void(TObject* sender, int row, int col, const TRect& rect,
                                           TGridDrawState state, TDate date)>;

// The calendar's colours; each change repaints its calendar.
class TrmCalendarColors : public TPersistent {
public:
    explicit TrmCalendarColors(TrmCustomCalendar* controller = nullptr) : controller_(controller) {}

    TColor GetWeekendTextColor() const { return weekendText_; }
    void SetWeekendTextColor(TColor value) { Store(weekendText_, value); }
    TColor GetWeekdayBackgroundColor() const { return weekdayBackground_; }
    void SetWeekdayBackgroundColor(TColor value) { Store(weekdayBackground_, value); }
    // Also the caption's background.
    TColor GetDayNamesBackgroundColor() const { return dayNamesBackground_; }
    void SetDayNamesBackgroundColor(TColor value);
    TColor GetWeekdayTextColor() const { return weekdayText_; }
    void SetWeekdayTextColor(TColor value) { Store(weekdayText_, value); }
    TColor GetTodayTextColor() const { return todayText_; }
    void SetTodayTextColor(TColor value) { Store(todayText_, value); }
    TColor GetWeekendBackgroundColor() const { return weekendBackground_; }
    void SetWeekendBackgroundColor(TColor value) { Store(weekendBackground_, value); }
    // Also the caption's text colour.
    TColor GetDayNamesTextColor() const { return dayNamesText_; }
    void SetDayNamesTextColor(TColor value);
    TColor GetOtherMonthDayBackgroundColor() const { return otherMonthBackground_; }
    void SetOtherMonthDayBackgroundColor(TColor value) { Store(otherMonthBackground_, value); }
    TColor GetOtherMonthDayTextColor() const { return otherMonthText_; }
    void SetOtherMonthDayTextColor(TColor value) { Store(otherMonthText_, value); }

    // Takes all nine colours of another TrmCalendarColors.
    void Assign(const TPersistent& source) override;
    void PublishProperties(thorn::PropertyList& list) override;

private:
    void Store(TColor& field, TColor value);
    void Repaint();

    TColor weekendText_ = clTeal;
    TColor weekdayBackground_ = clWindow;
    TColor dayNamesBackground_ = clBtnFace;
    TColor weekdayText_ = clWindowText;
    TColor todayText_ = clRed;
    TColor weekendBackground_ = 0xE1E1E1;
    TColor dayNamesText_ = clBtnText;
    TColor otherMonthBackground_ = clWindow;
    TColor otherMonthText_ = clBtnFace;
    TrmCustomCalendar* controller_;
};

// The month calendar. The working date is the highlighted day: the arrows
// and the mouse move it within the month shown, Ctrl+Left and Ctrl+Right by
// months, Ctrl+Up and Ctrl+Down by years (OnWorkingDateChange). A double
// click or Enter confirms it as the selected date (OnSelectedDateChange).
// With UseDateRanges, days outside MinDate..MaxDate are hatched and cannot
// be chosen, and dates set are kept inside them. Every date it keeps, the
// limits too, is a day of the years 1 to 9999 it can show: a date beyond
// them becomes the nearest such day, and NaN changes nothing.
class TrmCustomCalendar : public TCustomPanel {
public:
    TrmCustomCalendar();
    ~TrmCustomCalendar() override;

    TDate GetSelectedDate() const { return selectedDate_; }
    void SetSelectedDate(TDate value);
    TDate GetWorkingDate() const { return workingDate_; }
    void SetWorkingDate(TDate value);
    TDate GetMinDate() const { return minDate_; }
    // "MinDate value can't be greater than or equal to the MaxDate value"
    // for a date not below MaxDate.
    void SetMinDate(TDate value);
    TDate GetMaxDate() const { return maxDate_; }
    // "MaxDate value can't be less than or equal to the MinDate value".
    void SetMaxDate(TDate value);
    bool GetUseDateRanges() const { return useDateRanges_; }
    void SetUseDateRanges(bool value);
    bool GetShowWeekends() const { return showWeekends_; }
    void setShowWeekends(bool value);
    bool GetBoldSystemDate() const { return boldSystemDate_; }
    void SetBoldSystemDate(bool value);
    bool GetShowGridLines() const { return showGridLines_; }
    void SetGridLines(bool value);
    const TFont& GetCalendarFont() const { return calendarFont_; }
    // Grid and caption take it; the caption 4 points larger and bold.
    void SetCalendarFont(const TFont& value);
    TrmCalendarColors& GetCalendarColors() const { return *colors_; }
    void SetCalendarColors(const TrmCalendarColors& value);

    void NextMonth();
    void PrevMonth();
    void NextYear();
    void PrevYear();

    // Year, month or day of today; "Unknown parameter" for another value.
    int CurrentDateValue(TCurrentDateValue value) const;
    // The date, its day lowered to the month's length.
    TDate MyEncodeDate(int year, int month, int day) const;
    // The cell of a date in its month's grid.
    void GetRowColInfo(TDate date, int& row, int& col) const;
    // Whether the cell holds a day of the month shown (within the limits
    // with UseDateRanges), and which.
    bool ValidateDOW(int col, int row, int& day) const;
    // The date as a whole day of the years 1 to 9999, inside the limits with
    // UseDateRanges; NaN stays NaN.
    TDate CheckDateRange(TDate date) const;
    TCanvas& GetCellCanvas() const;
    static bool GoodCalendarSize(int size) { return size % 7 == 0; }
    TDrawGrid* GetGrid() const { return grid_; }
    TLabel* GetCaptionLabel() const { return label_; }

    void Invalidate() override;
    void PublishProperties(thorn::PropertyList& list) override;

    TNotifyEvent OnWorkingDateChange;
    TNotifyEvent OnSelectedDateChange;
    TPaintCellEvent OnPaintCell;

protected:
    virtual void CalendarDblClick(TObject* sender);
    virtual void CalendarGridKeyPress(TObject* sender, char& key);
    virtual void CalendarKeyMovement(TObject* sender, TKey& key, TShiftState shift);

    // The month shown, its caption and the grid's cell followed the
    // working date.
    virtual void WorkingDateShown() {}

    void WMSize() override;
    bool WMEraseBkgnd(TCanvas& canvas) override { return true; }

private:
    friend class TrmCalendarColors;

    // The shown month, caption and grid cell follow the working date.
    void ShowWorkingDate();
    void SetCellSizes();
    void PaintCell(TObject* sender, int col, int row, TRect rect, TGridDrawState state);
    void CalendarSelectDate(TObject* sender, int col, int row, bool& canSelect);
    void ConfirmWorkingDate();

    TDrawGrid* grid_ = nullptr;
    TLabel* label_ = nullptr;
    bool showWeekends_ = true;
    int year_ = 0, month_ = 0, day_ = 0;
    int firstWeekday_ = 1;
    int daysInMonth_ = 31;
    bool focusedDay_ = false;
    bool boldSystemDate_ = true;
    TDate selectedDate_ = 0;
    TDate minDate_ = 0;
    TDate maxDate_ = 0;
    TDate workingDate_ = 0;
    TFont calendarFont_;
    bool useDateRanges_ = false;
    std::unique_ptr<TrmCalendarColors> colors_;
    bool showGridLines_ = false;
};

class TrmCalendar : public TrmCustomCalendar {};

// The calendar as a pop-up window, with a bar of two buttons below it that
// show and move to the months before and after (with Ctrl held: the same
// month of the years before and after). Keys typed in its owner's window
// while it is shown go to its grid; Escape closes it and gives the keyboard
// back to the owner.
class TrmScreenCalendar : public thorn::ScreenControl<TrmCalendar> {
public:
    TrmScreenCalendar();

    // Renews the buttons' captions for the Ctrl key, then hands the key
    // pressed or released to the grid; answers 0 when it was taken.
    int HandleMessage(TKey& key, TShiftState shift, thorn::KeyAction action = thorn::KeyAction::Down);
    // Makes the grid show the keyboard's place; the keyboard stays with the
    // owner's window.
    void SetFocus() override;
    TrmSpeedButton* GetPrevButton() const { return prevButton_; }
    TrmSpeedButton* GetNextButton() const { return nextButton_; }

    // Called with every key pressed before it is handled.
    std::function<void(TKey key, TShiftState shift)> WindowProcHook;

protected:
    void CalendarKeyMovement(TObject* sender, TKey& key, TShiftState shift) override;
    void WorkingDateShown() override;
    void ScreenKeyDown(TKey& key, TShiftState shift) override;
    void ScreenKeyUp(TKey& key, TShiftState shift) override;
    void ScreenKeyPress(char& key) override;

private:
    void UpdateBtns(bool ctrl);
    void PlaceButtons();
    void BtnClick(TObject* sender);

    TPanel* bar_ = nullptr;
    TrmSpeedButton* prevButton_ = nullptr;
    TrmSpeedButton* nextButton_ = nullptr;
    bool ctrlHeld_ = false;
};

// A read-only button edit showing a date in DateFormat; its button, Alt+Down
// and F4 drop the calendar below it, whose choice becomes the date.
class TrmCustomComboCalendar : public TrmCustomBtnEdit, public thorn::DateEditor {
public:
    TrmCustomComboCalendar();
    ~TrmCustomComboCalendar() override;

    TDate GetSelectedDate() const { return date_; }
    void SetSelectedDate(TDate value) { SetDate(value); }
    TDateTime GetDate() const override { return date_; }
    // The whole day, kept within the years 1 to 9999 (NaN changes nothing);
    // the text shows it in DateFormat.
    void SetDate(TDateTime value) override;
    const std::string& GetDateFormat() const { return dateFormat_; }
    // An empty pattern is "mm/dd/yyyy".
    void SetDateFormat(const std::string& value) override;
    int GetDropDownWidth() const { return dropDownWidth_; }
    // Below 180 is ignored.
    void SetDropDownWidth(int value);
    TrmScreenCalendar* GetCalendar() const { return calendar_; }

    void ToggleCalendar(TObject* sender);

    // Called with every key before it is handled.
    std::function<void(TKey key, TShiftState shift)> WindowProcHook;

protected:
    void KeyDown(TKey& key, TShiftState shift) override;
    void WMKillFocus() override;
    void BeforeDestruction() override;

private:
    void SetSelectDate(TObject* sender);
    void DoMyExit(TObject* sender);

    TrmScreenCalendar* calendar_ = nullptr;
    TDate date_ = 0;
    std::string dateFormat_;
    int dropDownWidth_ = 180;
};

class TrmComboCalendar : public TrmCustomComboCalendar {
public:
    void PublishProperties(thorn::PropertyList& list) override;
};
