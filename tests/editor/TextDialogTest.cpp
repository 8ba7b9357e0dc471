#include <gtest/gtest.h>

#include "DialogInput.h"
#include "EditorSession.h"
#include "editor/Dlg_comp.h"
#include "gui/Application.h"

namespace {

using thorn::test::ClickOn;
using thorn::test::EditorSession;

constexpr const char* kBefore = "Text before";

class TextDialog : public ::testing::Test {
protected:
    void SetUp() override { editor.Start(); }

    // Prepares the dialog as the tool windows do and shows it; act runs on
    // it once it is shown, with the dialogs it opens scripted after it.
    TModalResult Edit(int limit, std::function<void()> act, std::function<void()> scriptMore = {}) {
        TDlgComplex& d = *DlgComplex.Get();
        d.SetCaption("Author Notes");
        d.Memo->GetLines()->Clear();
        d.Memo->SetWantReturns(true);
        d.Memo->SetMaxLength(limit);
        d.Memo->SetText(kBefore);
        editor.Host().ScriptDialog({"Author Notes", 0, [act](TCustomForm&) {
                                        Application->ProcessMessages();
                                        act();
                                    }});
        if (scriptMore) scriptMore();
        const TModalResult result = d.ShowModal();
        EXPECT_EQ(editor.Host().PendingScripts(), 0u);
        return result;
    }

    EditorSession editor;
};

TEST_F(TextDialog, LoadsAFileAsUtf8OrWindows1252AndRefusesOrCutsWhatTheTextCannotTake) {
    struct Case {
        const char* name;
        std::string bytes;  // the file's; none: no such file
        int limit;
        std::string loaded;   // the memo's text afterwards
        const char* message;  // what the box says, if one shows
    };
    const Case cases[] = {
        {"UTF-8", "Caf\xC3\xA9 \xE2\x82\xAC" "5\nLine 2\n", 1000, "Caf\xE9 \x80" "5\r\nLine 2\r\n", nullptr},
        {"UTF-8 with a byte order mark", "\xEF\xBB\xBF" "na\xC3\xAFve", 1000, "na\xEFve", nullptr},
        {"Windows-1252", "Caf\xE9 \x80" "5\r\n\x93quoted\x94", 1000, "Caf\xE9 \x80" "5\r\n\x93quoted\x94", nullptr},
        {"every kind of line break", "a\rb\r\nc\nd", 0, "a\r\nb\r\nc\r\nd", nullptr},
        {"a character Windows-1252 lacks", "first\nto \xE2\x86\x92 there", 1000, kBefore,
         "its character U+2192 (line 2, column 4)"},
        {"a NUL", std::string("abc\0def", 7), 1000, kBefore, "it holds a NUL character (line 1, column 4)"},
        {"longer than the limit", std::string(30, 'x'), 20, std::string(20, 'x'),
         "holds 30 characters, more than the 20 this text can take: only the first 20 are loaded"},
        {"cut inside a line break", "abcde\nfgh", 6, "abcde", "only the first 5 are loaded"},
        {"no such file", "", 1000, kBefore, "Cannot open file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto file = editor / "loaded.txt";
        std::filesystem::remove(file);
        if (!c.bytes.empty()) thorn::test::WriteText(file, c.bytes);
        const TModalResult result = Edit(
            c.limit,
            [&] {
                ClickOn(editor.Host(), *DlgComplex->BitBtn);
                ClickOn(editor.Host(), *DlgComplex->BtnOk);
            },
            [&] {
                editor.Host().AnswerFileDialog(file.string());
                if (c.message) editor.Host().AnswerMessageBox(IDOK, c.message);
            });
        EXPECT_EQ(result, mrOk);
        EXPECT_EQ(DlgComplex->Memo->GetText(), c.loaded);
    }
}

TEST_F(TextDialog, TypingStopsAtTheLimitAndEscapeAnswersCancel) {
    const TModalResult result = Edit(14, [&] {
        thorn::HeadlessHost& host = editor.Host();
        host.PressKey(VK_END, {ssCtrl});
        host.TypeText("s and more");
        EXPECT_EQ(DlgComplex->Memo->GetText(), "Text befores a");
        host.PressKey(VK_ESCAPE);
    });
    EXPECT_EQ(result, mrCancel);
}

}  // namespace

namespace {

// Closed by a click on "Ok", the dialog opens the next time with the text
// taking the keyboard, not the button.
TEST_F(TextDialog, OpensWithTheKeyboardOnTheTextAfterAClickOnOk) {
    EXPECT_EQ(Edit(100, [&] { ClickOn(editor.Host(), *DlgComplex->BtnOk); }), mrOk);
    const TModalResult result = Edit(100, [&] {
        thorn::HeadlessHost& host = editor.Host();
        host.PressKey(VK_END, {ssCtrl});
        host.TypeText("!");
        host.PressKey(VK_ESCAPE);
    });
    EXPECT_EQ(result, mrCancel);
    EXPECT_EQ(DlgComplex->Memo->GetText(), std::string(kBefore) + "!");
}

}  // namespace
