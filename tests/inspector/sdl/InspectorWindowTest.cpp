#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "SdlSession.h"
#include "XScreen.h"
#include "gui/Application.h"
#include "gui/Menus.h"
#include "gui/Timers.h"
#include "inspector/Rmbtnedit.h"
#include "inspector/Rmcombobox.h"
#include "inspector/Rmhint.h"
#include "inspector/Rmlibrary.h"
#include "inspector/Rmspeedbtns.h"
#include "../ProvinceGrid.h"

// Runs under Xvfb (see tests/CMakeLists.txt): the library's buttons, spin
// button, button edit, hint window and completing combo box in a real
// window, pressed with the X pointer. With THORN_SCREENSHOT (the buttons, the
// grid) or THORN_SCREENSHOT_COMBO (the combo box) naming a file, the screen
// is saved there as a BMP picture to look at.
namespace {

using InspectorWindow = thorn::test::SdlSession;

TEST_F(InspectorWindow, ButtonsSpinAndButtonEditWorkInARealWindow) {
    thorn::test::XScreen screen;
    ASSERT_TRUE(screen.Ok());
    TForm* form = Application->CreateForm<TForm>();
    form->SetCaption("Inspector controls");
    form->SetBounds(40, 40, 440, 200);
    auto place = [&]<typename T>(T* control, TRect bounds) {
        control->SetParent(form);
        control->SetBoundsRect(bounds);
        return control;
    };
    TBitmap32 square;
    square.SetSize(12, 12);
    square.Clear(Color32(clWhite));
    square.FillRect(2, 2, 10, 10, Color32(clBlack));
    ReplaceColors(square, clBtnFace, clNavy);

    auto* normal = place(thorn::Make<TrmSpeedButton>(*form), TRect{10, 10, 90, 36});
    normal->SetCaption("&Normal");
    normal->SetGlyph(square);
    auto* flat = place(thorn::Make<TrmSpeedButton>(*form), TRect{100, 10, 126, 36});
    flat->SetFlat(true);
    flat->SetGlyph(square);
    auto* combo = place(thorn::Make<TrmSpeedButton>(*form), TRect{136, 10, 200, 36});
    combo->SetStyle(sbsComboButton);
    combo->SetCaption("Combo");
    auto* menuButton = place(thorn::Make<TrmSpeedButton>(*form), TRect{210, 10, 290, 36});
    menuButton->SetStyle(sbsMenu);
    menuButton->SetCaption("Menu");
    auto* menu = thorn::Make<TPopupMenu>(*form);
    menuButton->SetDropDownMenu(menu);
    for (int i = 0; i < 2; ++i) {
        auto* b = place(thorn::Make<TrmSpeedButton>(*form), TRect{300 + 30 * i, 10, 326 + 30 * i, 36});
        b->SetGroupIndex(1);
        b->SetCaption(i ? "B" : "A");
        b->SetDown(i == 1);
    }
    auto* off = place(thorn::Make<TrmSpeedButton>(*form), TRect{10, 46, 110, 72});
    off->SetCaption("Disabled");
    off->SetGlyph(square);
    off->SetEnabled(false);

    auto* edit = place(thorn::Make<TrmBtnEdit>(*form), TRect{10, 90, 190, 111});
    edit->SetBtn2Visible(true);
    edit->SetText("Province of the north");
    auto* spin = place(thorn::Make<TrmSpinButton>(*form), TRect{200, 86, 217, 116});
    int value = 0;
    spin->OnUpClick = [&](TObject*) { edit->SetText("Turn " + std::to_string(++value)); };
    spin->OnDownClick = [&](TObject*) { edit->SetText("Turn " + std::to_string(--value)); };
    form->Show();
    ASSERT_TRUE(RunUntil([&] { return !form->HasPendingPaint(); }));

    // Held on the up half for a second: the first repeat after 400 ms, then
    // one every 100 ms, and the release clicks once more.
    const TPoint up = spin->GetUpButton()->ClientToScreen({8, 7});
    screen.Press(up.X, up.Y);
    uint64_t until = host->Now() + 1000;
    RunUntil([&] { return host->Now() >= until; });
    screen.Release();
    ASSERT_TRUE(RunUntil([&] { return spin->GetUpButton()->GetState() == bsUp; }));
    EXPECT_FALSE(TrmTimerSpeedButton::RepeatTimer().IsRunning());
    EXPECT_GE(value, 6);
    EXPECT_LE(value, 9);
    const int held = value;
    const TPoint down = spin->GetDownButton()->ClientToScreen({8, 7});
    screen.Click(down.X, down.Y);
    ASSERT_TRUE(RunUntil([&] { return value == held - 1; }));

    const TPoint hot = flat->ClientToScreen({12, 12});
    screen.MoveTo(hot.X, hot.Y);
    ASSERT_TRUE(RunUntil([&] { return flat->IsMouseInControl(); }));

    auto hint = std::make_unique<TrmHintWindow>();
    const TRect size = hint->CalcHintRect(300, "A value too long for its cell", nullptr);
    const TPoint at = form->ClientToScreen({120, 130});
    hint->ActivateHint({at.X, at.Y, at.X + size.Right + 6, at.Y + size.Bottom + 4}, "A value too long for its cell");
    ASSERT_TRUE(RunUntil([&] { return !form->HasPendingPaint() && !hint->HasPendingPaint(); }));

    TBitmap32 shot;
    ASSERT_TRUE(RunUntil([&] {
        screen.Grab(shot);
        return shot.GetPixel(at.X + 2, at.Y + 2) == Color32(clInfoBk);
    }));
    // The down button of the group shows the dithered face.
    const TPoint dithered = form->ClientToScreen({332, 14});
    EXPECT_NE(shot.GetPixel(dithered.X, dithered.Y), shot.GetPixel(dithered.X + 1, dithered.Y));
    if (const char* file = std::getenv("THORN_SCREENSHOT")) screen.Save(file);
}

// The province grid as the editor fills it, clicked with the X pointer: a
// value cell opens its editor, a group's caption closes and opens the
// group, and a value too long for its cell shows whole in the hint.
TEST_F(InspectorWindow, AProvinceGridWorksInARealWindow) {
    thorn::test::XScreen screen;
    ASSERT_TRUE(screen.Ok());
    TForm* form = Application->CreateForm<TForm>();
    form->SetCaption("Province");
    form->SetBounds(40, 40, 320, 330);
    auto* grid = thorn::Make<TrmInspector>(*form);
    grid->SetParent(form);
    grid->SetBounds(8, 8, 300, 310);
    grid->SetBorderStyle(bsSingle);
    grid->SetSplitResize(true);
    grid->SetSplitPos(120);
    thorn::test::ProvinceGridFixture::Fill(*grid);
    grid->GetItemByName("ProvName")->SetStringValue("The Duchy of the Northern Marshes beyond the River");
    int changes = 0;
    grid->OnItemChange = [&](TObject*) { ++changes; };
    form->Show();
    ASSERT_TRUE(RunUntil([&] { return !form->HasPendingPaint(); }));
    ASSERT_TRUE(RunUntilStanding(screen, *form)) << Standing(screen, *form);

    const int h = grid->RowHeight();
    auto rowPoint = [&](int row, int x) { return grid->ClientToScreen({x, row * h + h / 2}); };
    // The Owner row's value: its combo editor opens with the focus.
    TPoint p = rowPoint(1, 200);
    screen.Click(p.X, p.Y);
    ASSERT_TRUE(RunUntil([&] { return grid->GetItemIndex() == 1 && grid->GetEditor(); }));
    ASSERT_TRUE(RunUntil([&] { return form->GetFocusedControl() == grid->GetEditor(); }));
    // The Guardian Army group closes and opens again from its caption.
    p = rowPoint(9, 40);
    screen.Click(p.X, p.Y);
    ASSERT_TRUE(RunUntil([&] { return grid->VisibleItemCount() == 11; }));
    screen.Click(p.X, p.Y);
    ASSERT_TRUE(RunUntil([&] { return grid->VisibleItemCount() == 13; }));
    // The Knights row opens its spin edit with the focus.
    p = rowPoint(11, 200);
    screen.Click(p.X, p.Y);
    ASSERT_TRUE(RunUntil([&] { return form->GetFocusedControl() == grid->GetEditor() && grid->GetItemIndex() == 11; }));
    // The long name shows whole in the hint while the pointer rests on it.
    p = rowPoint(0, 200);
    screen.MoveTo(p.X, p.Y);
    ASSERT_TRUE(RunUntil([&] {
        for (int i = 0; i < Application->GetComponentCount(); ++i)
            if (auto* hint = dynamic_cast<TrmHintWindow*>(Application->GetComponent(i)); hint && hint->GetVisible())
                return !hint->HasPendingPaint();
        return false;
    }));
    TBitmap32 shot;
    ASSERT_TRUE(RunUntil([&] {
        screen.Grab(shot);
        return shot.GetPixel(p.X + 4, p.Y + h / 2 - 2) == Color32(clInfoBk);
    }));
    // The split line, and the selected row's value cell in the window colour.
    const TPoint split = grid->ClientToScreen({grid->GetSplitPos() - 1, 3 * h + h / 2});
    EXPECT_EQ(shot.GetPixel(split.X, split.Y), Color32(clBtnShadow)) << Standing(screen, *form);
    EXPECT_EQ(shot.GetPixel(split.X + 1, split.Y), Color32(clBtnHighlight));
    EXPECT_EQ(changes, 0);
    if (const char* file = std::getenv("THORN_SCREENSHOT")) screen.Save(file);
}

// Sends a key of the SDL keyboard to the window: down, its text, up.
void SendKey(uint32_t window, SDL_Keycode key, const char* text = nullptr) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.windowID = window;
    e.key.keysym.sym = key;
    SDL_PushEvent(&e);
    if (text) {
        SDL_Event t{};
        t.type = SDL_TEXTINPUT;
        t.text.windowID = window;
        std::strncpy(t.text.text, text, sizeof t.text.text - 1);
        SDL_PushEvent(&t);
    }
    e.type = SDL_KEYUP;
    SDL_PushEvent(&e);
}

TEST_F(InspectorWindow, TheCompletingComboBoxKeepsADeletedTailDeleted) {
    thorn::test::XScreen screen;
    ASSERT_TRUE(screen.Ok());
    TForm* form = Application->CreateForm<TForm>();
    form->SetCaption("Completing combo box");
    form->SetBounds(40, 40, 260, 120);
    auto* combo = thorn::Make<TrmComboBox>(*form);
    combo->SetParent(form);
    combo->SetBounds(10, 10, 160, 0);
    combo->SetTextCompletion(true);
    for (const char* item : {"Gold", "Stone", "Wood"}) combo->GetItems()->Add(item);
    form->Show();
    ASSERT_TRUE(RunUntil([&] { return !form->HasPendingPaint(); }));
    bool clicked = false;
    combo->GetEditPart()->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { clicked = true; };
    const TPoint face = combo->ClientToScreen({20, 10});
    screen.Click(face.X, face.Y);
    uint32_t window = 0;
    for (uint32_t id = 1; id < 64 && !window; ++id)
        if (SDL_GetWindowFromID(id)) window = id;
    ASSERT_NE(window, 0u);
    if (!form->GetActive()) {
        // Without a window manager nobody hands the window the keyboard.
        SDL_Event focus{};
        focus.type = SDL_WINDOWEVENT;
        focus.window.windowID = window;
        focus.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
        SDL_PushEvent(&focus);
    }
    // The click's release is in before any key.
    ASSERT_TRUE(RunUntil([&] { return combo->GetEditPart()->Focused() && clicked; }));

    SendKey(window, SDLK_s, "s");
    ASSERT_TRUE(RunUntil([&] { return combo->GetText() == "Stone"; }));
    EXPECT_EQ(combo->GetSelText(), "tone");
    SendKey(window, SDLK_BACKSPACE);
    SendKey(window, SDLK_END);
    SendKey(window, SDLK_RETURN);
    ASSERT_TRUE(RunUntil([&] { return SDL_PeepEvents(nullptr, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 0; }));
    EXPECT_EQ(combo->GetText(), "S");
    ASSERT_TRUE(RunUntil([&] { return !form->HasPendingPaint(); }));
    if (const char* file = std::getenv("THORN_SCREENSHOT_COMBO")) screen.Save(file);
}

}  // namespace
