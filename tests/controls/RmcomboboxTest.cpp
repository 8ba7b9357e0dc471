#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <iterator>
#include <string>

#include "DropDowns.h"
#include "controls/Rmcombobox.h"
#include "inspector/Rmspeedbtns.h"
#include "platform/StringList.h"

namespace {

class NewComboBox : public thorn::test::DropDownForm<TrmNewComboBox> {
protected:
    NewComboBox() {
        control->OnChanged = [this](TObject*) { ++changed; };
        control->OnCloseUp = [this](TObject*) { ++closeUps; };
    }
    void Fill(int count) {
        TStringList items;
        for (int i = 0; i < count; ++i) items.Add("Item " + std::to_string(i));
        control->SetComboItems(items);
    }
    TCustomForm& ListWindow() const { return *control->GetListBox()->GetScreenWindow(); }
    void ClickRow(int row) {
        const int h = control->GetItemHeight();
        host.Click(ListWindow(), 20, 1 + row * h + h / 2);
    }
    void Drop() {
        host.KeyDown(VK_DOWN, {ssAlt});
        host.KeyUp(VK_DOWN, {ssAlt});
    }
    int changed = 0;
    int closeUps = 0;
};

TEST_F(NewComboBox, TheListIsAsHighAsItsItemsUpToDropDownCount) {
    const int h = control->GetItemHeight();
    ASSERT_GT(h, 0);
    // A count or width below the least useful one (which would drop an
    // empty list) takes its default: 8 items, the control's width.
    struct Case {
        int items;
        int dropDownCount;
        int dropDownWidth;
        int rows;
        int width;
    };
    const Case cases[] = {
        {3, 8, 0, 3, 120},          {20, 8, 0, 8, 120},  {0, 8, 0, 1, 120},         {20, 3, 150, 3, 150},
        {20, 0, -1, 8, 120},        {20, -1, 0, 8, 120}, {20, INT32_MIN, INT32_MIN, 8, 120},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.items << " items, count " << c.dropDownCount << ", width "
                                        << c.dropDownWidth);
        Fill(c.items);
        control->SetDropDownCount(c.dropDownCount);
        control->SetDropDownWidth(c.dropDownWidth);
        TrmSpeedButton* arrow = control->Btn1();
        ClickOn(*arrow, {arrow->GetWidth() / 2, arrow->GetHeight() / 2});
        ASSERT_TRUE(control->DroppedDown());
        const TPoint at = ScreenTopLeft();
        EXPECT_EQ(ListWindow().GetBoundsRect(),
                  (TRect{at.X, at.Y + 21, at.X + c.width, at.Y + 21 + c.rows * h + 2}));
        host.PressKey(VK_F4);
        EXPECT_FALSE(control->DroppedDown());
    }
    EXPECT_EQ(closeUps, static_cast<int>(std::size(cases)));
}

TEST_F(NewComboBox, StepsAndPicksRaiseOnChangedOnlyForAnotherItem) {
    Fill(3);
    struct Case {
        const char* what;
        std::function<void()> act;
        const char* text;
        int changes;
    };
    const Case cases[] = {
        {"Down from the first", [&] { host.PressKey(VK_DOWN); }, "Item 1", 1},
        {"Down on the last", [&] { control->SetItemIndex(2); host.PressKey(VK_DOWN); }, "Item 2", 0},
        {"Up on the first", [&] { control->SetItemIndex(0); host.PressKey(VK_UP); }, "Item 0", 0},
        {"the same item by mouse", [&] { Drop(); ClickRow(0); }, "Item 0", 0},
        {"another item by mouse", [&] { Drop(); ClickRow(2); }, "Item 2", 1},
        {"the same item by Enter", [&] { Drop(); host.PressKey(VK_RETURN); }, "Item 0", 1},
        {"Escape in the list", [&] { Drop(); host.PressKey(VK_DOWN); host.PressKey(VK_ESCAPE); }, "Item 0", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        control->SetItemIndex(0);
        changed = 0;
        c.act();
        EXPECT_FALSE(control->DroppedDown());
        EXPECT_EQ(control->GetText(), c.text);
        EXPECT_EQ(changed, c.changes);
    }
    control->SetItemIndex(-1);
    EXPECT_EQ(control->GetText(), "");
}

TEST_F(NewComboBox, LeavingTheControlClosesTheListUp) {
    Fill(3);
    Drop();
    ASSERT_TRUE(control->DroppedDown());
    host.PressKey(VK_TAB);
    EXPECT_TRUE(other->Focused());
    EXPECT_FALSE(host.IsWindowVisible(ListWindow()));
    EXPECT_EQ(closeUps, 1);
}

}  // namespace
