#include "controls/Rmcalendar.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "controls/Rmbtncombo.h"
#include "controls/Rmlibrary_Dates.h"
#include "gui/ControlAccess.h"
#include "inspector/Rmspeedbtns.h"
#include "platform/ClassRegistry.h"
#include "platform/Conversions.h"
#include "platform/Properties.h"
#include "platform/Text.h"

namespace {

const bool kRegistered = (RegisterClass<TrmCalendar>("TrmCalendar"),
                          RegisterClass<TrmComboCalendar>("TrmComboCalendar"), true);

constexpr std::string_view kDefaultDateFormat = "mm/dd/yyyy";
constexpr int kCalendarHeight = 158;

// The days a calendar can show: January 1 of the year 1 to December 31,
// 9999.
const TDate kFirstDay = EncodeDate(1, 1, 1);
const TDate kLastDay = EncodeDate(9999, 12, 31);

// The value as a whole day the calendar can show: days before the first or
// after the last (infinities too) become that day. NaN stays NaN, for the
// caller to leave everything as it was.
TDate ShowableDay(TDateTime value) { return std::clamp(std::trunc(value), kFirstDay, kLastDay); }

bool IsWeekendColumn(int col) { return col == 0 || col == 6; }

}  // namespace

// ================================================================ colours

void TrmCalendarColors::Store(TColor& field, TColor value) {
    if (field == value) return;
    field = value;
    Repaint();
}

void TrmCalendarColors::Repaint() {
    if (controller_) controller_->GetGrid()->Invalidate();
}

void TrmCalendarColors::SetDayNamesBackgroundColor(TColor value) {
    if (controller_) controller_->GetCaptionLabel()->SetColor(value);
    Store(dayNamesBackground_, value);
}

void TrmCalendarColors::SetDayNamesTextColor(TColor value) {
    if (controller_) controller_->GetCaptionLabel()->Font().SetColor(value);
    Store(dayNamesText_, value);
}

void TrmCalendarColors::Assign(const TPersistent& source) {
    const auto* other = dynamic_cast<const TrmCalendarColors*>(&source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    weekendText_ = other->weekendText_;
    weekdayBackground_ = other->weekdayBackground_;
    SetDayNamesBackgroundColor(other->dayNamesBackground_);
    weekdayText_ = other->weekdayText_;
    todayText_ = other->todayText_;
    weekendBackground_ = other->weekendBackground_;
    SetDayNamesTextColor(other->dayNamesText_);
    otherMonthBackground_ = other->otherMonthBackground_;
    otherMonthText_ = other->otherMonthText_;
    Repaint();
}

void TrmCalendarColors::PublishProperties(thorn::PropertyList& list) {
    TPersistent::PublishProperties(list);
    auto color = [&](std::string name, TColor TrmCalendarColors::*field, void (TrmCalendarColors::*set)(TColor),
                     TColor fallback) {
        list.Integer(std::move(name), [this, field] { return this->*field; },
                     [this, set](int32_t v) { (this->*set)(v); }, fallback);
    };
    color("WeekendTextColor", &TrmCalendarColors::weekendText_, &TrmCalendarColors::SetWeekendTextColor, clTeal);
    color("WeekdayBackgroundColor", &TrmCalendarColors::weekdayBackground_,
          &TrmCalendarColors::SetWeekdayBackgroundColor, clWindow);
    color("DayNamesBackgroundColor", &TrmCalendarColors::dayNamesBackground_,
          &TrmCalendarColors::SetDayNamesBackgroundColor, clBtnFace);
    color("WeekdayTextColor", &TrmCalendarColors::weekdayText_, &TrmCalendarColors::SetWeekdayTextColor,
          clWindowText);
    color("TodayTextColor", &TrmCalendarColors::todayText_, &TrmCalendarColors::SetTodayTextColor, clRed);
    color("WeekendBackgroundColor", &TrmCalendarColors::weekendBackground_,
          &TrmCalendarColors::SetWeekendBackgroundColor, 0xE1E1E1);
    color("DayNamesTextColor", &TrmCalendarColors::dayNamesText_, &TrmCalendarColors::SetDayNamesTextColor,
          clBtnText);
    color("OtherMonthDayBackgroundColor", &TrmCalendarColors::otherMonthBackground_,
          &TrmCalendarColors::SetOtherMonthDayBackgroundColor, clWindow);
    color("OtherMonthDayTextColor", &TrmCalendarColors::otherMonthText_,
          &TrmCalendarColors::SetOtherMonthDayTextColor, clBtnFace);
}

// ================================================================ the calendar

TrmCustomCalendar::TrmCustomCalendar() {
    TControlStyle style = GetControlStyle();
    style.Include(csOpaque);
    SetControlStyle(style);
    SetBorderWidth(1);
    SetBorderStyle(bsSingle);
    SetBevelInner(bvNone);
    SetBevelOuter(bvNone);
    SetTabStop(false);
    colors_ = std::make_unique<TrmCalendarColors>(this);

    label_ = thorn::Make<TLabel>(*this);
    label_->SetParent(this);
    // As wide as the calendar, the caption centred in it.
    label_->SetAutoSize(false);
    label_->SetAlign(alTop);
    label_->SetAlignment(taCenter);
    label_->SetColor(colors_->GetDayNamesBackgroundColor());
    label_->Font().SetColor(colors_->GetDayNamesTextColor());

    grid_ = thorn::Make<TDrawGrid>(*this);
    grid_->SetParent(this);
    grid_->SetColCount(7);
    grid_->SetRowCount(7);
    grid_->SetFixedCols(0);
    grid_->SetFixedRows(0);
    grid_->SetOptions({});
    grid_->SetBorderStyle(bsNone);
    grid_->SetAlign(alClient);
    grid_->OnDrawCell = [this](TObject* sender, int col, int row, TRect rect, TGridDrawState state) {
        PaintCell(sender, col, row, rect, state);
    };
    grid_->OnSelectCell = [this](TObject* sender, int col, int row, bool& can) {
        CalendarSelectDate(sender, col, row, can);
    };
    grid_->OnDblClick = [this](TObject* sender) { CalendarDblClick(sender); };
    grid_->OnKeyDown = [this](TObject* sender, TKey& key, TShiftState shift) {
        CalendarKeyMovement(sender, key, shift);
    };
    grid_->OnKeyPress = [this](TObject* sender, char& key) { CalendarGridKeyPress(sender, key); };
    grid_->OnResize = [this](TObject*) { SetCellSizes(); };

    SetCalendarFont(GetFont());
    const TDate today = Date();
    selectedDate_ = workingDate_ = today;
    minDate_ = today - 365;
    maxDate_ = today + 365;
    SetBounds(0, 0, 205, kCalendarHeight);
    ShowWorkingDate();
    SetCellSizes();
}

TrmCustomCalendar::~TrmCustomCalendar() = default;

int TrmCustomCalendar::CurrentDateValue(TCurrentDateValue value) const {
    int year = 0, month = 0, day = 0;
    DecodeDate(Date(), year, month, day);
    switch (value) {
        case cdvYear: return year;
        case cdvMonth: return month;
        case cdvDay: return day;
    }
    throw Exception("Unknown parameter");
}

TDate TrmCustomCalendar::MyEncodeDate(int year, int month, int day) const {
    return EncodeDate(year, month, std::min(day, DaysInAMonth(year, month)));
}

void TrmCustomCalendar::GetRowColInfo(TDate date, int& row, int& col) const {
    int year = 0, month = 0, day = 0;
    DecodeDate(date, year, month, day);
    const int first = DayOfWeek(EncodeDate(year, month, 1));
    row = (day - 2 + first) / 7 + 1;
    col = (day - 2 + first) % 7;
}

bool TrmCustomCalendar::ValidateDOW(int col, int row, int& day) const {
    day = (row - 1) * 7 + col - firstWeekday_ + 2;
    if (day < 1 || day > daysInMonth_) return false;
    if (!useDateRanges_) return true;
    const TDate date = EncodeDate(year_, month_, day);
    return date >= minDate_ && date <= maxDate_;
}

TDate TrmCustomCalendar::CheckDateRange(TDate date) const {
    date = ShowableDay(date);
    if (useDateRanges_) date = std::clamp(date, minDate_, maxDate_);
    return date;
}

TCanvas& TrmCustomCalendar::GetCellCanvas() const { return grid_->Canvas(); }

void TrmCustomCalendar::ShowWorkingDate() {
    DecodeDate(workingDate_, year_, month_, day_);
    firstWeekday_ = DayOfWeek(EncodeDate(year_, month_, 1));
    daysInMonth_ = DaysInAMonth(year_, month_);
    label_->SetCaption(std::string(MonthOfYear[static_cast<size_t>(month_)]) + " " + IntToStr(year_));
    int row = 0, col = 0;
    GetRowColInfo(workingDate_, row, col);
    grid_->SetCell(col, row);
    grid_->Invalidate();
    WorkingDateShown();
}

void TrmCustomCalendar::SetSelectedDate(TDate value) {
    if (std::isnan(value)) return;
    thorn::ComponentRef<TrmCustomCalendar> self(this);
    selectedDate_ = CheckDateRange(value);
    const bool moved = workingDate_ != selectedDate_;
    workingDate_ = selectedDate_;
    ShowWorkingDate();
    if (moved && OnWorkingDateChange) OnWorkingDateChange(this);
    if (self && OnSelectedDateChange) OnSelectedDateChange(this);
}

void TrmCustomCalendar::SetWorkingDate(TDate value) {
    if (std::isnan(value)) return;
    value = CheckDateRange(value);
    const bool moved = workingDate_ != value;
    workingDate_ = value;
    ShowWorkingDate();
    if (moved && OnWorkingDateChange) OnWorkingDateChange(this);
}

void TrmCustomCalendar::NextMonth() {
    int year = year_, month = month_ + 1;
    if (month > 12) month = 1, ++year;
    if (year <= 9999) SetWorkingDate(MyEncodeDate(year, month, day_));
}

void TrmCustomCalendar::PrevMonth() {
    int year = year_, month = month_ - 1;
    if (month < 1) month = 12, --year;
    if (year >= 1) SetWorkingDate(MyEncodeDate(year, month, day_));
}

void TrmCustomCalendar::NextYear() {
    if (year_ < 9999) SetWorkingDate(MyEncodeDate(year_ + 1, month_, day_));
}

void TrmCustomCalendar::PrevYear() {
    if (year_ > 1) SetWorkingDate(MyEncodeDate(year_ - 1, month_, day_));
}

void TrmCustomCalendar::SetMinDate(TDate value) {
    value = ShowableDay(value);
    if (std::isnan(value) || value == minDate_) return;
    if (value >= maxDate_) throw Exception("MinDate value can't be greater than or equal to the MaxDate value");
    minDate_ = value;
    if (useDateRanges_ && selectedDate_ < minDate_) SetSelectedDate(minDate_);
    grid_->Invalidate();
}

void TrmCustomCalendar::SetMaxDate(TDate value) {
    value = ShowableDay(value);
    if (std::isnan(value) || value == maxDate_) return;
    if (value <= minDate_) throw Exception("MaxDate value can't be less than or equal to the MinDate value");
    maxDate_ = value;
    if (useDateRanges_ && selectedDate_ > maxDate_) SetSelectedDate(maxDate_);
    grid_->Invalidate();
}

void TrmCustomCalendar::SetUseDateRanges(bool value) {
    if (value == useDateRanges_) return;
    useDateRanges_ = value;
    if (value && (selectedDate_ < minDate_ || selectedDate_ > maxDate_)) SetSelectedDate(selectedDate_);
    grid_->Invalidate();
}

void TrmCustomCalendar::setShowWeekends(bool value) {
    if (value == showWeekends_) return;
    showWeekends_ = value;
    grid_->Invalidate();
}

void TrmCustomCalendar::SetBoldSystemDate(bool value) {
    if (value == boldSystemDate_) return;
    boldSystemDate_ = value;
    grid_->Invalidate();
}

void TrmCustomCalendar::SetGridLines(bool value) {
    if (value == showGridLines_) return;
    showGridLines_ = value;
    grid_->SetOptions(value ? TGridOptions{goVertLine, goHorzLine} : TGridOptions{});
    SetCellSizes();
}

void TrmCustomCalendar::SetCalendarFont(const TFont& value) {
    calendarFont_.Assign(value);
    grid_->SetFont(calendarFont_);
    TFont caption(calendarFont_);
    caption.SetSize(calendarFont_.GetSize() + 4);
    caption.SetStyle(caption.GetStyle() | fsBold);
    caption.SetColor(colors_->GetDayNamesTextColor());
    label_->SetFont(caption);
    label_->SetHeight(thorn::GetFontMetrics(caption).height);
    grid_->Invalidate();
}

void TrmCustomCalendar::SetCalendarColors(const TrmCalendarColors& value) {
    colors_->Assign(value);
    grid_->Invalidate();
}

void TrmCustomCalendar::Invalidate() {
    TCustomPanel::Invalidate();
    if (grid_) grid_->Invalidate();
}

void TrmCustomCalendar::WMSize() {
    TCustomPanel::WMSize();
    if (grid_) SetCellSizes();
}

void TrmCustomCalendar::SetCellSizes() {
    const int width = grid_->GetClientWidth(), height = grid_->GetClientHeight();
    const int extraCols = showGridLines_ ? 0 : width % 7;
    const int extraRows = showGridLines_ ? 0 : height % 7;
    for (int i = 0; i < 7; ++i) {
        grid_->SetColWidths(i, width / 7 + (i < extraCols ? 1 : 0));
        grid_->SetRowHeights(i, height / 7 + (i < extraRows ? 1 : 0));
    }
}

void TrmCustomCalendar::PaintCell(TObject*, int col, int row, TRect rect, TGridDrawState state) {
    TCanvas& canvas = grid_->Canvas();
    const TrmCalendarColors& colors = *colors_;
    TFont font(calendarFont_);
    TColor background = colors.GetWeekdayBackgroundColor();
    TColor text = colors.GetWeekdayTextColor();
    std::string caption;
    bool hatched = false;
    bool monthDay = false;
    int day = 0;
    if (row == 0) {
        background = colors.GetDayNamesBackgroundColor();
        text = showWeekends_ && IsWeekendColumn(col) ? colors.GetWeekendTextColor() : colors.GetDayNamesTextColor();
        caption = WeekDay[static_cast<size_t>(col + 1)];
    } else if (ValidateDOW(col, row, day)) {
        monthDay = true;
        caption = IntToStr(day);
        if (state.Contains(gdFocused)) focusedDay_ = true;
        if (state.Contains(gdSelected)) {
            text = clHighlightText;
            background = clHighlight;
        } else if (showWeekends_ && IsWeekendColumn(col)) {
            text = colors.GetWeekendTextColor();
            background = colors.GetWeekendBackgroundColor();
        }
    } else {
        text = colors.GetOtherMonthDayTextColor();
        background = colors.GetOtherMonthDayBackgroundColor();
        if (day < 1) {
            const int prevMonth = month_ == 1 ? 12 : month_ - 1;
            caption = IntToStr(DaysInAMonth(month_ == 1 ? year_ - 1 : year_, prevMonth) + day);
        } else if (day > daysInMonth_) {
            caption = IntToStr(day - daysInMonth_);
        } else {
            // A day of the month beyond the date limits.
            monthDay = true;
            hatched = true;
            caption = IntToStr(day);
        }
    }
    if (monthDay) {
        int todayYear = 0, todayMonth = 0, todayDay = 0;
        DecodeDate(Date(), todayYear, todayMonth, todayDay);
        if (todayYear == year_ && todayMonth == month_ && todayDay == day) {
            font.SetStyle(boldSystemDate_ ? (font.GetStyle() | fsBold) : (font.GetStyle() & ~fsBold));
            if (!state.Contains(gdSelected)) text = colors.GetTodayTextColor();
        }
    }
    canvas.Brush().SetStyle(bsSolid);
    canvas.Brush().SetColor(background);
    canvas.FillRect(rect);
    if (hatched) {
        canvas.Brush().SetStyle(bsDiagCross);
        canvas.Brush().SetColor(clInactiveCaption);
        canvas.FillRect({rect.Left, rect.Top, rect.Right + 1, rect.Bottom + 1});
    }
    canvas.Brush().SetStyle(bsClear);
    font.SetColor(text);
    canvas.SetFont(font);
    const TSize size = canvas.TextExtent(caption);
    const int x = (rect.Left + rect.Right) / 2 - size.cx / 2;
    const int y = (rect.Top + rect.Bottom) / 2 - size.cy / 2;
    canvas.TextRect(rect, x, y, caption);
    canvas.Brush().SetStyle(bsSolid);
    if (monthDay && OnPaintCell) OnPaintCell(this, row, col, rect, state, EncodeDate(year_, month_, day));
}

void TrmCustomCalendar::CalendarSelectDate(TObject*, int col, int row, bool& canSelect) {
    int day = 0;
    canSelect = ValidateDOW(col, row, day);
    if (!canSelect) return;
    focusedDay_ = true;
    SetWorkingDate(EncodeDate(year_, month_, day));
}

void TrmCustomCalendar::ConfirmWorkingDate() {
    if (focusedDay_) SetSelectedDate(workingDate_);
}

void TrmCustomCalendar::CalendarDblClick(TObject*) { ConfirmWorkingDate(); }

void TrmCustomCalendar::CalendarGridKeyPress(TObject*, char& key) {
    if (key != '\r') return;
    key = 0;
    ConfirmWorkingDate();
}

void TrmCustomCalendar::CalendarKeyMovement(TObject*, TKey& key, TShiftState shift) {
    thorn::ComponentRef<TrmCustomCalendar> self(this);
    TCustomForm* form = grid_->GetParentForm();
    if (form && !thorn::IsPopupKind(form->GetWindowKind()) && grid_->CanFocus() && !grid_->Focused())
        grid_->SetFocus();
    if (!self) return;
    if (shift.Contains(ssCtrl)) {
        switch (key) {
            case VK_LEFT: key = 0; PrevMonth(); return;
            case VK_RIGHT: key = 0; NextMonth(); return;
            case VK_UP: key = 0; PrevYear(); return;
            case VK_DOWN: key = 0; NextYear(); return;
            default: break;
        }
    }
    if (key == VK_LEFT && grid_->GetCol() == 0) {
        key = 0;
        if (day_ > 1) SetWorkingDate(workingDate_ - 1);
    } else if (key == VK_RIGHT && grid_->GetCol() == 6) {
        key = 0;
        if (day_ < daysInMonth_) SetWorkingDate(workingDate_ + 1);
    }
}

// ================================================================ the pop-up calendar

TrmScreenCalendar::TrmScreenCalendar() {
    SetBorderWidth(0);
    GetGrid()->SetActiveLook(true);
    bar_ = thorn::Make<TPanel>(*this);
    bar_->SetParent(this);
    bar_->SetAlign(alBottom);
    bar_->SetHeight(20);
    bar_->SetBevelInner(bvNone);
    bar_->SetBevelOuter(bvNone);
    bar_->SetCaption({});
    auto makeButton = [this](int tag) {
        auto* button = thorn::Make<TrmSpeedButton>(*this);
        button->SetParent(bar_);
        button->SetFlat(true);
        button->Font().SetName("Small Fonts");
        button->Font().SetSize(7);
        button->Font().SetColor(clBtnText);
        button->SetTag(tag);
        button->OnMouseDown = [this](TObject*, TMouseButton, TShiftState shift, int, int) {
            ctrlHeld_ = shift.Contains(ssCtrl);
        };
        button->OnMouseMove = [this](TObject*, TShiftState shift, int, int) { UpdateBtns(shift.Contains(ssCtrl)); };
        button->OnClick = [this](TObject* sender) { BtnClick(sender); };
        return button;
    };
    prevButton_ = makeButton(1);
    nextButton_ = makeButton(2);
    bar_->OnResize = [this](TObject*) { PlaceButtons(); };
    PlaceButtons();
    UpdateBtns(false);
}

void TrmScreenCalendar::PlaceButtons() {
    prevButton_->SetBounds(2, 2, 90, 16);
    nextButton_->SetBounds(bar_->GetWidth() - 92, 2, 90, 16);
}

void TrmScreenCalendar::WorkingDateShown() {
    if (prevButton_) UpdateBtns(ctrlHeld_);
}

void TrmScreenCalendar::UpdateBtns(bool ctrl) {
    ctrlHeld_ = ctrl;
    int year = 0, month = 0, day = 0;
    DecodeDate(GetWorkingDate(), year, month, day);
    const auto name = [](int m) { return std::string(MonthOfYear[static_cast<size_t>(m)]); };
    if (ctrl) {
        prevButton_->SetCaption(name(month) + " " + IntToStr(year - 1));
        nextButton_->SetCaption(name(month) + " " + IntToStr(year + 1));
    } else {
        prevButton_->SetCaption(name(month - 1) + " " + IntToStr(month == 1 ? year - 1 : year));
        nextButton_->SetCaption(name(month + 1) + " " + IntToStr(month == 12 ? year + 1 : year));
    }
}

void TrmScreenCalendar::BtnClick(TObject* sender) {
    const bool ctrl = ctrlHeld_;
    if (sender == prevButton_) ctrl ? PrevYear() : PrevMonth();
    if (sender == nextButton_) ctrl ? NextYear() : NextMonth();
    UpdateBtns(ctrl);
}

int TrmScreenCalendar::HandleMessage(TKey& key, TShiftState shift, thorn::KeyAction action) {
    const bool down = action == thorn::KeyAction::Down;
    if (down && WindowProcHook) WindowProcHook(key, shift);
    UpdateBtns(shift.Contains(ssCtrl));
    thorn::ComponentRef<TrmScreenCalendar> self(this);
    if (down)
        thorn::ControlAccess::KeyDown(*GetGrid(), key, shift);
    else
        thorn::ControlAccess::KeyUp(*GetGrid(), key, shift);
    if (self) UpdateBtns(shift.Contains(ssCtrl));
    // The grid answers every key it is sent.
    key = 0;
    return 0;
}

void TrmScreenCalendar::SetFocus() { GetGrid()->SetActiveLook(true); }

void TrmScreenCalendar::ScreenKeyDown(TKey& key, TShiftState shift) {
    // F4 goes on to the owner, which closes the calendar as it dropped it.
    if (key == VK_F4) return;
    const TKey pressed = key;
    thorn::ComponentRef<TrmScreenCalendar> self(this);
    HandleMessage(key, shift);
    // The key is used up here, so the window types no character for it:
    // Enter reaches the grid as its character too.
    if (self && pressed == VK_RETURN && GetVisible()) {
        char enter = '\r';
        ScreenKeyPress(enter);
    }
}

void TrmScreenCalendar::ScreenKeyUp(TKey& key, TShiftState shift) {
    // Releasing Ctrl turns the buttons back to months.
    HandleMessage(key, shift, thorn::KeyAction::Up);
}

void TrmScreenCalendar::ScreenKeyPress(char& key) {
    thorn::ControlAccess::KeyPress(*GetGrid(), key);
    key = 0;
}

void TrmScreenCalendar::CalendarKeyMovement(TObject* sender, TKey& key, TShiftState shift) {
    if (key == VK_ESCAPE) {
        key = 0;
        thorn::ComponentRef<TrmScreenCalendar> self(this);
        SetVisible(false);
        if (!self) return;
        if (TWinControl* owner = GetOwnerControl(); owner && owner->CanFocus()) owner->SetFocus();
        return;
    }
    TrmCalendar::CalendarKeyMovement(sender, key, shift);
}

// ================================================================ the date edit

TrmCustomComboCalendar::TrmCustomComboCalendar() {
    SetReadOnly(true);
    MakeDropDownButton(*this);
    OnBtn1Click = [this](TObject* sender) { ToggleCalendar(sender); };
    calendar_ = thorn::Make<TrmScreenCalendar>(*this);
    calendar_->SetParent(this);
    calendar_->SetWidth(GetWidth());
    calendar_->OnSelectedDateChange = [this](TObject* sender) { SetSelectDate(sender); };
    OnExit = [this](TObject* sender) { DoMyExit(sender); };
    dateFormat_ = kDefaultDateFormat;
    date_ = ShowableDay(Date());
    SetText(FormatDateTime(dateFormat_, date_));
}

TrmCustomComboCalendar::~TrmCustomComboCalendar() = default;

void TrmCustomComboCalendar::BeforeDestruction() {
    calendar_->OnSelectedDateChange = nullptr;
    TrmCustomBtnEdit::BeforeDestruction();
}

void TrmCustomComboCalendar::SetDate(TDateTime value) {
    if (std::isnan(value)) return;
    value = ShowableDay(value);
    if (value != date_) date_ = value;
    SetText(FormatDateTime(dateFormat_, date_));
}

void TrmCustomComboCalendar::SetDateFormat(const std::string& value) {
    dateFormat_ = value.empty() ? std::string(kDefaultDateFormat) : value;
    SetText(FormatDateTime(dateFormat_, date_));
}

void TrmCustomComboCalendar::SetDropDownWidth(int value) {
    if (value >= 180) dropDownWidth_ = value;
}

void TrmCustomComboCalendar::ToggleCalendar(TObject*) {
    thorn::ComponentRef<TrmCustomComboCalendar> self(this);
    if (CanFocus() && !Focused()) SetFocus();
    if (!self) return;
    SelectAll();
    const int width = dropDownWidth_ == 0 ? GetWidth() : dropDownWidth_;
    calendar_->SetSelectedDate(date_);
    if (!self) return;
    const TPoint topLeft = GetParent() ? GetParent()->ClientToScreen({GetLeft(), GetTop()}) : TPoint{GetLeft(), GetTop()};
    calendar_->ShowAt(thorn::DropDownRect(topLeft, GetHeight(), width, kCalendarHeight));
}

void TrmCustomComboCalendar::SetSelectDate(TObject*) {
    thorn::ComponentRef<TrmCustomComboCalendar> self(this);
    const bool wasShown = calendar_->GetVisible();
    SetDate(calendar_->GetSelectedDate());
    if (!self) return;
    calendar_->SetVisible(false);
    if (wasShown && CanFocus()) SetFocus();
}

void TrmCustomComboCalendar::DoMyExit(TObject*) {
    if (calendar_->GetVisible()) calendar_->SetVisible(false);
}

void TrmCustomComboCalendar::WMKillFocus() {
    thorn::ComponentRef<TrmCustomComboCalendar> self(this);
    TrmCustomBtnEdit::WMKillFocus();
    if (self && calendar_->GetVisible()) calendar_->SetVisible(false);
}

void TrmCustomComboCalendar::KeyDown(TKey& key, TShiftState shift) {
    if (WindowProcHook) WindowProcHook(key, shift);
    const bool noShift = !shift.Contains(ssShift) && !shift.Contains(ssAlt) && !shift.Contains(ssCtrl);
    if (((key == VK_DOWN || key == VK_UP) && shift == TShiftState{ssAlt}) || (key == VK_F4 && noShift)) {
        key = 0;
        if (calendar_->GetVisible())
            calendar_->SetVisible(false);
        else
            ToggleCalendar(this);
        return;
    }
    TrmCustomBtnEdit::KeyDown(key, shift);
}

// ---- streaming

namespace {
constexpr std::string_view kBorderStyleNames[] = {"bsNone",   "bsSingle",     "bsSizeable",
                                                  "bsDialog", "bsToolWindow", "bsSizeToolWin"};
}  // namespace

void TrmCustomCalendar::PublishProperties(thorn::PropertyList& list) {
    TCustomPanel::PublishProperties(list);
    list.Object("CalendarColors", [this] { return colors_.get(); });
    list.Object("CalendarFont", [this] { return &calendarFont_; });
    list.Date("SelectedDate", [this] { return selectedDate_; }, [this](TDateTime v) { SetSelectedDate(v); });
    list.Boolean("ShowWeekends", [this] { return showWeekends_; }, [this](bool v) { setShowWeekends(v); }, true);
    list.Boolean("UseDateRanges", [this] { return useDateRanges_; }, [this](bool v) { SetUseDateRanges(v); },
                 false);
    list.Date("MinDate", [this] { return minDate_; }, [this](TDateTime v) { SetMinDate(v); });
    list.Date("MaxDate", [this] { return maxDate_; }, [this](TDateTime v) { SetMaxDate(v); });
    list.Boolean("ShowGridLines", [this] { return showGridLines_; }, [this](bool v) { SetGridLines(v); }, false);
}

void TrmComboCalendar::PublishProperties(thorn::PropertyList& list) {
    TrmCustomComboCalendar::PublishProperties(list);
    list.Date("SelectedDate", [this] { return GetSelectedDate(); }, [this](TDateTime v) { SetSelectedDate(v); });
    list.String("DateFormat", [this] { return GetDateFormat(); },
                [this](const std::string& v) { SetDateFormat(v); });
    list.Integer("DropDownWidth", [this] { return GetDropDownWidth(); }, [this](int32_t v) { SetDropDownWidth(v); },
                 180);
    list.Integer("BtnWidth", [this] { return GetBtnWidth(); }, [this](int32_t v) { SetBtnWidth(v); }, 16);
    list.Boolean("EditorEnabled", [this] { return GetEditorEnabled(); }, [this](bool v) { SetEditorEnabled(v); },
                 true);
    list.Boolean("Enabled", [this] { return GetEnabled(); }, [this](bool v) { SetEnabled(v); }, true);
    list.Boolean("AutoSelect", [this] { return GetAutoSelect(); }, [this](bool v) { SetAutoSelect(v); }, true);
    list.Enumeration<TBorderStyle>("BorderStyle", [this] { return GetBorderStyle(); },
                                   [this](TBorderStyle v) { SetBorderStyle(v); }, kBorderStyleNames, bsSingle);
    list.Integer("MaxLength", [this] { return GetMaxLength(); }, [this](int32_t v) { SetMaxLength(v); }, 0);
}
