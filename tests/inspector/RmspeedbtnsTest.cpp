#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "bitmap/Canvas.h"
#include "gui/ActnList.h"
#include "gui/Application.h"
#include "gui/Forms.h"
#include "gui/Menus.h"
#include "gui/Timers.h"
#include "gui/headless/HeadlessHost.h"
#include "inspector/Rmlibrary.h"
#include "inspector/Rmspeedbtns.h"
#include "platform/Filer.h"
#include "platform/Text.h"

namespace {

class SpeedButtons : public ::testing::Test {
protected:
    SpeedButtons() {
        form = Application->CreateForm<TForm>();
        form->SetBounds(100, 100, 300, 200);
        form->Show();
    }
    template <typename T>
    T* Place(TRect bounds) {
        T* control = thorn::Make<T>(*form);
        control->SetParent(form);
        control->SetBoundsRect(bounds);
        return control;
    }
    TRect OnForm(const TControl& c) const {
        TPoint p = c.ClientToParent({0, 0}, form);
        return {p.X, p.Y, p.X + c.GetWidth(), p.Y + c.GetHeight()};
    }
    TPoint Middle(const TControl& c) const {
        TRect r = OnForm(c);
        return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    }
    void ClickOn(const TControl& c) {
        TPoint p = Middle(c);
        host.Click(*form, p.X, p.Y);
    }
    TColor32 Pixel(const TControl& c, int x, int y) {
        TRect r = OnForm(c);
        return host.PixelAt(*form, r.Left + x, r.Top + y);
    }
    int Count(const TControl& c, TColor color) {
        int n = 0;
        for (int y = 0; y < c.GetHeight(); ++y)
            for (int x = 0; x < c.GetWidth(); ++x) n += Pixel(c, x, y) == Color32(color);
        return n;
    }

    thorn::HeadlessApplication session;
    thorn::HeadlessHost& host = session.Host();
    TForm* form = nullptr;
};

TEST_F(SpeedButtons, SpinHalvesRepeatWhileHeldOnTheOneTimer) {
    auto* spin = Place<TrmSpinButton>({10, 10, 30, 50});
    int ups = 0, downs = 0;
    spin->OnUpClick = [&](TObject* sender) {
        EXPECT_EQ(sender, spin);
        ++ups;
    };
    spin->OnDownClick = [&](TObject*) { ++downs; };
    const TPoint up = Middle(*spin->GetUpButton());
    host.MouseDown(*form, up.X, up.Y);
    struct Step {
        int advance;
        int clicks;
    };
    for (Step s : {Step{399, 0}, Step{1, 1}, Step{99, 1}, Step{1, 2}, Step{300, 5}}) {
        host.Advance(s.advance);
        EXPECT_EQ(ups, s.clicks) << "after " << s.advance;
    }
    host.MouseMove(*form, up.X + 40, up.Y);
    host.Advance(500);
    EXPECT_EQ(ups, 5) << "off the half, the repeats wait";
    host.MouseMove(*form, up.X, up.Y);
    host.Advance(100);
    EXPECT_EQ(ups, 6);
    host.MouseUp(*form, up.X, up.Y);
    EXPECT_EQ(ups, 7) << "the release inside clicks too";
    EXPECT_FALSE(TrmTimerSpeedButton::RepeatTimer().GetEnabled());
    host.Advance(1000);
    EXPECT_EQ(ups, 7);

    const TPoint down = Middle(*spin->GetDownButton());
    host.MouseDown(*form, down.X, down.Y);
    host.Advance(450);
    host.MouseUp(*form, down.X + 40, down.Y);
    EXPECT_EQ(downs, 1) << "one repeat; the release outside does not click";
    EXPECT_EQ(ups, 7);
}

TEST_F(SpeedButtons, TheRepeatTimerRunsOnlyWhileAButtonIsHeld) {
    struct Case {
        const char* what;
        // What the second click of the held up half does.
        std::function<void(TrmSpinButton* spin)> onSecondClick;
    };
    const Case cases[] = {
        {"a box comes up",
         [this](TrmSpinButton*) {
             host.AnswerMessageBox(IDOK, "Out of range");
             ShowMessage("Out of range");
         }},
        {"the button is freed", [](TrmSpinButton* spin) { Application->ReleaseComponent(spin); }},
        {"another window comes up",
         [](TrmSpinButton*) {
             auto* other = Application->CreateForm<TForm>();
             other->SetBounds(500, 100, 100, 100);
             other->Show();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto* spin = Place<TrmSpinButton>({10, 10, 30, 50});
        int ups = 0;
        spin->OnUpClick = [&, spin](TObject*) {
            if (++ups == 2) c.onSecondClick(spin);
        };
        const TPoint up = Middle(*spin->GetUpButton());
        host.MouseDown(*form, up.X, up.Y);
        host.Advance(500);
        EXPECT_EQ(ups, 2);
        EXPECT_FALSE(TrmTimerSpeedButton::RepeatTimer().IsRunning());
        EXPECT_EQ(Application->TimeToNextTimer(), -1) << "nothing wakes the program";
        host.Advance(1000);
        EXPECT_EQ(ups, 2);
        host.MouseUp(*form, up.X, up.Y);
        EXPECT_EQ(host.PendingScripts(), 0u);
    }
}

TEST_F(SpeedButtons, AnExceptionInARepeatStopsIt) {
    auto* spin = Place<TrmSpinButton>({10, 10, 30, 50});
    int ups = 0;
    spin->OnUpClick = [&](TObject*) {
        if (++ups == 2) throw Exception("stop");
    };
    host.AnswerMessageBox(IDOK, "stop");
    const TPoint up = Middle(*spin->GetUpButton());
    host.MouseDown(*form, up.X, up.Y);
    host.Advance(1000);
    EXPECT_EQ(ups, 2);
    EXPECT_EQ(host.PendingScripts(), 0u);
    host.MouseUp(*form, up.X, up.Y);
}

TEST_F(SpeedButtons, SpinSizeRuleAndKeys) {
    auto* spin = Place<TrmSpinButton>({10, 10, 20, 35});
    EXPECT_EQ(spin->GetWidth(), 15);
    EXPECT_EQ(spin->GetUpButton()->GetBoundsRect(), (TRect{0, 0, 15, 12}));
    EXPECT_EQ(spin->GetDownButton()->GetBoundsRect(), (TRect{0, 12, 15, 25}));

    spin->SetTabStop(true);
    std::string log;
    spin->OnUpClick = [&](TObject*) { log += "u"; };
    spin->OnDownClick = [&](TObject*) { log += "d"; };
    spin->SetFocus();
    EXPECT_TRUE(spin->GetUpButton()->GetTimeBtnState().Contains(tbFocusRect));
    host.PressKey(VK_SPACE);
    host.PressKey(VK_DOWN);
    host.PressKey(VK_SPACE);
    host.PressKey(VK_UP);
    EXPECT_EQ(log, "uddu");
    host.PressKey(VK_DOWN);
    EXPECT_EQ(spin->GetFocusedButton(), spin->GetDownButton());
    EXPECT_TRUE(spin->GetDownButton()->GetTimeBtnState().Contains(tbFocusRect));
    EXPECT_FALSE(spin->GetUpButton()->GetTimeBtnState().Contains(tbFocusRect));

    spin->SetUpEnabled(false);
    spin->SetEnabled(false);
    spin->SetEnabled(true);
    EXPECT_FALSE(spin->GetUpEnabled()) << "a half keeps its own setting";
    EXPECT_TRUE(spin->GetDownEnabled());
}

TEST_F(SpeedButtons, SpinArrowsAreDrawnInTheButtonColours) {
    auto* spin = Place<TrmSpinButton>({10, 10, 20, 30});
    form->PaintPending();
    for (TrmTimerSpeedButton* half : {spin->GetUpButton(), spin->GetDownButton()}) {
        EXPECT_EQ(Count(*half, clBtnText), 16) << "rows of 1, 3, 5 and 7";
        int widest = 0, narrowest = 99, widestRow = -1, narrowestRow = -1;
        for (int y = 0; y < half->GetHeight(); ++y) {
            int n = 0;
            for (int x = 0; x < half->GetWidth(); ++x) n += Pixel(*half, x, y) == Color32(clBtnText);
            if (n > widest) widest = n, widestRow = y;
            if (n && n < narrowest) narrowest = n, narrowestRow = y;
        }
        EXPECT_EQ(widest, 7);
        EXPECT_EQ(narrowest, 1);
        EXPECT_EQ(widestRow > narrowestRow, half == spin->GetUpButton()) << "the wide row at the base";
    }
    TBitmap32 glyph;
    MakeSpinGlyph(true, glyph);
    EXPECT_EQ(glyph.GetPixel(4, 0), 0xFF000000u);
    EXPECT_EQ(glyph.GetPixel(3, 0), 0xFFFFFFFFu);
}

TEST_F(SpeedButtons, StylesRefuseWhatTheyCannotBe) {
    auto* b = Place<TrmSpeedButton>({10, 10, 33, 32});
    b->SetStyle(sbsComboButton);
    b->SetFlat(true);
    b->SetTransparent(true);
    b->SetGroupIndex(1);
    b->SetAllowAllUp(true);
    EXPECT_FALSE(b->GetFlat());
    EXPECT_FALSE(b->GetTransparent());
    EXPECT_EQ(b->GetGroupIndex(), 0);
    EXPECT_FALSE(b->GetAllowAllUp());

    auto* m = Place<TrmSpeedButton>({50, 10, 73, 32});
    m->SetGroupIndex(2);
    m->SetDown(true);
    m->SetStyle(sbsMenu);
    EXPECT_EQ(m->GetGroupIndex(), 0);
    EXPECT_FALSE(m->GetDown());
    m->SetGroupIndex(2);
    m->SetDown(true);
    EXPECT_FALSE(m->GetDown());

    b->SetMargin(-5);
    EXPECT_EQ(b->GetMargin(), -1);
    b->SetNumGlyphs(7);
    EXPECT_EQ(b->GetNumGlyphs(), 4);
    TBitmap32 strip;
    for (auto [width, images] : {std::pair{64, 4}, std::pair{80, 1}, std::pair{32, 2}}) {
        strip.SetSize(width, 16);
        b->SetGlyph(strip);
        EXPECT_EQ(b->GetNumGlyphs(), images) << width;
    }
}

// Where glyph and caption go in a client of 100 x 40 at (5, 3), moved by an
// offset of (1, 1), for a glyph of 10 x 8 and the caption "Go" (its size T
// as measured): with a margin, from the edge; with margin -1, the glyph,
// the spacing and the caption centred as one block; with spacing -1 as
// well, margin, spacing and the room left over equal; with only spacing -1,
// the caption centred in what the margin and the glyph leave. Right-to-left
// text swaps left and right. Without a caption the spacing counts as 0.
TEST(ButtonGlyphLayout, MarginAndSpacingPlaceGlyphAndCaption) {
    TBitmap32 surface;
    surface.SetSize(120, 60);
    TCanvas& canvas = *surface.Canvas();
    TButtonGlyph glyph;
    TBitmap32 picture;
    picture.SetSize(10, 8);
    glyph.SetGlyph(picture);
    const TRect client{5, 3, 105, 43};
    const TPoint offset{1, 1};
    const int left = 6, top = 4;  // the client's corner, moved by the offset
    const TSize t = canvas.TextExtent("Go");
    ASSERT_GT(t.cx, 0);
    const int across = (40 - t.cy + 1) / 2, glyphAcross = (40 - 8 + 1) / 2;
    const int down = (100 - t.cx + 1) / 2, glyphDown = (100 - 10 + 1) / 2;

    struct Case {
        const char* what;
        TButtonLayout layout;
        int margin, spacing;
        uint32_t flags;
        const char* caption;
        TPoint glyphAt, textAt;  // relative to the moved client's corner
    };
    const int evenGap = (100 - (10 + t.cx)) / 3;
    const Case cases[] = {
        {"left, margin 3", blGlyphLeft, 3, 4, 0, "Go", {3, glyphAcross}, {3 + 10 + 4, across}},
        {"left, centred block", blGlyphLeft, -1, 4, 0, "Go",
         {(100 - (10 + 4 + t.cx) + 1) / 2, glyphAcross}, {(100 - (10 + 4 + t.cx) + 1) / 2 + 14, across}},
        {"left, even gaps", blGlyphLeft, -1, -1, 0, "Go", {evenGap, glyphAcross}, {evenGap + 10 + evenGap, across}},
        {"left, margin 2 and spacing -1", blGlyphLeft, 2, -1, 0, "Go",
         {2, glyphAcross}, {2 + 10 + (100 - 12 - t.cx) / 2, across}},
        {"right, margin 3", blGlyphRight, 3, 4, 0, "Go", {100 - 3 - 10, glyphAcross}, {100 - 3 - 10 - 4 - t.cx, across}},
        {"left in right-to-left text", blGlyphLeft, 3, 4, DT_RTLREADING, "Go",
         {100 - 3 - 10, glyphAcross}, {100 - 3 - 10 - 4 - t.cx, across}},
        {"top, margin 3", blGlyphTop, 3, 4, 0, "Go", {glyphDown, 3}, {down, 3 + 8 + 4}},
        {"bottom, margin 3", blGlyphBottom, 3, 4, 0, "Go", {glyphDown, 40 - 3 - 8}, {down, 40 - 3 - 8 - 4 - t.cy}},
        {"no caption", blGlyphLeft, -1, 4, 0, "", {(100 - 10 + 1) / 2, glyphAcross}, {(100 - 10 + 1) / 2 + 10, 20}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TPoint glyphPos;
        TRect textBounds;
        glyph.CalcButtonLayout(canvas, client, offset, c.caption, c.layout, c.margin, c.spacing, glyphPos, textBounds,
                               c.flags);
        EXPECT_EQ(glyphPos, (TPoint{left + c.glyphAt.X, top + c.glyphAt.Y}));
        EXPECT_EQ(textBounds.Left, left + c.textAt.X);
        EXPECT_EQ(textBounds.Top, top + c.textAt.Y);
        const bool captioned = *c.caption != 0;
        EXPECT_EQ(textBounds.Right - textBounds.Left, captioned ? t.cx : 0);
        EXPECT_EQ(textBounds.Bottom - textBounds.Top, captioned ? t.cy : 0);
    }
}

TEST_F(SpeedButtons, GroupsKeepOneButtonDown) {
    std::vector<TrmSpeedButton*> group;
    int clicks = 0;
    for (int i = 0; i < 3; ++i) {
        group.push_back(Place<TrmSpeedButton>({10 + 30 * i, 10, 33 + 30 * i, 32}));
        group.back()->SetGroupIndex(1);
        group.back()->OnClick = [&](TObject*) { ++clicks; };
    }
    auto downs = [&] {
        std::string s;
        for (auto* b : group) s += b->GetDown() ? "D" : "-";
        return s;
    };
    ClickOn(*group[0]);
    EXPECT_EQ(downs(), "D--");
    ClickOn(*group[1]);
    EXPECT_EQ(downs(), "-D-");
    ClickOn(*group[1]);
    EXPECT_EQ(downs(), "-D-") << "the group does not allow all up";
    EXPECT_EQ(group[1]->GetState(), bsExclusive);
    group[2]->SetAllowAllUp(true);
    EXPECT_TRUE(group[0]->GetAllowAllUp()) << "the whole group follows";
    ClickOn(*group[1]);
    EXPECT_EQ(downs(), "---");
    EXPECT_EQ(clicks, 4);
    group[2]->SetDown(true);
    EXPECT_EQ(downs(), "--D");

    // A press released off the button is no click and leaves it as it was.
    const TPoint p = Middle(*group[0]);
    host.MouseDown(*form, p.X, p.Y);
    EXPECT_EQ(group[0]->GetState(), bsDown);
    host.MouseMove(*form, p.X, p.Y + 60);
    EXPECT_EQ(group[0]->GetState(), bsUp);
    host.MouseUp(*form, p.X, p.Y + 60);
    EXPECT_EQ(downs(), "--D");
    EXPECT_EQ(clicks, 4);
}

TEST_F(SpeedButtons, MenuStyleOpensItsMenuFromTheArrowPart) {
    auto* b = Place<TrmSpeedButton>({10, 10, 60, 32});
    b->SetStyle(sbsMenu);
    auto* menu = thorn::Make<TPopupMenu>(*form);
    auto* item = thorn::Make<TMenuItem>(*form);
    item->SetCaption("Item");
    menu->GetItems()->Add(item);
    b->SetDropDownMenu(menu);
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    const TRect r = OnForm(*b);
    host.MouseDown(*form, r.Right - 4, r.Top + 5);
    EXPECT_EQ(b->GetState(), bsMenu);
    host.MouseUp(*form, r.Right - 4, r.Top + 5);
    EXPECT_TRUE(menu->IsOpen());
    EXPECT_EQ(clicks, 0);
    menu->CloseMenu();
    host.Click(*form, r.Left + 5, r.Top + 5);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(menu->IsOpen());
}

TEST_F(SpeedButtons, FlatButtonsShowTheirEdgeWhenHotOrPressed) {
    auto* b = Place<TrmSpeedButton>({10, 10, 40, 40});
    b->SetFlat(true);
    form->PaintPending();
    const TColor32 face = Pixel(*b, 0, 0);
    const TRect r = OnForm(*b);
    struct Case {
        const char* name;
        std::function<void()> act;
        TColor32 topLeft, bottomRight;
    };
    const Case cases[] = {
        {"cold", [] {}, face, face},
        {"hot", [&] { host.MouseMove(*form, r.Left + 5, r.Top + 5); }, Color32(clBtnHighlight), Color32(clBtnShadow)},
        {"pressed", [&] { host.MouseDown(*form, r.Left + 5, r.Top + 5); }, Color32(clBtnShadow),
         Color32(clBtnHighlight)},
        {"released", [&] { host.MouseUp(*form, r.Left + 5, r.Top + 5); }, Color32(clBtnHighlight),
         Color32(clBtnShadow)},
        {"left", [&] { host.MouseMove(*form, r.Right + 30, r.Top + 5); }, face, face},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.act();
        form->PaintPending();
        EXPECT_EQ(Pixel(*b, 0, 0), c.topLeft);
        EXPECT_EQ(Pixel(*b, b->GetWidth() - 1, b->GetHeight() - 1), c.bottomRight);
    }
}

TEST_F(SpeedButtons, GlyphsAndCaptionsGreyWhenDisabled) {
    auto* b = Place<TrmSpeedButton>({10, 10, 90, 40});
    TBitmap32 glyph;
    glyph.SetSize(8, 8);
    glyph.Clear(Color32(clWhite));
    glyph.FillRect(2, 2, 6, 6, Color32(clBlack));
    ReplaceColors(glyph, clBtnFace, clNavy);
    b->SetGlyph(glyph);
    b->SetCaption("Go");
    form->PaintPending();
    EXPECT_EQ(Count(*b, clNavy), 16);
    EXPECT_EQ(Count(*b, clBtnHighlight) > 0, true) << "the frame";
    const int framed = Count(*b, clBtnShadow);
    b->SetEnabled(false);
    form->PaintPending();
    EXPECT_EQ(Count(*b, clNavy), 0);
    EXPECT_GT(Count(*b, clBtnShadow), framed + 16) << "glyph and caption embossed";
}

TEST_F(SpeedButtons, AcceleratorsAndActionsClick) {
    auto* b = Place<TrmSpeedButton>({10, 10, 60, 32});
    b->SetCaption("&Go");
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    host.PressKey('G', {ssAlt});
    EXPECT_EQ(clicks, 1);

    auto* images = thorn::Make<TImageList>(*form, 12, 10);
    TBitmap32 picture;
    picture.SetSize(12, 10);
    picture.Clear(Color32(clRed));
    images->AddMasked(picture, clNone);
    auto* list = thorn::Make<TActionList>(*form);
    list->SetImages(images);
    auto* action = thorn::Make<TAction>(*form);
    action->SetActionList(list);
    action->SetImageIndex(0);
    action->SetCaption("Run");
    b->SetAction(action);
    EXPECT_EQ(b->GetCaption(), "Run");
    EXPECT_EQ(b->GetGlyph().Width(), 12);
    EXPECT_EQ(b->GetGlyph().GetPixel(5, 5), Color32(clRed));
}

TEST_F(SpeedButtons, PublishedPropertiesStoreOnlyWhatDiffers) {
    RegisterClass<TrmSpeedButton>("TrmSpeedButton");
    TrmSpeedButton b;
    TMemoryStream plain;
    thorn::WriteComponent(plain, b);
    b.SetStyle(sbsMenu);
    b.SetMargin(3);
    b.SetLayout(blGlyphTop);
    TMemoryStream changed;
    thorn::WriteComponent(changed, b);
    changed.SetPosition(0);
    std::unique_ptr<TComponent> read = thorn::ReadComponent(changed);
    auto* copy = dynamic_cast<TrmSpeedButton*>(read.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetStyle(), sbsMenu);
    EXPECT_EQ(copy->GetMargin(), 3);
    EXPECT_EQ(copy->GetLayout(), blGlyphTop);
    EXPECT_EQ(copy->GetSpacing(), 4);
    const std::string bytes(plain.Bytes().begin(), plain.Bytes().end());
    EXPECT_EQ(bytes.find("Spacing"), std::string::npos);
    EXPECT_EQ(bytes.find("Transparent"), std::string::npos);
}

}  // namespace
