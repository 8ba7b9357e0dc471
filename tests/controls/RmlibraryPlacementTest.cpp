#include <gtest/gtest.h>

#include "controls/Rmlibrary_Placement.h"
#include "gui/TestControls.h"

namespace {

using thorn::test::AddControl;
using thorn::test::MakeForm;
using thorn::test::Swatch;

// The mouse, pressed over a control, tells where its client point lies on
// the screen.
TEST(RmlibraryPlacement, ClientAndScreenRectangles) {
    thorn::HeadlessApplication session;
    std::vector<std::string> log;
    TForm* form = MakeForm();
    Swatch* frame = AddControl<Swatch>(*form, "Frame", {20, 10, 180, 140});
    Swatch* inner = AddControl<Swatch>(*frame, "Inner", {10, 30, 110, 100}, &log);
    form->Show();

    session.Host().MouseDown(*form, 20 + 10 + 5, 10 + 30 + 7);
    ASSERT_EQ(log, std::vector<std::string>{"Inner down 5,7"});
    const TPoint screen = session.Host().GetCursorPos();
    const TRect onScreen{screen.X, screen.Y, screen.X + 10, screen.Y + 20};
    EXPECT_EQ(ClientRectToScreenRect(*inner, {5, 7, 15, 27}), onScreen);
    EXPECT_EQ(ScreenRectToClientRect(*inner, onScreen), (TRect{5, 7, 15, 27}));
}

}  // namespace
