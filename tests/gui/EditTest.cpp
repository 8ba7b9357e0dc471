#include <gtest/gtest.h>

#include <functional>

#include "TestControls.h"
#include "gui/Caret.h"
#include "gui/Edit.h"
#include "gui/ScrollBars.h"

namespace {

using thorn::test::MakeForm;
using thorn::test::OnForm;
using thorn::test::Place;

// A memo-like edit: several lines, Enter types a break, a vertical bar.
class Lines : public TCustomEdit {
public:
    Lines() {
        SetMultiLine(true);
        SetAutoSize(false);
        SetScrollBars(ssVertical);
    }
};

class GuiEdit : public ::testing::Test {
protected:
    GuiEdit() {
        form = MakeForm(320, 200);
        edit = Place<TEdit>(*form, {10, 10, 160, 31});
        other = Place<TEdit>(*form, {10, 50, 160, 71});
        form->Show();
    }
    // The client x where a click puts the caret at pos.
    int XOf(TCustomEdit& e, int pos) {
        for (int x = -2; x < e.GetClientWidth() + 2; ++x)
            if (e.CharAtPoint({x, 5}) == pos) return x;
        ADD_FAILURE() << "no x for " << pos;
        return 0;
    }
    TPoint At(TCustomEdit& e, int pos) { return OnForm(e, {XOf(e, pos), 5}); }
    void ClickAt(int pos, TShiftState shift = {}) {
        TPoint p = At(*edit, pos);
        host.Click(*form, p.X, p.Y, mbLeft, shift);
    }
    // Whether any pixel of the edit's client area has this colour.
    bool Shows(const TCustomEdit& e, TColor color) {
        TPoint origin = OnForm(e, {0, 0});
        for (int y = 0; y < e.GetClientHeight(); ++y)
            for (int x = 0; x < e.GetClientWidth(); ++x)
                if (host.PixelAt(*form, origin.X + x, origin.Y + y) == Color32(color)) return true;
        return false;
    }

    thorn::HeadlessApplication session;
    thorn::HeadlessHost& host = session.Host();
    TForm* form = nullptr;
    TEdit* edit = nullptr;
    TEdit* other = nullptr;
};

struct KeyCase {
    const char* name;
    std::function<void(thorn::HeadlessHost&)> keys;
    std::string text;
    int selStart, selLength;
};

TEST_F(GuiEdit, KeysTypeMoveSelectDeleteAndUndo) {
    using H = thorn::HeadlessHost;
    const KeyCase cases[] = {
        {"typing", [](H& h) { h.TypeText("hello"); }, "hello", 5, 0},
        {"Shift with arrows, Home and End selects",
         [](H& h) {
             h.TypeText("hello");
             h.PressKey(VK_LEFT, {ssShift});
             h.PressKey(VK_LEFT, {ssShift});
         },
         "hello", 3, 2},
        {"typing replaces the selection",
         [](H& h) {
             h.TypeText("hello world");
             h.PressKey(VK_LEFT, {ssCtrl});
             h.PressKey(VK_END, {ssShift});
             h.TypeText("there");
         },
         "hello there", 11, 0},
        {"Left on a selection goes to its start",
         [](H& h) {
             h.TypeText("abcd");
             h.PressKey(VK_HOME, {ssShift});
             h.PressKey(VK_LEFT);
         },
         "abcd", 0, 0},
        {"Up and Down of a single line step like Left and Right",
         [](H& h) {
             h.TypeText("abc");
             h.PressKey(VK_UP);
             h.PressKey(VK_UP);
             h.PressKey(VK_DOWN, {ssShift});
         },
         "abc", 1, 1},
        {"Backspace and Delete",
         [](H& h) {
             h.TypeText("abcdef");
             h.PressKey(VK_BACK);
             h.PressKey(VK_HOME);
             h.PressKey(VK_DELETE);
         },
         "bcde", 0, 0},
        {"Ctrl+Z undoes the typing",
         [](H& h) {
             h.TypeText("abc");
             h.PressKey(VK_HOME);
             h.TypeText("xy");
             h.PressKey('Z', {ssCtrl});
         },
         "abc", 0, 0},
        {"Alt+Backspace undoes and types nothing",
         [](H& h) {
             h.TypeText("abc");
             h.PressKey(VK_BACK, {ssAlt});
         },
         "", 0, 0},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.name);
        edit->SetText("");
        c.keys(host);
        EXPECT_EQ(edit->GetText(), c.text);
        EXPECT_EQ(edit->GetSelStart(), c.selStart);
        EXPECT_EQ(edit->GetSelLength(), c.selLength);
    }
}

TEST_F(GuiEdit, TheMouseSetsTheCaretSelectsAndADoubleClickTakesAWord) {
    edit->SetText("alpha beta gamma");
    other->SetFocus();
    ClickAt(6);  // taking the focus with a click does not select everything
    EXPECT_TRUE(edit->Focused());
    EXPECT_EQ(edit->GetSelStart(), 6);
    EXPECT_EQ(edit->GetSelLength(), 0);
    ClickAt(10, {ssShift});
    EXPECT_EQ(edit->GetSelText(), "beta");
    host.Drag(*form, At(*edit, 2), At(*edit, 8), 3);
    EXPECT_EQ(edit->GetSelText(), "pha be");
    EXPECT_EQ(thorn::CaretOwner(), edit);
    TPoint gamma = At(*edit, 13);
    host.DoubleClick(*form, gamma.X, gamma.Y);
    EXPECT_EQ(edit->GetSelText(), "gamma");
}

TEST_F(GuiEdit, TheClipboardKeysGoThroughTheHostsClipboard) {
    edit->SetText("one two");
    edit->SelectAll();
    host.PressKey('C', {ssCtrl});
    EXPECT_EQ(host.GetClipboardText(), "one two");
    host.PressKey(VK_END);
    host.PressKey(VK_INSERT, {ssShift});
    EXPECT_EQ(edit->GetText(), "one twoone two");
    edit->SetSelStart(0);
    edit->SetSelLength(4);
    host.PressKey('X', {ssCtrl});
    EXPECT_EQ(host.GetClipboardText(), "one ");
    EXPECT_EQ(edit->GetText(), "twoone two");
    host.PressKey(VK_END, {ssShift});
    host.PressKey(VK_DELETE, {ssShift});  // cut
    EXPECT_EQ(host.GetClipboardText(), "twoone two");
    // A single line takes the first line of what is pasted.
    host.SetClipboardText("first\r\nsecond");
    host.PressKey('V', {ssCtrl});
    EXPECT_EQ(edit->GetText(), "first");
    // Hidden text stays hidden.
    edit->SetPasswordChar('*');
    edit->SelectAll();
    host.PressKey(VK_INSERT, {ssCtrl});
    host.PressKey('X', {ssCtrl});
    EXPECT_EQ(host.GetClipboardText(), "first\r\nsecond");
    EXPECT_EQ(edit->GetText(), "first");
}

struct RefusalCase {
    const char* name;
    std::function<void(TEdit&)> setup;
    std::function<void(thorn::HeadlessHost&)> input;
    std::string text;
    int beeps;
};

TEST_F(GuiEdit, RefusedInputBeepsAndChangesNothing) {
    using H = thorn::HeadlessHost;
    const RefusalCase cases[] = {
        {"past the length limit", [](TEdit& e) { e.SetMaxLength(3); }, [](H& h) { h.TypeText("abcde"); }, "abc", 2},
        {"a paste past the limit is cut",
         [](TEdit& e) { e.SetMaxLength(4); },
         [](H& h) {
             h.SetClipboardText("123456");
             h.PressKey('V', {ssCtrl});
         },
         "1234", 1},
        {"read-only", [](TEdit& e) { e.SetReadOnly(true); }, [](H& h) { h.TypeText("ab\b"); }, "", 3},
        {"Enter in a single line", [](TEdit&) {}, [](H& h) { h.PressKey(VK_RETURN); }, "", 1},
        {"characters outside Windows-1252",
         [](TEdit&) {},
         [](H& h) { h.TypeUtf8("\xC3\xA9\xE2\x82\xAC\xE2\x86\x92!"); },  // é € → !
         "\xE9\x80!", 1},
    };
    for (const RefusalCase& c : cases) {
        SCOPED_TRACE(c.name);
        edit->SetText("");
        edit->SetMaxLength(0);
        edit->SetReadOnly(false);
        c.setup(*edit);
        int before = host.BeepCount();
        c.input(host);
        EXPECT_EQ(edit->GetText(), c.text);
        EXPECT_EQ(host.BeepCount() - before, c.beeps);
    }
}

TEST_F(GuiEdit, EventsSeeEveryChangeAndKeyHandlersCanDropKeys) {
    int changes = 0;
    edit->OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, edit);
        ++changes;
    };
    edit->OnKeyPress = [](TObject*, char& key) {
        if (key == 'x' || key == 22) key = 0;  // no x, no Ctrl+V
    };
    edit->OnKeyDown = [](TObject*, TKey& key, TShiftState) {
        if (key == VK_HOME) key = 0;
    };
    host.TypeText("axbx");
    EXPECT_EQ(edit->GetText(), "ab");
    EXPECT_EQ(changes, 2);
    EXPECT_TRUE(edit->GetModified());
    host.SetClipboardText("zz");
    host.PressKey('V', {ssCtrl});
    host.PressKey(VK_HOME);
    host.TypeText("c");
    EXPECT_EQ(edit->GetText(), "abc");

    // By program: a change, no longer modified, nothing to undo, no limit.
    edit->SetMaxLength(2);
    edit->SetText("program");
    EXPECT_EQ(changes, 4);
    EXPECT_FALSE(edit->GetModified());
    EXPECT_FALSE(edit->CanUndo());
    edit->SetText("program");  // the same text changes nothing
    EXPECT_EQ(changes, 4);
}

TEST_F(GuiEdit, TabbingInSelectsAllAndTabOrderIsFollowed) {
    edit->SetText("first");
    other->SetText("second");
    EXPECT_TRUE(edit->Focused());
    host.PressKey(VK_TAB);
    EXPECT_TRUE(other->Focused());
    EXPECT_EQ(other->GetSelText(), "second");
    EXPECT_EQ(thorn::CaretOwner(), other);
    host.PressKey(VK_TAB, {ssShift});
    EXPECT_EQ(edit->GetSelText(), "first");
    edit->SetAutoSelect(false);
    edit->SetSelStart(2);
    host.PressKey(VK_TAB);
    host.PressKey(VK_TAB);
    EXPECT_EQ(edit->GetSelLength(), 0);
}

TEST_F(GuiEdit, ALongLineScrollsToKeepTheCaretInSight) {
    edit->SetText(std::string(30000, 'w'));
    host.PressKey(VK_END);
    TRect caret = thorn::CaretRect();
    EXPECT_GE(caret.Left, 0);
    EXPECT_LT(caret.Right, edit->GetClientWidth());
    EXPECT_GT(edit->CharAtPoint({4, 5}), 29900);
    host.TypeText("!");
    EXPECT_EQ(edit->CharAtPoint({edit->GetClientWidth() - 1, 5}), 30001);
    host.PressKey(VK_HOME);
    EXPECT_EQ(edit->CharAtPoint({0, 5}), 0);
    EXPECT_LT(thorn::CaretRect().Left, XOf(*edit, 1));
}

TEST_F(GuiEdit, ANarrowedFormattingRectangleKeepsTheTextOutOfTheRest) {
    edit->SetText(std::string(60, 'M'));
    TRect narrow = edit->GetFormattingRect();
    narrow.Right = 60;
    edit->SetFormattingRect(narrow);
    host.PressKey(VK_END);
    Application->ProcessMessages();
    EXPECT_LE(thorn::CaretRect().Right, 60);
    TPoint origin = OnForm(*edit, {0, 0});
    for (int x = 60; x < edit->GetClientWidth(); ++x)
        for (int y = 0; y < edit->GetClientHeight(); ++y)
            ASSERT_EQ(host.PixelAt(*form, origin.X + x, origin.Y + y), Color32(clWindow)) << x << "," << y;
    // A new size gives the whole client area back.
    edit->SetWidth(200);
    EXPECT_EQ(edit->GetFormattingRect(), edit->GetClientRect());
}

TEST_F(GuiEdit, TheCaretBlinksAndTheSelectionShowsOnlyWithTheFocus) {
    edit->SetText("text");
    host.PressKey(VK_END);
    Application->ProcessMessages();
    TRect caret = thorn::CaretRect();
    TPoint at = OnForm(*edit, {caret.Left, caret.Top + 2});
    TColor32 window = Color32(clWindow), inverted = window ^ 0x00FFFFFFu;
    EXPECT_EQ(host.PixelAt(*form, at.X, at.Y), inverted);
    host.Advance(thorn::kCaretBlinkTime);
    EXPECT_EQ(host.PixelAt(*form, at.X, at.Y), window);
    host.Advance(thorn::kCaretBlinkTime);
    EXPECT_EQ(host.PixelAt(*form, at.X, at.Y), inverted);

    edit->SelectAll();
    Application->ProcessMessages();
    EXPECT_TRUE(Shows(*edit, clHighlight));
    host.PressKey(VK_TAB);
    EXPECT_FALSE(Shows(*edit, clHighlight));
    EXPECT_NE(thorn::CaretOwner(), edit);
    edit->SetHideSelection(false);
    Application->ProcessMessages();
    EXPECT_TRUE(Shows(*edit, clHighlight));
}

TEST_F(GuiEdit, AMultiLineEditBreaksLinesAndScrollsThem) {
    Lines* lines = Place<Lines>(*form, {170, 10, 300, 70});
    lines->SetFocus();
    host.TypeText("first line\rsecond\rthird\rfourth\rfifth");
    EXPECT_EQ(lines->GetText(), "first line\r\nsecond\r\nthird\r\nfourth\r\nfifth");
    EXPECT_TRUE(IsScrollBarShown(*lines, SB_VERT));
    EXPECT_GT(lines->GetScrollPos().Y, 0);
    // Up and Down keep to the column they started from.
    host.PressKey(VK_HOME, {ssCtrl});
    host.PressKey(VK_END);
    host.PressKey(VK_DOWN);
    host.PressKey(VK_DOWN);
    EXPECT_EQ(lines->GetSelStart(), 25);  // the end of "third"
    host.PressKey(VK_UP);
    host.PressKey(VK_UP);
    EXPECT_EQ(lines->GetSelStart(), 10);  // back at the end of "first line"
    host.PressKey(VK_DOWN, {ssShift});
    EXPECT_EQ(lines->GetSelText(), "\r\nsecond");
    EXPECT_EQ(lines->GetScrollPos().Y, 0);
}

}  // namespace
