#include <gtest/gtest.h>

#include "TestControls.h"
#include "gui/Memo.h"
#include "gui/ScrollBars.h"
#include "platform/Collections.h"
#include "support/TempDir.h"

namespace {

using thorn::test::MakeForm;

// The text dialog's memo: 200 x 80 at (10, 10), focused.
class GuiMemo : public ::testing::Test {
protected:
    GuiMemo() {
        form = MakeForm(300, 200);
        memo = thorn::Make<TMemo>(*form);
        memo->SetParent(form);
        memo->SetBounds(10, 10, 200, 80);
        form->Show();
        memo->SetFocus();
    }
    thorn::HeadlessApplication session;
    thorn::HeadlessHost& host = session.Host();
    TForm* form = nullptr;
    TMemo* memo = nullptr;
};

TEST_F(GuiMemo, LinesAreTheTextBrokenAtItsLineBreaks) {
    TStrings& lines = *memo->GetLines();
    memo->SetText("first\r\nsecond\nthird\r\n");
    EXPECT_EQ(lines.GetCount(), 3);
    EXPECT_EQ(lines[2], "third");
    lines.Add("fourth");
    lines.Insert(0, "zero");
    lines.Delete(2);
    lines.Put(1, "one");
    EXPECT_EQ(memo->GetText(), "zero\r\none\r\nthird\r\nfourth");
    lines.BeginUpdate();
    lines.Clear();
    lines.Add("held");
    EXPECT_EQ(memo->GetText(), "zero\r\none\r\nthird\r\nfourth");  // written at the end
    lines.EndUpdate();
    EXPECT_EQ(memo->GetText(), "held");
    EXPECT_THROW(lines.Delete(5), EListError);
}

TEST_F(GuiMemo, LinesGoToAndComeFromFiles) {
    thorn::test::TempDir dir;
    std::string text = "Victory!\r\nThe king\xE9s army \x80 rests.";
    thorn::test::WriteFileBytes(dir / "in.txt", std::vector<uint8_t>(text.begin(), text.end()));
    memo->GetLines()->LoadFromFile(dir / "in.txt");
    EXPECT_EQ(memo->GetText(), text);
    memo->GetLines()->SaveToFile(dir / "out.txt");
    std::string expected = text + "\r\n";
    EXPECT_EQ(thorn::test::ReadFileBytes(dir / "out.txt"), std::vector<uint8_t>(expected.begin(), expected.end()));
}

TEST_F(GuiMemo, LongLinesWrapIntoRowsThatTheKeysFollow) {
    // Each word is a bit under a third of the width.
    memo->SetText("aaaaaaa bbbbbbb ccccccc ddddddd eeeeeee\r\nshort");
    host.PressKey(VK_HOME, {ssCtrl});
    host.PressKey(VK_END);
    int firstRowEnd = memo->GetSelStart();
    EXPECT_GT(firstRowEnd, 8);
    EXPECT_LT(firstRowEnd, 39);
    EXPECT_EQ(memo->GetText()[static_cast<size_t>(firstRowEnd)], ' ');  // before the blank the row breaks at
    host.PressKey(VK_DOWN);
    host.PressKey(VK_HOME);
    EXPECT_EQ(memo->GetSelStart(), firstRowEnd + 1);
    // Typing at the end of the text reaches it whatever the rows.
    host.PressKey(VK_END, {ssCtrl});
    host.TypeText("!");
    EXPECT_EQ(memo->GetLines()->Get(1), "short!");
    EXPECT_FALSE(IsScrollBarShown(*memo, SB_HORZ));
    // Without wrapping the line runs on past the side.
    memo->SetScrollBars(ssBoth);
    memo->SetWordWrap(false);
    EXPECT_TRUE(IsScrollBarShown(*memo, SB_HORZ));
    host.PressKey(VK_HOME, {ssCtrl});
    host.PressKey(VK_END);
    EXPECT_EQ(memo->GetSelStart(), 39);
}

TEST_F(GuiMemo, EnterTypesALineBreakTabLeavesAndMaxLengthLimitsTyping) {
    memo->SetMaxLength(6);
    host.TypeText("ab");
    host.PressKey(VK_RETURN);
    host.TypeText("cdef");
    EXPECT_EQ(memo->GetText(), "ab\r\ncd");
    EXPECT_GT(host.BeepCount(), 0);
    memo->SetText("a text set by the program is not cut");
    EXPECT_EQ(memo->GetLines()->Get(0), "a text set by the program is not cut");
    // Selection and clipboard as the edit's.
    host.PressKey(VK_HOME, {ssCtrl});
    host.PressKey(VK_RIGHT, {ssShift, ssCtrl});
    host.PressKey('C', {ssCtrl});
    EXPECT_EQ(host.GetClipboardText(), "a ");
    TMemo* other = thorn::Make<TMemo>(*form);
    other->SetParent(form);
    other->SetBounds(10, 100, 100, 50);
    other->SetTabStop(true);
    host.PressKey(VK_TAB);
    EXPECT_TRUE(other->Focused());
}

}  // namespace
