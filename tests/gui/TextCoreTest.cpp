#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <vector>

#include "gui/TextCore.h"

namespace {

using thorn::TextCore;
using Kind = TextCore::EditKind;

void Type(TextCore& core, std::string_view text) {
    for (char ch : text) core.ReplaceSelection(std::string_view(&ch, 1), Kind::Typing);
}

struct EditCase {
    const char* name;
    std::function<void(TextCore&)> edit;
    std::string text;
    int selStart, selLength;
};

TEST(TextCore, EditsAndTheirUndo) {
    const EditCase cases[] = {
        {"typing with its corrections is one step",
         [](TextCore& c) {
             Type(c, "abc");
             c.DeleteBackward();
             Type(c, "d");
             c.Undo();
         },
         "start", 0, 0},
        {"undoing the undo redoes",
         [](TextCore& c) {
             Type(c, "xy");
             c.Undo();
             c.Undo();
         },
         "xystart", 0, 2},
        {"Backspace and Delete out of typing gather into one step",
         [](TextCore& c) {
             c.Select(2, 2);
             c.DeleteBackward();
             c.DeleteBackward();
             c.DeleteForward();
             c.Undo();
         },
         "start", 0, 3},
        {"moving the caret ends a typing step",
         [](TextCore& c) {
             Type(c, "ab");
             c.MoveCaret(0, false);
             Type(c, "c");
             c.Undo();
         },
         "abstart", 0, 0},
        {"undo selects what it puts back",
         [](TextCore& c) {
             c.Select(1, 4);
             c.ReplaceSelection("X");
             c.Undo();
         },
         "start", 1, 3},
        {"the limit cuts what goes in",
         [](TextCore& c) {
             c.SetMaxLength(8);
             c.Select(5, 5);
             c.ReplaceSelection("12345");
         },
         "start123", 8, 0},
        {"with a selection the limit leaves its room",
         [](TextCore& c) {
             c.SetMaxLength(5);
             c.SelectAll();
             c.ReplaceSelection("1234567");
         },
         "12345", 5, 0},
    };
    for (const EditCase& c : cases) {
        SCOPED_TRACE(c.name);
        TextCore core;
        core.SetText("start");
        c.edit(core);
        EXPECT_EQ(core.GetText(), c.text);
        EXPECT_EQ(core.GetSelStart(), c.selStart);
        EXPECT_EQ(core.GetSelLength(), c.selLength);
    }
}

TEST(TextCore, TheLimitRefusesWhatHasNoRoomAndTextSetByProgramIgnoresIt) {
    TextCore core;
    core.SetMaxLength(3);
    core.SetText("abcdef");  // a program may set more
    EXPECT_EQ(core.GetText(), "abcdef");
    EXPECT_FALSE(core.GetModified());
    EXPECT_FALSE(core.ReplaceSelection("x", Kind::Typing));
    EXPECT_TRUE(core.WasCut());
    EXPECT_TRUE(core.DeleteForward());
    EXPECT_TRUE(core.GetModified());
    core.SetText("ab");
    EXPECT_FALSE(core.CanUndo());
    EXPECT_TRUE(core.ReplaceSelection("xyz"));
    EXPECT_EQ(core.GetText(), "xab");
}

TEST(TextCore, LineBreaksAreOneCharacterInAMultiLineText) {
    TextCore core(true);
    core.SetText("one\r\ntwo\nthree\rfour\r\n");
    EXPECT_EQ(core.LineCount(), 5);
    EXPECT_EQ(core.LineStart(1), 5);
    EXPECT_EQ(core.LineEnd(0), 3);
    EXPECT_EQ(core.LineEnd(2), 14);
    EXPECT_EQ(core.LineOf(5), 1);
    EXPECT_EQ(core.LineOf(4), 0);
    EXPECT_EQ(core.NextPos(3), 5);
    EXPECT_EQ(core.PrevPos(5), 3);
    core.Select(4, 4);  // inside the CR LF
    EXPECT_EQ(core.GetCaret(), 3);
    core.MoveCaret(5, false);
    core.DeleteBackward();
    EXPECT_EQ(core.GetText().substr(0, 7), "onetwo\n");
    // The limit never keeps half a break.
    core.SetText("ab");
    core.SetMaxLength(3);
    core.MoveCaret(2, false);
    core.ReplaceSelection("\r\nc");
    EXPECT_EQ(core.GetText(), "ab");
    EXPECT_TRUE(core.WasCut());

    TextCore single;
    single.SetText("a\r\nb");
    EXPECT_EQ(single.LineCount(), 1);
    EXPECT_EQ(single.NextPos(1), 2);
}

// Every line start, as a text core reads them.
std::vector<int> LineStarts(const TextCore& core) {
    std::vector<int> starts;
    for (int line = 0; line < core.LineCount(); ++line) starts.push_back(core.LineStart(line));
    return starts;
}

TEST(TextCore, LinesAfterEditsAreThoseOfTheSameTextReadAfresh) {
    // Breaks of every kind go in and out beside each other, so a CR meets an
    // LF that makes one break of the two, or loses it.
    const std::string_view pieces[] = {"\r", "\n", "\r\n", "a", "bc", "\n\r", "d\re"};
    std::mt19937 random(28);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    TextCore core(true);
    core.SetText("one\rtwo\nthree\r\nfour");
    LineStarts(core);  // indexed before the edits
    for (int step = 0; step < 2000; ++step) {
        SCOPED_TRACE(step);
        int from = pick(core.Length() + 1), to = pick(core.Length() + 1);
        core.Select(from, to);
        switch (pick(4)) {
            case 0: core.DeleteBackward(); break;
            case 1: core.DeleteForward(); break;
            case 2: core.Undo(); break;
            default: core.ReplaceSelection(pieces[pick(std::size(pieces))], Kind::Typing); break;
        }
        TextCore fresh(true);
        fresh.SetText(core.GetText());
        ASSERT_EQ(LineStarts(core), LineStarts(fresh)) << core.GetText();
        for (int pos = 0; pos <= core.Length(); ++pos) ASSERT_EQ(core.LineOf(pos), fresh.LineOf(pos)) << pos;
    }
}

TEST(TextCore, WordsForCtrlArrowsAndDoubleClicks) {
    TextCore core;
    core.SetText("\xC9lan vital,  tr\xE8s-bien");
    struct Step {
        int from, left, right;
    };
    const Step steps[] = {{0, 0, 5}, {3, 0, 5}, {5, 0, 10}, {10, 5, 13}, {13, 10, 17}, {22, 18, 22}};
    for (const Step& s : steps) {
        SCOPED_TRACE(s.from);
        EXPECT_EQ(core.WordLeft(s.from), s.left);
        EXPECT_EQ(core.WordRight(s.from), s.right);
    }
    EXPECT_EQ(core.WordAt(2), (std::pair{0, 4}));
    EXPECT_EQ(core.WordAt(11), (std::pair{11, 13}));  // the blanks
    EXPECT_EQ(core.WordAt(22), (std::pair{18, 22}));  // at the end: the last word
}

}  // namespace
