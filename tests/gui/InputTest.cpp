#include <gtest/gtest.h>

#include "TestControls.h"
#include "gui/Buttons.h"
#include "gui/Edit.h"
#include "gui/HintWindow.h"

namespace {

using thorn::test::AddControl;
using thorn::test::MakeForm;
using thorn::test::Place;
using thorn::test::Swatch;
using Log = std::vector<std::string>;

class GuiInput : public ::testing::Test {
protected:
    thorn::HeadlessApplication session;
    thorn::HeadlessHost& host = session.Host();
    Log log;
};

TEST_F(GuiInput, APressReachesTheTopmostControlInItsOwnCoordinates) {
    TForm* form = MakeForm();
    AddControl<Swatch>(*form, "Under", {0, 0, 100, 100}, &log);
    Swatch* over = AddControl<Swatch>(*form, "Over", {50, 50, 150, 150}, &log);
    form->Show();
    host.MouseDown(*form, 60, 70);
    host.MouseUp(*form, 60, 70);
    // The click comes before the release's own event, as it always did.
    EXPECT_EQ(log, (Log{"Over down 10,20", "Over click", "Over up 10,20"}));
    log.clear();
    over->SendToBack();
    host.MouseDown(*form, 60, 70, mbRight);
    EXPECT_EQ(log, (Log{"Under down 60,70"}));
    log.clear();
    over->SetEnabled(false);
    over->BringToFront();
    host.MouseDown(*form, 120, 120);  // a disabled control lets the press through to its parent
    EXPECT_TRUE(log.empty());
}

TEST_F(GuiInput, TheControlPressedHoldsTheMouseUntilRelease) {
    TForm* form = MakeForm();
    AddControl<Swatch>(*form, "A", {0, 0, 50, 50}, &log);
    AddControl<Swatch>(*form, "B", {100, 0, 150, 50}, &log);
    form->Show();
    host.MouseMove(*form, 10, 10);
    log.clear();
    host.Drag(*form, {10, 10}, {120, 10}, 2);
    // Moves and the release stay with A, even over B; outside A there is no click.
    EXPECT_EQ(log, (Log{"A move 10,10", "A down 10,10", "A leave", "A move 65,10", "B enter", "A move 120,10",
                        "A up 120,10"}));
    EXPECT_EQ(Application->GetCaptureControl(), nullptr);
    log.clear();
    host.MouseMove(*form, 125, 20);
    EXPECT_EQ(log, (Log{"B move 25,20"}));
}

TEST_F(GuiInput, AControlMayFreeItselfFromItsMouseHandlers) {
    TForm* form = MakeForm();
    Swatch* twice = AddControl<Swatch>(*form, "Twice", {0, 0, 50, 50});
    twice->SetHint("Twice|Freed on a double click");
    thorn::ComponentRef<Swatch> twiceRef(twice);
    twice->OnDblClick = [](TObject* sender) { thorn::Free(static_cast<Swatch*>(sender)); };
    Swatch* moved = AddControl<Swatch>(*form, "Moved", {100, 0, 150, 50});
    moved->SetHint("Moved|Freed when the pointer moves on it");
    thorn::ComponentRef<Swatch> movedRef(moved);
    moved->OnMouseMove = [](TObject* sender, TShiftState, int, int) { thorn::Free(static_cast<Swatch*>(sender)); };
    form->Show();

    host.DoubleClick(*form, 10, 10);
    EXPECT_FALSE(twiceRef);
    host.MouseMove(*form, 120, 10);
    EXPECT_FALSE(movedRef);
    // The form goes on working.
    host.MouseMove(*form, 125, 20);
    EXPECT_EQ(form->ControlAtClientPos({125, 20}), form);
    EXPECT_EQ(Application->GetHint(), "");
}

TEST_F(GuiInput, EnterAndLeaveFollowThePointerThroughNestedControls) {
    TForm* form = MakeForm();
    Swatch* outer = AddControl<Swatch>(*form, "Outer", {0, 0, 100, 100}, &log);
    AddControl<Swatch>(*outer, "Inner", {10, 10, 30, 30}, &log);
    form->Show();
    host.MouseMove(*form, 50, 50);
    host.MouseMove(*form, 15, 15);
    host.MouseMove(*form, 150, 120);
    host.MouseMove(*form, 15, 15);
    host.MouseLeave(*form);
    Log expected{"Outer enter", "Outer move 50,50", "Inner enter", "Inner move 5,5", "Inner leave", "Outer leave",
                 "Outer enter", "Inner enter", "Inner move 5,5", "Inner leave", "Outer leave"};
    EXPECT_EQ(log, expected);
}

TEST_F(GuiInput, DoubleClicksAndTheWheel) {
    TForm* form = MakeForm();
    Swatch* s = AddControl<Swatch>(*form, "S", {0, 0, 100, 100}, &log);
    form->Show();
    host.DoubleClick(*form, 5, 6);
    // The second press is the double click; its release clicks no more.
    Log expected{"S enter", "S move 5,6", "S down 5,6", "S click", "S up 5,6", "S dblclick", "S down 5,6 double",
                 "S up 5,6"};
    EXPECT_EQ(log, expected);

    // The wheel goes to the control under the pointer, then up to its parents.
    int formWheel = 0;
    form->OnMouseWheel = [&](TObject*, TShiftState, int delta, TPoint pos, bool& handled) {
        formWheel += delta;
        EXPECT_EQ(pos, (TPoint{105, 106}));
        handled = true;
    };
    host.Wheel(*form, 5, 6, 120);
    EXPECT_EQ(formWheel, 120);
    s->OnMouseWheel = [&](TObject*, TShiftState, int, TPoint, bool& handled) { handled = true; };
    host.Wheel(*form, 5, 6, -120);
    EXPECT_EQ(formWheel, 120);
}

TEST_F(GuiInput, TabMovesTheFocusInTabOrderSkippingWhatCannotTakeIt) {
    TForm* form = MakeForm();
    Swatch* a = AddControl<Swatch>(*form, "A", {0, 0, 10, 10}, &log);
    Swatch* b = AddControl<Swatch>(*form, "B", {0, 20, 10, 30}, &log);
    Swatch* c = AddControl<Swatch>(*form, "C", {0, 40, 10, 50}, &log);
    Swatch* d = AddControl<Swatch>(*form, "D", {0, 60, 10, 70}, &log);
    for (Swatch* s : {a, b, c, d}) s->SetTabStop(true);
    c->SetTabOrder(0);  // C, A, B, D
    EXPECT_EQ(a->GetTabOrder(), 1);
    form->Show();
    EXPECT_EQ(form->GetActiveControl(), c);  // the first in tab order
    EXPECT_TRUE(c->Focused());
    host.PressKey(VK_TAB);
    EXPECT_TRUE(a->Focused());
    b->SetEnabled(false);
    host.PressKey(VK_TAB);
    EXPECT_TRUE(d->Focused());
    host.PressKey(VK_TAB);
    EXPECT_TRUE(c->Focused());  // round again
    host.PressKey(VK_TAB, {ssShift});
    EXPECT_TRUE(d->Focused());
    Log expected{"C focus-enter", "C focus-exit", "A focus-enter", "A focus-exit", "D focus-enter",
                 "D focus-exit", "C focus-enter", "C focus-exit", "D focus-enter"};
    EXPECT_EQ(log, expected);

    // Hiding the focused control leaves the focus with the form.
    log.clear();
    d->SetVisible(false);
    EXPECT_EQ(log, (Log{"D focus-exit"}));
    EXPECT_EQ(form->GetActiveControl(), nullptr);
    EXPECT_THROW(d->SetFocus(), EInvalidOperation);
    a->SetFocus();
    EXPECT_TRUE(a->Focused());
    // Freeing it tells it nothing.
    log.clear();
    thorn::Free(a);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(form->GetActiveControl(), nullptr);
}

// Arrow keys move the focus among sibling controls that do not take them,
// in tab order whether or not they are tab stops: Right and Down forward,
// Left and Up back. A control that takes the arrows keeps them.
TEST_F(GuiInput, ArrowsMoveTheFocusAmongControlsThatDoNotTakeThem) {
    TForm* form = MakeForm();
    Swatch* a = AddControl<Swatch>(*form, "A", {0, 0, 10, 10}, &log);
    Swatch* b = AddControl<Swatch>(*form, "B", {0, 20, 10, 30}, &log);
    Swatch* c = AddControl<Swatch>(*form, "C", {0, 40, 10, 50}, &log);
    TEdit* edit = Place<TEdit>(*form, {0, 60, 100, 81});
    a->SetTabStop(true);
    form->Show();
    b->SetFocus();
    struct Case {
        TKey key;
        const char* what;
        TWinControl* focused;
    };
    const Case cases[] = {
        {VK_DOWN, "Down", c},  {VK_DOWN, "Down to the edit", edit}, {VK_DOWN, "Down in the edit", edit},
        {VK_UP, "Up in the edit", edit},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        host.PressKey(k.key);
        EXPECT_TRUE(k.focused->Focused());
    }
    c->SetFocus();
    const Case arrows[] = {
        {VK_UP, "Up", b}, {VK_UP, "Up again", a}, {VK_RIGHT, "Right", b}, {VK_LEFT, "Left", a}, {VK_DOWN, "Down", b},
    };
    for (const Case& k : arrows) {
        SCOPED_TRACE(k.what);
        host.PressKey(k.key);
        EXPECT_TRUE(k.focused->Focused());
    }
}

TEST_F(GuiInput, FocusEventsRunThroughContainersInOrder) {
    TForm* form = MakeForm();
    Swatch* panel1 = AddControl<Swatch>(*form, "P1", {0, 0, 50, 50}, &log);
    Swatch* a = AddControl<Swatch>(*panel1, "A", {0, 0, 10, 10}, &log);
    Swatch* panel2 = AddControl<Swatch>(*form, "P2", {60, 0, 110, 50}, &log);
    Swatch* b = AddControl<Swatch>(*panel2, "B", {0, 0, 10, 10}, &log);
    form->Show();
    a->SetFocus();
    log.clear();
    b->SetFocus();
    EXPECT_EQ(log, (Log{"A focus-exit", "P1 focus-exit", "P2 focus-enter", "B focus-enter"}));

    // An exit handler that moves the focus wins.
    log.clear();
    b->OnExit = [&](TObject*) { b->SetFocus(); };
    a->SetFocus();
    EXPECT_TRUE(b->Focused());
}

TEST_F(GuiInput, KeysGoToTheFocusedControlWithTheKeyByReference) {
    TForm* form = MakeForm();
    Swatch* s = AddControl<Swatch>(*form, "S", {0, 0, 10, 10}, &log);
    s->SetTabStop(true);
    form->Show();
    log.clear();
    host.KeyDown('A');
    host.TypeText("a");
    host.KeyDown(VK_BACK);
    EXPECT_EQ(log, (Log{"S keydown 65", "S keypress a", "S keydown 8", "S keypress 8"}));

    // The form previews keys and may swallow them.
    log.clear();
    form->SetKeyPreview(true);
    form->OnKeyDown = [&](TObject*, TKey& key, TShiftState) {
        if (key == VK_F1) key = 0;
    };
    form->OnKeyPress = [&](TObject*, char& ch) {
        if (ch == 'x') ch = 'y';
    };
    host.KeyDown(VK_F1);
    host.TypeText("x");
    EXPECT_EQ(log, (Log{"S keypress y"}));

    // Shortcuts come first and reach no control.
    log.clear();
    form->OnShortCut = [&](TKey key, TShiftState shift, bool& handled) {
        handled = key == 'S' && shift.Contains(ssCtrl);
    };
    host.KeyDown('S', {ssCtrl});
    EXPECT_TRUE(log.empty());
}

TEST_F(GuiInput, EnterAndEscapeClickTheDefaultAndCancelButtons) {
    TForm* form = MakeForm();
    TButton* ok = thorn::Make<TButton>(*form);
    ok->SetParent(form);
    ok->SetDefault(true);
    TButton* cancel = thorn::Make<TButton>(*form);
    cancel->SetParent(form);
    cancel->SetLeft(80);
    cancel->SetCancel(true);
    Swatch* field = AddControl<Swatch>(*form, "Field", {0, 40, 50, 60}, &log);
    field->SetTabStop(true);
    field->SetTabOrder(0);
    Log clicks;
    ok->OnClick = [&](TObject*) { clicks.push_back("ok"); };
    cancel->OnClick = [&](TObject*) { clicks.push_back("cancel"); };
    form->Show();
    EXPECT_TRUE(field->Focused());
    host.PressKey(VK_RETURN);
    host.PressKey(VK_ESCAPE);
    // With a button focused, Enter is that button's.
    cancel->SetFocus();
    host.PressKey(VK_RETURN);
    host.PressKey(VK_SPACE);
    ok->SetCaption("&Apply");
    host.PressKey('A', {ssAlt});
    EXPECT_EQ(clicks, (Log{"ok", "cancel", "cancel", "cancel", "ok"}));
    // Dialog keys the focused control handled itself never reach the buttons.
    EXPECT_EQ(std::count(log.begin(), log.end(), "Field keydown 13"), 0);
}

TEST_F(GuiInput, AButtonClickedByMouseTellsTheFormItsModalResult) {
    TForm* form = MakeForm();
    TButton* ok = thorn::Make<TButton>(*form);
    ok->SetParent(form);
    ok->SetModalResult(mrOk);
    form->Show();
    host.MouseDown(*form, 10, 10);
    EXPECT_TRUE(ok->IsPressed());
    host.MouseMove(*form, 150, 100);
    EXPECT_FALSE(ok->IsPressed());  // pressed look only while the pointer is on it
    host.MouseUp(*form, 150, 100);
    EXPECT_EQ(form->GetModalResult(), mrNone);
    host.Click(*form, 10, 10);
    EXPECT_EQ(form->GetModalResult(), mrOk);
    EXPECT_TRUE(ok->Focused());
}

TEST_F(GuiInput, ProcessMessagesMayBeCalledFromAHandler) {
    TForm* form = MakeForm();
    Swatch* s = AddControl<Swatch>(*form, "S", {0, 0, 50, 50}, &log);
    form->Show();
    int depth = 0;
    s->OnClick = [&](TObject*) {
        ++depth;
        s->Invalidate();
        Application->ProcessMessages();  // paints inside the handler
        EXPECT_EQ(s->paints, 2);
    };
    host.Click(*form, 5, 5);
    EXPECT_EQ(depth, 1);
}

TEST_F(GuiInput, AnExceptionInAHandlerShowsTheExceptionBox) {
    TForm* form = MakeForm();
    Swatch* s = AddControl<Swatch>(*form, "S", {0, 0, 50, 50}, &log);
    form->Show();
    s->OnClick = [](TObject*) { throw EConvertError("'x' is not a valid integer value"); };
    host.AnswerMessageBox(IDOK, "'x' is not a valid integer value.");
    host.Click(*form, 5, 5);
    EXPECT_EQ(host.PendingScripts(), 0u);
    // EAbort is silent.
    s->OnClick = [](TObject*) { throw EAbort(); };
    host.Click(*form, 5, 5);
    // OnException takes over from the box.
    std::string seen;
    Application->OnException = [&](TObject*, const std::exception& e) { seen = e.what(); };
    s->OnClick = [](TObject*) { throw Exception("Boom!"); };
    host.Click(*form, 5, 5);
    EXPECT_EQ(seen, "Boom!");
}

TEST_F(GuiInput, HintsShowAfterThePauseAndTheLongHintReachesOnHint) {
    TForm* form = MakeForm();
    Swatch* s = AddControl<Swatch>(*form, "S", {0, 0, 50, 50}, &log);
    s->SetHint("Zoom in|Enlarges the world view");
    s->SetShowHint(true);
    std::vector<std::string> hints;
    Application->OnHint = [&](TObject*) { hints.push_back(Application->GetHint()); };
    form->Show();
    host.MouseMove(*form, 10, 10);
    EXPECT_EQ(hints, (std::vector<std::string>{"Enlarges the world view"}));
    host.Advance(400);
    EXPECT_TRUE(!Application->GetHintWindow() || !Application->GetHintWindow()->GetVisible());
    host.Advance(200);
    ASSERT_NE(Application->GetHintWindow(), nullptr);
    EXPECT_TRUE(Application->GetHintWindow()->GetVisible());
    EXPECT_EQ(Application->GetHintWindow()->GetCaption(), "Zoom in");
    EXPECT_EQ(Application->GetHintWindow()->GetLeft(), 110);
    host.Advance(2600);
    EXPECT_FALSE(Application->GetHintWindow()->GetVisible());
    host.MouseMove(*form, 100, 100);
    EXPECT_EQ(hints.back(), "");
}

}  // namespace

TEST_F(GuiInput, AControlFreedByAFocusEventLeavesTheFormWorking) {
    // An in-place editor is freed in its own OnExit; a control being entered may
    // free the one being left; a container may go with the control it holds.
    enum class Victim { LeftInItsExit, LeftInTheNextsEnter, ParentInTheLeftsExit };
    struct Case {
        const char* name;
        Victim victim;
        bool byTab;
    };
    const Case cases[] = {
        {"left control, Tab", Victim::LeftInItsExit, true},
        {"left control, click", Victim::LeftInItsExit, false},
        {"left control from the next one's OnEnter, Tab", Victim::LeftInTheNextsEnter, true},
        {"left control from the next one's OnEnter, click", Victim::LeftInTheNextsEnter, false},
        {"the left control's panel, Tab", Victim::ParentInTheLeftsExit, true},
        {"the left control's panel, click", Victim::ParentInTheLeftsExit, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TForm* form = MakeForm();
        Swatch* panel = AddControl<Swatch>(*form, "P", {0, 0, 50, 50});
        auto* editor = Place<TEdit>(*panel, {0, 0, 40, 20});
        auto* next = Place<TEdit>(*form, {60, 0, 100, 20});
        auto* last = Place<TEdit>(*form, {110, 0, 150, 20});
        thorn::ComponentRef<TEdit> editorRef(editor);
        thorn::ComponentRef<Swatch> panelRef(panel);
        switch (c.victim) {
        case Victim::LeftInItsExit:
            editor->OnExit = [](TObject* sender) { thorn::Free(static_cast<TEdit*>(sender)); };
            break;
        case Victim::LeftInTheNextsEnter:
            next->OnEnter = [&](TObject*) { thorn::Free(editorRef.Get()); };
            break;
        case Victim::ParentInTheLeftsExit:
            editor->OnExit = [&](TObject*) { thorn::Free(panelRef.Get()); };
            break;
        }
        form->Show();
        editor->SetFocus();
        if (c.byTab)
            host.PressKey(VK_TAB);
        else
            host.Click(*form, 70, 10);
        EXPECT_FALSE(editorRef);
        EXPECT_EQ(c.victim == Victim::ParentInTheLeftsExit, !panelRef);
        EXPECT_TRUE(next->Focused());
        host.PressKey(VK_TAB);
        EXPECT_TRUE(last->Focused());
        form->Close();
        Application->ProcessMessages();
    }
}
