#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <cstdint>

#include "SdlSession.h"
#include "bitmapui/Pix32_Image.h"
#include "gui/Application.h"
#include "gui/Timers.h"
#include "gui/sdl/SdlHost.h"

// Runs under Xvfb (see tests/CMakeLists.txt): the image control and its
// layers in a real window on an X display.
namespace {

using ImageWindow = thorn::test::SdlSession;

constexpr TColor32 kRed = 0xFFFF0000u;

TEST_F(ImageWindow, AFormWithAnImageShowsItsPixelsInARealWindow) {
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

TEST_F(ImageWindow, InputFromSdlReachesTheImageAndTimersRunOnTheRealClock) {
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

}  // namespace
