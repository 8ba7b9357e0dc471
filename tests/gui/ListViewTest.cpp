#include <gtest/gtest.h>

#include "TestControls.h"
#include "gui/ListView.h"
#include "support/Pixels.h"

namespace {

using thorn::test::MakeForm;
using thorn::test::Shown;
using Log = std::vector<std::string>;

// A list view that counts the rows it paints.
class CountingListView : public TListView {
public:
    std::vector<int> drawn;

protected:
    void DrawItem(TCanvas& canvas, TListItem& item, const TRect& rect, TOwnerDrawState state) override {
        drawn.push_back(item.GetIndex());
        TListView::DrawItem(canvas, item, rect, state);
    }
};

// The players list of the main window: check boxes, whole-row selection,
// columns "Pl Number" 30, "Name" 90, "Skills" 49 and "Ability" 60 right
// aligned; six rows whose Data is a number of the test's.
class GuiListView : public ::testing::Test {
protected:
    GuiListView() {
        form = MakeForm(400, 300);
        view = thorn::Make<CountingListView>(*form);
        view->SetParent(form);
        view->SetBounds(10, 10, 300, 150);
        view->SetViewStyle(vsReport);
        view->SetCheckboxes(true);
        view->SetRowSelect(true);
        view->SetReadOnly(true);
        const std::pair<const char*, int> columns[] = {{"Pl Number", 30}, {"Name", 90}, {"Skills", 49}, {"Ability", 60}};
        for (auto [caption, width] : columns) {
            TListColumn* c = view->GetColumns()->Add();
            c->SetCaption(caption);
            c->SetWidth(width);
            if (width < 60 && width != 30) c->SetAlignment(taRightJustify);
        }
        view->GetColumns()->GetItem(3)->SetAlignment(taRightJustify);
        for (int i = 0; i < 6; ++i) {
            TListItem* item = view->GetItems()->Add();
            item->SetCaption(std::to_string(i + 1));
            item->GetSubItems()->Add("Player " + std::to_string(i + 1));
            item->GetSubItems()->Add("(0,0,0)");
            item->GetSubItems()->Add(i < 2 ? "Human" : "Computer");
            item->SetData(&data[i]);
        }
        view->OnSelectItem = [this](TObject*, TListItem* item, bool selected) {
            log.push_back((selected ? "select " : "deselect ") + item->GetCaption());
        };
        view->OnClick = [this](TObject*) { log.push_back("click"); };
        form->Show();
        view->SetFocus();
        log.clear();
    }
    // A point in row i, x pixels into the rows (form coordinates).
    TPoint At(int i, int x = 60) const {
        TRect r = view->GetItems()->GetItem(i)->DisplayRect();
        return {10 + 2 + x, 10 + 2 + (r.Top + r.Bottom) / 2};
    }
    void ClickRow(int i, TShiftState shift = {}) { host.Click(*form, At(i).X, At(i).Y, mbLeft, shift); }
    std::string SelectedCaptions() const {
        std::string s;
        for (TListItem* item = view->GetSelected(); item; item = view->GetNextItem(item, sdAll, {isSelected}))
            s += item->GetCaption();
        return s;
    }
    thorn::HeadlessApplication session;
    thorn::HeadlessHost& host = session.Host();
    TForm* form = nullptr;
    CountingListView* view = nullptr;
    int data[6] = {};
    Log log;
};

TEST_F(GuiListView, ShiftAndCtrlSelectRangesAndEverySelectAndDeselectIsHeard) {
    view->SetMultiSelect(true);
    struct Case {
        const char* what;
        std::function<void()> input;
        std::string selected;
        Log heard;
    };
    const Case cases[] = {
        {"a click", [&] { ClickRow(1); }, "2", {"select 2", "click"}},
        {"shift click down", [&] { ClickRow(4, {ssShift}); }, "2345", {"select 3", "select 4", "select 5", "click"}},
        {"shift up from there", [&] { host.PressKey(VK_UP, {ssShift}); }, "234", {"deselect 5"}},
        {"ctrl click adds", [&] { ClickRow(5, {ssCtrl}); }, "2346", {"select 6", "click"}},
        {"ctrl click removes", [&] { ClickRow(2, {ssCtrl}); }, "246", {"deselect 3", "click"}},
        {"shift click takes the range from the anchor alone", [&] { ClickRow(0, {ssShift}); }, "123",
         {"deselect 4", "deselect 6", "select 1", "select 3", "click"}},
        {"a plain key keeps one", [&] { host.PressKey(VK_END); }, "6",
         {"deselect 1", "deselect 2", "deselect 3", "select 6"}},
        {"a press below the rows deselects", [&] { host.Click(*form, 100, 150); }, "", {"deselect 6", "click"}},
    };
    for (const Case& c : cases) {
        log.clear();
        c.input();
        EXPECT_EQ(SelectedCaptions(), c.selected) << c.what;
        EXPECT_EQ(log, c.heard) << c.what;
    }
}

TEST_F(GuiListView, TheProgramsSelectionsAreHeardTooAndADeletedItemIsDeselectedFirst) {
    TListItems& items = *view->GetItems();
    struct Case {
        const char* what;
        std::function<void()> act;
        Log heard;
    };
    const Case cases[] = {
        {"Selected", [&] { items[2]->SetSelected(true); }, {"select 3"}},
        {"another in a single selection", [&] { items[4]->SetSelected(true); }, {"deselect 3", "select 5"}},
        {"the view's Selected", [&] { view->SetSelected(items[0]); }, {"deselect 5", "select 1"}},
        {"ItemIndex", [&] { view->SetItemIndex(-1); }, {"deselect 1"}},
        {"deleting the selected item",
         [&] {
             items[3]->SetSelected(true);
             items.Delete(3);
         },
         {"select 4", "deselect 4"}},
        {"clearing", [&] { items[0]->SetSelected(true), items.Clear(); }, {"select 1", "deselect 1"}},
    };
    for (const Case& c : cases) {
        log.clear();
        c.act();
        EXPECT_EQ(log, c.heard) << c.what;
    }
    EXPECT_EQ(view->GetSelected(), nullptr);
}

TEST_F(GuiListView, CheckBoxesTurnOverWithTheMouseAndSpaceWithoutMovingTheSelection) {
    std::vector<std::pair<std::string, TItemChange>> changes;
    view->OnChange = [&](TObject*, TListItem* item, TItemChange change) {
        changes.emplace_back(item->GetCaption(), change);
    };
    TPoint box = At(2, 8);
    host.Click(*form, box.X, box.Y);
    EXPECT_TRUE(view->GetItems()->GetItem(2)->GetChecked());
    EXPECT_EQ(view->GetSelected(), nullptr);
    EXPECT_EQ(changes, (std::vector<std::pair<std::string, TItemChange>>{{"3", ctState}}));
    ClickRow(4);
    host.PressKey(VK_SPACE);
    EXPECT_TRUE(view->GetItems()->GetItem(4)->GetChecked());
    host.PressKey(VK_SPACE);
    EXPECT_FALSE(view->GetItems()->GetItem(4)->GetChecked());
    EXPECT_EQ(view->GetItemFocused(), view->GetItems()->GetItem(4));
    // The box shows the mark.
    Application->ProcessMessages();
    auto ink = [&] {
        int n = 0;
        for (int y = box.Y - 4; y <= box.Y + 4; ++y)
            for (int x = box.X - 4; x <= box.X + 4; ++x) n += host.PixelAt(*form, x, y) == Shown(clWindowText);
        return n;
    };
    EXPECT_EQ(ink(), 21);  // the tick inside the box
}

TEST_F(GuiListView, ASmallImageShowsBetweenTheCheckBoxAndTheCaption) {
    TImageList* images = thorn::Make<TImageList>(*form);
    TBitmap32 picture;
    picture.SetSize(16, 16);
    picture.Clear(0xFF0000FFu);
    images->AddMasked(picture, clNone);
    view->SetSmallImages(images);
    EXPECT_EQ(view->GetRowHeight(), 17);  // rows grow to hold the image
    view->GetItems()->GetItem(1)->SetImageIndex(0);
    Application->ProcessMessages();
    EXPECT_EQ(host.PixelAt(*form, At(1, 2 + 16 + 8).X, At(1).Y), 0xFF0000FFu);
    EXPECT_EQ(host.PixelAt(*form, At(0, 2 + 16 + 8).X, At(0).Y), Shown(clWindow));
}

TEST_F(GuiListView, HeaderClicksGoToTheColumnAndTheHeaderCanBeHidden) {
    std::vector<int> clicked;
    view->OnColumnClick = [&](TObject*, TListColumn* column) { clicked.push_back(column->GetIndex()); };
    int h = view->HeaderHeight();
    host.Click(*form, 12 + 30 + 10, 12 + h / 2);  // "Name"
    host.Drag(*form, {12 + 5, 12 + h / 2}, {12 + 5, 12 + 3 * h});  // released off the column: no click
    EXPECT_EQ(clicked, std::vector<int>{1});
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(view->GetItems()->GetItem(0)->DisplayRect().Top, h);
    view->SetShowColumnHeaders(false);
    EXPECT_EQ(view->GetItems()->GetItem(0)->DisplayRect().Top, 0);
}

TEST_F(GuiListView, ColumnsThatSizeThemselvesShareTheRoomLeft) {
    TListColumns& columns = *view->GetColumns();
    columns.GetItem(1)->SetAutoSize(true);
    int client = view->GetClientWidth();
    EXPECT_EQ(columns.GetItem(1)->GetShownWidth(), client - 30 - 49 - 60);
    // A right-aligned column puts its text against its right side.
    Application->ProcessMessages();
    TRect r = view->GetItems()->GetItem(0)->DisplayRect();
    int right = 12 + client - 4, left = 12 + client - 60 + 4;
    auto inkAt = [&](int x) {
        int n = 0;
        for (int y = 12 + r.Top; y < 12 + r.Bottom; ++y) n += host.PixelAt(*form, x, y) != Shown(clWindow);
        return n;
    };
    int nearRight = 0, nearLeft = 0;
    for (int x = right - 3; x < right; ++x) nearRight += inkAt(x);
    for (int x = left; x < left + 3; ++x) nearLeft += inkAt(x);
    EXPECT_GT(nearRight, 0);
    EXPECT_EQ(nearLeft, 0);
}

TEST_F(GuiListView, ItemsAreFoundByTheirDataAndUpdatesPaintOnceAtTheEnd) {
    EXPECT_EQ(view->FindData(0, &data[3], true, false), view->GetItems()->GetItem(3));
    EXPECT_EQ(view->FindData(3, &data[3], false, false), nullptr);
    EXPECT_EQ(view->FindData(4, &data[3], false, true), view->GetItems()->GetItem(3));
    EXPECT_EQ(view->FindCaption(0, "4", false, true, false), view->GetItems()->GetItem(3));

    Application->ProcessMessages();
    view->drawn.clear();
    view->GetItems()->BeginUpdate();
    for (int i = 0; i < 100; ++i) view->GetItems()->Add()->SetCaption("More");
    Application->ProcessMessages();
    EXPECT_TRUE(view->drawn.empty());
    view->GetItems()->EndUpdate();
    Application->ProcessMessages();
    // Only the rows in sight are painted, once: rows of 15 pixels below a
    // header of 17 in the 146 pixels inside the frame show eight rows and
    // part of a ninth.
    EXPECT_EQ(view->GetRowHeight(), 15);
    EXPECT_EQ(view->HeaderHeight(), 17);
    EXPECT_EQ(view->GetVisibleRowCount(), 8);
    EXPECT_EQ(view->drawn, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
    host.PressKey(VK_END);
    EXPECT_EQ(view->GetTopItem()->GetIndex(), 106 - view->GetVisibleRowCount());
}

TEST_F(GuiListView, RowsAnswerClicksDoubleClicksAndKeys) {
    int doubles = 0;
    std::vector<TKey> keys;
    view->OnDblClick = [&](TObject*) { ++doubles; };
    view->OnKeyDown = [&](TObject*, TKey& key, TShiftState) { keys.push_back(key); };
    host.DoubleClick(*form, At(3).X, At(3).Y);
    EXPECT_EQ(doubles, 1);
    EXPECT_EQ(view->GetItemIndex(), 3);
    host.PressKey(VK_DOWN);
    EXPECT_EQ(keys, std::vector<TKey>{VK_DOWN});
    EXPECT_EQ(view->GetItemIndex(), 4);
    // The selected row shows in the highlight, and without the focus in the button face.
    Application->ProcessMessages();
    EXPECT_EQ(host.PixelAt(*form, At(4, 280).X, At(4).Y), Shown(clHighlight));
    view->SetHideSelection(false);
    form->FocusControl(nullptr);
    Application->ProcessMessages();
    EXPECT_EQ(host.PixelAt(*form, At(4, 280).X, At(4).Y), Shown(clBtnFace));
}

}  // namespace
