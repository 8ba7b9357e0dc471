#include <gtest/gtest.h>

#include "TestControls.h"
#include "gui/ControlTypes.h"

namespace {

using thorn::test::AddControl;
using thorn::test::MakeForm;
using thorn::test::Swatch;

constexpr TColor32 Opaque(TColor c) { return 0xFF000000u | (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF); }

class GuiForm : public ::testing::Test {
protected:
    thorn::HeadlessApplication session;
    thorn::HeadlessHost& host = session.Host();
};

TEST_F(GuiForm, PaintsControlsIntoOneBufferThatTheHostShows) {
    TForm* form = MakeForm();
    Swatch* red = AddControl<Swatch>(*form, "Red", {10, 10, 60, 40});
    red->SetColor(clRed);
    Swatch* blue = AddControl<Swatch>(*red, "Blue", {40, 20, 100, 60});  // hangs out of its parent
    blue->SetColor(clBlue);
    form->Show();
    Application->ProcessMessages();

    EXPECT_TRUE(host.IsWindowVisible(*form));
    EXPECT_EQ(host.PixelAt(*form, 5, 5), Opaque(0xC8D0D4));    // the button face of the form
    EXPECT_EQ(host.PixelAt(*form, 10, 10), Opaque(clRed));
    EXPECT_EQ(host.PixelAt(*form, 49, 29), Opaque(clRed));
    EXPECT_EQ(host.PixelAt(*form, 50, 30), Opaque(clBlue));    // the child, on top
    EXPECT_EQ(host.PixelAt(*form, 59, 39), Opaque(clBlue));
    EXPECT_EQ(host.PixelAt(*form, 60, 39), Opaque(0xC8D0D4));  // clipped by the parent
    EXPECT_EQ(host.PixelAt(*form, 59, 40), Opaque(0xC8D0D4));
    TBitmap32 shot;
    host.Snapshot(*form, shot);
    EXPECT_EQ(shot.Width(), 200);
    EXPECT_EQ(shot.Height(), 150);
}

TEST_F(GuiForm, OnlyWhatWasInvalidatedIsPaintedAgain) {
    TForm* form = MakeForm();
    Swatch* left = AddControl<Swatch>(*form, "Left", {0, 0, 50, 50});
    Swatch* right = AddControl<Swatch>(*form, "Right", {100, 0, 150, 50});
    form->Show();
    Application->ProcessMessages();
    EXPECT_EQ(left->paints, 1);
    EXPECT_EQ(right->paints, 1);

    right->Invalidate();
    right->Invalidate();  // marks pile up into one paint
    Application->ProcessMessages();
    EXPECT_EQ(left->paints, 1);
    EXPECT_EQ(right->paints, 2);
    ASSERT_EQ(host.LastPresented(*form).size(), 1u);
    EXPECT_EQ(host.LastPresented(*form)[0], (TRect{100, 0, 150, 50}));

    // Part of a control: its paint is clipped to that part.
    left->InvalidateRect({5, 5, 10, 10});
    Application->ProcessMessages();
    EXPECT_EQ(left->paints, 2);
    EXPECT_EQ(left->lastClip, (TRect{5, 5, 10, 10}));
    Application->ProcessMessages();
    EXPECT_EQ(left->paints, 2);  // nothing new marked, nothing painted

    // Moving a control repaints where it was and where it goes.
    right->SetLeft(60);
    Application->ProcessMessages();
    EXPECT_EQ(host.PixelAt(*form, 140, 10), Opaque(0xC8D0D4));
}

TEST_F(GuiForm, HiddenFormsAndControlsAreNotPainted) {
    TForm* form = MakeForm();
    Swatch* swatch = AddControl<Swatch>(*form, "S", {0, 0, 20, 20});
    swatch->SetVisible(false);
    Application->ProcessMessages();
    EXPECT_EQ(swatch->paints, 0);
    EXPECT_FALSE(host.IsWindowVisible(*form));
    form->Show();
    Application->ProcessMessages();
    EXPECT_EQ(swatch->paints, 0);
    swatch->SetVisible(true);
    Application->ProcessMessages();
    EXPECT_EQ(swatch->paints, 1);
    form->Hide();
    swatch->Invalidate();
    Application->ProcessMessages();
    EXPECT_EQ(swatch->paints, 1);
    EXPECT_FALSE(host.IsWindowVisible(*form));
}

TEST_F(GuiForm, AlignedControlsShareTheClientAreaAndAnchorsFollowResizes) {
    TForm* form = MakeForm(300, 200);
    Swatch* top = AddControl<Swatch>(*form, "Top", {0, 0, 10, 30});
    top->SetAlign(alTop);
    Swatch* bottom = AddControl<Swatch>(*form, "Bottom", {0, 0, 10, 20});
    bottom->SetAlign(alBottom);
    Swatch* left = AddControl<Swatch>(*form, "Left", {0, 0, 40, 10});
    left->SetAlign(alLeft);
    Swatch* client = AddControl<Swatch>(*form, "Client", {0, 0, 10, 10});
    client->SetAlign(alClient);
    EXPECT_EQ(top->GetBoundsRect(), (TRect{0, 0, 300, 30}));
    EXPECT_EQ(bottom->GetBoundsRect(), (TRect{0, 180, 300, 200}));
    EXPECT_EQ(left->GetBoundsRect(), (TRect{0, 30, 40, 180}));
    EXPECT_EQ(client->GetBoundsRect(), (TRect{40, 30, 300, 180}));

    Swatch* corner = AddControl<Swatch>(*client, "Corner", {200, 100, 250, 140});
    corner->SetAnchors({akRight, akBottom});
    Swatch* stretch = AddControl<Swatch>(*client, "Stretch", {10, 10, 250, 20});
    stretch->SetAnchors({akLeft, akTop, akRight});
    int resizes = 0;
    client->OnResize = [&](TObject*) { ++resizes; };
    form->SetBounds(100, 100, 400, 250);
    EXPECT_EQ(client->GetBoundsRect(), (TRect{40, 30, 400, 230}));
    EXPECT_EQ(corner->GetBoundsRect(), (TRect{300, 150, 350, 190}));
    EXPECT_EQ(stretch->GetBoundsRect(), (TRect{10, 10, 350, 20}));
    EXPECT_GE(resizes, 1);

    left->SetVisible(false);
    EXPECT_EQ(client->GetLeft(), 0);
}

TEST_F(GuiForm, CoordinatesConvertThroughParentsAndBorders) {
    TForm* form = MakeForm();
    Swatch* outer = AddControl<Swatch>(*form, "Outer", {10, 20, 110, 120});
    outer->SetBorderWidth(2);
    Swatch* inner = AddControl<Swatch>(*outer, "Inner", {5, 5, 25, 25});
    EXPECT_EQ(outer->GetClientRect(), (TRect{0, 0, 96, 96}));
    EXPECT_EQ(inner->ClientToParent({1, 1}, form), (TPoint{18, 28}));
    EXPECT_EQ(inner->ClientToScreen({0, 0}), (TPoint{117, 127}));
    EXPECT_EQ(inner->ScreenToClient({117, 127}), (TPoint{0, 0}));
    EXPECT_EQ(form->ControlAtClientPos({18, 28}), inner);
    EXPECT_EQ(form->ControlAtClientPos({12, 22}), outer);  // on the border
    EXPECT_EQ(form->ControlAtClientPos({5, 5}), form);
    EXPECT_THROW(inner->SetParent(inner), EInvalidOperation);
    EXPECT_THROW(outer->SetParent(inner), EInvalidOperation);
}

TEST_F(GuiForm, FreeingAControlTakesItOffItsParent) {
    TForm* form = MakeForm();
    Swatch* parent = AddControl<Swatch>(*form, "Parent", {0, 0, 100, 100});
    Swatch* child = AddControl<Swatch>(*parent, "Child", {0, 0, 10, 10});
    EXPECT_EQ(parent->GetControlCount(), 1);
    thorn::Free(child);
    EXPECT_EQ(parent->GetControlCount(), 0);
    thorn::Free(parent);
    EXPECT_EQ(form->GetControlCount(), 0);
}

TEST_F(GuiForm, ReleasedFormGoesAfterTheEventThatReleasedIt) {
    TForm* form = MakeForm();
    Swatch* button = AddControl<Swatch>(*form, "Button", {0, 0, 50, 50});
    form->Show();
    thorn::ComponentRef<TForm> ref(form);
    bool stillThere = false;
    button->OnClick = [&](TObject*) {
        form->Release();
        stillThere = static_cast<bool>(ref);
    };
    host.Click(*form, 10, 10);
    EXPECT_TRUE(stillThere);
    EXPECT_FALSE(ref);
}

TEST_F(GuiForm, OnDestroySeesTheFormGoingWhileItsControlsStay) {
    TForm* form = MakeForm();
    Swatch* swatch = AddControl<Swatch>(*form, "Swatch", {0, 0, 50, 50});
    thorn::ComponentRef<TForm> ref(form);
    thorn::ComponentRef<Swatch> control(swatch);
    bool formAlive = true, controlAlive = false;
    form->OnDestroy = [&](TObject*) {
        formAlive = static_cast<bool>(ref);
        controlAlive = static_cast<bool>(control);
        thorn::Free(form);  // already going: nothing happens
    };
    thorn::Free(form);
    EXPECT_FALSE(formAlive);
    EXPECT_TRUE(controlAlive);
    EXPECT_FALSE(control);
}

TEST_F(GuiForm, ClosingHidesAFormAndEndsTheApplicationForTheMainForm) {
    TForm* main = MakeForm();
    TForm* tool = MakeForm();
    main->Show();
    tool->Show();
    std::vector<std::string> log;
    tool->OnCloseQuery = [&](TObject*, bool& canClose) {
        log.push_back("query");
        canClose = log.size() > 1;
    };
    tool->OnClose = [&](TObject*, TCloseAction& action) {
        log.push_back(action == caHide ? "close hide" : "close");
    };
    host.RequestClose(*tool);
    EXPECT_TRUE(host.IsWindowVisible(*tool));  // refused the first time
    host.RequestClose(*tool);
    EXPECT_FALSE(host.IsWindowVisible(*tool));
    EXPECT_EQ(log, (std::vector<std::string>{"query", "query", "close hide"}));
    EXPECT_FALSE(Application->GetTerminated());

    tool->OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
    thorn::ComponentRef<TForm> toolRef(tool);
    tool->Show();
    host.RequestClose(*tool);
    EXPECT_FALSE(toolRef);

    host.RequestClose(*main);
    EXPECT_TRUE(Application->GetTerminated());
}

TEST_F(GuiForm, FrameStackingAndSizeStateReachTheWindow) {
    TForm* form = MakeForm();
    form->SetBorderStyle(bsSizeToolWin);
    form->SetFormStyle(fsStayOnTop);
    form->SetWindowState(wsMaximized);
    form->Show();  // what was set before the window existed reaches it when it is made
    const thorn::HeadlessWindow* window = host.WindowOf(*form);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->BorderStyle(), bsSizeToolWin);
    EXPECT_EQ(window->FormStyle(), fsStayOnTop);
    EXPECT_EQ(window->WindowState(), wsMaximized);

    form->SetBorderStyle(bsDialog);
    form->SetFormStyle(fsNormal);
    form->SetWindowState(wsNormal);
    EXPECT_EQ(window->BorderStyle(), bsDialog);
    EXPECT_EQ(window->FormStyle(), fsNormal);
    EXPECT_EQ(window->WindowState(), wsNormal);

    TForm* tool = MakeForm();
    tool->OnClose = [](TObject*, TCloseAction& action) { action = caMinimize; };
    tool->Show();
    host.RequestClose(*tool);
    EXPECT_EQ(tool->GetWindowState(), wsMinimized);
    EXPECT_EQ(host.WindowOf(*tool)->WindowState(), wsMinimized);
}

TEST_F(GuiForm, AnExceptionInOnCreateIsShownAndTheFormStays) {
    struct Failing : TForm {
        Failing() {
            OnCreate = [](TObject*) { throw Exception("Cannot find ini.xml"); };
        }
    };
    host.AnswerMessageBox(IDOK, "Cannot find ini.xml.");
    auto* form = Application->CreateForm<Failing>();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(Application->GetMainForm(), form);
    EXPECT_EQ(host.PendingScripts(), 0u);
}

TEST_F(GuiForm, PositionsPlaceAFormWhenItFirstShows) {
    host.SetWorkArea({0, 0, 1000, 800});
    TForm* main = MakeForm(400, 300);  // at (100, 100)
    struct Case {
        TPosition position;
        bool ownedByMain;
        TRect expected;
    };
    const Case cases[] = {
        {poDesigned, false, {30, 40, 230, 190}},
        {poScreenCenter, false, {400, 325, 600, 475}},
        {poDesktopCenter, false, {400, 325, 600, 475}},
        {poMainFormCenter, false, {200, 175, 400, 325}},
        {poOwnerFormCenter, true, {200, 175, 400, 325}},
        // Owned by no form: the main form's centre.
        {poOwnerFormCenter, false, {200, 175, 400, 325}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "position " << int(c.position) << (c.ownedByMain ? ", owned" : ""));
        TForm* form = c.ownedByMain ? thorn::Make<TForm>(*main) : Application->CreateForm<TForm>();
        form->SetBounds(30, 40, 200, 150);
        form->SetPosition(c.position);
        form->Show();
        EXPECT_EQ(form->GetBoundsRect(), c.expected);
        EXPECT_EQ(host.WindowOf(*form)->Bounds(), c.expected);
        // Where the user moved it is where it shows again.
        form->Hide();
        form->SetBounds(5, 6, 200, 150);
        form->Show();
        EXPECT_EQ(form->GetLeft(), 5);
    }
    // Centred on a form near the edge, it stays on the desktop.
    main->SetBounds(-150, -100, 400, 300);
    TForm* big = Application->CreateForm<TForm>();
    big->SetBounds(0, 0, 500, 400);
    big->SetPosition(poMainFormCenter);
    big->Show();
    EXPECT_EQ(big->GetBoundsRect(), (TRect{0, 0, 500, 400}));
}

TEST_F(GuiForm, MaximisingFillsTheWorkAreaAndRestoringGivesTheBoundsBack) {
    host.SetWorkArea({0, 24, 1024, 768});
    TForm* form = MakeForm(300, 200);
    Swatch* client = AddControl<Swatch>(*form, "Client", {0, 0, 10, 10});
    client->SetAlign(alClient);
    std::vector<TSize> resizes;
    form->OnResize = [&](TObject*) { resizes.push_back({form->GetWidth(), form->GetHeight()}); };
    form->SetWindowState(wsMaximized);
    form->Show();
    EXPECT_EQ(form->GetBoundsRect(), (TRect{0, 24, 1024, 768}));
    EXPECT_EQ(client->GetBoundsRect(), (TRect{0, 0, 1024, 744}));
    form->SetWindowState(wsNormal);
    EXPECT_EQ(form->GetBoundsRect(), (TRect{100, 100, 400, 300}));
    EXPECT_EQ(client->GetWidth(), 300);
    EXPECT_EQ(resizes, (std::vector<TSize>{{1024, 744}, {300, 200}}));
    // The user's own maximising reaches the form too.
    host.ChangeWindowState(*form, wsMaximized);
    EXPECT_EQ(form->GetWindowState(), wsMaximized);
    EXPECT_EQ(client->GetWidth(), 1024);
    host.ChangeWindowState(*form, wsNormal);
    EXPECT_EQ(form->GetWindowState(), wsNormal);
    EXPECT_EQ(form->GetBoundsRect(), (TRect{100, 100, 400, 300}));

    // A window with a fixed border keeps its size when the user drags its frame.
    TForm* dialog = MakeForm(300, 200);
    dialog->SetBorderStyle(bsDialog);
    dialog->Show();
    host.ResizeWindow(*dialog, 500, 400);
    EXPECT_EQ(dialog->GetWidth(), 300);
    dialog->SetBorderStyle(bsSizeToolWin);
    host.ResizeWindow(*dialog, 500, 400);
    EXPECT_EQ(dialog->GetWidth(), 500);
}

TEST_F(GuiForm, AModalFormFreedOnCloseStillAnswersItsResult) {
    TForm* dialog = MakeForm();
    thorn::ComponentRef<TForm> ref(dialog);
    std::vector<std::string> log;
    dialog->OnShow = [&](TObject*) { log.push_back(host.IsWindowVisible(*dialog) ? "show, shown" : "show"); };
    dialog->OnHide = [&](TObject*) { log.push_back("hide"); };
    dialog->OnClose = [&](TObject*, TCloseAction& action) {
        log.push_back("close");
        action = caFree;
    };
    thorn::DialogScript script;
    script.result = mrYes;
    host.ScriptDialog(script);
    EXPECT_EQ(dialog->ShowModal(), mrYes);
    EXPECT_EQ(log, (std::vector<std::string>{"show", "close", "hide"}));
    Application->ProcessMessages();
    EXPECT_FALSE(ref);
}

}  // namespace
