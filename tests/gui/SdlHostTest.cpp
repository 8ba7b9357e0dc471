#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "TestControls.h"
#include "gui/sdl/SdlHost.h"
#include "gui/sdl/SdlKeys.h"

// The SDL host on SDL's display-less driver: windows, presenting and reading
// pixels back, and the translation of SDL's input.
namespace {

using thorn::test::AddControl;
using thorn::test::Swatch;

class GuiSdlHost : public ::testing::Test {
protected:
    GuiSdlHost() {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        auto sdl = std::make_unique<thorn::SdlHost>();
        host = sdl.get();
        app = std::make_unique<TApplication>(std::move(sdl));
        form = Application->CreateForm<TForm>();
        form->SetBounds(0, 0, 80, 60);
        swatch = AddControl<Swatch>(*form, "Field", {10, 10, 30, 20}, &log);
        swatch->SetColor(clRed);
        swatch->SetTabStop(true);
        form->Show();
        Application->ProcessMessages();
    }
    uint32_t WindowId() const {
        for (uint32_t id = 1; id < 64; ++id)
            if (SDL_GetWindowFromID(id)) return id;
        return 0;
    }
    thorn::SdlHost* host = nullptr;
    std::unique_ptr<TApplication> app;
    TForm* form = nullptr;
    Swatch* swatch = nullptr;
    std::vector<std::string> log;
};

TEST_F(GuiSdlHost, PresentedPixelsReadBackOpaque) {
    EXPECT_EQ(host->VideoDriver(), "dummy");
    TBitmap32 shot;
    form->GetHostWindow()->ReadPixels(shot);
    ASSERT_EQ(shot.Width(), 80);
    EXPECT_EQ(shot.GetPixel(15, 15), 0xFFFF0000u);
    EXPECT_EQ(shot.GetPixel(5, 5), Color32(clBtnFace));
}

TEST_F(GuiSdlHost, TypedTextArrivesInWindows1252) {
    ASSERT_TRUE(swatch->Focused() || (swatch->SetFocus(), true));
    log.clear();
    SDL_Event text{};
    text.type = SDL_TEXTINPUT;
    text.text.windowID = WindowId();
    std::strcpy(text.text.text, "\xC3\xA9\xE2\x82\xAC");  // "é€" in UTF-8
    SDL_PushEvent(&text);
    std::strcpy(text.text.text, "\xE4\xB8\xAD");  // a character the code page lacks
    SDL_PushEvent(&text);
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.windowID = WindowId();
    key.key.keysym.sym = SDLK_F5;
    SDL_PushEvent(&key);
    Application->ProcessMessages();
    EXPECT_EQ(log, (std::vector<std::string>{"Field keypress \xE9", "Field keypress \x80", "Field keydown 116"}));
}

TEST_F(GuiSdlHost, AFormFreedByTypingTakesNoMoreOfTheText) {
    swatch->SetFocus();
    swatch->OnKeyPress = [&](TObject*, char&) { thorn::Free(form); };
    log.clear();
    SDL_Event text{};
    text.type = SDL_TEXTINPUT;
    text.text.windowID = WindowId();
    std::strcpy(text.text.text, "ab");
    SDL_PushEvent(&text);
    Application->ProcessMessages();
    EXPECT_EQ(log, (std::vector<std::string>{"Field keypress a"}));
    EXPECT_EQ(Screen->GetFormCount(), 0);
}

TEST_F(GuiSdlHost, AQuickCtrlClickKeepsTheKeysAndButtonsOfItsOwnMoment) {
    // Ctrl down, a click, Ctrl up, all queued before the host looks: each
    // event is taken with what was held when it came.
    std::vector<std::string> seen;
    const auto note = [&](const char* what, TShiftState s) {
        seen.push_back(std::string(what) + (s.Contains(ssCtrl) ? " ctrl" : "") + (s.Contains(ssLeft) ? " left" : ""));
    };
    swatch->OnMouseDown = [&](TObject*, TMouseButton, TShiftState s, int, int) { note("down", s); };
    swatch->OnMouseUp = [&](TObject*, TMouseButton, TShiftState s, int, int) { note("up", s); };
    const auto key = [&](uint32_t type, uint16_t mod) {
        SDL_Event e{};
        e.type = type;
        e.key.windowID = WindowId();
        e.key.keysym.sym = SDLK_LCTRL;
        e.key.keysym.mod = mod;
        SDL_PushEvent(&e);
    };
    const auto button = [&](uint32_t type) {
        SDL_Event e{};
        e.type = type;
        e.button.windowID = WindowId();
        e.button.button = SDL_BUTTON_LEFT;
        e.button.clicks = 1;
        e.button.x = 15;
        e.button.y = 15;
        SDL_PushEvent(&e);
    };
    key(SDL_KEYDOWN, KMOD_LCTRL);
    button(SDL_MOUSEBUTTONDOWN);
    button(SDL_MOUSEBUTTONUP);
    key(SDL_KEYUP, KMOD_NONE);
    button(SDL_MOUSEBUTTONDOWN);
    button(SDL_MOUSEBUTTONUP);
    Application->ProcessMessages();
    EXPECT_EQ(seen, (std::vector<std::string>{"down ctrl left", "up ctrl", "down left", "up"}));
}

TEST(SdlKeys, KeysMapToThePlatformsVirtualKeys) {
    EXPECT_EQ(thorn::VirtualKeyOfSdl(SDLK_a), 'A');
    EXPECT_EQ(thorn::VirtualKeyOfSdl(SDLK_7), '7');
    EXPECT_EQ(thorn::VirtualKeyOfSdl(SDLK_RETURN), VK_RETURN);
    EXPECT_EQ(thorn::VirtualKeyOfSdl(SDLK_KP_ENTER), VK_RETURN);
    EXPECT_EQ(thorn::VirtualKeyOfSdl(SDLK_F12), VK_F12);
    EXPECT_EQ(thorn::VirtualKeyOfSdl(SDLK_PAGEDOWN), VK_NEXT);
    EXPECT_EQ(thorn::VirtualKeyOfSdl(SDLK_KP_5), VK_NUMPAD0 + 5);
    EXPECT_EQ(thorn::VirtualKeyOfSdl(SDLK_UNDO), 0);
    EXPECT_EQ(thorn::ShiftOfSdlMods(KMOD_LSHIFT | KMOD_RCTRL), (TShiftState{ssShift, ssCtrl}));
}

}  // namespace
