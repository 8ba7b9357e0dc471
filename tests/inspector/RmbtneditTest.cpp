#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "gui/Application.h"
#include "gui/Forms.h"
#include "gui/headless/HeadlessHost.h"
#include "inspector/Rmbtnedit.h"
#include "inspector/Rmhint.h"
#include "inspector/Rmspeedbtns.h"

namespace {

class ButtonEdit : public ::testing::Test {
protected:
    ButtonEdit() {
        form = Application->CreateForm<TForm>();
        form->SetBounds(100, 100, 300, 120);
        edit = thorn::Make<TrmBtnEdit>(*form);
        edit->SetParent(form);
        edit->SetBounds(10, 10, 150, 24);
        other = thorn::Make<TrmCustomEdit>(*form);
        other->SetParent(form);
        other->SetBounds(10, 50, 150, 24);
        form->Show();
        edit->OnBtn1Click = [this](TObject* sender) { log.push_back(sender == edit ? "btn1" : "btn1 ?"); };
        edit->OnBtn2Click = [this](TObject* sender) { log.push_back(sender == edit ? "btn2" : "btn2 ?"); };
        edit->OnChange = [this](TObject*) { log.push_back("change " + edit->GetText()); };
    }
    TPoint MiddleOf(const TControl& c) {
        TPoint p = c.ClientToParent({c.GetWidth() / 2, c.GetHeight() / 2}, form);
        return p;
    }

    thorn::HeadlessApplication session;
    thorn::HeadlessHost& host = session.Host();
    TForm* form = nullptr;
    TrmBtnEdit* edit = nullptr;
    TrmCustomEdit* other = nullptr;
    std::vector<std::string> log;
};

TEST_F(ButtonEdit, KeysAndButtonsRaiseTheButtonEvents) {
    edit->SetBtn2Visible(true);
    edit->SetFocus();
    host.PressKey(VK_RETURN, {ssCtrl});
    host.PressKey(VK_RETURN, {ssCtrl, ssShift});
    host.PressKey(VK_RETURN, {ssAlt});
    other->SetFocus();
    const TPoint p = MiddleOf(*edit->Btn1());
    host.Click(*form, p.X, p.Y);
    EXPECT_EQ(form->GetFocusedControl(), edit) << "a button click focuses the edit";
    EXPECT_EQ(log, (std::vector<std::string>{"btn1", "btn2", "btn1"}));
    EXPECT_EQ(host.BeepCount(), 0);
}

TEST_F(ButtonEdit, EscapeGoesBackToTheTextTheEditHadWhenFocused) {
    other->SetFocus();
    edit->SetText("start");
    log.clear();
    const TPoint p = edit->ClientToParent({5, 5}, form);
    host.Click(*form, p.X, p.Y);
    host.PressKey(VK_END);
    host.TypeText("ed");
    host.PressKey(VK_ESCAPE);
    EXPECT_EQ(edit->GetText(), "start");
    EXPECT_EQ(edit->GetSelLength(), 5);
    host.PressKey(VK_ESCAPE);
    EXPECT_EQ(log, (std::vector<std::string>{"change starte", "change started", "change start"}));

    // Enter keeps the text: Escape has nothing to go back to.
    host.TypeText("x");
    host.PressKey(VK_RETURN);
    host.PressKey(VK_ESCAPE);
    EXPECT_EQ(edit->GetText(), "x");
    EXPECT_EQ(host.BeepCount(), 0) << "Enter is no refused character";
}

TEST_F(ButtonEdit, NothingIsPastedOrCutWhenNotEditable) {
    struct Case {
        const char* name;
        bool editorEnabled, readOnly;
        std::string afterPaste, afterCut;
    };
    const Case cases[] = {
        {"editable", true, false, "abcCLIP", ""},
        {"editor disabled", false, false, "abc", "abc"},
        {"read-only", true, true, "abc", "abc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        edit->SetEditorEnabled(c.editorEnabled);
        edit->SetReadOnly(c.readOnly);
        edit->SetText("abc");
        edit->SetFocus();
        host.SetClipboardText("CLIP");
        host.PressKey(VK_END);
        host.PressKey('V', {ssCtrl});
        EXPECT_EQ(edit->GetText(), c.afterPaste);
        host.PressKey('A', {ssCtrl});
        edit->SelectAll();
        host.PressKey('X', {ssCtrl});
        EXPECT_EQ(edit->GetText(), c.afterCut);
    }
}

TEST_F(ButtonEdit, ButtonsSitInsideTheRightEdgeBesideTheText) {
    struct Case {
        const char* name;
        bool btn1, btn2, ctl3D;
        int formattingRight;  // from the client width
        TRect btn1Bounds, btn2Bounds;  // from the edit's width and height
        bool btn1Shown, btn2Shown;
    };
    const Case cases[] = {
        {"first button", true, false, true, -17, {-20, 0, -4, -4}, {}, true, false},
        {"both buttons", true, true, true, -33, {-36, 0, -20, -4}, {-20, 0, -4, -4}, true, true},
        {"second without first", false, true, true, 0, {}, {}, false, false},
        {"flat", true, true, false, -33, {-32, 1, -16, -1}, {-16, 1, 0, -1}, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        edit->SetCtl3D(c.ctl3D);
        edit->SetBtn1Visible(c.btn1);
        edit->SetBtn2Visible(c.btn2);
        edit->SetBounds(10, 10, 150, 24);
        const int w = edit->GetWidth(), h = edit->GetHeight();
        EXPECT_EQ(edit->GetFormattingRect(), (TRect{0, 0, edit->GetClientWidth() + c.formattingRight,
                                                    edit->GetClientHeight()}));
        EXPECT_EQ(edit->Btn1()->GetVisible(), c.btn1Shown);
        EXPECT_EQ(edit->Btn2()->GetVisible(), c.btn2Shown);
        auto at = [&](TRect r) { return TRect{w + r.Left, r.Top, w + r.Right, h + r.Bottom}; };
        if (c.btn1Shown) {
            EXPECT_EQ(edit->Btn1()->GetBoundsRect(), at(c.btn1Bounds));
        }
        if (c.btn2Shown) {
            EXPECT_EQ(edit->Btn2()->GetBoundsRect(), at(c.btn2Bounds));
        }
    }
    edit->SetBtnWidth(20);
    EXPECT_EQ(edit->Btn2()->GetWidth(), 20);
    EXPECT_EQ(edit->GetFormattingRect().Right, edit->GetClientWidth() - 41);
    EXPECT_EQ(edit->GetButton(2), edit->Btn2());
    EXPECT_EQ(edit->GetButton(3), nullptr);
}

TEST_F(ButtonEdit, DefaultGlyphsComeBackAndEnabledFollowsTheEdit) {
    TBitmap32 own;
    own.SetSize(6, 6);
    own.Clear(Color32(clRed));
    edit->SetBtn2Glyph(&own);
    EXPECT_EQ(edit->GetBtn1Glyph().Width(), 10) << "the ellipsis";
    edit->SetUseDefaultGlyphs(false);
    EXPECT_TRUE(edit->GetBtn1Glyph().Empty());
    edit->SetUseDefaultGlyphs(true);
    EXPECT_EQ(edit->GetBtn1Glyph().Width(), 10);
    EXPECT_EQ(edit->GetBtn1Glyph().GetPixel(0, 0), Color32(clBtnFace));
    EXPECT_EQ(edit->GetBtn1Glyph().GetPixel(1, 1), Color32(clBtnText));
    EXPECT_EQ(edit->GetBtn2Glyph().Width(), 6) << "its own glyph stays";

    edit->SetBtn1Enabled(false);
    edit->SetEnabled(false);
    edit->SetEnabled(true);
    EXPECT_FALSE(edit->Btn1()->GetEnabled());
    EXPECT_TRUE(edit->Btn2()->GetEnabled());
    EXPECT_FALSE(edit->GetBtn1Enabled());
}

TEST_F(ButtonEdit, WantTabsKeepsTabInTheEdit) {
    other->SetFocus();
    host.PressKey(VK_TAB);
    EXPECT_NE(form->GetFocusedControl(), other);
    other->SetWantTabs(true);
    other->SetFocus();
    host.PressKey(VK_TAB);
    EXPECT_EQ(form->GetFocusedControl(), other);
}

// ---- the hint window

TEST(HintWindow, StaysOnTheDesktopAndShowsItsText) {
    thorn::HeadlessApplication session;
    session.Host().SetWorkArea({0, 0, 800, 600});
    auto hint = std::make_unique<TrmHintWindow>();
    struct Case {
        TRect asked, shown;
    };
    const Case cases[] = {
        {{780, 100, 880, 118}, {700, 100, 800, 118}},
        {{100, 590, 200, 608}, {100, 582, 200, 600}},
        {{-20, 100, 80, 118}, {0, 100, 100, 118}},
        {{100, -30, 200, -12}, {100, 0, 200, 18}},
        {{900, 700, 1000, 718}, {700, 582, 800, 600}},
    };
    for (const Case& c : cases) {
        hint->ActivateHint(c.asked, "Cut-off value");
        EXPECT_EQ(hint->GetBoundsRect(), c.shown);
        EXPECT_FALSE(hint->IsActivating());
    }
    EXPECT_TRUE(session.Host().IsWindowVisible(*hint));
    EXPECT_EQ(hint->GetCaption(), "Cut-off value");

    const TRect needed = hint->CalcHintRect(400, "Cut-off value", nullptr);
    EXPECT_EQ(needed, (TRect{0, 0, hint->Canvas().TextWidth("Cut-off value"),
                             hint->Canvas().TextHeight("Cut-off value")}));
    hint->ActivateHintData({10, 10, 10 + needed.Right + 4, 10 + needed.Bottom + 2}, "Cut-off value", nullptr);
    hint->PaintPending();
    const int w = hint->GetWidth(), h = hint->GetHeight();
    EXPECT_EQ(session.Host().PixelAt(*hint, 0, 0), Color32(cl3DLight));
    EXPECT_EQ(session.Host().PixelAt(*hint, w - 1, h - 1), Color32(cl3DDkShadow));
    EXPECT_EQ(session.Host().PixelAt(*hint, w - 2, h - 2), Color32(clInfoBk));
    int ink = 0;
    for (int y = 1; y < h - 1; ++y)
        for (int x = 1; x < w - 1; ++x) ink += session.Host().PixelAt(*hint, x, y) != Color32(clInfoBk);
    EXPECT_GT(ink, 10);
    hint->ReleaseHandle();
    EXPECT_FALSE(session.Host().IsWindowVisible(*hint));

    using thorn::HintMessage;
    for (HintMessage m : {HintMessage::Key, HintMessage::Command, HintMessage::Activate, HintMessage::Deactivate,
                          HintMessage::AppKeyDown, HintMessage::AppSysCommand, HintMessage::MouseButton,
                          HintMessage::MouseWheel, HintMessage::NonClientMouseMove})
        EXPECT_TRUE(hint->IsHintMsg(m)) << static_cast<int>(m);
    EXPECT_FALSE(hint->IsHintMsg(HintMessage::MouseMove));
    EXPECT_FALSE(hint->IsHintMsg(HintMessage::Other));
}

}  // namespace
