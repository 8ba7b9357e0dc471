#include <gtest/gtest.h>

#include <string>

#include "SdlSession.h"
#include "XScreen.h"
#include "controls/Rmscrnctrls.h"
#include "gui/Application.h"
#include "gui/Edit.h"
#include "inspector/Rmhint.h"
#include "support/PngFile.h"

// Runs under Xvfb (see tests/CMakeLists.txt): a path tree view with images
// and hot tracking, opened, dragged and hovered with the X pointer, and a
// path tree dropped below an edit and picked from. The screen at the end is
// saved as "path_tree_view.png" in the working folder, to look at.
namespace {

using TreeWindow = thorn::test::SdlSession;

// A folder and a leaf, drawn here: 16 x 16 on magenta.
void AddIcons(TImageList& images) {
    TBitmap32 strip;
    strip.SetSize(32, 16);
    strip.Clear(Color32(clFuchsia));
    strip.FillRect(1, 4, 15, 14, Color32(clOlive));
    strip.FillRect(1, 2, 7, 4, Color32(clOlive));
    strip.FillRect(2, 6, 14, 13, Color32(clYellow));
    for (int y = 3; y < 13; ++y)
        for (int x = 19; x < 29; ++x)
            if ((x - 24) * (x - 24) + (y - 8) * (y - 8) <= 20) strip.SetPixel(x, y, Color32(clGreen));
    strip.FillRect(23, 12, 25, 15, Color32(clMaroon));
    images.AddMasked(strip, clFuchsia);
}

TEST_F(TreeWindow, APathTreeViewIsOpenedDraggedAndPickedFromWithThePointer) {
    thorn::test::XScreen screen;
    ASSERT_TRUE(screen.Ok());
    TForm* form = Application->CreateForm<TForm>();
    form->SetCaption("Path tree view");
    form->SetBounds(40, 40, 460, 320);
    auto* images = thorn::Make<TImageList>(*form);
    AddIcons(*images);
    auto* tree = thorn::Make<TrmPathTreeView>(*form);
    tree->SetParent(form);
    tree->SetBounds(8, 8, 220, 300);
    tree->SetImages(images);
    tree->SetHotTrack(true);
    tree->SetDragMode(dmAutomatic);
    tree->OnGetImageIndex = [](TObject*, TrmTreeNode* node) { node->SetImageIndex(node->GetHasChildren() ? 0 : 1); };
    tree->OnGetSelectedIndex = [](TObject*, TrmTreeNode* node) {
        node->SetSelectedIndex(node->GetHasChildren() ? 0 : 1);
    };
    tree->OnDragOver = [tree](TObject*, TObject*, int x, int y, TDragState, bool& accept) {
        TrmTreeNode* target = tree->GetNodeAt(x, y);
        accept = target && target != tree->GetSelection() && !target->HasAsParent(tree->GetSelection());
    };
    tree->OnDragDrop = [tree](TObject*, TObject*, int x, int y) {
        tree->GetSelection()->MoveTo(tree->GetNodeAt(x, y), naAddChild);
    };
    for (const char* path :
         {"/World/North/Thornvale Castle", "/World/North/Mistmoor", "/World/South/Redwater", "/World/South/Greyfen Keep",
          "/World/South/A province whose name runs past the edge", "/World/Isle of Thorns", "/Armies/Knights",
          "/Armies/Archers"})
        tree->AddPathNode(nullptr, path);
    for (const char* open : {"/World", "/World/North", "/World/South"}) tree->FindPathNode(open)->Expand(false);

    auto* edit = thorn::Make<TEdit>(*form);
    edit->SetParent(form);
    edit->SetBounds(240, 8, 200, 21);
    auto* drop = thorn::Make<TrmCustomScreenPathTreeView>(*form);
    drop->SetParent(edit);
    drop->SetImages(images);
    drop->OnGetImageIndex = tree->OnGetImageIndex;
    drop->OnGetSelectedIndex = tree->OnGetSelectedIndex;
    for (const char* path : {"/Maps/Isle of Thorns", "/Maps/The Northern Marshes", "/Maps/Redwater Delta"})
        drop->AddPathNode(nullptr, path);
    drop->FullExpand();
    drop->OnChange = [&](TObject*, TrmTreeNode* node) { edit->SetText(drop->NodePath(node)); };
    form->Show();
    ASSERT_TRUE(RunUntil([&] { return !form->HasPendingPaint(); }));

    auto middleOf = [&](TCustomTreeView& view, TTreeNode* node) {
        const TRect r = node->DisplayRect(true);
        return view.ClientToScreen({(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
    };
    auto buttonOf = [&](TCustomTreeView& view, TTreeNode* node) {
        const TRect r = node->DisplayRect(true);
        const int indent = view.GetIndent();
        return view.ClientToScreen({r.Left - 2 - images->GetWidth() - 1 - indent + indent / 2, (r.Top + r.Bottom) / 2});
    };
    // The Armies branch opens from its button.
    TrmTreeNode* armies = tree->FindPathNode("/Armies");
    TPoint p = buttonOf(*tree, armies);
    screen.Click(p.X, p.Y);
    ASSERT_TRUE(RunUntil([&] { return armies->GetExpanded(); }));
    // Mistmoor is dragged onto South.
    TrmTreeNode* mistmoor = tree->FindPathNode("/World/North/Mistmoor");
    p = middleOf(*tree, mistmoor);
    screen.Press(p.X, p.Y);
    ASSERT_TRUE(RunUntil([&] { return tree->GetSelection() == mistmoor; }));
    const TPoint south = middleOf(*tree, tree->FindPathNode("/World/South"));
    for (int step = 1; step <= 6; ++step) {
        screen.MoveTo(p.X + (south.X - p.X) * step / 6, p.Y + (south.Y - p.Y) * step / 6);
        RunUntil([&] { return tree->Dragging(); });
    }
    ASSERT_TRUE(RunUntil([&] { return tree->GetDropTarget() == tree->FindPathNode("/World/South"); }));
    screen.Release();
    ASSERT_TRUE(RunUntil([&] { return tree->FindPathNode("/World/South/Mistmoor") == mistmoor; }));
    EXPECT_FALSE(tree->Dragging());

    // The drop-down tree, picked from with the pointer.
    drop->ShowAt(thorn::DropDownRect(form->ClientToScreen({edit->GetLeft(), edit->GetTop()}), edit->GetHeight(), 200, 120));
    ASSERT_TRUE(RunUntil([&] { return !drop->GetScreenWindow()->HasPendingPaint(); }));
    TTreeNode* marshes = drop->FindPathNode("/Maps/The Northern Marshes");
    p = middleOf(*drop, marshes);
    screen.Click(p.X, p.Y);
    ASSERT_TRUE(RunUntil([&] { return edit->GetText() == "/Maps/The Northern Marshes"; }));
    EXPECT_TRUE(drop->GetVisible());

    // The long name shows whole in the shared hint while the pointer rests on it.
    TrmTreeNode* wide = tree->FindPathNode("/World/South/A province whose name runs past the edge");
    const TRect wideText = wide->DisplayRect(true);
    p = tree->ClientToScreen({wideText.Left + 20, (wideText.Top + wideText.Bottom) / 2});
    screen.MoveTo(p.X, p.Y);
    ASSERT_TRUE(RunUntil([&] {
        for (int i = 0; i < Application->GetComponentCount(); ++i)
            if (auto* hint = dynamic_cast<TrmHintWindow*>(Application->GetComponent(i)); hint && hint->GetVisible())
                return !hint->HasPendingPaint() && !form->HasPendingPaint();
        return false;
    }));
    TBitmap32 shot;
    const TPoint beyond = tree->ClientToScreen({tree->GetClientWidth() + 6, (wideText.Top + wideText.Bottom) / 2 - 3});
    ASSERT_TRUE(RunUntil([&] {
        screen.Grab(shot);
        return shot.GetPixel(beyond.X, beyond.Y) == Color32(clInfoBk);
    }));
    // The selected row (Mistmoor, dragged) shows in the highlight colour
    // while the tree has the focus.
    const TRect selected = mistmoor->DisplayRect(true);
    const TPoint mark = tree->ClientToScreen({selected.Right - 3, selected.Top + 1});
    EXPECT_EQ(shot.GetPixel(mark.X, mark.Y), Color32(clHighlight));
    thorn::test::WritePng("path_tree_view.png", shot);
}

}  // namespace
