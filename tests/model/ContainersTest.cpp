#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "model/OrvSimpleArray.h"
#include "model/OrvString.h"
#include "model/pda_list.h"

namespace {

struct Counted {
    static inline int alive = 0;
    int value = 7;
    Counted() { ++alive; }
    ~Counted() { --alive; }
    bool operator==(const Counted& o) const { return value == o.value; }
};

TEST(CList, IndexPastTheEndAnswersNullOrThrows) {
    CList<int> list;
    list.Resize(3);
    EXPECT_EQ(list.GetCount(), 3u);
    EXPECT_NE(list.GetItem(2), nullptr);
    EXPECT_EQ(list.GetItem(3), nullptr);
    EXPECT_THROW(list[3], CList<int>::BadSize);
    EXPECT_NO_THROW(list[2]);
    CList<int> empty;
    EXPECT_EQ(empty.GetItem(0), nullptr);
    EXPECT_THROW(empty[0], CList<int>::BadSize);
}

TEST(CList, ResizeMakesDefaultElementsAndDestroysRemovedOnes) {
    {
        CList<Counted> list;
        list.Resize(6);
        EXPECT_EQ(Counted::alive, 6);
        EXPECT_EQ(list[5].value, 7);
        list[0].value = 1;
        list.Resize(2);
        EXPECT_EQ(Counted::alive, 2);
        EXPECT_EQ(list[0].value, 1);
        EXPECT_EQ(list.GetItem(1)->next, nullptr);  // the new tail
        list.Resize(4);
        EXPECT_EQ(list[3].value, 7);
        list.Clear();
        EXPECT_EQ(list.GetCount(), 0u);
        EXPECT_EQ(Counted::alive, 0);
        list.Resize(3);
    }
    EXPECT_EQ(Counted::alive, 0);  // the destructor clears
}

TEST(CList, IndexOfAndRemove) {
    CList<int> list;
    for (int v : {5, 8, 5, 9}) list.Append(std::make_unique<int>(v));
    EXPECT_EQ(list.IndexOf(5), 0u);
    EXPECT_EQ(list.IndexOf(9), 3u);
    EXPECT_EQ(list.IndexOf(4), 0xFFFFFFFFu);
    EXPECT_THROW(list.Remove(4), CList<int>::NotExist);
    list.Remove(9);  // the tail
    list.Append(std::make_unique<int>(10));
    EXPECT_EQ(list[3], 10);
    list.Remove(5);  // the head, first match only
    EXPECT_EQ(list.GetCount(), 3u);
    EXPECT_EQ(list[0], 8);
    EXPECT_EQ(list[1], 5);
    EXPECT_THROW(list.RemoveAt(3), CList<int>::BadSize);
}

// The capacity after each size: without a step it grows by the count over
// eight, between 4 and 1024, or to the size when that falls short; a fixed
// step grows by the step.
TEST(CSimpleArray, GrowthSteps) {
    struct Growth {
        int step;
        std::vector<std::pair<int, int>> sizeThenCapacity;
    };
    for (const Growth& g : {Growth{0, {{1, 4}}}, Growth{0, {{80, 80}, {81, 90}}}, Growth{0, {{9000, 9000}, {9001, 10024}}},
                            Growth{0, {{16, 16}, {100, 100}}}, Growth{3, {{2, 3}, {3, 3}, {6, 6}, {10, 10}}}}) {
        Orv::CSimpleArray<uint8_t> a;
        if (g.step) a.SetSize(0, g.step);
        for (auto [size, capacity] : g.sizeThenCapacity) {
            ASSERT_EQ(a.SetSize(size), 1);
            EXPECT_EQ(a.GetCapacity(), capacity) << size;
        }
    }
}

TEST(CSimpleArray, SetSizeZeroFreesAndRegrowsZeroed) {
    Orv::CSimpleArray<int> a;
    a.SetSize(5);
    for (int& v : a) v = 9;
    ASSERT_EQ(a.SetSize(0, 2), 1);
    EXPECT_EQ(a.GetCapacity(), 0);
    EXPECT_EQ(a.GetGrowBy(), 2);
    ASSERT_EQ(a.SetSize(5), 1);
    for (int v : a) EXPECT_EQ(v, 0);
}

TEST(CSimpleArray, ShrinkAndGrowBackGivesZeros) {
    Orv::CSimpleArray<int> a;
    a.SetSize(10);
    for (int i = 0; i < 10; ++i) a[i] = i + 1;
    a.SetSize(4);
    EXPECT_EQ(a.GetCapacity(), 10);  // the block stays
    a.SetSize(10);
    for (int i = 4; i < 10; ++i) EXPECT_EQ(a[i], 0);
    EXPECT_EQ(a[3], 4);
}

TEST(CSimpleArray, CountIsLimitedTo16Bits) {
    Orv::CSimpleArray<uint8_t> a;
    EXPECT_EQ(a.SetSize(32768), 0);
    EXPECT_EQ(a.SetSize(-1), 0);
    EXPECT_EQ(a.GetCount(), 0);
    ASSERT_EQ(a.SetSize(32760), 1);
    ASSERT_EQ(a.SetSize(32767), 1);
    EXPECT_EQ(a.GetCapacity(), 32767);  // the step is clamped to the limit
    uint8_t one = 1;
    EXPECT_EQ(a.Add(one), -1);
    EXPECT_EQ(a.GetCount(), 32767);
}

TEST(CSimpleArray, AddIndexOfRemoveAt) {
    Orv::CSimpleArray<int> a;
    EXPECT_EQ(a.Add(4), 0);
    EXPECT_EQ(a.Add(6), 1);
    int more[] = {8, 6};
    EXPECT_EQ(a.AddN(more, 2), 2);
    EXPECT_EQ(a.IndexOf(6), 1);
    EXPECT_EQ(a.IndexOf(5), -1);
    a.RemoveAt(1);
    EXPECT_EQ(a.GetCount(), 3);
    EXPECT_EQ(a[1], 8);
    EXPECT_THROW(a[3], std::out_of_range);
    EXPECT_THROW(a.RemoveAt(-1), std::out_of_range);
    for (int i = 0; i < 40; ++i) a.Add(a[0]);  // the source may move while growing
    EXPECT_EQ(a[42], 4);
}

TEST(CSimpleArray, ElementsThatOwnMemory) {
    Orv::CSimpleArray<Orv::CString> a;
    a.SetSize(3);
    a[2].Assign("abc");
    a.SetSize(1);
    a.SetSize(3);
    EXPECT_TRUE(a[2].IsEmpty());
    Orv::CSimpleArray<Orv::CString> copy = a;
    copy[0].Assign("x");
    EXPECT_TRUE(a[0].IsEmpty());
}

TEST(CString, InsertAssignClear) {
    Orv::CString s;
    EXPECT_EQ(s.Length(), 0);
    EXPECT_STREQ(s.c_str(), "");
    s.Insert(0, "ace");
    s.Insert(1, "b");
    s.Insert(3, "d");
    s.Insert(99, "f");
    EXPECT_EQ(s, "abcdef");
    s.Assign(std::string_view("xy\0z", 4));
    EXPECT_EQ(s, "xy");  // never holds a NUL
    s.Assign(s.c_str());
    EXPECT_EQ(s, "xy");
    s.Assign(std::string_view(s.c_str() + 1));
    EXPECT_EQ(s, "y");
    s.Clear();
    EXPECT_TRUE(s.IsEmpty());
}

TEST(CString, LengthNeverWrapsPast16Bits) {
    Orv::CString s;
    std::string big(Orv::CString::kMaxLength, 'a');
    EXPECT_TRUE(s.Assign(big));
    EXPECT_EQ(s.Length(), 65534);
    EXPECT_FALSE(s.Insert(0, "b"));
    EXPECT_EQ(s.Length(), 65534);
    EXPECT_FALSE(s.Assign(big + "c"));
    EXPECT_EQ(s.Length(), 65534);
}

}  // namespace
