#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

#include "bitmap/Pix32_Image.h"
#include "gui/Application.h"
#include "gui/Edit.h"
#include "gui/Timers.h"
#include "SdlSession.h"
#include "gui/sdl/SdlHost.h"
#include "platform/Beep.h"

// Runs under Xvfb (see tests/CMakeLists.txt): real windows on an X display.
namespace {

constexpr TColor32 kRed = 0xFFFF0000u;

using SdlWindow = thorn::test::SdlSession;

TEST_F(SdlWindow, AFormWithAnImageShowsItsPixelsInARealWindow) {
    EXPECT_EQ(host->VideoDriver(), "x11");
    TForm* form = Application->CreateForm<TForm>();
    form->SetCaption("Thornvale II Map Editor");
    form->SetBounds(50, 60, 160, 120);
    TImage32* image = thorn::Make<TImage32>(*form);
    image->SetParent(form);
    image->SetBounds(10, 10, 100, 80);
    image->SetScaleMode(smScale);
    image->SetScale(2);
    image->GetBitmap()->SetSize(50, 40);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 50; ++x) image->GetBitmap()->SetPixel(x, y, 0xFF000000u | x << 16 | y << 8 | 0x40);
    auto* layer = image->GetLayers()->Add<TBitmapLayer>();
    layer->GetBitmap()->SetSize(1, 1);
    layer->GetBitmap()->Clear(0x00FF0000u);  // alpha 0: the layer blends it away...
    layer->GetBitmap()->SetDrawMode(dmOpaque);  // ...unless it is drawn opaque
    layer->SetLocation({60, 50, 70, 60});
    form->Show();
    ASSERT_TRUE(RunUntil([&] { return form->GetHostWindow() != nullptr && !form->HasPendingPaint(); }));

    TBitmap32 shot;
    ASSERT_TRUE(RunUntil([&] {
        form->GetHostWindow()->ReadPixels(shot);
        return shot.Width() == 160 && shot.Height() == 120 && shot.GetPixel(0, 0) == Color32(clBtnFace);
    }));
    EXPECT_EQ(shot.GetPixel(5, 5), Color32(clBtnFace));
    EXPECT_EQ(shot.GetPixel(10, 10), 0xFF000040u);   // bitmap (0, 0)
    EXPECT_EQ(shot.GetPixel(31, 21), 0xFF0A0540u);   // bitmap (10, 5), zoomed twice
    EXPECT_EQ(shot.GetPixel(75, 65), kRed);          // the layer; alpha is ignored when shown
    EXPECT_EQ(shot.GetPixel(109, 89), 0xFF312740u);  // bitmap (49, 39)
    EXPECT_EQ(shot.GetPixel(110, 90), Color32(clBtnFace));
}

TEST_F(SdlWindow, InputFromSdlReachesTheImageAndTimersRunOnTheRealClock) {
    TForm* form = Application->CreateForm<TForm>();
    form->SetBounds(0, 0, 120, 100);
    TImage32* image = thorn::Make<TImage32>(*form);
    image->SetParent(form);
    image->SetBounds(0, 0, 120, 100);
    image->GetBitmap()->SetSize(120, 100);
    auto* layer = image->GetLayers()->Add<TBitmapLayer>();
    layer->SetLocation({20, 20, 40, 40});
    TCustomLayer* pressed = nullptr;
    int pressX = -1;
    image->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int x, int, TCustomLayer* l) {
        pressed = l;
        pressX = x;
    };
    form->Show();
    ASSERT_TRUE(RunUntil([&] { return !form->HasPendingPaint(); }));

    // A press as SDL reports it to the window.
    SDL_Event press{};
    press.type = SDL_MOUSEBUTTONDOWN;
    press.button.windowID = SDL_GetWindowID(SDL_GetMouseFocus() ? SDL_GetMouseFocus() : nullptr);
    for (uint32_t id = 1; id < 64 && press.button.windowID == 0; ++id)
        if (SDL_GetWindowFromID(id)) press.button.windowID = id;
    press.button.button = SDL_BUTTON_LEFT;
    press.button.clicks = 1;
    press.button.x = 25;
    press.button.y = 30;
    SDL_PushEvent(&press);
    ASSERT_TRUE(RunUntil([&] { return pressed != nullptr; }));
    EXPECT_EQ(pressed, layer);
    EXPECT_EQ(pressX, 25);

    TTimer* timer = thorn::Make<TTimer>(*form);
    timer->SetInterval(20);
    int ticks = 0;
    timer->SetOnTimer([&](TObject*) { ++ticks; });
    uint64_t start = host->Now();
    ASSERT_TRUE(RunUntil([&] { return ticks >= 3; }));
    EXPECT_GE(host->Now() - start, 60u);
}

TEST_F(SdlWindow, BorderStyleAndFormStyleSetTheRealWindowsFlags) {
    TForm* form = Application->CreateForm<TForm>();
    form->SetCaption("Events List");
    form->SetBounds(40, 40, 120, 100);
    form->SetBorderStyle(bsSingle);
    form->SetFormStyle(fsStayOnTop);
    form->Show();
    ASSERT_TRUE(RunUntil([&] { return !form->HasPendingPaint(); }));
    SDL_Window* window = nullptr;
    for (uint32_t id = 1; id < 64 && !window; ++id) {
        SDL_Window* w = SDL_GetWindowFromID(id);
        if (w && std::string_view(SDL_GetWindowTitle(w)) == "Events List") window = w;
    }
    ASSERT_NE(window, nullptr);
    auto flags = [&] { return SDL_GetWindowFlags(window); };

    EXPECT_FALSE(flags() & SDL_WINDOW_RESIZABLE);
    EXPECT_FALSE(flags() & SDL_WINDOW_BORDERLESS);
    EXPECT_TRUE(flags() & SDL_WINDOW_ALWAYS_ON_TOP);
    form->SetBorderStyle(bsSizeToolWin);
    form->SetFormStyle(fsNormal);
    EXPECT_TRUE(flags() & SDL_WINDOW_RESIZABLE);
    EXPECT_FALSE(flags() & SDL_WINDOW_ALWAYS_ON_TOP);
    form->SetBorderStyle(bsNone);
    EXPECT_TRUE(flags() & SDL_WINDOW_BORDERLESS);
    EXPECT_FALSE(flags() & SDL_WINDOW_RESIZABLE);
}

// The id of the one SDL window the test shows.
uint32_t ShownWindowId() {
    for (uint32_t id = 1; id < 64; ++id)
        if (SDL_GetWindowFromID(id)) return id;
    return 0;
}

TEST_F(SdlWindow, TextTypedOnTheKeyboardReachesTheFocusedEdit) {
    TForm* form = Application->CreateForm<TForm>();
    form->SetBounds(40, 40, 200, 80);
    TEdit* edit = thorn::Make<TEdit>(*form);
    edit->SetParent(form);
    edit->SetBounds(10, 10, 150, 21);
    form->Show();
    ASSERT_TRUE(RunUntil([&] { return !form->HasPendingPaint(); }));
    uint32_t id = ShownWindowId();
    ASSERT_NE(id, 0u);
    if (!form->GetActive()) {
        // Without a window manager nobody hands the window the keyboard.
        SDL_Event focus{};
        focus.type = SDL_WINDOWEVENT;
        focus.window.windowID = id;
        focus.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
        SDL_PushEvent(&focus);
    }
    ASSERT_TRUE(RunUntil([&] { return edit->Focused(); }));

    int beeps = 0;
    auto previous = thorn::SetBeepSink([&](uint32_t) { ++beeps; });
    SDL_Event text{};
    text.type = SDL_TEXTINPUT;
    text.text.windowID = id;
    std::strcpy(text.text.text, "h\xC3\xA9llo\xE2\x86\x92");  // hello with an e acute, then an arrow
    SDL_PushEvent(&text);
    SDL_Event back{};
    back.type = SDL_KEYDOWN;
    back.key.windowID = id;
    back.key.keysym.sym = SDLK_BACKSPACE;
    SDL_PushEvent(&back);
    bool typed = RunUntil([&] { return edit->GetText() == "h\xE9ll"; });
    thorn::SetBeepSink(std::move(previous));
    EXPECT_TRUE(typed) << edit->GetText();
    EXPECT_EQ(beeps, 1);  // the arrow is not in Windows-1252
    EXPECT_EQ(edit->GetSelStart(), 4);
}

}  // namespace
