#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "TestControls.h"
#include "gui/Memo.h"
#include "gui/ScrollBars.h"
#include "platform/Collections.h"
#include "support/TempDir.h"

namespace {

using thorn::test::MakeForm;
using thorn::test::OnForm;

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
    // ...until it is cut short.
    host.PressKey(VK_HOME, {ssShift});
    host.PressKey(VK_DELETE);
    EXPECT_FALSE(IsScrollBarShown(*memo, SB_HORZ));
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

// How a memo lays its text out, as the mouse finds it: the content's size
// and where each row starts and ends.
struct Layout {
    TSize content;
    std::vector<std::pair<int, int>> rows;
};

Layout LayoutOf(thorn::HeadlessHost& host, TMemo& memo) {
    // Rolled to the top, every row lies at or below it.
    TPoint inside = OnForm(memo, {5, 5});
    host.Wheel(*memo.GetParentForm(), inside.X, inside.Y, 120 * memo.GetContentSize().cy);
    Layout layout{memo.GetContentSize(), {}};
    const int top = memo.GetFormattingRect().Top, unit = memo.GetScrollUnit().cy;
    EXPECT_EQ(memo.GetScrollPos().Y, 0);
    for (int row = 0; row < layout.content.cy; ++row) {
        int y = top + row * unit + unit / 2;
        layout.rows.emplace_back(memo.CharAtPoint({-100000, y}), memo.CharAtPoint({100000, y}));
    }
    return layout;
}

// Where two layouts part; empty when they are the same.
std::string Difference(const Layout& a, const Layout& b) {
    if (a.content.cx != b.content.cx || a.content.cy != b.content.cy)
        return "content " + std::to_string(a.content.cx) + " x " + std::to_string(a.content.cy) + " against " +
               std::to_string(b.content.cx) + " x " + std::to_string(b.content.cy);
    for (size_t row = 0; row < a.rows.size(); ++row)
        if (a.rows[row] != b.rows[row])
            return "row " + std::to_string(row) + ": " + std::to_string(a.rows[row].first) + ".." +
                   std::to_string(a.rows[row].second) + " against " + std::to_string(b.rows[row].first) + ".." +
                   std::to_string(b.rows[row].second);
    return {};
}

TEST_F(GuiMemo, RowsAfterEditsInALongTextAreThoseOfTheSameTextLaidOutAfresh) {
    std::mt19937 random(28);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const std::string words[] = {"a", "to", "the", "castle", "provinces", "Thornvale", "rested"};
    std::string text;
    while (text.size() < 12000) text += words[pick(7)] + (pick(15) == 0 ? "\r\n" : " ");
    using Edit = std::pair<const char*, std::function<void()>>;
    const Edit edits[] = {
        {"a word", [&] { host.TypeText(words[pick(7)]); }},
        {"blanks", [&] { host.TypeText("      "); }},
        {"a word wider than a row", [&] { host.TypeText(std::string(40, 'w')); }},
        {"Enter", [&] { host.PressKey(VK_RETURN); }},
        {"Backspaces", [&] { for (int n = 1 + pick(4); n > 0; --n) host.PressKey(VK_BACK); }},
        {"Deletes", [&] { for (int n = 1 + pick(4); n > 0; --n) host.PressKey(VK_DELETE); }},
        {"rows selected and typed over",
         [&] {
             for (int n = 1 + pick(3); n > 0; --n) host.PressKey(VK_DOWN, {ssShift});
             host.TypeText("x");
         }},
        {"a paste with breaks of each kind",
         [&] {
             host.SetClipboardText(pick(2) ? "\n" : "one\rtwo\r\nthree four\n");
             host.PressKey('V', {ssCtrl});
         }},
        {"an undo", [&] { host.PressKey('Z', {ssCtrl}); }},
        {"Enter at the end",
         [&] {
             host.PressKey(VK_END, {ssCtrl});
             host.PressKey(VK_RETURN);
         }},
        {"Backspaces at the end",
         [&] {
             host.PressKey(VK_END, {ssCtrl});
             for (int n = 1 + pick(4); n > 0; --n) host.PressKey(VK_BACK);
         }},
    };
    for (bool wordWrap : {true, false}) {
        SCOPED_TRACE(wordWrap ? "word wrap" : "no word wrap");
        memo->SetWordWrap(wordWrap);
        memo->SetText(text);
        for (int n = 0; n < 35; ++n) host.PressKey(VK_NEXT);  // about the middle
        for (int step = 0; step < 80; ++step) {
            // Somewhere about there, as the user pages and clicks.
            TKey page = pick(2) ? VK_NEXT : VK_PRIOR;
            for (int n = 1 + pick(8); n > 0; --n) host.PressKey(page);
            TPoint at = OnForm(*memo, {2 + pick(memo->GetClientWidth() - 4), 2 + pick(memo->GetClientHeight() - 4)});
            host.Click(*form, at.X, at.Y);
            const Edit& edit = edits[pick(std::size(edits))];
            SCOPED_TRACE(testing::Message() << "step " << step << ", " << edit.first << " at "
                                            << memo->GetSelStart());
            edit.second();
            TMemo* fresh = thorn::Make<TMemo>(*form);
            fresh->SetParent(form);
            fresh->SetBounds(10, 100, 200, 80);
            fresh->SetWordWrap(wordWrap);
            fresh->SetText(memo->GetText());
            ASSERT_EQ(Difference(LayoutOf(host, *memo), LayoutOf(host, *fresh)), "");
            thorn::Free(fresh);
        }
    }
}

// A change through Lines acts as setting the lines joined by CR LF as the
// text: one OnChange when the text changed, and then the caret at the start
// with nothing selected, nothing to undo, not modified, scrolled to the top
// and the rows those of the same text laid out afresh. A text whose breaks
// are all CR LF is changed in place; any other is joined again whole.
TEST_F(GuiMemo, AChangeThroughLinesActsAsSettingTheJoinedLines) {
    const std::string tail = " of the provinces of Thornvale rested under the castle";
    const std::string a = "Alpha" + tail, b = "Beta" + tail, c = "Gamma" + tail;
    auto join = [](std::initializer_list<std::string> lines) {
        std::string text;
        for (const std::string& line : lines) {
            if (&line != lines.begin()) text += "\r\n";
            text += line;
        }
        return text;
    };
    struct Case {
        const char* what;
        std::string before;
        std::function<void(TStrings&)> change;
        std::string after;
        int count;
        int changes = 1;  // OnChange
    };
    const Case cases[] = {
        {"Add to nothing", "", [&](TStrings& l) { l.Add(a); }, a, 1},
        {"Add of an empty line to nothing", "", [](TStrings& l) { l.Add(""); }, "", 0, 0},
        {"Add", join({a, b}), [&](TStrings& l) { l.Add(c); }, join({a, b, c}), 3},
        {"Add of an empty line", join({a, b}), [](TStrings& l) { l.Add(""); }, join({a, b, ""}), 2},
        {"Add after a break at the end", join({a, b, ""}), [&](TStrings& l) { l.Add(c); }, join({a, b, c}), 3},
        {"Add after an empty line added", join({a, b}), [&](TStrings& l) { l.Add(""), l.Add(c); }, join({a, b, c}), 3,
         2},
        {"Add to lone breaks", a + "\n" + b + "\r" + c, [](TStrings& l) { l.Add("d"); }, join({a, b, c, "d"}), 4},
        {"Add of a line with a break", join({a, b}), [&](TStrings& l) { l.Add("x\ry"); }, join({a, b, "x\ry"}), 4},
        {"Insert first", join({a, b}), [&](TStrings& l) { l.Insert(0, c); }, join({c, a, b}), 3},
        {"Insert between", join({a, b}), [&](TStrings& l) { l.Insert(1, c); }, join({a, c, b}), 3},
        {"Put", join({a, b, c}), [](TStrings& l) { l.Put(1, "short"); }, join({a, "short", c}), 3},
        {"Put of the same line", join({a, b}), [&](TStrings& l) { l.Put(1, b); }, join({a, b}), 2, 0},
        {"Delete the first", join({a, b, c}), [](TStrings& l) { l.Delete(0); }, join({b, c}), 2},
        {"Delete between", join({a, b, c}), [](TStrings& l) { l.Delete(1); }, join({a, c}), 2},
        {"Delete the last", join({a, b, c}), [](TStrings& l) { l.Delete(2); }, join({a, b}), 2},
        {"Delete the last after an empty one", join({a, "", c}), [](TStrings& l) { l.Delete(2); }, join({a, ""}), 1},
        {"Delete the only line", a, [](TStrings& l) { l.Delete(0); }, "", 0},
        {"Delete past the end", join({a, b}), [](TStrings& l) { EXPECT_THROW(l.Delete(2), EListError); }, join({a, b}),
         2, 0},
        {"Clear", join({a, b}), [](TStrings& l) { l.Clear(); }, "", 0},
    };
    for (bool wordWrap : {true, false}) {
        memo->SetWordWrap(wordWrap);
        for (const Case& k : cases) {
            SCOPED_TRACE(std::string(k.what) + (wordWrap ? ", word wrap" : ", no word wrap"));
            memo->SetText(k.before);
            // Typed into at the end, scrolled there, a line selected.
            host.PressKey(VK_END, {ssCtrl});
            host.TypeText("z");
            host.PressKey(VK_BACK);
            host.PressKey(VK_HOME, {ssShift});
            int changes = 0;
            memo->OnChange = [&](TObject*) { ++changes; };
            k.change(*memo->GetLines());
            memo->OnChange = nullptr;
            EXPECT_EQ(memo->GetText(), k.after);
            EXPECT_EQ(memo->GetLines()->GetCount(), k.count);
            const bool changed = k.after != k.before;
            EXPECT_EQ(changes, k.changes);
            EXPECT_EQ(memo->GetModified(), !changed) << "only the user's typing stays";
            if (!changed) continue;
            EXPECT_EQ(memo->GetSelStart(), 0);
            EXPECT_EQ(memo->GetSelLength(), 0);
            EXPECT_FALSE(memo->CanUndo());
            EXPECT_EQ(memo->GetScrollPos().Y, 0);
            TMemo* fresh = thorn::Make<TMemo>(*form);
            fresh->SetParent(form);
            fresh->SetBounds(10, 100, 200, 80);
            fresh->SetWordWrap(wordWrap);
            fresh->SetText(k.after);
            EXPECT_EQ(Difference(LayoutOf(host, *memo), LayoutOf(host, *fresh)), "");
            thorn::Free(fresh);
        }
    }
}

}  // namespace
