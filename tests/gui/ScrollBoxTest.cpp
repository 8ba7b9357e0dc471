#include <gtest/gtest.h>

#include "TestControls.h"
#include "gui/ScrollBars.h"
#include "gui/ScrollBox.h"

namespace {

using thorn::kScrollBarSize;
using thorn::test::AddControl;
using thorn::test::MakeForm;
using thorn::test::OnForm;
using thorn::test::Place;
using thorn::test::Swatch;

// A 200 x 150 box with a sunken edge around a 400 x 300 picture at (8, 8).
class GuiScrollBox : public ::testing::Test {
protected:
    GuiScrollBox() {
        form = MakeForm(300, 250);
        box = Place<TScrollBox>(*form, {10, 10, 210, 160});
        picture = AddControl<Swatch>(*box, "Picture", {8, 8, 408, 308});
        picture->SetColor(clTeal);
        form->Show();
    }
    TControlScrollBar& Horz() { return box->HorzScrollBar(); }
    TControlScrollBar& Vert() { return box->VertScrollBar(); }
    // A point on the vertical bar, `along` pixels from its top.
    TPoint OnVerticalBar(int along) const { return OnForm(*box, {box->GetClientWidth() + 8, along}); }

    thorn::HeadlessApplication session;
    thorn::HeadlessHost& host = session.Host();
    TForm* form = nullptr;
    TScrollBox* box = nullptr;
    Swatch* picture = nullptr;
};

TEST_F(GuiScrollBox, AChildLargerThanTheBoxGivesItBarsAndTheProgramScrollsIt) {
    EXPECT_TRUE(Horz().IsScrollBarVisible());
    EXPECT_TRUE(Vert().IsScrollBarVisible());
    EXPECT_EQ(Horz().GetRange(), 408);
    EXPECT_EQ(Vert().GetRange(), 308);
    EXPECT_EQ(box->GetClientRect(), (TRect{0, 0, 196 - kScrollBarSize, 146 - kScrollBarSize}));
    struct Case {
        int horizontal, vertical;
        TPoint position;  // kept within the range less the page
    };
    const Case cases[] = {
        {100, 50, {100, 50}},
        {1000, 1000, {408 - 180, 308 - 130}},
        {-5, 0, {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.horizontal << ", " << c.vertical);
        Horz().SetPosition(c.horizontal);
        Vert().SetPosition(c.vertical);
        EXPECT_EQ(Horz().GetPosition(), c.position.X);
        EXPECT_EQ(Vert().GetScrollPos(), c.position.Y);
        // The child moves; the range stays what it was.
        EXPECT_EQ(picture->GetLeft(), 8 - c.position.X);
        EXPECT_EQ(picture->GetTop(), 8 - c.position.Y);
        EXPECT_EQ(Horz().GetRange(), 408);
    }
    // What is shown is the child, moved.
    Horz().SetPosition(100);
    Application->ProcessMessages();
    TPoint inside = OnForm(*box, {0, 20});
    EXPECT_EQ(host.PixelAt(*form, inside.X, inside.Y), Color32(clTeal));

    // A child that shrinks takes the bars away and the box back to the start.
    picture->SetBounds(picture->GetLeft(), picture->GetTop(), 50, 50);
    EXPECT_FALSE(Horz().IsScrollBarVisible());
    EXPECT_FALSE(Vert().IsScrollBarVisible());
    EXPECT_EQ(Horz().GetScrollPos(), 0);
    EXPECT_EQ(picture->GetBoundsRect(), (TRect{8, 8, 58, 58}));

    // A range set by the program replaces the children's.
    Horz().SetRange(1000);
    EXPECT_FALSE(box->GetAutoScroll());
    EXPECT_TRUE(Horz().IsScrollBarVisible());
    Horz().SetVisible(false);
    EXPECT_FALSE(Horz().IsScrollBarVisible());
}

TEST_F(GuiScrollBox, TheUserScrollsWithTheBarsAndTheWheel) {
    Vert().SetIncrement(1);
    TPoint down = OnVerticalBar(box->GetClientHeight() - 8);
    host.Click(*form, down.X, down.Y);
    EXPECT_EQ(Vert().GetPosition(), 1);
    host.Wheel(*form, 50, 50, -120);  // towards the user: three lines down
    EXPECT_EQ(Vert().GetPosition(), 4);
    Vert().SetIncrement(8);
    host.Wheel(*form, 50, 50, 120);
    EXPECT_EQ(Vert().GetPosition(), 0);

    // Dragging the thumb scrolls on release, or at once with Tracking.
    TPoint thumb = OnVerticalBar(kScrollBarSize + 5);
    host.MouseMove(*form, thumb.X, thumb.Y);
    host.MouseDown(*form, thumb.X, thumb.Y);
    host.MouseMove(*form, thumb.X, thumb.Y + 20);
    EXPECT_EQ(Vert().GetPosition(), 0);
    host.MouseUp(*form, thumb.X, thumb.Y + 20);
    int released = Vert().GetPosition();
    EXPECT_GT(released, 0);
    EXPECT_EQ(picture->GetTop(), 8 - released);
    Vert().SetTracking(true);
    thumb = OnVerticalBar(kScrollBarSize + 25);
    host.MouseMove(*form, thumb.X, thumb.Y);
    host.MouseDown(*form, thumb.X, thumb.Y);
    host.MouseMove(*form, thumb.X, thumb.Y + 10);
    EXPECT_GT(Vert().GetPosition(), released);
    host.MouseUp(*form, thumb.X, thumb.Y + 10);
}

TEST_F(GuiScrollBox, AControlFocusedOutOfSightIsScrolledIntoIt) {
    Swatch* field = AddControl<Swatch>(*box, "Field", {300, 250, 350, 270});
    field->SetTabStop(true);
    EXPECT_EQ(Vert().GetRange(), 308);
    field->SetFocus();
    EXPECT_EQ(Horz().GetPosition(), 350 - 180);
    EXPECT_EQ(Vert().GetPosition(), 270 - 130);
    EXPECT_EQ(field->GetBoundsRect(), (TRect{130, 110, 180, 130}));
    box->ScrollInView(picture);  // larger than the box: its corner shows
    EXPECT_EQ(picture->GetLeft(), 0);
    EXPECT_EQ(picture->GetTop(), 0);
}

}  // namespace
