#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "TestControls.h"
#include "gui/HintWindow.h"
#include "gui/TreeView.h"
#include "support/Pixels.h"
#include "support/TempDir.h"

namespace {

using thorn::test::MakeForm;
using thorn::test::OnForm;
using thorn::test::Shown;
using Log = std::vector<std::string>;

// A tree view that notes the nodes it paints.
class CountingTree : public TTreeView {
public:
    std::vector<std::string> painted;

protected:
    bool CustomDrawItem(TTreeNode* node, TCustomDrawState state, TCustomDrawStage stage, bool& images) override {
        if (stage == cdPrePaint) painted.push_back(node->GetText());
        return TTreeView::CustomDrawItem(node, state, stage, images);
    }
    bool IsCustomDrawn() const override { return true; }
};

// Fruit (Apple, Pear (Conference, Williams)), Vegetables (Leek), Nuts, in a
// focused tree on a form at (100, 100).
class GuiTreeView : public ::testing::Test {
protected:
    GuiTreeView() {
        form = MakeForm(400, 300);
        tree = thorn::Make<CountingTree>(*form);
        tree->SetParent(form);
        tree->SetBounds(10, 10, 220, 200);
        TTreeNodes& items = *tree->GetItems();
        fruit = items.AddChild(nullptr, "Fruit");
        apple = items.AddChild(fruit, "Apple");
        pear = items.AddChild(fruit, "Pear");
        items.AddChild(pear, "Conference");
        items.AddChild(pear, "Williams");
        vegetables = items.Add(fruit, "Vegetables");
        items.AddChild(vegetables, "Leek");
        nuts = items.Add(fruit, "Nuts");
        tree->OnChange = [this](TObject*, TTreeNode* node) { log.push_back("change " + Text(node)); };
        tree->OnExpanded = [this](TObject*, TTreeNode* node) { log.push_back("expanded " + Text(node)); };
        tree->OnCollapsed = [this](TObject*, TTreeNode* node) { log.push_back("collapsed " + Text(node)); };
        form->Show();
        tree->SetFocus();
    }
    static std::string Text(const TTreeNode* node) { return node ? node->GetText() : "(none)"; }
    std::string Selected() const { return Text(tree->GetSelected()); }
    // The texts of the rows shown, top to bottom.
    std::string Rows() const {
        std::string rows;
        for (TTreeNode* n = tree->GetTopItem(); n; n = n->GetNextVisible()) rows += (rows.empty() ? "" : ",") + n->GetText();
        return rows;
    }
    // The middle of a node's label on the form.
    TPoint Label(TTreeNode* node) const {
        TRect r = node->DisplayRect(true);
        return OnForm(*tree, {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
    }
    // The middle of a node's button: in the middle of the indentation column
    // left of its images (which begin 2 pixels into the next column).
    TPoint Button(TTreeNode* node) const {
        TRect r = node->DisplayRect(true);
        const int indent = tree->GetIndent();
        return OnForm(*tree, {r.Left - 2 - indent + indent / 2, (r.Top + r.Bottom) / 2});
    }
    void Click(TPoint p, TShiftState shift = {}) { host.Click(*form, p.X, p.Y, mbLeft, shift); }

    thorn::HeadlessApplication session;
    thorn::HeadlessHost& host = session.Host();
    TForm* form = nullptr;
    CountingTree* tree = nullptr;
    TTreeNode* fruit = nullptr;
    TTreeNode* apple = nullptr;
    TTreeNode* pear = nullptr;
    TTreeNode* vegetables = nullptr;
    TTreeNode* nuts = nullptr;
    Log log;
};

TEST_F(GuiTreeView, KeysWalkExpandAndCollapse) {
    struct Case {
        const char* what;
        TKey key;
        const char* selected;
        const char* rows;
    };
    const Case cases[] = {
        {"Down from nowhere: the first", VK_DOWN, "Fruit", "Fruit,Vegetables,Nuts"},
        {"Right expands", VK_RIGHT, "Fruit", "Fruit,Apple,Pear,Vegetables,Nuts"},
        {"Right again: the first child", VK_RIGHT, "Apple", "Fruit,Apple,Pear,Vegetables,Nuts"},
        {"Down", VK_DOWN, "Pear", "Fruit,Apple,Pear,Vegetables,Nuts"},
        {"* opens the whole branch", VK_MULTIPLY, "Pear", "Fruit,Apple,Pear,Conference,Williams,Vegetables,Nuts"},
        {"End", VK_END, "Nuts", "Fruit,Apple,Pear,Conference,Williams,Vegetables,Nuts"},
        {"Up", VK_UP, "Vegetables", "Fruit,Apple,Pear,Conference,Williams,Vegetables,Nuts"},
        {"+ expands", VK_ADD, "Vegetables", "Fruit,Apple,Pear,Conference,Williams,Vegetables,Leek,Nuts"},
        {"Down into it", VK_DOWN, "Leek", "Fruit,Apple,Pear,Conference,Williams,Vegetables,Leek,Nuts"},
        {"Backspace: the parent", VK_BACK, "Vegetables", "Fruit,Apple,Pear,Conference,Williams,Vegetables,Leek,Nuts"},
        {"- collapses", VK_SUBTRACT, "Vegetables", "Fruit,Apple,Pear,Conference,Williams,Vegetables,Nuts"},
        {"Page Up: a page less one, at most the top", VK_PRIOR, "Fruit", "Fruit,Apple,Pear,Conference,Williams,Vegetables,Nuts"},
        {"Left collapses", VK_LEFT, "Fruit", "Fruit,Vegetables,Nuts"},
        {"Left on a closed root stays", VK_LEFT, "Fruit", "Fruit,Vegetables,Nuts"},
        {"Home", VK_HOME, "Fruit", "Fruit,Vegetables,Nuts"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        host.PressKey(c.key);
        EXPECT_EQ(Selected(), c.selected);
        EXPECT_EQ(Rows(), c.rows);
    }
    EXPECT_EQ(log.front(), "change Fruit");
    EXPECT_NE(std::find(log.begin(), log.end(), "expanded Pear"), log.end());
    EXPECT_EQ(log.back(), "collapsed Fruit");
    // Typing finds the next node that begins with what was typed.
    host.TypeText("n");
    EXPECT_EQ(Selected(), "Nuts");
}

TEST_F(GuiTreeView, TheMouseSelectsExpandsAndCollapses) {
    struct Case {
        const char* what;
        std::function<void()> act;
        const char* selected;
        const char* rows;
    };
    const Case cases[] = {
        {"a click on a button expands", [&] { Click(Button(fruit)); }, "(none)", "Fruit,Apple,Pear,Vegetables,Nuts"},
        {"a click on a label selects", [&] { Click(Label(pear)); }, "Pear", "Fruit,Apple,Pear,Vegetables,Nuts"},
        {"a double click expands", [&] { host.DoubleClick(*form, Label(pear).X, Label(pear).Y); }, "Pear",
         "Fruit,Apple,Pear,Conference,Williams,Vegetables,Nuts"},
        {"collapsing the selection's parent selects the parent", [&] { Click(Button(fruit)); }, "Fruit",
         "Fruit,Vegetables,Nuts"},
        {"below the last row nothing happens", [&] { host.Click(*form, 60, 200); }, "Fruit", "Fruit,Vegetables,Nuts"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.act();
        EXPECT_EQ(Selected(), c.selected);
        EXPECT_EQ(Rows(), c.rows);
    }
    // A refused change leaves the selection where it was.
    tree->OnChanging = [](TObject*, TTreeNode* node, bool& allow) { allow = node->GetText() != "Nuts"; };
    Click(Label(nuts));
    EXPECT_EQ(Selected(), "Fruit");
    // The right button selects only with RightClickSelect.
    host.Click(*form, Label(vegetables).X, Label(vegetables).Y, mbRight);
    EXPECT_EQ(Selected(), "Fruit");
    tree->SetRightClickSelect(true);
    host.Click(*form, Label(vegetables).X, Label(vegetables).Y, mbRight);
    EXPECT_EQ(Selected(), "Vegetables");
}

TEST_F(GuiTreeView, ShiftSelectsARangeAndCtrlTogglesWithMultiSelect) {
    tree->SetMultiSelect(true);
    tree->FullExpand();
    auto selection = [&] {
        std::string s;
        for (int i = 0; i < tree->GetSelectionCount(); ++i) s += (s.empty() ? "" : ",") + tree->GetSelection(i)->GetText();
        return s;
    };
    struct Case {
        const char* what;
        std::function<void()> act;
        const char* selection;
    };
    const Case cases[] = {
        {"a click", [&] { Click(Label(apple)); }, "Apple"},
        {"a shifted click: the range", [&] { Click(Label(vegetables), {ssShift}); },
         "Apple,Pear,Conference,Williams,Vegetables"},
        {"Shift+Up shrinks it from the anchor", [&] { host.PressKey(VK_UP, {ssShift}); },
         "Apple,Pear,Conference,Williams"},
        {"Ctrl+click adds", [&] { Click(Label(nuts), {ssCtrl}); }, "Apple,Pear,Conference,Williams,Nuts"},
        {"Ctrl+click again removes", [&] { Click(Label(pear), {ssCtrl}); }, "Apple,Conference,Williams,Nuts"},
        {"a plain key selects one", [&] { host.PressKey(VK_DOWN); }, "Conference"},
        {"Shift+Down twice", [&] { host.PressKey(VK_DOWN, {ssShift}), host.PressKey(VK_DOWN, {ssShift}); },
         "Conference,Williams,Vegetables"},
        {"collapsing a branch drops its hidden selection", [&] { pear->Collapse(false); }, "Vegetables"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.act();
        EXPECT_EQ(selection(), c.selection);
    }
}

TEST_F(GuiTreeView, TheWheelScrollsAndOnlyRowsInSightArePainted) {
    TTreeNodes& items = *tree->GetItems();
    items.BeginUpdate();
    for (int i = 0; i < 500; ++i) items.AddChild(nuts, "Kernel " + std::to_string(i));
    items.EndUpdate();
    nuts->Expand(false);
    const int inSight = tree->GetVisibleCount();
    ASSERT_GT(inSight, 5);
    tree->painted.clear();
    tree->Invalidate();
    Application->ProcessMessages();
    EXPECT_LE(static_cast<int>(tree->painted.size()), inSight + 1);
    EXPECT_EQ(tree->painted.front(), "Fruit");

    const TPoint p = Label(fruit);
    host.Wheel(*form, p.X, p.Y, -120);  // a notch towards the user: three rows
    EXPECT_EQ(Text(tree->GetTopItem()), "Kernel 0");
    host.Wheel(*form, p.X, p.Y, -1200);
    EXPECT_EQ(Text(tree->GetTopItem()), "Kernel 30");
    host.Wheel(*form, p.X, p.Y, 360);
    EXPECT_EQ(Text(tree->GetTopItem()), "Kernel 21");
    tree->painted.clear();
    tree->Invalidate();
    Application->ProcessMessages();
    ASSERT_FALSE(tree->painted.empty());
    EXPECT_EQ(tree->painted.front(), "Kernel 21");
    EXPECT_LE(static_cast<int>(tree->painted.size()), inSight + 1);
}

TEST_F(GuiTreeView, ANodeDraggedOntoAnotherMovesUnderIt) {
    tree->FullExpand();
    tree->SetDragMode(dmAutomatic);
    std::vector<std::string> overs;
    tree->OnDragOver = [&](TObject*, TObject* source, int x, int y, TDragState, bool& accept) {
        TTreeNode* target = tree->GetNodeAt(x, y);
        TTreeNode* dragged = tree->GetSelected();
        accept = source == tree && target && target != dragged && !target->HasAsParent(dragged);
        if (target) overs.push_back(target->GetText());
    };
    tree->OnDragDrop = [&](TObject*, TObject*, int x, int y) {
        tree->GetSelected()->MoveTo(tree->GetNodeAt(x, y), naAddChild);
    };
    TObject* endedOn = reinterpret_cast<TObject*>(1);
    tree->OnEndDrag = [&](TObject*, TObject* target, int, int) { endedOn = target; };

    host.Drag(*form, Label(pear), Label(nuts), 8);
    EXPECT_EQ(pear->GetParent(), nuts);
    EXPECT_TRUE(nuts->GetExpanded());
    EXPECT_EQ(Rows(), "Fruit,Apple,Vegetables,Leek,Nuts,Pear,Conference,Williams");
    EXPECT_EQ(endedOn, tree);
    EXPECT_EQ(tree->GetDropTarget(), nullptr);
    EXPECT_FALSE(tree->Dragging());
    EXPECT_EQ(overs.back(), "Nuts");

    // Onto its own child: refused, nothing moves.
    host.Drag(*form, Label(pear), Label(pear->GetFirstChild()), 8);
    EXPECT_EQ(pear->GetParent(), nuts);
    EXPECT_EQ(endedOn, nullptr);
    // Escape cancels a drag under way.
    host.MouseDown(*form, Label(apple).X, Label(apple).Y);
    host.MouseMove(*form, Label(apple).X, Label(apple).Y + 20, {ssLeft});
    ASSERT_TRUE(tree->Dragging());
    host.PressKey(VK_ESCAPE);
    host.MouseUp(*form, Label(nuts).X, Label(nuts).Y);
    EXPECT_EQ(apple->GetParent(), fruit);
}

TEST_F(GuiTreeView, LabelsAreEditedInPlace) {
    tree->FullExpand();
    tree->OnEdited = [&](TObject*, TTreeNode*, std::string& text) { log.push_back("edited " + text); };
    tree->SetSelected(apple);
    host.PressKey(VK_F2);
    ASSERT_TRUE(tree->IsEditing());
    EXPECT_EQ(tree->GetEditControl()->GetText(), "Apple");
    host.TypeText("Plum");
    host.PressKey(VK_RETURN);
    EXPECT_FALSE(tree->IsEditing());
    EXPECT_EQ(apple->GetText(), "Plum");
    EXPECT_EQ(log.back(), "edited Plum");
    EXPECT_TRUE(tree->Focused());

    // Escape drops what was typed.
    host.PressKey(VK_F2);
    host.TypeText("Quince");
    host.PressKey(VK_ESCAPE);
    EXPECT_EQ(apple->GetText(), "Plum");

    // A second, slow click on the selected label edits it; a double click does not.
    Click(Label(apple));
    host.Advance(600);
    ASSERT_TRUE(tree->IsEditing());
    host.TypeText("Damson");
    Click(Label(nuts));  // a press elsewhere keeps the text
    EXPECT_EQ(apple->GetText(), "Damson");
    EXPECT_EQ(Selected(), "Nuts");
    host.DoubleClick(*form, Label(nuts).X, Label(nuts).Y);
    host.Advance(600);
    EXPECT_FALSE(tree->IsEditing());

    // Refused by OnEditing, or by ReadOnly.
    tree->OnEditing = [](TObject*, TTreeNode* node, bool& allow) { allow = node->GetText() != "Nuts"; };
    host.PressKey(VK_F2);
    EXPECT_FALSE(tree->IsEditing());
    tree->OnEditing = nullptr;
    tree->SetReadOnly(true);
    host.PressKey(VK_F2);
    EXPECT_FALSE(tree->IsEditing());
}

TEST_F(GuiTreeView, ChangesWaitForTheirDelay) {
    tree->SetChangeDelay(300);
    host.PressKey(VK_DOWN);
    host.PressKey(VK_DOWN);
    EXPECT_TRUE(log.empty());
    host.Advance(299);
    EXPECT_TRUE(log.empty());
    host.Advance(1);
    EXPECT_EQ(log, Log{"change Vegetables"});
}

TEST_F(GuiTreeView, DeletingNodesTellsEachAndMovesTheSelectionOn) {
    tree->FullExpand();
    tree->SetSelected(pear);
    log.clear();
    tree->OnDeletion = [&](TObject*, TTreeNode* node) { log.push_back("delete " + node->GetText()); };
    pear->Delete();
    EXPECT_EQ(log, (Log{"delete Williams", "delete Conference", "delete Pear", "change Apple"}));
    EXPECT_EQ(tree->GetItems()->GetCount(), 5);
    apple->Delete();
    EXPECT_FALSE(fruit->GetHasChildren());
    EXPECT_FALSE(fruit->GetExpanded());
    EXPECT_EQ(Selected(), "Fruit");
    EXPECT_EQ(Rows(), "Fruit,Vegetables,Leek,Nuts");
    log.clear();
    tree->GetItems()->Clear();
    EXPECT_EQ(log, (Log{"delete Nuts", "delete Leek", "delete Vegetables", "delete Fruit", "change (none)"}));
    EXPECT_EQ(tree->GetSelected(), nullptr);
}

TEST_F(GuiTreeView, ADeepChainIsFreedWithoutRecursion) {
    TTreeNodes& items = *tree->GetItems();
    items.BeginUpdate();
    TTreeNode* n = nuts;
    for (int i = 0; i < 200000; ++i) n = items.AddChild(n, "d");
    items.EndUpdate();
    EXPECT_EQ(n->GetLevel(), 200000);
    nuts->Delete();
    EXPECT_EQ(items.GetCount(), 7);
    n = vegetables;
    for (int i = 0; i < 200000; ++i) n = items.AddChild(n, "d");
    // The rest goes with the view.
}

TEST_F(GuiTreeView, SortsByTextOrByTheProgramsOrder) {
    TTreeNodes& items = *tree->GetItems();
    tree->SetSortType(stText);
    EXPECT_EQ(Rows(), "Fruit,Nuts,Vegetables");
    items.AddChild(nullptr, "apricots");
    items.AddChild(nullptr, "Beans");
    EXPECT_EQ(Rows(), "apricots,Beans,Fruit,Nuts,Vegetables");
    nuts->SetText("Almonds");
    EXPECT_EQ(Rows(), "Almonds,apricots,Beans,Fruit,Vegetables");
    tree->SetSortType(stNone);
    tree->OnCompare = [](TObject*, TTreeNode* a, TTreeNode* b, int32_t, int& compare) {
        compare = static_cast<int>(a->GetText().size()) - static_cast<int>(b->GetText().size());
    };
    tree->AlphaSort();
    EXPECT_EQ(Rows(), "Beans,Fruit,Almonds,apricots,Vegetables");  // equals keep their order
    fruit->Expand(false);
    EXPECT_EQ(fruit->GetFirstChild()->GetText(), "Pear");
}

TEST_F(GuiTreeView, SelectedHotAndDropTargetRowsShowAsSuch) {
    tree->SetHotTrack(true);
    tree->SetSelected(vegetables);
    Application->ProcessMessages();
    const TPoint selectedText = Label(vegetables);
    EXPECT_EQ(host.PixelAt(*form, selectedText.X, Label(vegetables).Y - 5), Shown(clHighlight));
    EXPECT_EQ(host.PixelAt(*form, selectedText.X, Label(fruit).Y - 5), Shown(clWindow));
    // The button of a closed branch: a frame with a plus.
    const TPoint button = Button(fruit);
    EXPECT_EQ(host.PixelAt(*form, button.X, button.Y), Shown(clWindowText));
    EXPECT_EQ(host.PixelAt(*form, button.X, button.Y - 2), Shown(clWindowText));
    EXPECT_EQ(host.PixelAt(*form, button.X - 4, button.Y), Shown(clBtnShadow));
    // Without the focus, the selection shows grey (HideSelection off) or not at all.
    thorn::test::Place<TTreeView>(*form, {250, 10, 300, 50})->SetFocus();
    Application->ProcessMessages();
    EXPECT_EQ(host.PixelAt(*form, selectedText.X, Label(vegetables).Y - 5), Shown(clWindow));
    tree->SetHideSelection(false);
    Application->ProcessMessages();
    EXPECT_EQ(host.PixelAt(*form, selectedText.X, Label(vegetables).Y - 5), Shown(clBtnFace));
    // A drop target is highlighted.
    tree->SetDropTarget(nuts);
    Application->ProcessMessages();
    EXPECT_EQ(host.PixelAt(*form, Label(nuts).X, Label(nuts).Y - 5), Shown(clHighlight));
    // The node under the pointer is underlined in the highlight colour.
    host.MouseMove(*form, Label(fruit).X, Label(fruit).Y);
    Application->ProcessMessages();
    bool underlined = false;
    const TRect r = fruit->DisplayRect(true);
    for (int x = r.Left; x < r.Right; ++x)
        for (int y = r.Top; y < r.Bottom; ++y)
            underlined |= host.PixelAt(*form, OnForm(*tree, {x, y}).X, OnForm(*tree, {x, y}).Y) == Shown(clHighlight);
    EXPECT_TRUE(underlined);
}

TEST_F(GuiTreeView, TheProgramChoosesImagesWithoutEndlessPaints) {
    TImageList* images = thorn::Make<TImageList>(*form);
    TBitmap32 strip;
    strip.SetSize(32, 16);
    strip.FillRect(0, 0, 16, 16, Color32(clRed));
    strip.FillRect(16, 0, 32, 16, Color32(clBlue));
    images->AddMasked(strip, clNone);
    tree->SetImages(images);
    int asked = 0;
    tree->OnGetImageIndex = [&](TObject*, TTreeNode* node) {
        ++asked;
        node->SetImageIndex(node->GetHasChildren() ? 0 : 1);
    };
    tree->OnGetSelectedIndex = [](TObject*, TTreeNode* node) { node->SetSelectedIndex(1); };
    fruit->Expand(false);
    // The first paint learns the images (the rows are painted again); then it settles.
    Application->ProcessMessages();
    Application->ProcessMessages();
    EXPECT_FALSE(form->HasPendingPaint());
    EXPECT_GT(asked, 0);
    auto imageAt = [&](TTreeNode* node) {
        const TRect text = node->DisplayRect(true);
        const TPoint p = OnForm(*tree, {text.Left - 1 - 8, (text.Top + text.Bottom) / 2});
        return host.PixelAt(*form, p.X, p.Y);
    };
    EXPECT_EQ(imageAt(fruit), Shown(clRed));
    EXPECT_EQ(imageAt(apple), Shown(clBlue));
    EXPECT_GE(tree->GetRowHeight(), 16);
}

TEST_F(GuiTreeView, ACutOffTextShowsWholeInAHint) {
    TTreeNode* longNode = tree->GetItems()->Add(nuts, "A node whose text runs past the right edge of the tree");
    host.MouseMove(*form, Label(nuts).X, Label(nuts).Y);
    Application->ProcessMessages();
    auto shownHint = [] {
        for (int i = 0; i < Screen->GetFormCount(); ++i)
            if (auto* hint = dynamic_cast<THintWindow*>(Screen->GetForm(i)); hint && hint->GetVisible()) return hint;
        return static_cast<THintWindow*>(nullptr);
    };
    EXPECT_EQ(shownHint(), nullptr);
    const TRect r = longNode->DisplayRect(true);
    const TPoint p = OnForm(*tree, {r.Left + 20, (r.Top + r.Bottom) / 2});
    host.MouseMove(*form, p.X, p.Y);
    THintWindow* hint = shownHint();
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(hint->GetCaption(), longNode->GetText());
    EXPECT_EQ(hint->GetLeft(), tree->ClientToScreen({r.Left - 1, 0}).X);
    // Leaving for the hint over the row is no leaving; the pointer passes
    // through the hint to the tree.
    host.MouseLeave(*form);
    ASSERT_EQ(shownHint(), hint);
    host.MouseMove(*hint, 5, 3);
    EXPECT_EQ(shownHint(), hint);
    host.MouseMove(*hint, hint->GetWidth() - 2, 3);  // past the tree's edge, over the form
    EXPECT_EQ(shownHint(), nullptr);
    host.MouseMove(*form, p.X, p.Y);
    ASSERT_NE(shownHint(), nullptr);
    host.MouseMove(*form, 390, 290);
    host.MouseLeave(*form);
    EXPECT_EQ(shownHint(), nullptr);
    tree->SetToolTips(false);
    host.MouseMove(*form, p.X, p.Y);
    EXPECT_EQ(shownHint(), nullptr);
}

TEST_F(GuiTreeView, ExpandingAndCollapsingMayBeRefusedOrFillTheBranch) {
    tree->OnExpanding = [this](TObject*, TTreeNode* node, bool& allow) {
        log.push_back("expanding " + Text(node));
        allow = node != vegetables;
        // A branch that shows a button before it has children gets them here.
        if (node == nuts && nuts->GetCount() == 0) tree->GetItems()->AddChild(nuts, "Walnut");
    };
    tree->OnCollapsing = [this](TObject*, TTreeNode* node, bool& allow) { allow = node != fruit; };
    nuts->SetHasChildren(true);
    struct Case {
        const char* what;
        std::function<void()> act;
        const char* rows;
    };
    const Case cases[] = {
        {"a refused button", [&] { Click(Button(vegetables)); }, "Fruit,Vegetables,Nuts"},
        {"a refused key", [&] { tree->SetSelected(vegetables), host.PressKey(VK_RIGHT); }, "Fruit,Vegetables,Nuts"},
        {"a branch filled as it opens", [&] { Click(Button(nuts)); }, "Fruit,Vegetables,Nuts,Walnut"},
        {"Fruit opens", [&] { Click(Button(fruit)); }, "Fruit,Apple,Pear,Vegetables,Nuts,Walnut"},
        {"but does not close", [&] { tree->SetSelected(fruit), host.PressKey(VK_LEFT); },
         "Fruit,Apple,Pear,Vegetables,Nuts,Walnut"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.act();
        EXPECT_EQ(Rows(), c.rows);
    }
    EXPECT_EQ(std::count(log.begin(), log.end(), "expanding Vegetables"), 2);
    EXPECT_EQ(std::count(log.begin(), log.end(), "expanded Vegetables"), 0);
    // A button whose branch stays empty goes.
    tree->OnExpanding = nullptr;
    apple->SetHasChildren(true);
    Click(Button(apple));
    EXPECT_FALSE(apple->GetHasChildren());
    EXPECT_FALSE(apple->GetExpanded());
}

TEST_F(GuiTreeView, AutoExpandOpensTheSelectionAndClosesTheOneBefore) {
    tree->SetAutoExpand(true);
    Click(Label(fruit));
    EXPECT_EQ(Rows(), "Fruit,Apple,Pear,Vegetables,Nuts");
    Click(Label(pear));  // inside the open branch: it stays open
    EXPECT_EQ(Rows(), "Fruit,Apple,Pear,Conference,Williams,Vegetables,Nuts");
    Click(Label(vegetables));  // elsewhere: Pear closes
    EXPECT_EQ(Rows(), "Fruit,Apple,Pear,Vegetables,Leek,Nuts");
    host.PressKey(VK_UP);
    EXPECT_EQ(Selected(), "Pear");
    EXPECT_EQ(Rows(), "Fruit,Apple,Pear,Conference,Williams,Vegetables,Nuts");
}

TEST_F(GuiTreeView, HitTestsNameThePartOfTheRowUnderAPoint) {
    TImageList* images = thorn::Make<TImageList>(*form);
    TImageList* states = thorn::Make<TImageList>(*form);
    TBitmap32 square;
    square.SetSize(16, 16);
    square.Clear(Color32(clGreen));
    images->AddMasked(square, clNone);
    square.Clear(Color32(clMaroon));
    states->AddMasked(square, clNone);
    tree->SetImages(images);
    tree->SetStateImages(states);
    fruit->Expand(false);
    apple->SetStateIndex(0);
    apple->SetCut(true);
    Application->ProcessMessages();
    const TRect text = apple->DisplayRect(true);
    const int middle = (text.Top + text.Bottom) / 2;
    const TRect client = tree->GetClientRect();
    const int indent = tree->GetIndent();
    // Rows show the state image's room (16) and the image (16) left of the text.
    const TRect fruitText = fruit->DisplayRect(true);
    struct Case {
        const char* what;
        TPoint at;
        THitTests hits;
        TTreeNode* node;
    };
    const Case cases[] = {
        {"the label", {text.Left + 3, middle}, {htOnItem, htOnLabel}, apple},
        {"the image", {text.Left - 1 - 8, middle}, {htOnItem, htOnIcon}, apple},
        {"the state image", {text.Left - 1 - 16 - 8, middle}, {htOnItem, htOnStateIcon}, apple},
        {"right of the label", {text.Right + 5, middle}, {htOnRight}, apple},
        {"the indentation", {2, middle}, {htOnIndent}, apple},
        {"the parent's button", {fruitText.Left - 1 - 32 - 2 - indent + indent / 2, fruitText.Top + 3}, {htOnButton},
         fruit},
        {"below the last row", {text.Left, client.Bottom - 2}, {htNowhere}, nullptr},
        {"above", {text.Left, -3}, {htAbove}, nullptr},
        {"below and to the right", {client.Right + 1, client.Bottom + 1}, {htBelow, htToRight}, nullptr},
        {"to the left", {-indent, middle}, {htToLeft}, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(tree->GetHitTestInfoAt(c.at.X, c.at.Y), c.hits);
        if (c.hits.Contains(htOnItem) || c.hits.Contains(htOnButton)) {
            EXPECT_EQ(tree->GetNodeAt(c.at.X, c.at.Y), c.node);
        }
    }
    // The state image is drawn left of the image; a cut node's image is ghosted.
    auto pixel = [&](TPoint p) { return host.PixelAt(*form, OnForm(*tree, p).X, OnForm(*tree, p).Y); };
    EXPECT_EQ(pixel({text.Left - 1 - 16 - 8, middle}), Shown(clMaroon));
    EXPECT_NE(pixel({text.Left - 1 - 8, middle}), Shown(clGreen));
    const TRect pearText = pear->DisplayRect(true);
    EXPECT_EQ(pixel({pearText.Left - 1 - 8, (pearText.Top + pearText.Bottom) / 2}), Shown(clGreen));
}

TEST_F(GuiTreeView, CustomDrawingMayTakeOverRowsOrTheWholeView) {
    std::vector<std::string> stages;
    tree->OnCustomDrawItem = [](TObject*, TTreeNode* node, TCustomDrawState, bool& defaultDraw) {
        defaultDraw = node->GetText() != "Vegetables";
    };
    tree->OnAdvancedCustomDrawItem = [&](TObject*, TTreeNode* node, TCustomDrawState state, TCustomDrawStage stage,
                                         bool&, bool&) {
        stages.push_back(node->GetText() + (stage == cdPrePaint ? " pre" : " post") +
                         (state.Contains(cdsSelected) ? " selected" : ""));
    };
    tree->SetSelected(nuts);
    tree->Invalidate();
    Application->ProcessMessages();
    EXPECT_EQ(stages, (std::vector<std::string>{"Fruit pre", "Fruit post", "Vegetables pre", "Nuts pre selected",
                                                "Nuts post selected"}));
    // A row left to its handler shows nothing of its own.
    auto inkIn = [&](TTreeNode* node) {
        const TRect r = node->DisplayRect(true);
        for (int x = r.Left; x < r.Right; ++x)
            for (int y = r.Top; y < r.Bottom; ++y)
                if (host.PixelAt(*form, OnForm(*tree, {x, y}).X, OnForm(*tree, {x, y}).Y) == Shown(clWindowText))
                    return true;
        return false;
    };
    EXPECT_TRUE(inkIn(fruit));
    EXPECT_FALSE(inkIn(vegetables));
    // A view whose handler draws it all paints no row.
    stages.clear();
    tree->OnCustomDraw = [&](TObject*, const TRect& rect, bool& defaultDraw) {
        TCanvas& canvas = tree->Canvas();
        canvas.FillColor(rect, clYellow);
        defaultDraw = false;
    };
    tree->Invalidate();
    Application->ProcessMessages();
    EXPECT_TRUE(stages.empty());
    EXPECT_EQ(host.PixelAt(*form, Label(fruit).X, Label(fruit).Y), Shown(clYellow));
}

TEST_F(GuiTreeView, ADataSortFollowsTheNodesData) {
    // Each node's data is its place in the order the program wants.
    intptr_t order[] = {0, 1, 2, 3, 4};
    nuts->SetData(&order[0]);
    vegetables->SetData(&order[1]);
    fruit->SetData(&order[2]);
    // Nodes without data (the children) keep their order.
    tree->OnCompare = [](TObject*, TTreeNode* a, TTreeNode* b, int32_t, int& compare) {
        auto place = [](TTreeNode* n) { return n->GetData() ? *static_cast<intptr_t*>(n->GetData()) : 0; };
        compare = static_cast<int>(place(a) - place(b));
    };
    tree->SetSortType(stData);
    EXPECT_EQ(Rows(), "Nuts,Vegetables,Fruit");
    nuts->SetData(&order[4]);
    EXPECT_EQ(Rows(), "Vegetables,Fruit,Nuts");
    nuts->SetText("Almonds");  // a data sort leaves the texts alone
    EXPECT_EQ(Rows(), "Vegetables,Fruit,Almonds");
    // Sorting by both, the program's order still decides.
    tree->SetSortType(stBoth);
    EXPECT_EQ(Rows(), "Vegetables,Fruit,Almonds");
    fruit->Expand(false);
    EXPECT_EQ(Rows(), "Vegetables,Fruit,Apple,Pear,Almonds");
}

TEST_F(GuiTreeView, NothingIsPaintedWhileTheNodesAreBeingUpdated) {
    while (form->HasPendingPaint()) Application->ProcessMessages();
    TTreeNodes& items = *tree->GetItems();
    items.BeginUpdate();
    items.BeginUpdate();
    items.AddChild(nullptr, "Beans");
    fruit->Expand(false);
    vegetables->Delete();
    tree->painted.clear();
    Application->ProcessMessages();
    EXPECT_TRUE(tree->painted.empty());
    // Shown again meanwhile (uncovered, say), it shows the rows as they
    // were, less the one deleted.
    tree->Invalidate();
    Application->ProcessMessages();
    EXPECT_EQ(tree->painted, (std::vector<std::string>{"Fruit", "Nuts"}));
    tree->painted.clear();
    items.EndUpdate();
    Application->ProcessMessages();
    EXPECT_TRUE(tree->painted.empty()) << "one update is still open";
    items.EndUpdate();
    Application->ProcessMessages();
    EXPECT_EQ(tree->painted, (std::vector<std::string>{"Fruit", "Apple", "Pear", "Nuts", "Beans"}));
    items.EndUpdate();  // one too many does nothing
    EXPECT_EQ(items.GetUpdateCount(), 0);
}

TEST_F(GuiTreeView, TheTextFormGoesToFilesAndANodeCannotBeAddedUnderOneBeingDeleted) {
    thorn::test::TempDir dir;
    tree->SaveToFile(dir / "tree.txt");
    TTreeView* copy = thorn::Make<TTreeView>(*form);
    copy->LoadFromFile(dir / "tree.txt");
    std::string outline;
    for (TTreeNode* n = copy->GetItems()->GetFirstNode(); n; n = n->GetNext())
        outline += std::string(static_cast<size_t>(n->GetLevel()), '-') + n->GetText() + " ";
    EXPECT_EQ(outline, "Fruit -Apple -Pear --Conference --Williams Vegetables -Leek Nuts ");
    EXPECT_TRUE(copy->GetItems()->GetFirstNode()->IsEqual(fruit));
    EXPECT_FALSE(copy->GetItems()->GetFirstNode()->IsEqual(nuts));
    EXPECT_THROW(copy->LoadFromFile(dir / "missing.txt"), EFOpenError);
    EXPECT_THROW(copy->SaveToFile(dir / "no folder" / "tree.txt"), EStreamError);

    std::string refused;
    tree->OnDeletion = [&](TObject*, TTreeNode* node) {
        if (node != pear) return;
        try {
            tree->GetItems()->AddChild(pear, "late");
        } catch (const EOutOfResources& e) {
            refused = e.Message();
        }
    };
    pear->Delete();
    EXPECT_EQ(refused, "Unable to insert an item");
    EXPECT_EQ(tree->GetItems()->GetCount(), 5);
    // Sorted by the program's own comparison, given with the call.
    tree->CustomSort([](TTreeNode* a, TTreeNode* b, int32_t) { return b->GetText().compare(a->GetText()); }, 0);
    EXPECT_EQ(Rows(), "Vegetables,Nuts,Fruit");
}

}  // namespace
