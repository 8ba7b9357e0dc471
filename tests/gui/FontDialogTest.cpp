// The font and colour dialogs, answered from the script and driven by keys;
// the font chosen draws as the dialog's sample showed it.
#include <gtest/gtest.h>

#include "bitmap/Canvas.h"
#include "gui/Application.h"
#include "gui/ColorDialog.h"
#include "gui/Edit.h"
#include "gui/ExtDlgs.h"
#include "gui/FontDialog.h"
#include "gui/ListBox.h"
#include "gui/MessageBox.h"
#include "platform/Text.h"
#include "gui/headless/HeadlessHost.h"

namespace {

using thorn::FontDialogForm;

class FontDialogs : public ::testing::Test {
protected:
    void Script(std::function<void(FontDialogForm&)> act) {
        host.ScriptDialog({{}, 0, [act = std::move(act)](TCustomForm& f) { act(dynamic_cast<FontDialogForm&>(f)); }});
    }
    // Replaces the focused edit's text as a user would: select it all, type.
    void Retype(std::string_view text) {
        host.PressKey(VK_END);
        host.PressKey(VK_HOME, ssShift);
        host.TypeText(text);
    }
    static TFont MakeFont(const std::string& name, int size, TFontStyles style = 0, TColor color = clWindowText) {
        TFont font;
        font.SetName(name);
        font.SetSize(size);
        font.SetStyle(style);
        font.SetColor(color);
        return font;
    }

    thorn::HeadlessApplication session;
    thorn::HeadlessHost& host = session.Host();
};

TEST_F(FontDialogs, TheScriptPicksFamilyStyleSizeEffectsAndColour) {
    TFontDialog dialog;
    dialog.SetFont(MakeFont("Tahoma", 8));
    host.AnswerFontDialog(MakeFont("Liberation Serif", 14, fsBold | fsUnderline, clRed), "Font");
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.GetFont().GetName(), "Liberation Serif");
    EXPECT_EQ(dialog.GetFont().GetSize(), 14);
    EXPECT_EQ(dialog.GetFont().GetStyle(), fsBold | fsUnderline);
    EXPECT_EQ(dialog.GetFont().GetColor(), clRed);

    // A name no family has (one the platform maps to an installed face) is
    // offered as it is, so confirming the dialog keeps the font.
    dialog.SetFont(MakeFont("Tahoma", 8, fsBold));
    TFont before = dialog.GetFont();
    host.AnswerFontDialog(before);
    ASSERT_TRUE(dialog.Execute());
    EXPECT_TRUE(dialog.GetFont() == before);

    host.CancelDialog("Font");
    EXPECT_FALSE(dialog.Execute());
    EXPECT_TRUE(dialog.GetFont() == before);

    host.AnswerFontDialog(MakeFont("No Such Family", 10));
    EXPECT_THROW(dialog.Execute(), thorn::EUnscriptedDialog);
}

TEST_F(FontDialogs, TheFontChosenWithTheKeysDrawsAsTheSampleShowedIt) {
    TFontDialog dialog;
    dialog.SetFont(MakeFont("Tahoma", 8));
    TBitmap32 shown, sample;
    TRect sampleRect;
    Script([&](FontDialogForm& form) {
        Retype("DejaVu Serif");      // the name box has the focus
        host.PressKey(VK_TAB);       // the family list
        host.PressKey(VK_TAB);       // the style list
        host.PressKey(VK_END);       // "Bold Italic"
        host.PressKey(VK_UP);        // "Bold"
        host.PressKey(VK_TAB);       // the size box
        Retype("20");
        session.App().ProcessMessages();
        sampleRect = form.GetSampleRect();
        TBitmap32 window;
        host.Snapshot(form, window);
        shown.SetSize(sampleRect.Width(), sampleRect.Height());
        window.DrawTo(&shown, 0, 0, sampleRect);
        host.PressKey(VK_RETURN);    // OK
    });
    ASSERT_TRUE(dialog.Execute());
    const TFont& font = dialog.GetFont();
    EXPECT_EQ(font.GetName(), "DejaVu Serif");
    EXPECT_EQ(font.GetStyle(), fsBold);
    EXPECT_EQ(font.GetSize(), 20);

    // The same text in the font chosen, drawn as any window of the program
    // draws text, gives the sample's pixels.
    sample.SetSize(sampleRect.Width(), sampleRect.Height());
    TCanvas canvas;
    canvas.SetTarget(&sample);
    canvas.FillColor(sample.BoundsRect(), clBtnFace);
    canvas.Font().Assign(font);
    canvas.Brush().SetStyle(bsClear);
    TRect r = sample.BoundsRect();
    canvas.DrawText(r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, FontDialogForm::kSampleText);
    sample.ResetAlpha();
    shown.ResetAlpha();
    EXPECT_TRUE(sample.Equal(&shown));
    int ink = 0;
    for (int i = 0; i < sample.Width() * sample.Height(); ++i) ink += sample.Bits()[i] != Color32(clBtnFace);
    EXPECT_GT(ink, 100);
}

TEST_F(FontDialogs, ANameNoFamilyHasOrASizeOutsideTheLimitsIsRefused) {
    TFontDialog dialog;
    dialog.SetFont(MakeFont("Liberation Sans", 10));
    dialog.SetOptions({fdEffects, fdLimitSize});
    dialog.SetMinFontSize(8);
    dialog.SetMaxFontSize(12);
    Script([&](FontDialogForm& form) {
        Retype("Nowhere Sans");
        host.PressKey(VK_RETURN);
        EXPECT_EQ(form.GetModalResult(), mrNone);
        Retype("Liberation Sans");
        form.GetSizeEdit()->SetFocus();
        Retype("14");
        EXPECT_EQ(form.GetChosenFont().GetSize(), 10) << "the sample shows no size beyond the limits";
        host.PressKey(VK_RETURN);
        EXPECT_EQ(form.GetModalResult(), mrNone);
        EXPECT_EQ(form.GetSizeList()->GetCount(), 5);  // 8, 9, 10, 11 and 12 within the limits
        host.PressKey(VK_ESCAPE);
    });
    host.AnswerMessageBox(IDOK, "There is no font with that name.\nChoose a font from the list of fonts.");
    host.AnswerMessageBox(IDOK, "Size must be between 8 and 12 points.");
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(dialog.GetFont().GetSize(), 10);
}

TEST_F(FontDialogs, TheColourDialogTakesAColourFromTheScriptOrTheKeys) {
    TColorDialog dialog;
    host.AnswerColorDialog(clTeal, "Color");
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.GetColor(), clTeal);

    dialog.SetColor(clBlack);
    thorn::DialogScript keys;
    keys.act = [&](TCustomForm&) {
        host.PressKey(VK_RIGHT);
        host.PressKey(VK_RIGHT);
        host.PressKey(VK_DOWN);   // the third of the second row
        host.PressKey(VK_RETURN);
    };
    host.ScriptDialog(keys);
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.GetColor(), clLime);

    // A colour of its own stays when the dialog is confirmed.
    dialog.SetColor(TColor(0x123456));
    thorn::DialogScript enter;
    enter.act = [&](TCustomForm&) { host.PressKey(VK_RETURN); };
    host.ScriptDialog(enter);
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.GetColor(), TColor(0x123456));
}

TEST_F(FontDialogs, EveryDialogUnscriptedFailsTheTestWithItsTitleAndAWrongScriptNamesWhatCame) {
    struct Case {
        const char* title;
        std::function<void()> execute;
    };
    const Case cases[] = {
        {"\"Open\"", [] { TOpenDialog().Execute(); }},
        {"\"Save As\"", [] { TSaveDialog().Execute(); }},
        {"\"Open\"", [] { TOpenPictureDialog().Execute(); }},
        {"\"Save As\"", [] { TSavePictureDialog().Execute(); }},
        {"\"Font\"", [] { TFontDialog().Execute(); }},
        {"\"Color\"", [] { TColorDialog().Execute(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        try {
            c.execute();
            ADD_FAILURE() << "answered without a script";
        } catch (const thorn::EUnscriptedDialog& e) {
            EXPECT_NE(std::string(e.what()).find(c.title), std::string::npos) << e.what();
        }
    }
    host.AnswerFileDialog("map.pw");
    try {
        TFontDialog().Execute();
        ADD_FAILURE() << "a file name answered the font dialog";
    } catch (const thorn::EUnscriptedDialog& e) {
        EXPECT_EQ(std::string(e.what()), "A file dialog was expected, but \"Font\" was shown");
    }
    EXPECT_EQ(session.App().GetModalLevel(), 0);
}

}  // namespace
