#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "DropDowns.h"
#include "controls/Rmspin.h"
#include "inspector/Rmspeedbtns.h"

namespace {

class FloatSpin : public thorn::test::DropDownForm<TrmFloatSpinEdit> {};

TEST_F(FloatSpin, FiltersStepsAndClamps) {
    // Text that is no number steps from MinValue.
    control->SetIncrement(0.5);
    control->SetText("abc");
    host.PressKey(VK_UP);
    EXPECT_EQ(control->GetText(), "0.5");
    EXPECT_EQ(control->GetSelLength(), 3) << "a step selects the text";
    host.PressKey(VK_DOWN);
    host.PressKey(VK_DOWN);
    EXPECT_EQ(control->GetText(), "-0.5");

    // Signs, digits and the decimal point are typed; the rest beeps.
    control->SetText("");
    const int beeps = host.BeepCount();
    Type("1x.2e5");
    EXPECT_EQ(control->GetText(), "1.25");
    EXPECT_EQ(host.BeepCount() - beeps, 2);

    // Leaving puts a number beyond the limits back inside; a text that is
    // not a number yet stays, without a message.
    control->SetMaxValue(2);
    control->SetUseRanges(true);
    control->SetText("");
    Type("7.5");
    other->SetFocus();
    EXPECT_EQ(control->GetText(), "2");
    EXPECT_FALSE(control->GetButton()->GetUpEnabled());
    // A step that reaches MaxValue exactly disables Up too.
    control->SetFocus();
    control->SetValue(1.5);
    EXPECT_TRUE(control->GetButton()->GetUpEnabled());
    host.PressKey(VK_UP);
    EXPECT_EQ(control->GetText(), "2");
    EXPECT_FALSE(control->GetButton()->GetUpEnabled());
    control->SetText("");
    Type("-");
    other->SetFocus();
    EXPECT_EQ(control->GetText(), "-");
    EXPECT_EQ(control->GetValue(), 0) << "it reads as MinValue";
    EXPECT_TRUE(host.ShownDialogs().empty());
    // Limits that would cross are ignored.
    control->SetMinValue(3);
    EXPECT_EQ(control->GetMinValue(), 0);
}

// NaN is no number to show or to keep inside the limits: it changes nothing,
// as a value or as a limit.
TEST_F(FloatSpin, NaNChangesNothing) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    control->SetMaxValue(2);
    for (bool ranges : {false, true}) {
        SCOPED_TRACE(ranges);
        control->SetUseRanges(ranges);
        control->SetValue(1.5);
        control->SetValue(nan);
        EXPECT_EQ(control->GetText(), "1.5");
        control->SetMinValue(nan);
        control->SetMaxValue(nan);
        EXPECT_EQ(control->GetMinValue(), 0);
        EXPECT_EQ(control->GetMaxValue(), 2);
    }
}

class TimeSpin : public thorn::test::DropDownForm<TrmTimeSpinEdit> {
protected:
    void At(int hour, int minute, int caret) {
        control->SetValue(EncodeTime(hour, minute, 0, 0));
        control->SetSelStart(caret);
    }
};

TEST_F(TimeSpin, StepsTheFieldUnderTheCaret) {
    struct Case {
        TrmTimeDisplay display;
        int hour, minute, caret;
        TKey key;
        const char* text;
        int selStart, selLength;
    };
    const Case cases[] = {
        {td24Hour, 23, 59, 0, VK_UP, "00:59", 0, 2},
        {td24Hour, 23, 59, 3, VK_UP, "23:00", 3, 2},
        {td24Hour, 0, 0, 4, VK_DOWN, "00:59", 3, 2},
        {td12Hour, 11, 30, 0, VK_UP, "12:30 AM", 0, 2},
        {td12Hour, 12, 30, 1, VK_DOWN, "11:30 PM", 0, 2},
        {td12Hour, 11, 30, 6, VK_UP, "11:30 PM", 6, 2},
        {td12Hour, 23, 30, 7, VK_DOWN, "11:30 AM", 6, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        control->SetTimeDisplay(c.display);
        At(c.hour, c.minute, c.caret);
        host.PressKey(c.key);
        EXPECT_EQ(control->GetText(), c.text);
        EXPECT_EQ(control->GetSelStart(), c.selStart);
        EXPECT_EQ(control->GetSelLength(), c.selLength);
    }
    control->SetTimeDisplay(td24Hour);
    control->SetShowSeconds(true);
    At(9, 5, 7);
    host.PressKey(VK_DOWN);
    EXPECT_EQ(control->GetText(), "09:05:59");
}

TEST_F(TimeSpin, TypesOverSingleCharactersOnlyWhileTheTextStaysATime) {
    struct Case {
        TrmTimeDisplay display;
        int caret;
        const char* typed;
        const char* text;
        int beeps;
    };
    const Case cases[] = {
        {td24Hour, 0, "3", "12:00", 1},
        {td24Hour, 0, "0", "02:00", 0},
        {td24Hour, 2, "45", "12:45", 0},
        {td24Hour, 0, "x", "12:00", 1},
        {td12Hour, 0, "0", "02:00 PM", 0},
        {td12Hour, 6, "a", "12:00 AM", 0},
        {td12Hour, 6, "p", "12:00 PM", 0},
        {td12Hour, 7, "x", "12:00 PM", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.typed) + " -> " + c.text);
        control->SetTimeDisplay(c.display);
        At(12, 0, c.caret);
        const int beeps = host.BeepCount();
        Type(c.typed);
        EXPECT_EQ(control->GetText(), c.text);
        EXPECT_EQ(host.BeepCount() - beeps, c.beeps);
    }
    // Backspace and Delete never edit the time text.
    control->SetTimeDisplay(td24Hour);
    At(12, 0, 2);
    host.PressKey(VK_BACK);
    host.PressKey(VK_DELETE);
    EXPECT_EQ(control->GetText(), "12:00");
}

TEST_F(TimeSpin, APartlyTypedTimeOutsideTheLimitsShowsTheKeptTimeOnLeaving) {
    control->SetMaxValue(EncodeTime(17, 0, 0, 0));
    control->SetMinValue(EncodeTime(8, 0, 0, 0));
    control->SetUseRanges(true);
    At(17, 0, 0);
    host.PressKey(VK_UP);
    EXPECT_EQ(control->GetText(), "17:00") << "the up half is off at the limit";
    EXPECT_FALSE(control->GetButton()->GetUpEnabled());
    control->SetSelStart(1);
    Type("8");
    EXPECT_EQ(control->GetText(), "18:00") << "the key is taken";
    EXPECT_EQ(FormatDateTime("hh:nn", control->GetValue()), "17:00") << "the time is kept inside";
    other->SetFocus();
    EXPECT_EQ(control->GetText(), "17:00");
    EXPECT_TRUE(host.ShownDialogs().empty());
}

}  // namespace
