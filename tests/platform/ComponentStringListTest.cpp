#include <gtest/gtest.h>

#include "platform/Collections.h"
#include "platform/Components.h"
#include "platform/StringList.h"
#include "platform/Streams.h"
#include "support/TempDir.h"

namespace {

TEST(TStringList, TextSplitsAtEveryLineBreakAndJoinsWithCrLf) {
    TStringList list;
    list.SetText("one\r\ntwo\nthree\rfour");
    ASSERT_EQ(list.GetCount(), 4);
    EXPECT_EQ(list[2], "three");
    EXPECT_EQ(list.GetText(), "one\r\ntwo\r\nthree\r\nfour\r\n");
    list.SetText("a\r\n\r\nb\r\n");
    EXPECT_EQ(list.GetCount(), 3);
    EXPECT_EQ(list[1], "");
    list.SetText("");
    EXPECT_EQ(list.GetCount(), 0);
}

TEST(TStringList, SortedListsKeepOrderAndTheirDuplicateRule) {
    TStringList list;
    list.SetSorted(true);
    list.Add("pear");
    list.Add("Apple");
    list.Add("apple");  // the same, case ignored: not added
    list.Add("fig");
    ASSERT_EQ(list.GetCount(), 3);
    EXPECT_EQ(list[0], "Apple");
    EXPECT_EQ(list[2], "pear");
    int index = -1;
    EXPECT_TRUE(list.Find("FIG", index));
    EXPECT_EQ(index, 1);
    EXPECT_FALSE(list.Find("grape", index));
    EXPECT_EQ(index, 2);
    EXPECT_THROW(list.Insert(0, "x"), EListError);
    list.SetDuplicates(dupError);
    EXPECT_THROW(list.Add("PEAR"), EListError);
    list.SetDuplicates(dupAccept);
    list.Add("PEAR");
    EXPECT_EQ(list.GetCount(), 4);
}

TEST(TStringList, CaseIsIgnoredAlikeBySortingAndSearching) {
    // š, œ, ž and ÿ have capitals elsewhere in the code page.
    EXPECT_EQ(thorn::CompareText("\x9A\x9C\x9E\xFF", "\x8A\x8C\x8E\x9F"), 0);
    EXPECT_TRUE(thorn::SameText("\x9A\x9C\x9E\xFF", "\x8A\x8C\x8E\x9F"));
    EXPECT_LT(thorn::CompareText("abc", "ABD"), 0);
    TStringList list;
    list.Add("\x8Aibenik");
    list.Add("Zagreb");
    EXPECT_EQ(list.IndexOf("\x9Aibenik"), 0);
    list.SetSorted(true);  // 0x8A sorts after 'Z'
    EXPECT_EQ(list.IndexOf("\x9Aibenik"), 1);
}

TEST(TStringList, AFailedChangeKeepsTheItemsAndClosesTheUpdate) {
    TStringList list;
    int changes = 0;
    list.OnChange = [&](TObject*) { ++changes; };
    list.SetSorted(true);
    list.Add("a");
    list.Add("b");
    EXPECT_THROW(list.Move(0, 1), EListError);
    EXPECT_EQ(list.GetText(), "a\r\nb\r\n");
    EXPECT_EQ(list.GetUpdateCount(), 0);

    TStringList more;
    more.Add("c");
    more.Add("A");
    list.SetDuplicates(dupError);
    EXPECT_THROW(list.AddStrings(more), EListError);
    EXPECT_EQ(list.GetUpdateCount(), 0);
    changes = 0;
    list.Add("d");
    EXPECT_EQ(changes, 1);
}

TEST(TStringList, IndexOfNamesValuesAndObjects) {
    TStringList list;
    TStringList marker;
    list.Add("Width=10");
    list.AddObject("Height=20", &marker);
    EXPECT_EQ(list.IndexOf("height=20"), 1);
    EXPECT_EQ(list.IndexOfName("HEIGHT"), 1);
    EXPECT_EQ(list.GetValue("width"), "10");
    EXPECT_EQ(list.GetName(1), "Height");
    EXPECT_EQ(list.GetObject(1), &marker);
    EXPECT_EQ(list.IndexOfObject(&marker), 1);
    list.SetValue("Width", "11");
    list.SetValue("Depth", "3");
    EXPECT_EQ(list.GetText(), "Width=11\r\nHeight=20\r\nDepth=3\r\n");
    list.SetValue("Height", "");
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_THROW(list.Get(5), EListError);
    list.Move(0, 1);
    EXPECT_EQ(list[1], "Width=11");
    list.Exchange(0, 1);
    EXPECT_EQ(list[0], "Width=11");
}

TEST(TStringList, CommaTextQuotesWhatNeedsIt) {
    TStringList list;
    list.Add("plain");
    list.Add("two words");
    list.Add("say \"hi\"");
    list.Add("a,b");
    EXPECT_EQ(list.GetCommaText(), "plain,\"two words\",\"say \"\"hi\"\"\",\"a,b\"");
    TStringList back;
    back.SetCommaText(list.GetCommaText());
    EXPECT_TRUE(back.Equals(list));
    back.SetCommaText("x y, \"z\"");
    ASSERT_EQ(back.GetCount(), 3);
    EXPECT_EQ(back[1], "y");
}

TEST(TStringList, ChangeEventsWaitForTheLastEndUpdate) {
    TStringList list;
    int changes = 0, changing = 0;
    list.OnChange = [&](TObject*) { ++changes; };
    list.OnChanging = [&](TObject*) { ++changing; };
    list.Add("a");
    EXPECT_EQ(changes, 1);
    list.BeginUpdate();
    list.Add("b");
    list.Add("c");
    list.BeginUpdate();
    list.EndUpdate();
    EXPECT_EQ(changes, 1);
    list.EndUpdate();
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(changing, 2);
}

TEST(TStringList, FilesKeepWindows1252Bytes) {
    thorn::test::TempDir dir;
    TStringList list;
    list.Add("Caf\xE9");
    list.Add("na\xEFve");
    list.SaveToFile(dir / "names.txt");
    EXPECT_EQ(thorn::test::ReadFileBytes(dir / "names.txt").size(), 13u);
    TStringList back;
    back.LoadFromFile(dir / "names.txt");
    EXPECT_TRUE(back.Equals(list));
    EXPECT_EQ(back.IndexOf("CAF\xC9"), 0);  // accented letters compare without case too
    EXPECT_THROW(back.LoadFromFile(dir / "missing.txt"), EFOpenError);
}

}  // namespace
