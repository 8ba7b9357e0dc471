#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <string>

#include "SdlSession.h"
#include "XScreen.h"
#include "controls/Rmlistcontrol.h"
#include "gui/Application.h"
#include "support/PngFile.h"

// Runs under Xvfb (see tests/CMakeLists.txt): a list control with both
// scroll bars in a real window, a row picked with the X pointer, a range
// grown with Shift and the arrow keys of the X keyboard, the rows scrolled
// with the wheel. The screen at the end is saved as "list_control.png" in
// the working folder, to look at.
namespace {

using ListWindow = thorn::test::SdlSession;

TEST_F(ListWindow, RowsArePickedRangedAndScrolledWithThePointerAndTheKeys) {
    thorn::test::XScreen screen;
    ASSERT_TRUE(screen.Ok());
    TForm* form = Application->CreateForm<TForm>();
    form->SetCaption("List control");
    form->SetBounds(40, 40, 320, 260);
    auto* list = thorn::Make<TrmListControl>(*form);
    list->SetParent(form);
    list->SetBounds(8, 8, 296, 214);
    list->SetBorderStyle(bsSingle);
    list->SetScrollBars(ssBoth);
    list->SetMultiSelect(true);
    for (int i = 0; i < 40; ++i) list->GetItems()->Add("Province " + std::to_string(i) + " of the northern marches");
    list->GetItems()->Add("Isle of Thorns, whose name runs on well past the right edge of the list");
    list->OnFormatDrawing = [](TObject*, TCanvas& canvas, bool selected, std::string& text) {
        if (!selected && text.find("Isle") == 0) canvas.Font().SetColor(clMaroon);
    };
    form->Show();
    ASSERT_TRUE(RunUntil([&] { return !form->HasPendingPaint(); }));

    const int row = list->MaxItemHeight();
    auto rowPoint = [&](int shownRow) { return list->ClientToScreen({40, shownRow * row + row / 2}); };
    TPoint p = rowPoint(2);
    screen.Click(p.X, p.Y);
    ASSERT_TRUE(RunUntil([&] { return list->GetItemIndex() == 2 && list->Focused(); }));

    screen.FocusAt(p.X, p.Y);
    ASSERT_TRUE(RunUntil([&] { return form->GetActive(); }));
    screen.Key(XK_Down, true);
    screen.Key(XK_Down, true);
    ASSERT_TRUE(RunUntil([&] { return list->GetItemIndex() == 4; }));
    EXPECT_EQ(list->GetSelStart(), 2);
    EXPECT_EQ(list->GetSelCount(), 2);

    // Two notches towards the user: two rows down; the range stays.
    p = rowPoint(5);
    screen.Wheel(p.X, p.Y, -2);
    ASSERT_TRUE(RunUntil([&] { return list->GetTopIndex() == 2 && !form->HasPendingPaint(); }));
    EXPECT_EQ(list->GetItemIndex(), 4);
    // End shows the last line, the long one, at the bottom.
    screen.Key(XK_End);
    ASSERT_TRUE(RunUntil([&] { return list->GetItemIndex() == 40 && !form->HasPendingPaint(); }));
    screen.Key(XK_Up, true);
    screen.Key(XK_Up, true);
    ASSERT_TRUE(RunUntil([&] { return list->GetItemIndex() == 38 && !form->HasPendingPaint(); }));

    TBitmap32 shot;
    screen.Grab(shot);
    // The range (rows 38 to 40, the last three in sight) shows highlighted.
    const int visible = list->VisibleItems();
    for (int shownRow = visible - 3; shownRow < visible; ++shownRow) {
        const TPoint mark = list->ClientToScreen({list->GetClientWidth() - 4, shownRow * row + 2});
        EXPECT_EQ(shot.GetPixel(mark.X, mark.Y), Color32(clHighlight)) << shownRow;
    }
    const TPoint plain = list->ClientToScreen({list->GetClientWidth() - 4, (visible - 4) * row + 2});
    EXPECT_EQ(shot.GetPixel(plain.X, plain.Y), Color32(clWindow));
    thorn::test::WritePng("list_control.png", shot);
}

}  // namespace
