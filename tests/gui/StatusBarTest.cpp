#include <gtest/gtest.h>

#include "TestControls.h"
#include "gui/StatusBar.h"

namespace {

using thorn::test::MakeForm;
using thorn::test::OnForm;
using thorn::test::Place;

// The main window's status bar: coordinates, zoom, help and size panels.
class GuiStatusBar : public ::testing::Test {
protected:
    GuiStatusBar() {
        form = MakeForm(671, 300);
        status = Place<TStatusBar>(*form, {0, 0, 100, 20});
        for (int width : {50, 50, 470, 50}) {
            TStatusPanel* panel = status->Panels().Add();
            panel->SetWidth(width);
            panel->SetAlignment(width == 470 ? taLeftJustify : taCenter);
        }
        form->Show();
        Application->ProcessMessages();
    }
    // How many pixels of a panel are drawn in the text colour.
    int TextPixels(const TRect& r) const {
        int n = 0;
        for (int y = r.Top + 1; y < r.Bottom - 1; ++y)
            for (int x = r.Left + 1; x < r.Right - 1; ++x) {
                TPoint p = OnForm(*status, {x, y});
                n += host.PixelAt(*form, p.X, p.Y) == Color32(clBtnText);
            }
        return n;
    }

    thorn::HeadlessApplication session;
    thorn::HeadlessHost& host = session.Host();
    TForm* form = nullptr;
    TStatusBar* status = nullptr;
};

TEST_F(GuiStatusBar, PanelsStandSideBySideAndTheLastReachesTheGrip) {
    EXPECT_EQ(status->GetBoundsRect(), (TRect{0, 280, 671, 300}));
    const TRect expected[] = {{0, 2, 48, 20}, {50, 2, 98, 20}, {100, 2, 568, 20}, {570, 2, 671 - 16, 20}};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(status->GetPanelRect(i), expected[i]);
    }
    // The main window sets the help panel's width as it is resized.
    form->OnResize = [&](TObject*) { status->Panels()[2]->SetWidth(form->GetWidth() - 200); };
    host.ResizeWindow(*form, 800, 300);
    EXPECT_EQ(status->GetPanelRect(2), (TRect{100, 2, 698, 20}));
    EXPECT_EQ(status->GetPanelRect(3), (TRect{700, 2, 800 - 16, 20}));

    // A text that changes repaints its own panel only.
    status->Panels()[1]->SetText("250%");
    Application->ProcessMessages();
    TPoint origin = OnForm(*status, {0, 0});
    TRect panel = status->GetPanelRect(1);
    OffsetRect(panel, origin.X, origin.Y);
    ASSERT_EQ(host.LastPresented(*form).size(), 1u);
    EXPECT_EQ(host.LastPresented(*form)[0], panel);
    EXPECT_GT(TextPixels(status->GetPanelRect(1)), 0);
    EXPECT_EQ(TextPixels(status->GetPanelRect(2)), 0);

    // The simple field covers them all.
    status->SetSimpleText("Castle's places calculating...");
    EXPECT_EQ(TextPixels(status->GetPanelRect(0)), 0);
    status->SetSimplePanel(true);
    Application->ProcessMessages();
    EXPECT_EQ(status->GetPanelRect(1), (TRect{0, 2, 800 - 16, 20}));
    EXPECT_GT(TextPixels({0, 2, 50, 20}), 0);
}

TEST_F(GuiStatusBar, TheGripResizesAFormTheUserMayResize) {
    ASSERT_TRUE(status->IsGripShown());
    TPoint grip = OnForm(*status, {671 - 4, 16});
    host.Drag(*form, grip, {grip.X + 50, grip.Y + 40});
    EXPECT_EQ(form->GetWidth(), 721);
    EXPECT_EQ(form->GetHeight(), 340);
    EXPECT_EQ(host.WindowOf(*form)->Bounds(), (TRect{100, 100, 821, 440}));
    EXPECT_EQ(status->GetTop(), 320);
    // No grip on a maximised form, nor on one of fixed size.
    form->SetWindowState(wsMaximized);
    EXPECT_FALSE(status->IsGripShown());
    form->SetWindowState(wsNormal);
    form->SetBorderStyle(bsDialog);
    EXPECT_FALSE(status->IsGripShown());
    EXPECT_EQ(status->GetPanelRect(3).Right, 721);
}

}  // namespace
