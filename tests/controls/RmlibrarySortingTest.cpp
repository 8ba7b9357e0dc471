#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "controls/Rmlibrary_Sorting.h"
#include "gui/TestControls.h"

namespace {

TEST(RmlibrarySorting, SortDataPacksColumnAndDirection) {
    EXPECT_EQ(EncodeSortData(true, 3), 7);
    EXPECT_EQ(EncodeSortData(false, 3), 6);
    EXPECT_EQ(EncodeSortData(true, 0x40000000), INT32_MIN + 1);
    EXPECT_EQ(EncodeSortData(false, INT32_MAX), -2);
    bool ascending = false;
    int32_t column = -1;
    DecodeSortData(7, ascending, column);
    EXPECT_TRUE(ascending);
    EXPECT_EQ(column, 3);
}

TEST(RmlibrarySorting, ItemsInTheOrderOfEachComparison) {
    thorn::HeadlessApplication session;
    TForm* form = thorn::test::MakeForm();
    TListView* view = thorn::Make<TListView>(*form);
    const std::vector<std::vector<std::string>> rows = {
        // caption, then the sub-items: name, integer, number, date
        {"delta", "Banana", "5", "2.5", "01/15/2024"},
        {"Alpha", "apple", "x", "1e1", "12/31/2023 23:00"},
        {"charlie", "Cherry", "-3", "oops", "01/15/2024 08:30"},
        {"Bravo", "APRICOT", "12", "-0.5", "not a date"},
        {"echo", "banana"},
    };
    std::vector<const TListItem*> items;
    for (const auto& row : rows) {
        TListItem* item = view->GetItems()->Add();
        item->SetCaption(row[0]);
        for (size_t i = 1; i < row.size(); ++i) item->GetSubItems()->Add(row[i]);
        items.push_back(item);
    }

    using Proc = int32_t (*)(const TListItem*, const TListItem*, int32_t);
    struct Case {
        const char* what;
        Proc proc;
        int32_t data;
        std::vector<std::string> order;
    } const cases[] = {
        {"captions", CaptionStringSortProc, 1, {"Alpha", "Bravo", "charlie", "delta", "echo"}},
        {"captions reversed", CaptionStringSortProc, 0, {"echo", "delta", "charlie", "Bravo", "Alpha"}},
        {"names", StringSortProc, EncodeSortData(true, 0), {"Alpha", "Bravo", "delta", "echo", "charlie"}},
        // Texts that are no number come first, in their order.
        {"integers", IntegerSortProc, EncodeSortData(true, 1), {"Alpha", "echo", "charlie", "delta", "Bravo"}},
        {"integers down", IntegerSortProc, EncodeSortData(false, 1), {"Bravo", "delta", "charlie", "Alpha", "echo"}},
        {"numbers", FloatSortProc, EncodeSortData(true, 2), {"charlie", "echo", "Bravo", "delta", "Alpha"}},
        {"dates", DateSortProc, EncodeSortData(true, 3), {"Bravo", "echo", "Alpha", "delta", "charlie"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<const TListItem*> sorted = items;
        std::stable_sort(sorted.begin(), sorted.end(),
                         [&c](const TListItem* a, const TListItem* b) { return c.proc(a, b, c.data) < 0; });
        std::vector<std::string> captions;
        for (const TListItem* item : sorted) captions.push_back(item->GetCaption());
        EXPECT_EQ(captions, c.order);
    }
    EXPECT_EQ(IntegerSortProc(items[1], items[4], EncodeSortData(true, 1)), 0);
    EXPECT_EQ(IntegerSortProc(items[0], items[3], EncodeSortData(true, 1)), -1);
}

}  // namespace
