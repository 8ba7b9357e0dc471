#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "controls/Rmscrnctrls.h"
#include "gui/Edit.h"
#include "gui/TestControls.h"
#include "support/Pixels.h"

namespace {

using thorn::test::MakeForm;
using thorn::test::Place;
using thorn::test::Shown;

// An edit on a form at (100, 100) for which a screen tree of Fruit (Apple,
// Pear) and Nuts drops 150 x 120 below it.
class ScreenTree : public ::testing::Test {
protected:
    ScreenTree() {
        host.SetWorkArea({0, 0, 800, 600});
        form = MakeForm(300, 200);
        edit = Place<TEdit>(*form, {20, 30, 140, 51});
        tree = thorn::Make<TrmCustomScreenTreeView>(*form);
        tree->SetParent(edit);
        TTreeNodes& items = *tree->GetItems();
        fruit = items.AddChild(nullptr, "Fruit");
        items.AddChild(fruit, "Apple");
        items.AddChild(fruit, "Pear");
        nuts = items.AddChild(nullptr, "Nuts");
        tree->OnKeyDown = [this](TObject*, TKey& key, TShiftState) {
            if (key != VK_RETURN) return;
            key = 0;
            if (TTreeNode* node = tree->GetSelected()) edit->SetText(node->GetText());
            tree->Hide();
        };
        form->Show();
        edit->SetFocus();
    }
    TPopupWindow& Window() const { return *tree->GetScreenWindow(); }
    // Just below the edit.
    TRect BelowEdit() const {
        return thorn::DropDownRect(form->ClientToScreen({edit->GetLeft(), edit->GetTop()}), edit->GetHeight(), 150, 120);
    }
    // The middle of a node's label in the pop-up's window.
    TPoint Label(TTreeNode* node) const {
        TRect r = node->DisplayRect(true);
        return tree->ClientToParent({(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}, &Window());
    }
    bool Shows() const { return tree->GetVisible() && host.IsWindowVisible(Window()); }

    thorn::HeadlessApplication session;
    thorn::HeadlessHost& host = session.Host();
    TForm* form = nullptr;
    TEdit* edit = nullptr;
    TrmCustomScreenTreeView* tree = nullptr;
    TTreeNode* fruit = nullptr;
    TTreeNode* nuts = nullptr;
};

TEST_F(ScreenTree, DropsBelowItsOwnerAndTakesTheKeysTypedThere) {
    EXPECT_FALSE(tree->GetVisible());
    tree->ShowAt(BelowEdit());
    ASSERT_TRUE(Shows());
    EXPECT_EQ(Window().GetBoundsRect(), (TRect{120, 151, 270, 271}));
    EXPECT_EQ(tree->GetBoundsRect(), (TRect{1, 1, 149, 119}));  // inside a one-pixel frame
    EXPECT_TRUE(edit->Focused());
    EXPECT_EQ(Application->GetCaptureControl(), tree);

    struct Case {
        const char* what;
        TKey key;
        const char* selected;
        bool expanded;
    } const cases[] = {
        {"Down: the first node", VK_DOWN, "Fruit", false},
        {"Right expands", VK_RIGHT, "Fruit", true},
        {"Down", VK_DOWN, "Apple", true},
    };
    for (const auto& [what, key, selected, expanded] : cases) {
        SCOPED_TRACE(what);
        host.PressKey(key);
        ASSERT_NE(tree->GetSelected(), nullptr);
        EXPECT_EQ(tree->GetSelected()->GetText(), selected);
        EXPECT_EQ(fruit->GetExpanded(), expanded);
        EXPECT_EQ(edit->GetText(), "");
    }
    // Drawn as focused though the keyboard stays with the edit.
    Application->ProcessMessages();
    const TPoint apple = Label(fruit->GetFirstChild());
    EXPECT_EQ(host.PixelAt(Window(), apple.X, fruit->GetFirstChild()->DisplayRect(true).Top + 1), Shown(clHighlight));
    // The owner's handler takes Enter.
    host.PressKey(VK_RETURN);
    EXPECT_EQ(edit->GetText(), "Apple");
    EXPECT_FALSE(Shows());
    EXPECT_EQ(Application->GetCaptureControl(), nullptr);
}

TEST_F(ScreenTree, ClosesOnEscapeAPressOutsideAndLetsTheMouseGoOverItself) {
    TForm* elsewhere = MakeForm(50, 50);
    struct Case {
        const char* what;
        std::function<void()> close;
    };
    const Case cases[] = {
        {"Escape", [&] { host.PressKey(VK_ESCAPE); }},
        {"a press on the owner's window", [&] { host.Click(*form, 250, 150); }},
        {"hidden by its owner", [&] { tree->Hide(); }},
        {"a press on its frame, outside its rows", [&] { host.Click(Window(), 0, 0); }},
        {"its owner's window losing the keyboard", [&] { elsewhere->Show(); }},
    };
    std::vector<TPopupCloseReason> reasons;
    tree->OnScreenClose = [&](TObject*, TPopupCloseReason reason) { reasons.push_back(reason); };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        elsewhere->Hide();
        form->Show();
        edit->SetFocus();
        tree->ShowAt({130, 160, 280, 280});
        ASSERT_TRUE(Shows());
        EXPECT_EQ(Window().GetBoundsRect(), (TRect{130, 160, 280, 280}));
        EXPECT_EQ(Application->GetCaptureControl(), tree);
        c.close();
        Application->ProcessMessages();
        EXPECT_FALSE(Shows());
        EXPECT_EQ(Application->GetCaptureControl(), nullptr);
    }
    EXPECT_EQ(reasons, (std::vector<TPopupCloseReason>{pcEscape, pcClickOutside, pcFocusLost}));
    // The pointer over the shown tree lets the mouse go; its nodes react.
    tree->Show();
    const TPoint over = Label(nuts);
    host.MouseMove(Window(), over.X, over.Y);
    EXPECT_EQ(Application->GetCaptureControl(), nullptr);
    host.Click(Window(), over.X, over.Y);
    ASSERT_NE(tree->GetSelected(), nullptr);
    EXPECT_EQ(tree->GetSelected()->GetText(), "Nuts");
    EXPECT_TRUE(Shows());
    // Leaving it takes the mouse again.
    host.MouseLeave(Window());
    EXPECT_EQ(Application->GetCaptureControl(), tree);
    host.Click(*form, 250, 150);
    EXPECT_FALSE(Shows());
}

TEST_F(ScreenTree, ThePathTreeDropsDownTheSameWay) {
    auto* paths = thorn::Make<TrmCustomScreenPathTreeView>(*form);
    paths->SetParent(edit);
    TrmTreeNode* north = paths->AddPathNode(nullptr, "/Maps/North");
    std::string changed;
    paths->OnChange = [&](TObject*, TrmTreeNode* node) { changed = paths->NodePath(node); };
    paths->ShowAt(BelowEdit());
    ASSERT_TRUE(host.IsWindowVisible(*paths->GetScreenWindow()));
    host.PressKey(VK_MULTIPLY);  // nothing selected yet: nothing opens
    host.PressKey(VK_DOWN);
    host.PressKey(VK_MULTIPLY);
    host.PressKey(VK_DOWN);
    EXPECT_EQ(paths->GetSelection(), north);
    EXPECT_EQ(changed, "/Maps/North");
    host.PressKey(VK_ESCAPE);
    EXPECT_FALSE(paths->GetVisible());
    EXPECT_FALSE(host.IsWindowVisible(*paths->GetScreenWindow()));
}

}  // namespace
