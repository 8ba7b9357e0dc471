#include <gtest/gtest.h>

#include "gui/Application.h"
#include "gui/headless/HeadlessHost.h"
#include "inspector/Rmcheckbox.h"
#include "platform/ClassRegistry.h"
#include "platform/Filer.h"
#include "support/Pixels.h"

namespace {

using thorn::test::Shown;

// A form with a check box of each kind at (10, 10) and (10, 40), 120 x 20,
// counting their changes.
class CheckBoxes : public ::testing::Test {
protected:
    CheckBoxes() {
        form = Application->CreateForm<TForm>();
        form->SetBounds(100, 100, 200, 100);
        two = Place<TrmCheckBox>(10);
        three = Place<TrmCheckBoxEx>(40);
        two->SetCaption("Moat");
        two->OnChange = [this](TObject*) { ++changes; };
        three->OnChange = [this](TObject*) { states.push_back(three->GetValue()); };
        form->Show();
    }
    template <typename T>
    T* Place(int top) {
        T* box = thorn::Make<T>(*form);
        box->SetParent(form);
        box->SetBounds(10, top, 120, 20);
        return box;
    }
    // A point of a box's client area on the form.
    static TPoint At(const TControl& c, int x, int y) { return {c.GetLeft() + x, c.GetTop() + y}; }
    TColor32 Pixel(const TControl& c, int x, int y) const {
        return host.PixelAt(*form, c.GetLeft() + x, c.GetTop() + y);
    }

    thorn::HeadlessApplication session;
    thorn::HeadlessHost& host = session.Host();
    TForm* form = nullptr;
    TrmCheckBox* two = nullptr;
    TrmCheckBoxEx* three = nullptr;
    int changes = 0;
    std::vector<TCBExState> states;
};

TEST_F(CheckBoxes, AReleaseTogglesOnlyOverTheBoxOrTheCaption) {
    struct Case {
        const char* what;
        TPoint press, release;
        bool checked;
    };
    // The box spans x 3..15, the caption starts at 20; y 10 is the middle.
    const Case cases[] = {
        {"press and release on the box", {8, 10}, {8, 10}, true},
        {"released beside both", {8, 10}, {110, 10}, true},
        {"released on the caption", {8, 10}, {24, 10}, false},
        {"pressed beside both", {110, 10}, {8, 10}, false},
    };
    int expectedChanges = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const bool before = two->GetChecked();
        host.MouseDown(*form, At(*two, c.press.X, c.press.Y).X, At(*two, c.press.X, c.press.Y).Y);
        host.MouseUp(*form, At(*two, c.release.X, c.release.Y).X, At(*two, c.release.X, c.release.Y).Y);
        if (before != c.checked) ++expectedChanges;
        EXPECT_EQ(two->GetChecked(), c.checked);
        EXPECT_EQ(changes, expectedChanges);
    }
    // Space toggles on release, and not with Shift held.
    host.PressKey(VK_SPACE, {ssShift});
    EXPECT_FALSE(two->GetChecked());
    host.PressKey(VK_SPACE);
    EXPECT_TRUE(two->GetChecked());
    // Alt and the accelerator toggle it as a click does.
    two->SetCaption("&Moat");
    host.PressKey('M', {ssAlt});
    EXPECT_FALSE(two->GetChecked());
    EXPECT_EQ(changes, expectedChanges + 2);
    // The program's change is reported too, once.
    two->SetCheckedEx(true);
    two->SetCheckedEx(true);
    EXPECT_EQ(changes, expectedChanges + 3);
}

TEST_F(CheckBoxes, ClicksCycleTheThreeStatesAndTheProgramMayShowTheMixedOne) {
    for (bool fullMode : {false, true}) {
        SCOPED_TRACE(fullMode ? "FullMode" : "two-way");
        three->SetFullMode(fullMode);
        three->SetValue(cbxUndefined);  // shown by the program: no change reported
        EXPECT_EQ(three->GetValue(), cbxUndefined);
        states.clear();
        for (int i = 0; i < 3; ++i) host.Click(*form, At(*three, 8, 10).X, At(*three, 8, 10).Y);
        // Each click reports the state it leaves, then the one it reaches.
        const TCBExState last = fullMode ? cbxUndefined : cbxTrue;
        EXPECT_EQ(states, (std::vector<TCBExState>{cbxUndefined, cbxTrue, cbxTrue, cbxFalse, cbxFalse, last}));
    }
}

TEST_F(CheckBoxes, PaintShowsTheStateAsCaptionBoxAndBackground) {
    two->SetCaptionTrueFalse(true);
    two->SetFillBackground(true);
    two->SetBackgroundColor(clYellow);
    three->GetStrings().SetTrueState("present");
    three->SetValue(cbxTrue);
    session.App().ProcessMessages();
    EXPECT_EQ(two->GetCaption(), "False");
    EXPECT_EQ(three->GetCaption(), "present");
    EXPECT_EQ(Pixel(*two, 110, 2), Shown(clYellow));
    EXPECT_EQ(Pixel(*three, 110, 2), Shown(clBtnFace));
    // Box interiors: white when live, grey for the mixed state; the tick's
    // middle stroke runs through the box's centre.
    const TRect box = two->CBXRect();
    const int cx = (box.Left + box.Right) / 2, cy = (box.Top + box.Bottom) / 2;
    EXPECT_EQ(Pixel(*two, box.Left + 3, box.Top + 3), Shown(clWindow));
    EXPECT_EQ(Pixel(*three, cx, cy), Shown(clWindowText));
    three->SetValue(cbxUndefined);
    session.App().ProcessMessages();
    EXPECT_EQ(three->GetCaption(), "Undefined");
    EXPECT_EQ(Pixel(*three, box.Left + 3, box.Top + 3), Shown(clBtnFace));
}

TEST_F(CheckBoxes, TheThreeStateBoxStreamsItsStateAndCaptions) {
    RegisterClass<TrmCheckBoxEx>("TrmCheckBoxEx");
    TrmCheckBoxEx source;
    source.SetName("Castle");
    source.SetFullMode(true);
    source.SetValue(cbxFalse);
    source.GetStrings().SetFalseState("not present");
    source.GetStrings().SetUndefined("");
    TMemoryStream stream;
    thorn::WriteComponent(stream, source);
    stream.SetPosition(0);
    auto copy = thorn::ReadComponent(stream);
    auto* read = dynamic_cast<TrmCheckBoxEx*>(copy.get());
    ASSERT_NE(read, nullptr);
    EXPECT_TRUE(read->GetFullMode());
    EXPECT_EQ(read->GetValue(), cbxFalse);
    EXPECT_EQ(read->GetStrings().GetFalseState(), "not present");
    EXPECT_EQ(read->GetStrings().GetTrueState(), "True");
    EXPECT_EQ(read->GetStrings().GetUndefined(), "") << "an emptied caption stays empty";
}

}  // namespace
