#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "support/Pixels.h"
#include "TestControls.h"
#include "gui/PopupWindow.h"

namespace {

using thorn::test::AddControl;
using thorn::test::MakeForm;
using thorn::test::Shown;
using thorn::test::Swatch;
using Log = std::vector<std::string>;

class GuiPopup : public ::testing::Test {
protected:
    GuiPopup() {
        host.SetWorkArea({0, 0, 800, 600});
        form = MakeForm(300, 200);  // at (100, 100)
        owner = AddControl<Swatch>(*form, "Owner", {20, 30, 120, 50}, &log);
        owner->SetTabStop(true);
        other = AddControl<Swatch>(*form, "Other", {20, 120, 120, 140}, &log);
        popup = thorn::Make<TPopupWindow>(*form);
        content = AddControl<Swatch>(*popup, "Inside", {0, 0, 100, 60}, &log);
        content->SetColor(clRed);
        popup->OnClosePopup = [this](TObject*, TPopupCloseReason reason) { closed.push_back(reason); };
        form->Show();
        owner->SetFocus();
    }
    thorn::HeadlessApplication session;
    thorn::HeadlessHost& host = session.Host();
    Log log;
    TForm* form = nullptr;
    Swatch* owner = nullptr;
    Swatch* other = nullptr;
    TPopupWindow* popup = nullptr;
    Swatch* content = nullptr;
    std::vector<TPopupCloseReason> closed;
};

TEST_F(GuiPopup, DropsDownBelowItsOwnerAndStaysOnTheWorkArea) {
    struct Case {
        TRect ownerBounds;  // in the form, which lies at (100, 100)
        TRect expected;     // screen
    };
    const Case cases[] = {
        {{20, 30, 120, 50}, {120, 150, 220, 210}},     // just below, left edges aligned
        {{20, 420, 120, 440}, {120, 540, 220, 600}},   // still room below
        {{20, 421, 120, 441}, {120, 461, 220, 521}},   // no room below: above the owner
        {{650, 30, 750, 50}, {700, 150, 800, 210}},    // moved left to stay on the work area
    };
    for (const Case& c : cases) {
        form->SetHeight(700);
        owner->SetBoundsRect(c.ownerBounds);
        popup->DropDown(*owner, 100, 60);
        EXPECT_EQ(popup->GetBoundsRect(), c.expected) << c.ownerBounds.Top << "," << c.ownerBounds.Left;
        EXPECT_TRUE(host.IsWindowVisible(*popup));
        popup->ClosePopup();
    }
    EXPECT_FALSE(host.IsWindowVisible(*popup));
}

// A pop-up of any size asked for is cut to the work area (800 x 600).
TEST_F(GuiPopup, IsNoLargerThanTheWorkArea) {
    struct Case {
        TRect asked;
        TRect shown;
    };
    const Case cases[] = {
        {{100, 100, 5100, 160}, {0, 100, 800, 160}},
        {{100, 100, 160, 100 + (1 << 30)}, {100, 0, 160, 600}},
        {{-(1 << 30), -(1 << 30), 1 << 30, 1 << 30}, {0, 0, 800, 600}},
        {{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, {0, 0, 800, 600}},
        {{300, 200, 250, 150}, {300, 200, 300, 200}},  // a negative size is none
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.asked.Right);
        popup->Popup(owner, c.asked);
        EXPECT_EQ(popup->GetBoundsRect(), c.shown);
        popup->ClosePopup();
    }
}

TEST_F(GuiPopup, ShowsItsContentWithoutTakingTheKeyboard) {
    popup->DropDown(*owner, 100, 60);
    Application->ProcessMessages();
    EXPECT_EQ(host.PixelAt(*popup, 50, 30), Shown(clRed));
    EXPECT_TRUE(form->GetActive());
    EXPECT_TRUE(owner->Focused());
    EXPECT_EQ(host.WindowOf(*popup)->Kind(), thorn::WindowKind::DropDown);
}

TEST_F(GuiPopup, ClosesOnEscapeAPressOutsideOrTheOwnerWindowLosingTheKeyboard) {
    TForm* elsewhere = MakeForm(50, 50);
    struct Case {
        const char* what;
        std::function<void()> act;
        TPopupCloseReason reason;
    };
    const Case cases[] = {
        {"Escape", [&] { host.PressKey(VK_ESCAPE); }, pcEscape},
        {"press on another control", [&] { host.Click(*form, 30, 130); }, pcClickOutside},
        {"press on the owner", [&] { host.Click(*form, 30, 40); }, pcClickOutside},
        {"another window activated", [&] { elsewhere->Show(); }, pcFocusLost},
        {"owner window hidden", [&] { form->Hide(); }, pcFocusLost},
        {"the program", [&] { popup->ClosePopup(); }, pcClosed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        form->Show();
        owner->SetFocus();
        popup->DropDown(*owner, 100, 60);
        log.clear();
        closed.clear();
        c.act();
        Application->ProcessMessages();
        EXPECT_FALSE(popup->IsPopupOpen());
        EXPECT_FALSE(host.IsWindowVisible(*popup));
        EXPECT_EQ(closed, std::vector<TPopupCloseReason>{c.reason});
        // The press that closes the pop-up is used up; the Escape too.
        for (const std::string& entry : log) {
            EXPECT_EQ(entry.find("down"), std::string::npos) << entry;
            EXPECT_EQ(entry.find("keydown 27"), std::string::npos) << entry;
        }
    }
}

// A press on another window closes the pop-up, and that window takes the
// keyboard: the press is the user's choice of it, whatever focus events
// the window system has sent so far.
TEST_F(GuiPopup, APressOnAnotherWindowClosesItAndThatWindowTakesTheKeyboard) {
    TForm* elsewhere = MakeForm(80, 50);
    elsewhere->Show();
    form->Show();
    ASSERT_TRUE(form->GetActive());
    popup->DropDown(*owner, 100, 60);
    host.Click(*elsewhere, 10, 10);
    EXPECT_FALSE(popup->IsPopupOpen());
    EXPECT_TRUE(elsewhere->GetActive());
    EXPECT_EQ(host.ActiveClient(), &host.WindowOf(*elsewhere)->Client());
}

TEST_F(GuiPopup, PressesInsideReachItsControlsAndKeysReachItFirst) {
    popup->DropDown(*owner, 100, 60);
    popup->OnPopupKey = [&](TObject*, TKey& key, TShiftState) {
        if (key == VK_DOWN) {
            log.push_back("popup down");
            key = 0;
        }
    };
    popup->OnPopupKeyUp = [&](TObject*, TKey& key, TShiftState) {
        log.push_back("popup up " + std::to_string(key));
        if (key == VK_DOWN) key = 0;
    };
    owner->OnKeyUp = [&](TObject*, TKey& key, TShiftState) { log.push_back("Owner keyup " + std::to_string(key)); };
    popup->OnPopupChar = [&](TObject*, char& ch) {
        if (ch == 'x') ch = 0;
    };
    log.clear();
    host.Click(*popup, 10, 10);
    host.PressKey(VK_DOWN);
    host.PressKey('A');
    host.TypeText("xy");
    EXPECT_TRUE(popup->IsPopupOpen());
    EXPECT_EQ(log, (Log{"Inside enter", "Inside move 10,10", "Inside down 10,10", "Inside click", "Inside up 10,10",
                        "popup down", "popup up 40", "Owner keydown 65", "popup up 65", "Owner keyup 65",
                        "Owner keypress y"}));
}

TEST_F(GuiPopup, APopupOpenedFromAnotherClosesWithItAndEscapeClosesTheTopOne) {
    TPopupWindow* inner = thorn::Make<TPopupWindow>(*form);
    std::vector<std::string> order;
    popup->OnClosePopup = [&](TObject*, TPopupCloseReason) { order.push_back("outer"); };
    inner->OnClosePopup = [&](TObject*, TPopupCloseReason) { order.push_back("inner"); };
    popup->DropDown(*owner, 100, 60);
    inner->DropDown(*content, 80, 40);
    EXPECT_EQ(popup->GetChildPopup(), inner);
    EXPECT_EQ(thorn::OpenPopups(), (std::vector<TPopupWindow*>{popup, inner}));

    host.PressKey(VK_ESCAPE);
    EXPECT_EQ(order, (std::vector<std::string>{"inner"}));
    EXPECT_TRUE(popup->IsPopupOpen());

    inner->DropDown(*content, 80, 40);
    order.clear();
    host.Click(*form, 200, 190);
    EXPECT_EQ(order, (std::vector<std::string>{"inner", "outer"}));
    EXPECT_TRUE(thorn::OpenPopups().empty());

    // Freeing an open pop-up takes it off the screen and out of the stack.
    popup->DropDown(*owner, 100, 60);
    thorn::Free(popup);
    EXPECT_TRUE(thorn::OpenPopups().empty());
    host.Click(*form, 30, 130);
    EXPECT_NE(std::find(log.begin(), log.end(), "Other down 10,10"), log.end());
}

}  // namespace
