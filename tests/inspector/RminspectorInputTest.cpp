#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ProvinceGrid.h"
#include "gui/PopupWindow.h"
#include "gui/RowView.h"
#include "inspector/Rmhint.h"
#include "support/Pixels.h"

namespace {

using thorn::test::ProvinceGridFixture;
using thorn::test::Shown;

// The hint window the grids share, when one shows.
TrmHintWindow* ShownHint() {
    for (int i = 0; i < Application->GetComponentCount(); ++i)
        if (auto* hint = dynamic_cast<TrmHintWindow*>(Application->GetComponent(i)); hint && hint->GetVisible())
            return hint;
    return nullptr;
}

class GridInput : public ::testing::Test, public ProvinceGridFixture {
protected:
    GridInput() {
        grid->OnItemChange = [this](TObject* sender) {
            EXPECT_EQ(sender, grid->GetEditor());
            ++changes;
        };
    }
    // Where the selected row's editor belongs: on its value cell while the
    // row is in sight, below the client area otherwise.
    void ExpectEditorOnItsRow() {
        TWinControl* editor = grid->GetEditor();
        ASSERT_NE(editor, nullptr);
        const int line = grid->GetItemIndex() - grid->GetVScrollPos();
        const TRect cell = grid->GetVisibleItemRect(line, true);
        EXPECT_EQ(editor->GetLeft(), cell.Left);
        EXPECT_EQ(editor->GetTop(), cell.Top);
        EXPECT_EQ(editor->GetWidth(), cell.Width());
    }
    int changes = 0;
};

TEST_F(GridInput, TheKeyboardWalksTheRowsWithTheEditorFollowing) {
    grid->SetHeight(110);
    Click(CaptionOf(0));
    ASSERT_TRUE(grid->Focused());
    const std::vector<bool> editable = {true, true, false, true, true, true, true, true, true, false, true, true, true};
    for (int row = 1; row < 13; ++row) {
        SCOPED_TRACE(row);
        host.PressKey(VK_DOWN);
        EXPECT_EQ(grid->GetItemIndex(), row);
        EXPECT_EQ(grid->GetEditor() != nullptr, editable[static_cast<size_t>(row)]);
        // The whole row is in sight, and the keys stay with the grid.
        EXPECT_LE(grid->GetVScrollPos(), row);
        EXPECT_LE((row - grid->GetVScrollPos() + 1) * grid->RowHeight(), grid->GetClientHeight());
        EXPECT_TRUE(grid->Focused());
        if (grid->GetEditor()) ExpectEditorOnItsRow();
    }
    host.PressKey(VK_DOWN);
    EXPECT_EQ(grid->GetItemIndex(), 12) << "the last row stays";
    host.PressKey(VK_PRIOR);
    EXPECT_EQ(grid->GetItemIndex(), 12 - (grid->vLines() - 1));
    EXPECT_EQ(grid->GetVScrollPos(), grid->GetItemIndex());
    for (int i = 0; i < 20; ++i) host.PressKey(VK_UP);
    EXPECT_EQ(grid->GetItemIndex(), 0);
    EXPECT_EQ(grid->GetVScrollPos(), 0);
    // Page Down: a page less one below, the last row in sight.
    host.PressKey(VK_NEXT);
    EXPECT_EQ(grid->GetItemIndex(), grid->vLines() - 1);
    host.PressKey(VK_PRIOR);
    EXPECT_EQ(grid->GetItemIndex(), 0);

    // Tab goes into the editor and back out to the grid.
    host.PressKey(VK_TAB);
    EXPECT_EQ(form->GetFocusedControl(), grid->GetEditor());
    host.PressKey(VK_TAB);
    EXPECT_TRUE(grid->Focused());
    // Up and Down in an editor move on with the focus in the next editor
    // (the combo's list is closed, so Down moves the row).
    host.PressKey(VK_TAB);
    host.PressKey(VK_DOWN);
    EXPECT_EQ(grid->GetItemIndex(), 1);
    EXPECT_EQ(form->GetFocusedControl(), grid->GetEditor());
    host.PressKey(VK_UP);
    EXPECT_EQ(grid->GetItemIndex(), 0) << "Up from the second row reaches the first";
    EXPECT_EQ(form->GetFocusedControl(), grid->GetEditor());
    host.PressKey(VK_DOWN);
    host.PressKey(VK_DOWN);
    EXPECT_EQ(grid->GetItemIndex(), 2);
    EXPECT_TRUE(grid->Focused()) << "a group row has no editor: the grid holds the keys";
}

TEST_F(GridInput, ANumberTypedEscapeAndEnter) {
    Click(ValueOf(3));  // Gold, 10
    TWinControl* editor = grid->GetEditor();
    ASSERT_NE(editor, nullptr);
    ASSERT_EQ(form->GetFocusedControl(), editor);
    auto gold = [&] { return grid->GetItemByName("Res_0")->GetAsString(); };
    struct Step {
        const char* what;
        std::function<void()> act;
        const char* shown;  // in the editor
        const char* stored;
        int changes;
    };
    const Step steps[] = {
        {"a sign alone is no number yet", [&] { host.TypeText("-"); }, "-", "10", 1},
        {"Escape puts the stored value back", [&] { host.PressKey(VK_ESCAPE); }, "10", "10", 1},
        {"a digit more", [&] { host.PressKey(VK_END); host.TypeText("0"); }, "100", "100", 2},
        {"beyond the range: kept inside it, the text left as typed", [&] { host.TypeText("0"); }, "1000", "255", 3},
        {"Enter ends the edit: the stored value shows again", [&] { host.PressKey(VK_RETURN); }, "255", "255", 3},
        {"the group above sums it at once", [] {}, "255", "255", 3},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        s.act();
        EXPECT_EQ(editor->GetText(), s.shown);
        EXPECT_EQ(gold(), s.stored);
        EXPECT_EQ(changes, s.changes);
    }
    EXPECT_EQ(grid->GetItemByName("Resour")->GetAsString(), "(255, 20, 30)");
    EXPECT_TRUE(host.ShownDialogs().empty()) << "no message for any of it";
}

TEST_F(GridInput, AChoicePickedWithTheMouseAfterEscapeStays) {
    Click(ValueOf(1));  // Owner
    auto* combo = dynamic_cast<TrmInspectorBtnCombo*>(grid->GetEditor());
    ASSERT_NE(combo, nullptr);
    ASSERT_EQ(form->GetFocusedControl(), combo);
    EXPECT_EQ(combo->GetText(), "none");
    host.PressKey(VK_ESCAPE);
    Click({combo->GetLeft() + grid->GetLeft() + 10, combo->GetTop() + grid->GetTop() + 5});
    ASSERT_TRUE(combo->GetDroppedDown());
    TPopupWindow* list = combo->GetListWindow();
    thorn::RowView* rows = combo->GetListView();
    const TRect blue = rows->RowRect(2);
    const TPoint at = rows->ClientToParent({blue.Left + 5, (blue.Top + blue.Bottom) / 2}, list);
    host.Click(*list, at.X, at.Y);
    EXPECT_FALSE(combo->GetDroppedDown());
    EXPECT_EQ(grid->GetItemByName("Owner")->GetAsString(), "Blue");
    EXPECT_EQ(combo->GetText(), "Blue");
    EXPECT_EQ(changes, 1);
    // With the list closed, Down moves the grid's selection.
    host.PressKey(VK_DOWN);
    EXPECT_EQ(grid->GetItemIndex(), 2);
    EXPECT_EQ(grid->GetItemByName("Owner")->GetAsString(), "Blue");
}

// While a combo row's list is down every key is the combo box's: Down moves
// the list's choice, not the grid's row, and Enter takes the choice.
TEST_F(GridInput, KeysGoToTheComboWhileItsListIsDown) {
    Click(ValueOf(1));  // Owner: none, Red, Blue
    auto* combo = dynamic_cast<TrmInspectorBtnCombo*>(grid->GetEditor());
    ASSERT_NE(combo, nullptr);
    host.PressKey(VK_F4);
    ASSERT_TRUE(combo->GetDroppedDown());
    host.PressKey(VK_DOWN);
    host.PressKey(VK_DOWN);
    EXPECT_EQ(grid->GetItemIndex(), 1);
    EXPECT_TRUE(combo->GetDroppedDown());
    EXPECT_EQ(combo->GetListView()->GetFocusedRow(), 2);
    host.PressKey(VK_RETURN);
    EXPECT_FALSE(combo->GetDroppedDown());
    EXPECT_EQ(grid->GetItemByName("Owner")->GetAsString(), "Blue");
    EXPECT_EQ(grid->GetItemIndex(), 1);
}

TEST_F(GridInput, ACheckBoxRowTogglesWithSpaceAndSumsUp) {
    Click(ValueOf(12));  // Active
    ASSERT_NE(dynamic_cast<TrmInspectorCheckBox*>(grid->GetEditor()), nullptr);
    host.PressKey(VK_SPACE);
    EXPECT_EQ(grid->GetItemByName("Active")->GetAsString(), "True");
    EXPECT_EQ(grid->GetEditor()->GetCaption(), "True");
    Click(ValueOf(8));  // Moat, True
    host.PressKey(VK_SPACE);
    EXPECT_EQ(grid->GetItemByName("CastMoat")->GetAsString(), "False");
    EXPECT_EQ(changes, 1 + 2) << "the three-state box reports the state it leaves, then the new one";
}

TEST_F(GridInput, TheSplitLineIsDraggedToEitherEdge) {
    grid->SetSplitResize(true);
    grid->SetItemIndex(0);
    const int y = grid->RowHeight() / 2;
    host.MouseMove(*form, At(grid->GetSplitPos(), y).X, At(0, y).Y);
    EXPECT_EQ(host.GetShownCursor(), crHSplit);
    host.MouseMove(*form, At(grid->GetSplitPos() - 20, y).X, At(0, y).Y);
    EXPECT_NE(host.GetShownCursor(), crHSplit);
    struct Case {
        int toX;
        int split;
    };
    const Case cases[] = {{grid->GetWidth() + 80, grid->GetClientWidth() - 15}, {-40, 15}, {150, 150}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.toX);
        host.Drag(*form, At(grid->GetSplitPos(), y), At(c.toX, y));
        EXPECT_EQ(grid->GetSplitPos(), c.split);
        ExpectEditorOnItsRow();
    }
    // However narrow the grid, nothing is raised.
    grid->SetWidth(20);
    EXPECT_EQ(grid->GetSplitPos(), 15);
}

TEST_F(GridInput, GroupRowsOpenAndCloseByClickAndKeys) {
    auto resources = [&] { return grid->GetItemByName("Resour")->GetNode(); };
    struct Step {
        const char* what;
        std::function<void()> act;
        bool open;
        int rows;
        int selected;
    };
    const Step steps[] = {
        {"a click on its caption closes it", [&] { Click(CaptionOf(2)); }, false, 10, 2},
        {"a click on the value cell selects only", [&] { Click(ValueOf(2)); }, false, 10, 2},
        {"another click opens it", [&] { Click(CaptionOf(2)); }, true, 13, 2},
        {"Left closes", [&] { host.PressKey(VK_LEFT); }, false, 10, 2},
        {"Right opens", [&] { host.PressKey(VK_RIGHT); }, true, 13, 2},
        {"Left on a row without children does nothing", [&] { Click(CaptionOf(0)); host.PressKey(VK_LEFT); }, true, 13, 0},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        s.act();
        EXPECT_EQ(resources()->GetExpanded(), s.open);
        EXPECT_EQ(grid->VisibleItemCount(), s.rows);
        EXPECT_EQ(grid->GetItemIndex(), s.selected);
    }
    // A key with no row selected selects the first.
    grid->SetItemIndex(-1);
    host.PressKey(VK_RIGHT);
    EXPECT_EQ(grid->GetItemIndex(), 0);
}

TEST_F(GridInput, TheWheelScrollsThreeRowsANotch) {
    grid->SetHeight(110);
    grid->SetItemIndex(0);
    const TPoint over = At(50, 20);
    int top = 0;
    for (int notches : {1, -1, -3, 1}) {
        SCOPED_TRACE(notches);
        host.Wheel(*form, over.X, over.Y, 120 * notches);
        // A forward turn goes towards the top.
        top = std::clamp(top - 3 * notches, 0, grid->GetVScrollSize());
        EXPECT_EQ(grid->GetVScrollPos(), top);
    }
    ASSERT_GT(top, 0);
    // The editor of the row scrolled away waits below the client area.
    EXPECT_GT(grid->GetEditor()->GetTop(), grid->GetClientHeight());
}

TEST_F(GridInput, ACutOffTextShowsWholeInAHint) {
    const std::string longName = "The Duchy of the Northern Marshes beyond the River";
    grid->GetItemByName("ProvName")->SetStringValue(longName);
    grid->GetItemByName("Owner")->GetNode()->SetText("Owner of the province in the last turn");
    grid->SetFocus();
    grid->SetItemIndex(3);
    struct Case {
        const char* what;
        TPoint at;
        const char* text;  // "" for no hint
    };
    const Case cases[] = {
        {"a value too long for its cell", ValueOf(0), longName.c_str()},
        {"a value that fits", ValueOf(4), ""},
        {"a caption too long for its cell", CaptionOf(1), "Owner of the province in the last turn"},
        {"a caption that fits", CaptionOf(0), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        host.MouseMove(*form, c.at.X, c.at.Y);
        TrmHintWindow* hint = ShownHint();
        EXPECT_EQ(hint ? hint->GetCaption() : "", c.text);
    }
    host.MouseMove(*form, ValueOf(0).X, ValueOf(0).Y);
    ASSERT_NE(ShownHint(), nullptr);
    host.PressKey(VK_SHIFT);
    EXPECT_EQ(ShownHint(), nullptr) << "a key closes it";
    host.MouseMove(*form, ValueOf(0).X, ValueOf(0).Y);
    ASSERT_NE(ShownHint(), nullptr);
    host.MouseMove(*form, grid->GetLeft() + grid->GetWidth() + 5, ValueOf(0).Y);
    EXPECT_EQ(ShownHint(), nullptr) << "leaving the grid closes it";
    // The row whose editor is open shows its value there, not in a hint.
    grid->SetItemIndex(0);
    host.MouseMove(*form, ValueOf(0).X + 1, ValueOf(0).Y);
    EXPECT_EQ(ShownHint(), nullptr);
}

TEST_F(GridInput, PaintShowsRowsMarksAndTheSplitLine) {
    grid->SetSelectedItemBgColor(clYellow);
    grid->SetFocus();
    grid->SetItemIndex(2);  // Resources: a group row, without editor
    session.App().ProcessMessages();
    const int h = grid->RowHeight(), split = grid->GetSplitPos(), right = grid->GetClientWidth() - 3;
    const int markTop = 2 * h + (h - 9) / 2;
    struct Case {
        const char* what;
        int x, y;
        TColor colour;
    };
    const Case cases[] = {
        {"the selected row's value cell", right, 2 * h + 2, clYellow},
        {"another row's value cell", right, 9 * h + 2, clBtnFace},
        {"the split line's shadow", split - 1, h / 2, clBtnShadow},
        {"the split line's light", split, h / 2, clBtnHighlight},
        {"a row's bottom line", 30, h - 1, clBtnShadow},
        {"the selected row's bottom line", 30, 3 * h - 1, clBtnHighlight},
        {"the open group's minus", 5, markTop + 4, clWindowText},
        {"no plus stroke on an open group", 5, markTop + 2, clWindow},
        {"the mark's frame", 1, markTop, clBtnShadow},
        {"the indicator of the selected row", 0, 2 * h + h / 2, clBtnText},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Pixel(c.x, c.y), Shown(c.colour));
    }
    host.PressKey(VK_LEFT);
    EXPECT_EQ(Pixel(5, markTop + 2), Shown(clWindowText)) << "a closed group shows a plus";
    EXPECT_EQ(Pixel(right, 3 * h + 2), Shown(clBtnFace)) << "the row below is the next group";
}

// The range is the visible rows less the lines on screen plus one, a cut
// last line counted: with 40 rows of 21 pixels it is 31 whether the client
// ends on a row's edge (210) or inside a row (200).
TEST_F(GridInput, TheScrollRangeCountsACutLastLineAsALine) {
    for (int i = 13; i < 40; ++i)
        ProvinceGridFixture::GetOrAdd(*grid, nullptr, "TrmStringInspectorItem", "Extra_" + std::to_string(i), "Extra");
    ASSERT_EQ(grid->VisibleItemCount(), 40);
    grid->SetItemHeight(21);
    const int frame = grid->GetHeight() - grid->GetClientHeight();
    struct Case {
        int client;
        int lines;
        int range;
    };
    const Case cases[] = {{210, 10, 31}, {200, 10, 31}, {189, 9, 32}, {190, 10, 31}, {840, 40, 1}, {861, 41, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.client);
        grid->SetHeight(c.client + frame);
        ASSERT_EQ(grid->GetClientHeight(), c.client);
        EXPECT_EQ(grid->vLines(), c.lines);
        EXPECT_EQ(grid->GetVScrollSize(), c.range);
    }
}

// A press selects the row painted under it: row = y div row height (the
// first pixel of a row is that row's, not the one above).
TEST_F(GridInput, APressSelectsTheRowPaintedUnderIt) {
    const int h = grid->RowHeight();
    struct Case {
        int y;
        int row;
    };
    const Case cases[] = {{0, 0}, {h - 1, 0}, {h, 1}, {2 * h - 1, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.y);
        grid->SetItemIndex(3);
        Click(grid->ClientToParent({30, c.y}, form));
        EXPECT_EQ(grid->GetItemIndex(), c.row);
    }
}

// The rows keep their height through a font change; setting ItemHeight
// replaces it, and -1 measures the font again.
TEST_F(GridInput, AFontChangeKeepsTheRowHeight) {
    const int h = grid->RowHeight();
    TFont big(grid->GetFont());
    big.SetSize(big.GetSize() * 2);
    grid->SetFont(big);
    EXPECT_EQ(grid->RowHeight(), h);
    grid->SetItemHeight(-1);
    EXPECT_GT(grid->RowHeight(), h);
}

TEST_F(GridInput, AReadOnlyGridShowsValuesWithoutEditing) {
    grid->SetReadonly(true);
    Click(ValueOf(0));
    ASSERT_NE(grid->GetEditor(), nullptr);
    EXPECT_FALSE(grid->GetEditor()->GetVisible());
    EXPECT_TRUE(grid->Focused());
    host.PressKey(VK_TAB);
    host.TypeText("x");
    EXPECT_TRUE(grid->Focused());
    EXPECT_EQ(grid->GetItemByName("ProvName")->GetAsString(), "<Empty Value>");
    EXPECT_EQ(changes, 0);
}

TEST_F(GridInput, KeysOfTheEditorReachOnItemKeyDown) {
    std::vector<TKey> keys;
    grid->OnItemKeyDown = [&](TObject* sender, TKey& key, TShiftState) {
        EXPECT_NE(dynamic_cast<TWinControl*>(sender), nullptr);
        keys.push_back(key);
    };
    Click(ValueOf(0));
    host.PressKey('A');
    host.PressKey(VK_DOWN);
    EXPECT_EQ(keys, (std::vector<TKey>{'A', 0}));
}

}  // namespace
