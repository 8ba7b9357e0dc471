#include <gtest/gtest.h>

#include <chrono>
#include <sys/stat.h>
#include <thread>

#include "DialogInput.h"
#include "EditorSession.h"
#include "editor/About.h"
#include "gui/Application.h"
#include "platform/Shell.h"

namespace {

using thorn::test::ClickOn;
using thorn::test::EditorSession;

class AboutBox : public ::testing::Test {
protected:
    void SetUp() override { editor.Start(); }
    void TearDown() override { thorn::SetLinkOpener(""); }

    // Act runs on the box once it is shown and painted.
    void ScriptAbout(std::function<void(TCustomForm&)> act) {
        editor.Host().ScriptDialog({"About Thornvale II Mission editor", 0, [act](TCustomForm& form) {
                                        Application->ProcessMessages();
                                        act(form);
                                    }});
    }
    // The user opens the box from the Help menu with the keyboard.
    void OpenAbout() {
        editor.Host().PressKey('H', {ssAlt});
        editor.Host().PressKey(VK_RETURN);
        EXPECT_EQ(editor.Host().PendingScripts(), 0u);
    }

    EditorSession editor;
};

TEST_F(AboutBox, ShowsItsPictureAndClosesByTheButtonOrEscape) {
    TBitmap32 picture;
    picture.LoadFromFile(editor / "res/about.bmp");
    struct Case {
        const char* name;
        std::function<void(thorn::HeadlessHost&)> close;
    };
    const Case cases[] = {
        {"OK", [](thorn::HeadlessHost& host) { ClickOn(host, *FrmAbout->btnOKAbout); }},
        {"Escape", [](thorn::HeadlessHost& host) { host.PressKey(VK_ESCAPE); }},
        {"other keys, then Escape",
         [](thorn::HeadlessHost& host) {
             host.TypeText("qx");
             EXPECT_EQ(FrmAbout->GetModalResult(), mrNone);
             host.PressKey(VK_ESCAPE);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptAbout([&](TCustomForm& form) {
            // The picture fills its place unscaled: the sun's middle shows.
            const TPoint sun = thorn::test::OnWindow(*FrmAbout->ImgAbout, {138, 30});
            EXPECT_EQ(editor.Host().PixelAt(form, sun.X, sun.Y), picture.GetPixel(138, 30));
            c.close(editor.Host());
            EXPECT_EQ(form.GetModalResult(), mrCancel);
        });
        OpenAbout();
        EXPECT_FALSE(editor.Host().IsWindowVisible(*FrmAbout.Get()));
    }
}

TEST_F(AboutBox, TheLinkOpensTheWebPageOrSaysWhyNot) {
    const auto out = editor / "opened.txt";
    const auto opener = editor / "opener";
    thorn::test::WriteText(opener, "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$1\" > '" + out.string() + ".part'\nmv '" +
                                       out.string() + ".part' '" + out.string() + "'\n");
    chmod(opener.c_str(), 0755);
    thorn::SetLinkOpener(opener.string());
    ScriptAbout([&](TCustomForm&) {
        EXPECT_EQ(FrmAbout->Label3->GetCursor(), crHandPoint);
        ClickOn(editor.Host(), *FrmAbout->Label3);
        editor.Host().PressKey(VK_ESCAPE);
    });
    OpenAbout();
    for (int i = 0; i < 500 && !std::filesystem::exists(out); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(thorn::test::ReadText(out), "1\n" + std::string(TFrmAbout::kProductPage) + "\n");

    thorn::SetLinkOpener((editor / "no-such-opener").string());
    ScriptAbout([&](TCustomForm&) {
        ClickOn(editor.Host(), *FrmAbout->Label3);
        editor.Host().PressKey(VK_ESCAPE);
    });
    editor.Host().AnswerMessageBox(IDOK, "cannot be opened");
    OpenAbout();
}

}  // namespace
