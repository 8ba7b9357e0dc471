#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "TestControls.h"
#include "gui/Buttons.h"
#include "gui/ComboBox.h"
#include "gui/RowView.h"
#include "gui/MessageBox.h"
#include "gui/Timers.h"

namespace {

using thorn::test::MakeForm;

class GuiModal : public ::testing::Test {
protected:
    thorn::HeadlessApplication session;
    thorn::HeadlessHost& host = session.Host();
};

// ---- timers on the virtual clock

TEST_F(GuiModal, TimersRunOnTheVirtualClock) {
    TForm* form = MakeForm();
    TTimer* timer = thorn::Make<TTimer>(*form);
    std::vector<uint64_t> at;
    timer->SetInterval(150);
    timer->SetOnTimer([&](TObject*) { at.push_back(host.Now()); });
    host.Advance(100);
    EXPECT_TRUE(at.empty());
    host.Advance(400);
    EXPECT_EQ(at, (std::vector<uint64_t>{150, 300, 450}));
    timer->SetEnabled(false);
    host.Advance(1000);
    EXPECT_EQ(at.size(), 3u);
    timer->SetEnabled(true);  // a new period starts now
    host.Advance(149);
    EXPECT_EQ(at.size(), 3u);
    host.Advance(1);
    EXPECT_EQ(at.back(), 1650u);
}

TEST_F(GuiModal, TimersFireInTimeOrderAndMayFreeThemselves) {
    TForm* form = MakeForm();
    std::vector<std::string> log;
    TTimer* slow = thorn::Make<TTimer>(*form);
    slow->SetInterval(100);
    slow->SetOnTimer([&](TObject*) { log.push_back("slow " + std::to_string(host.Now())); });
    TTimer* fast = thorn::Make<TTimer>(*form);
    fast->SetInterval(40);
    int fastRuns = 0;
    fast->SetOnTimer([&](TObject* sender) {
        log.push_back("fast " + std::to_string(host.Now()));
        if (++fastRuns == 3) thorn::Free(static_cast<TTimer*>(sender));
    });
    host.Advance(250);
    EXPECT_EQ(log, (std::vector<std::string>{"fast 40", "fast 80", "slow 100", "fast 120", "slow 200"}));
}

TEST_F(GuiModal, ATimerHandlerDoesNotRunAgainInsideItself) {
    TForm* form = MakeForm();
    TTimer* timer = thorn::Make<TTimer>(*form);
    timer->SetInterval(10);
    int runs = 0, depth = 0, deepest = 0;
    timer->SetOnTimer([&](TObject*) {
        ++runs;
        ++depth;
        deepest = std::max(deepest, depth);
        if (runs == 1) host.Advance(50);  // time passes while the handler works
        --depth;
    });
    host.Advance(10);
    // Not inside itself; once it returned it was due and ran at once, and
    // the missed periods were not made up.
    EXPECT_EQ(deepest, 1);
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(host.Now(), 60u);
    host.Advance(10);
    EXPECT_EQ(runs, 3);
}

// ---- message boxes

TEST_F(GuiModal, MessageBoxesAreAnsweredFromTheScript) {
    host.AnswerMessageBox(IDNO, "made changes");
    int answer = Application->MessageBox("You have made changes in project. Would you like to save your changes?",
                                         "Warning", MB_YESNOCANCEL);
    EXPECT_EQ(answer, IDNO);
    EXPECT_EQ(host.ShownDialogs().back(),
              "You have made changes in project. Would you like to save your changes?");

    // Keys work on the box: Escape is Cancel, Enter the default button.
    thorn::DialogScript escape;
    escape.act = [&](TCustomForm&) { host.PressKey(VK_ESCAPE); };
    host.ScriptDialog(escape);
    EXPECT_EQ(Application->MessageBox("Quit?", "Warning", MB_YESNOCANCEL), IDCANCEL);
    thorn::DialogScript enter;
    enter.act = [&](TCustomForm&) { host.PressKey(VK_RETURN); };
    host.ScriptDialog(enter);
    EXPECT_EQ(Application->MessageBox("Quit?", "Warning", MB_YESNO | MB_DEFBUTTON2), IDNO);
    host.ScriptDialog(escape);
    EXPECT_EQ(Application->MessageBox("Done", "", MB_OK), IDOK);  // Escape on a lone OK is OK
}

TEST_F(GuiModal, AnUnscriptedMessageBoxFailsWithItsText) {
    try {
        Application->MessageBox("Too many provinces! You can create noone more.", "", MB_OK);
        FAIL() << "the box was answered";
    } catch (const thorn::EUnscriptedDialog& e) {
        EXPECT_NE(std::string(e.what()).find("Too many provinces! You can create noone more."), std::string::npos);
        EXPECT_NE(std::string(e.what()).find("\"Error\""), std::string::npos);  // the default caption
    }
    // The forms are usable again afterwards.
    TForm* form = MakeForm();
    form->Show();
    EXPECT_TRUE(form->GetEnabled());
    EXPECT_EQ(Application->GetModalLevel(), 0);
}

TEST_F(GuiModal, AScriptMustFitTheDialog) {
    host.AnswerMessageBox(IDYES);
    EXPECT_THROW(Application->MessageBox("Saved", "", MB_OK), thorn::EUnscriptedDialog);
    host.AnswerMessageBox(IDOK, "Saved");
    EXPECT_THROW(Application->MessageBox("Not saved", "", MB_OK), thorn::EUnscriptedDialog);
    // An exception escaping a handler during a dialog does not hide an unscripted box.
    TForm* form = MakeForm();
    form->Show();
    form->OnClick = [](TObject*) { throw Exception("late"); };
    EXPECT_THROW(host.Click(*form, 5, 5), thorn::EUnscriptedDialog);
}

// The modal state holds the windows outside the dialog, not the dialog's
// own pop-ups: its drop-down list shows its entries and takes the mouse.
TEST_F(GuiModal, TheModalFormsOwnDropDownListTakesTheMouse) {
    TForm* owner = MakeForm();
    owner->Show();
    TForm* dialog = MakeForm(300, 200);
    auto* combo = thorn::Make<TComboBox>(*dialog);
    combo->SetParent(dialog);
    combo->SetBounds(20, 30, 150, 0);
    combo->SetStyle(csDropDownList);
    for (const char* item : {"Gold", "Wood", "Stone", "Iron"}) combo->GetItems()->Add(item);
    thorn::DialogScript pick;
    pick.result = mrOk;
    pick.act = [&](TCustomForm&) {
        host.Click(*dialog, 20 + 150 - 8, 30 + 10);
        ASSERT_TRUE(combo->GetDroppedDown());
        TPopupWindow& list = *combo->GetListWindow();
        EXPECT_TRUE(list.GetEnabled());
        const TRect row = combo->GetListView()->RowRect(2);
        host.Click(list, 1 + row.Left + 20, 1 + (row.Top + row.Bottom) / 2);
        EXPECT_FALSE(owner->GetEnabled());
    };
    host.ScriptDialog(pick);
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    EXPECT_EQ(combo->GetText(), "Stone");
    EXPECT_TRUE(owner->GetEnabled());
}

TEST_F(GuiModal, AMessageBoxEndsAPressInProgress) {
    TForm* form = MakeForm();
    TButton* button = thorn::Make<TButton>(*form);
    button->SetParent(form);
    int clicks = 0;
    button->OnClick = [&](TObject*) { ++clicks; };
    form->Show();
    host.MouseDown(*form, 10, 10);
    ASSERT_TRUE(button->IsPressed());
    host.AnswerMessageBox(IDOK, "Autosave");
    Application->MessageBox("Autosave done", "", MB_OK);
    EXPECT_FALSE(button->IsPressed());
    EXPECT_EQ(Application->GetCaptureControl(), nullptr);
    // The press is over: moving back onto the button and releasing does nothing.
    host.MouseMove(*form, 12, 12);
    EXPECT_FALSE(button->IsPressed());
    host.MouseUp(*form, 12, 12);
    EXPECT_EQ(clicks, 0);
}

TEST_F(GuiModal, TheMessageBoxLaysOutItsButtons) {
    thorn::TMessageForm box("Save?", "Warning", MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2);
    EXPECT_EQ(box.GetButtonIds(), (std::vector<int>{IDYES, IDNO, IDCANCEL}));
    EXPECT_EQ(box.GetButton(IDYES)->GetCaption(), "&Yes");
    EXPECT_TRUE(box.GetButton(IDNO)->GetDefault());
    EXPECT_TRUE(box.GetButton(IDCANCEL)->GetCancel());
    EXPECT_EQ(box.GetActiveControl(), box.GetButton(IDNO));
    EXPECT_EQ(box.GetCaption(), "Warning");
    int right = box.GetButton(IDCANCEL)->GetBoundsRect().Right;
    EXPECT_EQ(box.GetButton(IDYES)->GetLeft(), box.GetClientWidth() - right);  // centred
}

TEST_F(GuiModal, AMessageBoxIsWideEnoughForItsCaption) {
    const std::string text = "The picture could not be read at all.";
    EXPECT_EQ(thorn::TMessageForm(text, "E", MB_OK).GetWidth(), thorn::TMessageForm(text, "", MB_OK).GetWidth())
        << "a short caption needs no more room than the text";
    const int plain = thorn::TMessageForm("Failed", "", MB_OK).GetWidth();
    // A caption wider than the text and the button: the box leaves room
    // for it in a bold face a quarter larger, beside a window icon and three
    // frame buttons.
    const std::string caption = "Error while load project";
    thorn::TMessageForm box("Failed", caption, MB_OK);
    TBitmap32 scratch;
    scratch.Font().Assign(box.GetFont());
    scratch.Font().SetStyle(fsBold);
    EXPECT_GE(box.GetWidth(), scratch.TextWidth(caption) * 5 / 4 + 4 * 16);
    EXPECT_GT(box.GetWidth(), plain);
    const TRect ok = box.GetButton(IDOK)->GetBoundsRect();
    EXPECT_LE(std::abs(ok.Left - (box.GetClientWidth() - ok.Right)), 1) << "the button stays in the middle";
}

TEST_F(GuiModal, AYesNoBoxCannotBeClosedFromItsFrame) {
    thorn::DialogScript script;
    script.act = [&](TCustomForm& box) {
        host.RequestClose(box);
        EXPECT_TRUE(host.IsWindowVisible(box));
        host.PressKey('N', {ssAlt});
    };
    host.ScriptDialog(script);
    EXPECT_EQ(Application->MessageBox("Delete?", "", MB_YESNO), IDNO);
}

// As desktop boxes do, a button's letter answers the box, with Alt or
// without; a letter no button has does nothing.
TEST_F(GuiModal, AMessageBoxAnswersItsButtonsLetters) {
    struct Case {
        uint32_t buttons;
        TKey key;
        TShiftState shift;
        int answer;  // 0: the key answers nothing
    };
    const Case cases[] = {
        {MB_YESNOCANCEL, 'Y', {}, IDYES},        {MB_YESNOCANCEL, 'N', {}, IDNO},
        {MB_YESNOCANCEL, 'C', {}, IDCANCEL},     {MB_YESNOCANCEL, 'C', {ssAlt}, IDCANCEL},
        {MB_YESNOCANCEL, 'Y', {ssAlt}, IDYES},   {MB_YESNOCANCEL, 'N', {ssShift}, IDNO},
        {MB_ABORTRETRYIGNORE, 'R', {}, IDRETRY}, {MB_OKCANCEL, 'C', {}, IDCANCEL},
        {MB_YESNOCANCEL, 'Y', {ssCtrl}, 0},      {MB_YESNOCANCEL, 'X', {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(1, static_cast<char>(c.key)) + " with modifiers " + std::to_string(c.shift.Bits()));
        thorn::DialogScript script;
        script.act = [&](TCustomForm& box) {
            host.PressKey(c.key, c.shift);
            if (!c.answer) {
                EXPECT_TRUE(host.IsWindowVisible(box) && !box.GetModalResult());
            }
            if (!box.GetModalResult()) host.PressKey(VK_ESCAPE);
        };
        host.ScriptDialog(script);
        EXPECT_EQ(Application->MessageBox("Save changes?", "Warning", c.buttons), c.answer ? c.answer : IDCANCEL);
    }
}

// ---- modal forms

class OkCancelDialog : public TForm {
public:
    TButton* ok;
    TButton* cancel;
    OkCancelDialog() {
        SetCaption("Text dialog");
        SetBounds(0, 0, 200, 100);
        ok = thorn::Make<TButton>(*this);
        ok->SetName("BtnOk");
        ok->SetModalResult(mrOk);
        ok->SetParent(this);
        cancel = thorn::Make<TButton>(*this);
        cancel->SetName("BtnCancel");
        cancel->SetModalResult(mrCancel);
        cancel->SetCancel(true);
        cancel->SetLeft(100);
        cancel->SetParent(this);
    }
};

TEST_F(GuiModal, ModalFormsRunTheirOwnLoopAndDisableTheOthers) {
    TForm* main = MakeForm();
    main->Show();
    auto* dialog = Application->CreateForm<OkCancelDialog>();
    thorn::DialogScript script;
    script.expectText = "Text dialog";
    script.act = [&](TCustomForm& form) {
        EXPECT_EQ(&form, dialog);
        EXPECT_TRUE(form.IsModal());
        EXPECT_FALSE(main->GetEnabled());
        EXPECT_EQ(Application->GetModalLevel(), 1);
        host.Click(*main, 5, 5);  // ignored: the main form is disabled
        host.Click(form, 10, 10);  // the OK button
    };
    host.ScriptDialog(script);
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    EXPECT_FALSE(host.IsWindowVisible(*dialog));
    EXPECT_TRUE(main->GetEnabled());
    EXPECT_EQ(Screen->GetActiveForm(), main);

    // The dialog can refuse to close; the refusal queues the next try here.
    int queries = 0;
    dialog->OnCloseQuery = [&](TObject*, bool& canClose) {
        canClose = ++queries > 1;
        if (!canClose) Application->QueueCall([&] {
            EXPECT_TRUE(host.IsWindowVisible(*dialog));
            host.PressKey(VK_ESCAPE);
        });
    };
    thorn::DialogScript escape;
    escape.act = [&](TCustomForm&) { host.PressKey(VK_ESCAPE); };
    host.ScriptDialog(escape);
    EXPECT_EQ(dialog->ShowModal(), mrCancel);
    EXPECT_EQ(queries, 2);
    dialog->OnCloseQuery = nullptr;

    // A visible form cannot be made modal; an unscripted dialog fails.
    dialog->Show();
    EXPECT_THROW(dialog->ShowModal(), EInvalidOperation);
    dialog->Hide();
    EXPECT_THROW(dialog->ShowModal(), thorn::EUnscriptedDialog);
    thorn::DialogScript idle;
    idle.expectText = "Text dialog";
    host.ScriptDialog(idle);  // answers nothing: the dialog stays open
    EXPECT_THROW(dialog->ShowModal(), thorn::EUnscriptedDialog);
    EXPECT_TRUE(main->GetEnabled());
}

// Minimised from its frame (or with its dialog, by a window system that
// minimises them together), a window disabled under a modal form and the
// modal form itself come back at once, the modal form in front; once the
// form closed, minimising works again.
TEST_F(GuiModal, NeitherAModalFormNorItsOwnerStaysMinimised) {
    TForm* main = MakeForm();
    main->Show();
    auto* dialog = Application->CreateForm<OkCancelDialog>();
    thorn::DialogScript script;
    script.act = [&](TCustomForm& form) {
        for (TCustomForm* minimised : {static_cast<TCustomForm*>(main), &form}) {
            host.ChangeWindowState(*minimised, wsMinimized);
            EXPECT_EQ(host.WindowOf(*minimised)->WindowState(), wsNormal);
            EXPECT_EQ(minimised->GetWindowState(), wsNormal);
            EXPECT_EQ(host.ActiveClient(), host.WindowOf(form) ? &host.WindowOf(form)->Client() : nullptr);
        }
        host.PressKey(VK_ESCAPE);
    };
    host.ScriptDialog(script);
    EXPECT_EQ(dialog->ShowModal(), mrCancel);
    host.ChangeWindowState(*main, wsMinimized);
    EXPECT_EQ(main->GetWindowState(), wsMinimized);
}

TEST_F(GuiModal, AMessageBoxInsideAModalDialog) {
    auto* dialog = Application->CreateForm<OkCancelDialog>();
    dialog->ok->OnClick = [&](TObject*) {
        if (Application->MessageBox("Really?", "Warning", MB_YESNO) != IDYES) dialog->SetModalResult(mrNone);
    };
    thorn::DialogScript script;
    script.act = [&](TCustomForm& form) {
        host.Click(form, 10, 10);  // answered No: the dialog stays
        EXPECT_EQ(Application->GetModalLevel(), 1);
        host.Click(form, 10, 10);  // answered Yes
    };
    host.ScriptDialog(script);
    host.AnswerMessageBox(IDNO, "Really?");
    host.AnswerMessageBox(IDYES, "Really?");
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    EXPECT_EQ(host.ShownDialogs(), (std::vector<std::string>{"Text dialog", "Really?", "Really?"}));
}

}  // namespace
