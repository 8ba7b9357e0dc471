#include <gtest/gtest.h>

#include "TestControls.h"
#include "gui/ActnList.h"
#include "gui/HintWindow.h"
#include "gui/ImageList.h"
#include "gui/ToolBar.h"
#include "gui/ToolButton.h"

namespace {

using thorn::test::MakeForm;
using thorn::test::OnForm;
using thorn::test::Place;

// A flat bar of 29 x 26 buttons with 20 x 20 images, one colour each:
// a plain button, three grouped check buttons (the view modes), a
// separator, one more grouped check button (a group of its own), a lone
// check button and a button tied to an action.
class GuiToolBar : public ::testing::Test {
protected:
    static constexpr TColor kColors[] = {clRed, clGreen, clBlue, clYellow, clAqua, clFuchsia};

    GuiToolBar() {
        form = MakeForm(400, 200);
        images = thorn::Make<TImageList>(*form, 20, 20);
        for (TColor color : kColors) {
            TBitmap32 picture;
            picture.SetSize(20, 20);
            picture.Clear(Color32(color));
            images->AddMasked(picture, clNone);
        }
        bar = Place<TToolBar>(*form, {0, 0, 400, 34});
        bar->SetFlat(true);
        bar->SetImages(images);
        bar->SetButtonWidth(29);
        bar->SetButtonHeight(26);
        bar->SetShowHint(true);
        for (int i = 0; i < 8; ++i) {
            TToolButton* b = Place<TToolButton>(*bar, {});
            b->SetImageIndex(i % 6);
            b->OnClick = [this, i](TObject*) { clicks.push_back(i); };
            buttons.push_back(b);
        }
        for (int i : {1, 2, 3, 5}) {
            buttons[i]->SetStyle(tbsCheck);
            buttons[i]->SetGrouped(true);
        }
        buttons[4]->SetStyle(tbsSeparator);
        buttons[6]->SetStyle(tbsCheck);
        actions = thorn::Make<TActionList>(*form);
        action = thorn::Make<TAction>(*form);
        action->SetActionList(actions);
        action->SetHint("Names|Show the names of the provinces");
        action->SetImageIndex(3);
        action->SetAutoCheck(true);
        action->OnExecute = [this](TObject*) { clicks.push_back(100); };
        buttons[7]->SetAction(action);
        form->Show();
    }
    TPoint Centre(const TControl& c) const { return OnForm(c, {c.GetWidth() / 2, c.GetHeight() / 2}); }
    void ClickOn(const TControl& c) {
        TPoint p = Centre(c);
        host.Click(*form, p.X, p.Y);
    }
    std::vector<bool> Downs() const {
        std::vector<bool> downs;
        for (TToolButton* b : buttons) downs.push_back(b->GetDown());
        return downs;
    }
    TColor32 Pixel(const TControl& c, int x, int y) const {
        TPoint p = OnForm(c, {x, y});
        return host.PixelAt(*form, p.X, p.Y);
    }

    thorn::HeadlessApplication session;
    thorn::HeadlessHost& host = session.Host();
    TForm* form = nullptr;
    TImageList* images = nullptr;
    TToolBar* bar = nullptr;
    std::vector<TToolButton*> buttons;
    std::vector<int> clicks;
    TActionList* actions = nullptr;
    TAction* action = nullptr;
};

TEST_F(GuiToolBar, ButtonsStandInOrderAndHiddenOnesLeaveNoGap) {
    EXPECT_EQ(bar->GetButtonCount(), 8);
    EXPECT_EQ(buttons[3]->GetBoundsRect(), (TRect{87, 2, 116, 28}));
    EXPECT_EQ(buttons[4]->GetBoundsRect(), (TRect{116, 2, 124, 28}));  // a separator keeps its own width
    EXPECT_EQ(buttons[5]->GetLeft(), 124);
    EXPECT_EQ(buttons[5]->GetIndex(), 5);
    action->SetVisible(false);  // the button goes with its action
    EXPECT_FALSE(buttons[7]->GetVisible());
    buttons[1]->SetVisible(false);
    EXPECT_EQ(buttons[2]->GetLeft(), 29);
    bar->SetButtonWidth(30);
    EXPECT_EQ(buttons[5]->GetLeft(), 30 * 3 + 8);
}

TEST_F(GuiToolBar, CheckButtonsStayDownAndGroupedOnesTakeTurns) {
    struct Step {
        int click;
        std::vector<bool> downs;
    };
    const Step steps[] = {
        {0, {false, false, false, false, false, false, false, false}},  // a plain button comes up again
        {1, {false, true, false, false, false, false, false, false}},
        {2, {false, false, true, false, false, false, false, false}},  // the group's other one comes up
        {2, {false, false, true, false, false, false, false, false}},  // the down one stays down
        {5, {false, false, true, false, false, true, false, false}},   // the separator ends the group
        {6, {false, false, true, false, false, true, true, false}},
        {6, {false, false, true, false, false, true, false, false}},   // a lone check button comes up
        {4, {false, false, true, false, false, true, false, false}},   // a separator is no button
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(testing::Message() << "click on " << step.click);
        clicks.clear();
        ClickOn(*buttons[step.click]);
        EXPECT_EQ(Downs(), step.downs);
        EXPECT_EQ(clicks, step.click == 4 ? std::vector<int>{} : std::vector<int>{step.click});
    }
    // With AllowAllUp the whole group may be up.
    buttons[2]->SetAllowAllUp(true);
    ClickOn(*buttons[2]);
    EXPECT_FALSE(buttons[2]->GetDown());
    // Pressed, then let go away from the button: no click, nothing changes.
    clicks.clear();
    TPoint p = Centre(*buttons[1]);
    host.Drag(*form, p, {p.X, p.Y + 60});
    EXPECT_TRUE(clicks.empty());
    EXPECT_FALSE(buttons[1]->GetDown());
}

TEST_F(GuiToolBar, AButtonTiedToAnActionShowsItsStateAndRunsIt) {
    EXPECT_EQ(buttons[7]->GetImageIndex(), 3);
    EXPECT_EQ(buttons[7]->GetHint(), "Names|Show the names of the provinces");
    ClickOn(*buttons[7]);
    EXPECT_EQ(clicks, std::vector<int>{100});  // the action, not the button's OnClick
    EXPECT_TRUE(action->GetChecked());
    EXPECT_TRUE(buttons[7]->GetDown());
    action->SetChecked(false);
    EXPECT_FALSE(buttons[7]->GetDown());
    action->SetImageIndex(5);
    EXPECT_EQ(buttons[7]->GetImageIndex(), 5);
    action->SetEnabled(false);
    ClickOn(*buttons[7]);
    EXPECT_EQ(clicks.size(), 1u);

    // Resting on a button shows the short part of its hint.
    action->SetEnabled(true);
    TPoint p = Centre(*buttons[7]);
    host.MouseMove(*form, p.X, p.Y);
    host.MouseMove(*form, p.X + 1, p.Y);
    host.Advance(600);
    ASSERT_NE(Application->GetHintWindow(), nullptr);
    EXPECT_TRUE(Application->GetHintWindow()->GetVisible());
    EXPECT_EQ(Application->GetHintWindow()->GetCaption(), "Names");
}

TEST_F(GuiToolBar, FlatButtonsRiseUnderThePointerAndShowTheirImages) {
    Application->ProcessMessages();
    const TToolButton& plain = *buttons[0];
    EXPECT_EQ(Pixel(plain, 14, 13), Color32(clRed));           // the image, centred
    EXPECT_EQ(Pixel(plain, 0, 0), Color32(clBtnFace));        // flat: no edge at rest
    host.MouseMove(*form, Centre(plain).X, Centre(plain).Y);
    EXPECT_EQ(Pixel(plain, 0, 0), Color32(clBtnHighlight));   // raised under the pointer
    EXPECT_EQ(Pixel(plain, 28, 25), Color32(clBtnShadow));
    host.MouseDown(*form, Centre(plain).X, Centre(plain).Y);
    EXPECT_EQ(Pixel(plain, 0, 0), Color32(clBtnShadow));      // sunk while held
    EXPECT_EQ(Pixel(plain, 15, 14), Color32(clRed));          // the image moves with it
    host.MouseUp(*form, Centre(plain).X, Centre(plain).Y);
    // A down button away from the pointer: sunk, on a dithered face.
    ClickOn(*buttons[6]);
    host.MouseMove(*form, 390, 100);
    EXPECT_EQ(Pixel(*buttons[6], 0, 0), Color32(clBtnShadow));
    EXPECT_NE(Pixel(*buttons[6], 1, 1), Pixel(*buttons[6], 2, 1));
    // Disabled, the image is greyed.
    buttons[0]->SetEnabled(false);
    Application->ProcessMessages();
    EXPECT_NE(Pixel(plain, 14, 13), Color32(clRed));
}

}  // namespace
