#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include "DropDowns.h"
#include "controls/Rmbtncombo.h"
#include "inspector/Rmspeedbtns.h"
#include "platform/StringList.h"

namespace {

class BtnCombo : public thorn::test::DropDownForm<TrmBtnCombo> {
protected:
    BtnCombo() {
        TStringList items;
        for (const char* item : {"Alpha", "Beta", "Gamma"}) items.Add(item);
        control->SetComboItems(items);
        control->OnCloseUp = [this](TObject*) { ++closeUps; };
        control->OnBtnClick = [this](TObject*) { ++ellipsis; };
    }
    TrmCustomScreenListBox& List() const { return *control->GetListBox(); }
    TCustomForm& ListWindow() const { return *List().GetScreenWindow(); }
    void ClickButton(int number) {
        TrmSpeedButton* button = control->GetButton(number);
        ClickOn(*button, {button->GetWidth() / 2, button->GetHeight() / 2});
    }
    // A press on a row of the dropped list, in its window.
    void ClickRow(int row) {
        const int h = List().GetItemHeight();
        host.Click(ListWindow(), 20, 1 + row * h + h / 2);
    }
    int closeUps = 0;
    int ellipsis = 0;
};

TEST_F(BtnCombo, DropsItsListBelowItselfOrAboveNearTheScreenBottom) {
    ClickButton(1);
    ASSERT_TRUE(control->GetDroppedDown());
    ASSERT_TRUE(host.IsWindowVisible(ListWindow()));
    TPoint at = ScreenTopLeft();
    // As wide as the control and eight times as high.
    EXPECT_EQ(ListWindow().GetBoundsRect(), (TRect{at.X, at.Y + 21, at.X + 120, at.Y + 21 + 168}));
    EXPECT_TRUE(control->Focused()) << "the keyboard stays with the combo";
    host.KeyDown(VK_DOWN, {ssAlt});
    EXPECT_FALSE(control->GetDroppedDown());
    EXPECT_EQ(closeUps, 1);

    // Near the bottom of the screen it opens above; its own sizes count.
    form->SetTop(380);
    control->SetDropDownWidth(200);
    control->SetDropDownHeight(200);
    host.PressKey(VK_F4);
    at = ScreenTopLeft();
    EXPECT_EQ(ListWindow().GetBoundsRect(), (TRect{at.X, at.Y - 200, at.X + 200, at.Y}));
    host.PressKey(VK_F4);
    EXPECT_FALSE(control->GetDroppedDown());
}

// However large its sizes, the list is no larger than the work area (800 x
// 600) and lies on it: a window of the size asked for could not be made.
TEST_F(BtnCombo, TheListIsNoLargerThanTheWorkArea) {
    struct Case {
        int width;
        int height;
    };
    const Case cases[] = {{5000, 5000}, {10'000'000, 10'000'000}, {1 << 30, 1 << 30}, {INT32_MAX, INT32_MAX}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        control->SetDropDownWidth(c.width);
        control->SetDropDownHeight(c.height);
        host.PressKey(VK_F4);
        ASSERT_TRUE(control->GetDroppedDown());
        EXPECT_EQ(ListWindow().GetBoundsRect(), (TRect{0, 0, 800, 600}));
        EXPECT_EQ(List().GetBoundsRect(), (TRect{1, 1, 799, 599}));
        host.PressKey(VK_F4);
    }
    // A size below the least useful one (which would drop an empty list)
    // takes its default: the control's width, eight times its height.
    for (const int size : {0, -1, INT32_MIN}) {
        SCOPED_TRACE(size);
        control->SetDropDownWidth(size);
        control->SetDropDownHeight(size);
        ClickButton(1);
        ASSERT_TRUE(control->GetDroppedDown());
        const TPoint at = ScreenTopLeft();
        EXPECT_EQ(ListWindow().GetBoundsRect(), (TRect{at.X, at.Y + 21, at.X + 120, at.Y + 21 + 168}));
        ClickButton(1);
    }
    // A height alone keeps the control's width; the list covers the screen
    // from top to bottom, as no room is enough above or below.
    control->SetDropDownWidth(0);
    control->SetDropDownHeight(10'000'000);
    host.PressKey(VK_F4);
    const TPoint at = ScreenTopLeft();
    EXPECT_EQ(ListWindow().GetBoundsRect(), (TRect{at.X, 0, at.X + 120, 600}));
}

TEST_F(BtnCombo, TheListPicksByKeyboardAndMouseAndClosesOnEscapeOrAClickOutside) {
    struct Case {
        const char* what;
        std::function<void()> act;
        const char* text;
        bool focusMoved;
    };
    const Case cases[] = {
        {"Down twice and Enter", [&] { host.PressKey(VK_DOWN); host.PressKey(VK_DOWN); host.PressKey(VK_RETURN); },
         "Beta", false},
        {"a press on a row", [&] { ClickRow(2); }, "Gamma", false},
        {"Escape", [&] { host.PressKey(VK_DOWN); host.PressKey(VK_ESCAPE); }, "", false},
        {"a click outside, on the other edit", [&] { ClickOn(*other, {5, 5}); }, "", false},
        {"Tab to the other edit", [&] { host.PressKey(VK_TAB); }, "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        control->SetItemIndex(-1);
        control->SetFocus();
        host.KeyDown(VK_DOWN, {ssAlt});
        host.KeyUp(VK_DOWN, {ssAlt});
        ASSERT_TRUE(control->GetDroppedDown());
        c.act();
        EXPECT_FALSE(control->GetDroppedDown());
        EXPECT_FALSE(host.IsWindowVisible(ListWindow()));
        EXPECT_EQ(control->GetText(), c.text);
        EXPECT_EQ(other->Focused(), c.focusMoved) << "a click outside is used up";
    }
    EXPECT_EQ(closeUps, 1) << "only the focus leaving closes it up";
}

TEST_F(BtnCombo, TheKeysStepThroughTheItemsWhileTheListIsClosed) {
    host.PressKey(VK_UP);
    EXPECT_EQ(control->GetText(), "Alpha") << "Up on an empty text selects the first item";
    host.PressKey(VK_END);
    EXPECT_EQ(control->GetItemIndex(), 2);
    host.PressKey(VK_DOWN);
    EXPECT_EQ(control->GetText(), "Gamma") << "the last item stays";
    host.PressKey(VK_HOME);
    host.PressKey(VK_RIGHT);
    EXPECT_EQ(control->GetText(), "Beta");
    EXPECT_FALSE(control->GetDroppedDown());
    control->SetItemIndex(-1);
    EXPECT_EQ(control->GetText(), "");

    // With the editor off nothing is typed or deleted; the arrows still step.
    control->SetEditorEnabled(false);
    control->SetItemIndex(0);
    Type("x");
    host.PressKey(VK_END);
    host.PressKey(VK_DELETE);
    EXPECT_EQ(control->GetText(), "Gamma");
    host.PressKey(VK_LEFT);
    EXPECT_EQ(control->GetText(), "Beta");

    // The ellipsis button and Ctrl+Enter raise OnBtnClick.
    ClickButton(2);
    host.PressKey(VK_RETURN, {ssCtrl});
    EXPECT_EQ(ellipsis, 2);
    control->SetEnabled(false);
    EXPECT_FALSE(control->GetButton(1)->GetEnabled());
    EXPECT_FALSE(control->GetButton(2)->GetEnabled());
}

TEST_F(BtnCombo, TheArrowButtonShowsTheSymbolFontsDownArrow) {
    TrmSpeedButton& arrow = *control->GetButton(1);
    EXPECT_EQ(arrow.GetCaption(), "6");
    EXPECT_EQ(arrow.GetFont().GetName(), "Marlett");
    EXPECT_TRUE(arrow.GetGlyph().Empty());
    EXPECT_FALSE(control->GetButton(2)->GetGlyph().Empty()) << "the ellipsis";
    // The arrow is drawn: dark pixels in the middle of the button face.
    Application->ProcessMessages();
    const TPoint middle = arrow.ClientToParent({arrow.GetWidth() / 2, arrow.GetHeight() / 2}, form);
    int dark = 0;
    for (int dy = -3; dy <= 3; ++dy)
        for (int dx = -4; dx <= 4; ++dx)
            if ((host.PixelAt(*form, middle.X + dx, middle.Y + dy) & 0xFFFFFF) == 0) ++dark;
    EXPECT_GT(dark, 5);
}

}  // namespace
