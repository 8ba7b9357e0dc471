#include <gtest/gtest.h>

#include <functional>

#include "TestControls.h"
#include "gui/Bevel.h"
#include "gui/BitBtn.h"
#include "gui/CheckBox.h"
#include "gui/Edit.h"
#include "gui/GroupBox.h"
#include "gui/Label.h"
#include "gui/Panel.h"
#include "platform/Text.h"

namespace {

using thorn::test::MakeForm;
using thorn::test::OnForm;
using thorn::test::Place;

class GuiBasicControls : public ::testing::Test {
protected:
    GuiBasicControls() { form = MakeForm(320, 240); }
    TColor32 Pixel(const TControl& c, int x, int y) {
        TPoint p = OnForm(c, {x, y});
        return host.PixelAt(*form, p.X, p.Y);
    }
    // How many pixels of a control's client area have this colour.
    int Count(const TControl& c, TColor color) {
        int n = 0;
        for (int y = 0; y < c.GetClientHeight(); ++y)
            for (int x = 0; x < c.GetClientWidth(); ++x) n += Pixel(c, x, y) == Color32(color);
        return n;
    }
    void Show(TCustomForm& f) {
        f.Show();
        Application->ProcessMessages();
    }
    void ClickOn(const TControl& c, int x, int y) {
        TPoint p = OnForm(c, {x, y});
        host.Click(*c.GetParentForm(), p.X, p.Y);
    }

    thorn::HeadlessApplication session;
    thorn::HeadlessHost& host = session.Host();
    TForm* form = nullptr;
};

TEST_F(GuiBasicControls, ALabelSizesItselfToItsText) {
    TLabel* label = Place<TLabel>(*form, {10, 10, 100, 30});
    label->SetCaption("Castle");
    int oneWord = label->GetWidth();
    EXPECT_GT(oneWord, 10);
    EXPECT_EQ(label->GetHeight(), thorn::GetFontMetrics(label->GetFont()).height);
    label->SetCaption("Castle and army");
    EXPECT_GT(label->GetWidth(), oneWord);
    // Lined up right, it keeps its right side.
    label->SetAlignment(taRightJustify);
    int right = label->GetLeft() + label->GetWidth();
    label->SetCaption("Castle");
    EXPECT_EQ(label->GetLeft() + label->GetWidth(), right);
    // Wrapped, it keeps its width and grows down.
    label->SetWordWrap(true);
    label->SetWidth(oneWord + 4);
    label->SetCaption("Castle and army");
    EXPECT_EQ(label->GetWidth(), oneWord + 4);
    EXPECT_EQ(label->GetHeight(), 3 * thorn::GetFontMetrics(label->GetFont()).height);
}

TEST_F(GuiBasicControls, ALabelsAcceleratorFocusesItsControl) {
    TLabel* label = Place<TLabel>(*form, {10, 10, 60, 30});
    TEdit* first = Place<TEdit>(*form, {10, 40, 100, 61});
    TEdit* second = Place<TEdit>(*form, {10, 70, 100, 91});
    label->SetCaption("&Province");
    label->SetFocusControl(second);
    Show(*form);
    EXPECT_TRUE(first->Focused());
    host.PressKey('P', {ssAlt});
    EXPECT_TRUE(second->Focused());
    first->SetFocus();
    label->SetShowAccelChar(false);  // "&" is plain text then
    host.PressKey('P', {ssAlt});
    EXPECT_TRUE(first->Focused());
    label->SetShowAccelChar(true);
    second->SetEnabled(false);
    host.PressKey('P', {ssAlt});
    EXPECT_TRUE(first->Focused());
}

TEST_F(GuiBasicControls, ALabelFillsItsColourUnlessTransparentAndEmbossesWhenDisabled) {
    TPanel* panel = Place<TPanel>(*form, {0, 0, 200, 100});
    panel->SetColor(clYellow);
    panel->SetBevelOuter(bvNone);
    TLabel* label = Place<TLabel>(*panel, {10, 10, 100, 30});
    // A face drawn at its full width, whose "W" covers whole pixels.
    label->Font().SetName("Arial");
    label->SetCaption("W");
    label->SetAutoSize(false);
    label->SetBounds(10, 10, 60, 20);
    label->SetColor(clAqua);
    Show(*form);
    EXPECT_EQ(Pixel(*label, 50, 2), Color32(clAqua));
    label->SetTransparent(true);
    Application->ProcessMessages();
    EXPECT_EQ(Pixel(*label, 50, 2), Color32(clYellow));
    EXPECT_GT(Count(*label, clBlack), 0);
    label->SetEnabled(false);
    Application->ProcessMessages();
    EXPECT_EQ(Count(*label, clBlack), 0);
    EXPECT_GT(Count(*label, clBtnHighlight) + Count(*label, clBtnShadow), 0);
}

TEST_F(GuiBasicControls, APanelsBevelsAndBorderFrameItsChildren) {
    TPanel* panel = Place<TPanel>(*form, {10, 10, 110, 60});
    panel->SetBevelInner(bvLowered);
    panel->SetBevelWidth(2);
    panel->SetBorderWidth(3);
    TPanel* inside = Place<TPanel>(*panel, {0, 0, 10, 10});
    inside->SetAlign(alClient);
    inside->SetBevelOuter(bvNone);
    inside->SetColor(clLime);
    EXPECT_EQ(inside->GetBoundsRect(), (TRect{7, 7, 93, 43}));  // 2 + 3 + 2 from each side
    Show(*form);
    struct Probe {
        int x, y;
        TColor color;
    };
    const Probe probes[] = {{0, 0, clBtnHighlight},  {99, 49, clBtnShadow}, {2, 10, clBtnFace},
                            {5, 10, clBtnShadow},    {94, 10, clBtnHighlight}, {7, 10, clLime}};
    for (const Probe& p : probes) EXPECT_EQ(Pixel(*panel, p.x, p.y), Color32(p.color)) << p.x << "," << p.y;
    panel->SetBorderStyle(bsSingle);
    EXPECT_EQ(panel->GetClientWidth(), 96);
    Application->ProcessMessages();
    EXPECT_EQ(host.PixelAt(*form, 10, 10), Color32(clBtnShadow));  // the sunken edge outside
}

TEST_F(GuiBasicControls, BevelShapesDrawTheirLines) {
    TBevel* bevel = Place<TBevel>(*form, {20, 20, 60, 50});  // 40 x 30
    Show(*form);
    struct Case {
        TBevelShape shape;
        TBevelStyle style;
        std::vector<std::pair<TPoint, TColor>> pixels;
    };
    const Case cases[] = {
        {bsBox, bsLowered, {{{0, 0}, clBtnShadow}, {{39, 29}, clBtnHighlight}, {{20, 15}, clBtnFace}}},
        {bsBox, bsRaised, {{{0, 0}, clBtnHighlight}, {{39, 29}, clBtnShadow}}},
        {bsFrame, bsLowered, {{{0, 0}, clBtnShadow}, {{1, 1}, clBtnHighlight}, {{39, 29}, clBtnHighlight}}},
        {bsTopLine, bsLowered, {{{10, 0}, clBtnShadow}, {{10, 1}, clBtnHighlight}, {{10, 29}, clBtnFace}}},
        {bsBottomLine, bsLowered, {{{10, 28}, clBtnShadow}, {{10, 29}, clBtnHighlight}, {{10, 0}, clBtnFace}}},
        {bsLeftLine, bsRaised, {{{0, 10}, clBtnHighlight}, {{1, 10}, clBtnShadow}}},
        {bsRightLine, bsLowered, {{{38, 10}, clBtnShadow}, {{39, 10}, clBtnHighlight}}},
        {bsSpacer, bsLowered, {{{0, 0}, clBtnFace}, {{39, 29}, clBtnFace}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.shape));
        bevel->SetShape(c.shape);
        bevel->SetStyle(c.style);
        Application->ProcessMessages();
        for (const auto& [p, color] : c.pixels) EXPECT_EQ(Pixel(*bevel, p.X, p.Y), Color32(color)) << p.X << "," << p.Y;
    }
}

TEST_F(GuiBasicControls, AGroupBoxHoldsItsControlsBelowItsCaption) {
    TGroupBox* group = Place<TGroupBox>(*form, {10, 10, 200, 120});
    group->SetCaption("&Castle");
    TEdit* edit = Place<TEdit>(*form, {10, 150, 100, 171});
    TCheckBox* box = Place<TCheckBox>(*group, {0, 0, 10, 10});
    box->SetAlign(alClient);
    int captionHeight = thorn::GetFontMetrics(group->GetFont()).height;
    EXPECT_GE(box->GetTop(), captionHeight);
    EXPECT_LE(box->GetTop(), captionHeight + 4);
    Show(*form);
    edit->SetFocus();
    host.PressKey('C', {ssAlt});
    EXPECT_TRUE(box->Focused());
    EXPECT_FALSE(box->GetChecked());  // the group's accelerator only moves the focus
    // The etched frame runs through the caption's middle, left of the text.
    EXPECT_EQ(Pixel(*group, 2, captionHeight / 2), Color32(clBtnShadow));
    EXPECT_EQ(Pixel(*group, 2, captionHeight / 2 + 1), Color32(clBtnHighlight));
}

TEST_F(GuiBasicControls, ACheckBoxTogglesByMouseSpaceAndAccelerator) {
    TCheckBox* box = Place<TCheckBox>(*form, {10, 10, 110, 27});
    box->SetCaption("&Moat");
    TEdit* edit = Place<TEdit>(*form, {10, 40, 100, 61});
    std::vector<TCheckBoxState> clicks;
    box->OnClick = [&](TObject*) { clicks.push_back(box->GetState()); };
    Show(*form);
    EXPECT_TRUE(box->Focused());

    ClickOn(*box, 5, 8);  // the box
    ClickOn(*box, 60, 8);  // the caption
    TPoint inside = OnForm(*box, {5, 8});
    host.Drag(*form, inside, {inside.X + 200, inside.Y}, 2);  // released outside: nothing
    host.KeyDown(VK_SPACE);
    EXPECT_TRUE(box->IsPressed());
    EXPECT_TRUE(clicks.size() == 2);
    host.KeyUp(VK_SPACE);
    host.PressKey(VK_SPACE, {ssShift});
    edit->SetFocus();
    host.PressKey('M', {ssAlt});
    EXPECT_TRUE(box->Focused());
    box->SetChecked(true);  // by program: also a click
    box->SetChecked(true);  // no change: none
    EXPECT_EQ(clicks, (std::vector<TCheckBoxState>{cbChecked, cbUnchecked, cbChecked, cbUnchecked, cbChecked}));

    // With AllowGrayed the third state joins the round.
    box->SetAllowGrayed(true);
    clicks.clear();
    for (int i = 0; i < 3; ++i) ClickOn(*box, 5, 8);
    EXPECT_EQ(clicks, (std::vector<TCheckBoxState>{cbGrayed, cbUnchecked, cbChecked}));
    box->SetEnabled(false);
    ClickOn(*box, 5, 8);
    EXPECT_EQ(clicks.size(), 3u);
}

TEST_F(GuiBasicControls, ACheckBoxDrawsItsStateAndSide) {
    TCheckBox* box = Place<TCheckBox>(*form, {10, 10, 110, 27});
    box->SetCaption("Walls");
    Show(*form);
    // The box's white face at the left, ticked in black when checked.
    EXPECT_EQ(Pixel(*box, 6, 4), Color32(clWindow));
    int ticks = Count(*box, clWindowText);
    box->SetChecked(true);
    Application->ProcessMessages();
    EXPECT_GT(Count(*box, clWindowText), ticks);
    box->SetAlignment(taLeftJustify);
    Application->ProcessMessages();
    EXPECT_EQ(Pixel(*box, 6, 4), Color32(clBtnFace));
    EXPECT_EQ(Pixel(*box, box->GetClientWidth() - 7, 4), Color32(clWindow));
}

TEST_F(GuiBasicControls, KindsGiveBitButtonsTheirCaptionResultAndPicture) {
    struct Case {
        TBitBtnKind kind;
        const char* caption;
        TModalResult result;
        bool isDefault, isCancel;
    };
    const Case cases[] = {
        {bkOK, "OK", mrOk, true, false},        {bkCancel, "Cancel", mrCancel, false, true},
        {bkYes, "&Yes", mrYes, true, false},    {bkNo, "&No", mrNo, false, true},
        {bkAbort, "Abort", mrAbort, false, false}, {bkRetry, "&Retry", mrRetry, false, false},
        {bkIgnore, "&Ignore", mrIgnore, false, false}, {bkAll, "&All", mrAll, false, false},
        {bkHelp, "&Help", mrNone, false, false}, {bkClose, "&Close", mrNone, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        TBitBtn* button = Place<TBitBtn>(*form, {10, 10, 90, 35});
        button->SetKind(c.kind);
        EXPECT_EQ(button->GetCaption(), c.caption);
        EXPECT_EQ(button->GetModalResult(), c.result);
        EXPECT_EQ(button->GetDefault(), c.isDefault);
        EXPECT_EQ(button->GetCancel(), c.isCancel);
        ASSERT_NE(button->ShownGlyph(), nullptr);
        thorn::Free(button);
    }
}

TEST_F(GuiBasicControls, ABitButtonDrawsItsGlyphTransparentlyAndEmbossedWhenDisabled) {
    // Four images of 8 x 8: up is red, disabled blue, pushed green; the
    // key colour is the bottom-left pixel, which only the up image holds.
    TBitmap32 glyph;
    glyph.SetSize(32, 8);
    const TColor32 colors[] = {0xFFFF0000u, 0xFF0000FFu, 0xFF00FF00u, 0xFFFFFF00u};
    for (int x = 0; x < 32; ++x)
        for (int y = 0; y < 8; ++y) glyph.SetPixel(x, y, colors[x / 8]);
    glyph.SetPixel(0, 7, 0xFFFF00FFu);
    glyph.SetPixel(3, 3, 0xFFFF00FFu);
    TBitBtn* button = Place<TBitBtn>(*form, {10, 10, 110, 40});
    button->SetGlyph(glyph);
    EXPECT_EQ(button->GetNumGlyphs(), 4);
    Show(*form);
    EXPECT_EQ(Count(*button, clRed), 62);  // 64 less the two key pixels
    EXPECT_EQ(Count(*button, clFuchsia), 0);
    TPoint middle = OnForm(*button, {50, 15});
    host.MouseDown(*form, middle.X, middle.Y);
    EXPECT_EQ(Count(*button, clLime), 64);
    host.MouseUp(*form, middle.X, middle.Y);
    button->SetEnabled(false);
    Application->ProcessMessages();
    EXPECT_EQ(Count(*button, clBlue), 64);
    button->SetNumGlyphs(1);  // no disabled image: the up image embossed
    Application->ProcessMessages();
    EXPECT_EQ(Count(*button, clBlue) + Count(*button, clRed), 0);
    EXPECT_GT(Count(*button, clBtnShadow), 40);
}

TEST_F(GuiBasicControls, EnterAndEscapeAnswerADialogFromItsEdit) {
    TForm* dialog = Application->CreateForm<TForm>();
    dialog->SetBounds(100, 100, 260, 120);
    TEdit* name = Place<TEdit>(*dialog, {10, 10, 200, 31});
    TBitBtn* ok = Place<TBitBtn>(*dialog, {10, 60, 90, 85});
    ok->SetKind(bkOK);
    TBitBtn* cancel = Place<TBitBtn>(*dialog, {100, 60, 180, 85});
    cancel->SetKind(bkCancel);
    struct Case {
        TKey key;
        TModalResult result;
    };
    for (Case c : {Case{VK_RETURN, mrOk}, Case{VK_ESCAPE, mrCancel}}) {
        host.ScriptDialog({"", 0, [&](TCustomForm&) {
                               EXPECT_TRUE(name->Focused());
                               host.TypeText("Ardor");
                               host.PressKey(c.key);
                           }});
        EXPECT_EQ(dialog->ShowModal(), c.result);
        name->SetText("");
    }
    EXPECT_EQ(host.BeepCount(), 0);
    // A close button closes the form it is on.
    TBitBtn* close = Place<TBitBtn>(*dialog, {190, 60, 250, 85});
    close->SetKind(bkClose);
    Show(*dialog);
    ClickOn(*close, 10, 10);
    EXPECT_FALSE(dialog->GetVisible());
}

}  // namespace
