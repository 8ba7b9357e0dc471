#include <gtest/gtest.h>

#include "TestControls.h"
#include "gui/SizeConstraints.h"
#include "gui/SizingLine.h"
#include "gui/Splitter.h"

namespace {

using thorn::test::AddControl;
using thorn::test::MakeForm;
using thorn::test::OnForm;
using thorn::test::Place;
using thorn::test::Swatch;

// Pages on the left, a splitter, and the world view filling the rest of a
// 400 x 300 window.
class GuiSplitter : public ::testing::Test {
protected:
    GuiSplitter() {
        form = MakeForm(400, 300);
        left = AddControl<Swatch>(*form, "Left", {0, 0, 100, 10});
        left->SetAlign(alLeft);
        left->SetColor(clBlue);
        splitter = Place<TSplitter>(*form, {100, 0, 103, 10});
        splitter->OnMoved = [this](TObject*) { ++moved; };
        client = AddControl<Swatch>(*form, "Client", {0, 0, 10, 10});
        client->SetAlign(alClient);
        client->SetColor(clWhite);
        form->Show();
    }
    // Drags the splitter's middle by dx, dy.
    void DragBy(int dx, int dy) {
        TPoint p = OnForm(*splitter, {splitter->GetWidth() / 2, splitter->GetHeight() / 2});
        host.Drag(*form, p, {p.X + dx, p.Y + dy});
    }

    thorn::HeadlessApplication session;
    thorn::HeadlessHost& host = session.Host();
    TForm* form = nullptr;
    Swatch* left = nullptr;
    TSplitter* splitter = nullptr;
    Swatch* client = nullptr;
    int moved = 0;
};

TEST_F(GuiSplitter, ADragSharesTheRoomWithinTheMinimumSizes) {
    EXPECT_EQ(splitter->GetBoundsRect(), (TRect{100, 0, 103, 300}));
    EXPECT_EQ(splitter->GetCursor(), crHSplit);
    struct Case {
        const char* name;
        int dx;
        int width;
    };
    const Case cases[] = {
        {"wider", 50, 150},
        {"the rest keeps the minimum", 400, 400 - 30 - 3},
        {"narrower", -300, 67},
        {"not below the minimum", -40, 30},
        {"folded away below half the minimum", -28, 0},
        {"out again from nothing", 80, 80},
    };
    int runs = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DragBy(c.dx, 0);
        EXPECT_EQ(left->GetWidth(), c.width);
        EXPECT_EQ(splitter->GetLeft(), c.width);
        EXPECT_EQ(client->GetLeft(), c.width + 3);
        EXPECT_EQ(moved, ++runs);
    }
    // Without AutoSnap, or with a minimum of the control's own, no folding.
    splitter->SetAutoSnap(false);
    DragBy(-78, 0);
    EXPECT_EQ(left->GetWidth(), 30);
    splitter->SetAutoSnap(true);
    left->Constraints().SetMinWidth(60);
    EXPECT_EQ(left->GetWidth(), 60);
    DragBy(-58, 0);
    EXPECT_EQ(left->GetWidth(), 60);
}

TEST_F(GuiSplitter, ThePatternShowsWhereTheSplitWillGoUntilRelease) {
    TPoint p = OnForm(*splitter, {1, 150});
    host.MouseMove(*form, p.X, p.Y);
    host.MouseDown(*form, p.X, p.Y);
    host.MouseMove(*form, p.X + 100, p.Y);
    EXPECT_EQ(left->GetWidth(), 100);  // nothing moves yet
    EXPECT_EQ(thorn::SizingLineRect(*form), (TRect{200, 0, 203, 300}));
    Application->ProcessMessages();
    // Every other pixel of the line is inverted, over whatever is below.
    TColor32 plain = Color32(clWhite) | 0xFF000000u;
    EXPECT_EQ(host.PixelAt(*form, 200, 10), plain ^ 0x00FFFFFFu);
    EXPECT_EQ(host.PixelAt(*form, 201, 10), plain);
    client->Invalidate();  // a repaint beneath keeps it
    Application->ProcessMessages();
    EXPECT_EQ(host.PixelAt(*form, 200, 10), plain ^ 0x00FFFFFFu);
    host.MouseUp(*form, p.X + 100, p.Y);
    EXPECT_EQ(left->GetWidth(), 200);
    EXPECT_TRUE(IsRectEmpty(thorn::SizingLineRect(*form)));
    EXPECT_EQ(host.PixelAt(*form, 220, 10), plain);

    // rsUpdate resizes while dragging; OnCanResize may change each size.
    splitter->SetResizeStyle(rsUpdate);
    splitter->OnCanResize = [](TObject*, int& size, bool& accept) {
        size -= size % 10;
        accept = size <= 250;
    };
    moved = 0;
    p = OnForm(*splitter, {1, 150});
    host.MouseMove(*form, p.X, p.Y);
    host.MouseDown(*form, p.X, p.Y);
    host.MouseMove(*form, p.X + 27, p.Y);
    EXPECT_EQ(left->GetWidth(), 220);
    EXPECT_EQ(moved, 1);
    host.MouseMove(*form, p.X + 80, p.Y);  // refused: stays
    EXPECT_EQ(left->GetWidth(), 220);
    host.MouseUp(*form, p.X + 80, p.Y);
    EXPECT_TRUE(IsRectEmpty(thorn::SizingLineRect(*form)));
}

TEST_F(GuiSplitter, AcrossTheWindowAndFromTheFarSide) {
    // A bar at the bottom resized by a splitter above it.
    thorn::Free(splitter);
    left->SetAlign(alBottom);
    left->SetHeight(84);
    splitter = thorn::Make<TSplitter>(*form);
    splitter->SetAlign(alBottom);
    splitter->SetBounds(0, 300 - 84 - 4, 10, 4);
    splitter->SetParent(form);
    splitter->OnMoved = [this](TObject*) { ++moved; };
    EXPECT_EQ(splitter->GetCursor(), crVSplit);
    EXPECT_EQ(splitter->GetBoundsRect(), (TRect{0, 212, 400, 216}));
    DragBy(0, -50);
    EXPECT_EQ(left->GetBoundsRect(), (TRect{0, 166, 400, 300}));
    EXPECT_EQ(splitter->GetTop(), 162);
    EXPECT_EQ(client->GetHeight(), 162);
    EXPECT_EQ(moved, 1);
}

}  // namespace
