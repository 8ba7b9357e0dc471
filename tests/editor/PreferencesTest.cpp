#include <gtest/gtest.h>

#include <cstring>

#include "DialogInput.h"
#include "EditorSession.h"
#include "SampleProject.h"
#include "bitmap/Pix32_Layers.h"
#include "editor/Dlg_options.h"
#include "gui/Application.h"

namespace {

using thorn::test::ClickOn;
using thorn::test::EditorSession;
using thorn::test::OnWindow;

// How the world view shows one province's castle or army icon.
struct IconLook {
    bool visible;
    uint32_t alpha;
    friend bool operator==(const IconLook&, const IconLook&) = default;
    friend void PrintTo(const IconLook& look, std::ostream* os) {
        *os << (look.visible ? "shown" : "hidden") << " at alpha " << look.alpha;
    }
};

std::vector<IconLook> Icons(bool castles) {
    std::vector<IconLook> looks;
    for (uint16_t i = 0; i < MapProject->Provinces.GetCount(); ++i) {
        const CProvince* province = MapProject->Provinces.GetAt(static_cast<uint8_t>(i));
        const TBitmapLayer* layer =
            castles ? MapProject->FindCastleLayer(province) : MapProject->FindArmyLayer(province);
        if (layer) looks.push_back({layer->GetVisible(), layer->GetBitmap()->MasterAlpha()});
    }
    return looks;
}

// The switches and the value the dialog shows.
struct Preferences {
    uint32_t AutoShowErr, TransArmies, TransCastles, AutoResize;
    uint8_t TransValue;
    friend bool operator==(const Preferences&, const Preferences&) = default;
    friend void PrintTo(const Preferences& p, std::ostream* os) {
        *os << "AutoShowErr " << p.AutoShowErr << ", TransArmies " << p.TransArmies << ", TransCastles "
            << p.TransCastles << ", AutoResize " << p.AutoResize << ", TransValue " << int{p.TransValue};
    }
};

Preferences Current() {
    const CSettings& s = *Settings;
    return {s.AutoShowErr, s.TransArmies, s.TransCastles, s.AutoResize, s.TransValue};
}

void Apply(const Preferences& p) {
    CSettings& s = *Settings;
    s.AutoShowErr = p.AutoShowErr, s.TransArmies = p.TransArmies, s.TransCastles = p.TransCastles;
    s.AutoResize = p.AutoResize, s.TransValue = p.TransValue;
}

// The main tool bar's button of an action.
const TControl& ButtonOf(const TAction& action) {
    const TToolBar& bar = *MainForm->TBrShow;
    for (int i = 0; i < bar.GetControlCount(); ++i)
        if (bar.GetControl(i)->GetAction() == &action) return *bar.GetControl(i);
    throw std::out_of_range("no button of " + action.GetName());
}

class PreferencesDialog : public ::testing::Test {
protected:
    void SetUp() override {
        editor.Start();
        std::filesystem::path world;
        thorn::test::WorldWithSpecks(editor.Folder().Path(), world);
        thorn::test::MakeProject(world);
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_GT(MapProject->Provinces.GetCount(), 1);
        // Castles in two provinces, so castle translucency shows.
        for (uint8_t i : {0, 1}) MapProject->Provinces.GetAt(i)->SetHasCastle(1);
        MapProject->UpdateCastleIcons();
    }

    // The user opens the dialog from the tool bar; act runs on it once it
    // is shown and painted, then "Apply Changes" closes it.
    // The dialogs it opens are scripted after it by scriptMore.
    void OpenPreferences(std::function<void()> act, std::function<void()> scriptMore = {}) {
        editor.Host().ScriptDialog({"Map Editor Preferences", 0, [this, act](TCustomForm&) {
                                        Application->ProcessMessages();
                                        act();
                                        ClickOn(editor.Host(), *DlgOptions->BtnOK);
                                    }});
        if (scriptMore) scriptMore();
        ClickOn(editor.Host(), ButtonOf(*MainForm->ActShowOptions));
        EXPECT_EQ(editor.Host().PendingScripts(), 0u);
    }

    EditorSession editor;
};

TEST_F(PreferencesDialog, ShowingItChangesNoSettingAndNoIcon) {
    struct Case {
        Preferences settings;
        int position;
        const char* shown;
    };
    const Case cases[] = {
        {{1, 0, 1, 1, 120}, 4, "40%"},
        {{0, 1, 0, 0, 120}, 4, "40%"},
        {{1, 1, 1, 0, 255}, 10, "100%"},
        {{0, 0, 0, 1, 25}, 0, "0%"},
        {{1, 0, 0, 1, 26}, 1, "10%"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "TransValue " << int{c.settings.TransValue} << ", TransCastles "
                                        << c.settings.TransCastles << ", TransArmies " << c.settings.TransArmies);
        Apply(c.settings);
        MapProject->UpdateCastleIcons();
        MapProject->UpdateArmyIcons();
        const std::vector<IconLook> castles = Icons(true), armies = Icons(false);
        OpenPreferences([&] {
            TDlgOptions& d = *DlgOptions.Get();
            EXPECT_EQ(d.ChkBAutoShowErrors->GetChecked(), c.settings.AutoShowErr != 0);
            EXPECT_EQ(d.ChkBTransArmies->GetChecked(), c.settings.TransArmies != 0);
            EXPECT_EQ(d.ChkBTransCastles->GetChecked(), c.settings.TransCastles != 0);
            EXPECT_EQ(d.ChkBAutoResize->GetChecked(), c.settings.AutoResize != 0);
            EXPECT_EQ(d.TrkBTransValue->GetPosition(), c.position);
            EXPECT_EQ(d.TrkBTransValue->GetSelEnd(), c.position);
            EXPECT_EQ(d.LbTransValue->GetCaption(), c.shown);
            EXPECT_EQ(d.BtnNameFont->GetFont().GetName(), Settings->LabelFont.GetName());
            EXPECT_EQ(Current(), c.settings);
        });
        EXPECT_EQ(Current(), c.settings);
        EXPECT_EQ(Icons(true), castles);
        EXPECT_EQ(Icons(false), armies);
    }
}

TEST_F(PreferencesDialog, ItsSwitchesReachTheSettingsAndTheIconsAtOnce) {
    Apply({1, 0, 1, 1, 120});
    OpenPreferences([&] {
        TDlgOptions& d = *DlgOptions.Get();
        thorn::HeadlessHost& host = editor.Host();
        TBitmap32 before, after;
        host.Snapshot(*MainForm.Get(), before);
        ClickOn(host, *d.ChkBTransArmies);
        EXPECT_EQ(Settings->TransArmies, 1u);
        for (const IconLook& army : Icons(false)) EXPECT_EQ(army, (IconLook{true, 120}));
        // The world view shows them at once.
        Application->ProcessMessages();
        host.Snapshot(*MainForm.Get(), after);
        EXPECT_NE(std::memcmp(before.Bits(), after.Bits(), before.Width() * before.Height() * 4u), 0);

        ClickOn(host, *d.ChkBAutoShowErrors);
        EXPECT_EQ(Settings->AutoShowErr, 0u);

        // The thumb dragged to the left end makes the icons fully transparent,
        // End fully opaque.
        const TRect thumb = d.TrkBTransValue->GetThumbRect();
        const TRect channel = d.TrkBTransValue->GetChannelRect();
        const TPoint from = OnWindow(*d.TrkBTransValue, {(thumb.Left + thumb.Right) / 2, (thumb.Top + thumb.Bottom) / 2});
        const TPoint to = OnWindow(*d.TrkBTransValue, {channel.Left - 20, (thumb.Top + thumb.Bottom) / 2});
        host.Drag(*DlgOptions.Get(), from, to);
        EXPECT_EQ(Settings->TransValue, 0);
        EXPECT_EQ(d.LbTransValue->GetCaption(), "0%");
        for (const IconLook& army : Icons(false)) EXPECT_EQ(army.alpha, 0u);
        const std::vector<IconLook> castles = Icons(true);
        EXPECT_EQ(castles[0], (IconLook{true, 0}));
        EXPECT_EQ(castles[1], (IconLook{true, 0}));
        host.PressKey(VK_END);
        EXPECT_EQ(Settings->TransValue, 255);
        EXPECT_EQ(d.LbTransValue->GetCaption(), "100%");
        EXPECT_EQ(d.TrkBTransValue->GetSelEnd(), 10);
        EXPECT_EQ(Icons(true)[0], (IconLook{true, 255}));
        host.PressKey(VK_LEFT);
        EXPECT_EQ(Settings->TransValue, 229);
        EXPECT_EQ(Icons(false)[0].alpha, 229u);
    });
    // Closing undoes nothing.
    EXPECT_EQ(Current(), (Preferences{0, 1, 1, 1, 229}));
}

TEST_F(PreferencesDialog, TheFontChosenRendersEveryProvinceLabelAtOnceAndACancelKeepsIt) {
    TBitmapLayer& label = *MapProject->FindNameLayer(MapProject->Provinces.GetAt(0));
    const TFont before = Settings->LabelFont;
    const int32_t widthBefore = label.GetBitmap()->Width();
    TFont chosen;
    chosen.SetName("DejaVu Serif");
    chosen.SetSize(16);
    chosen.SetStyle(fsBold);
    struct Case {
        const char* name;
        bool confirmed;
    };
    for (const Case c : {Case{"cancelled", false}, Case{"confirmed", true}}) {
        SCOPED_TRACE(c.name);
        OpenPreferences([&] {
            ClickOn(editor.Host(), *DlgOptions->BtnNameFont);
            const TFont& expected = c.confirmed ? chosen : before;
            const std::initializer_list<const TFont*> fonts = {
                &Settings->LabelFont, &DlgOptions->BtnNameFont->GetFont(), &label.GetBitmap()->Font()};
            for (const TFont* font : fonts) {
                EXPECT_EQ(font->GetName(), expected.GetName());
                EXPECT_EQ(font->GetSize(), expected.GetSize());
                EXPECT_EQ(font->GetStyle(), expected.GetStyle());
            }
            if (c.confirmed)
                EXPECT_GT(label.GetBitmap()->Width(), widthBefore);
            else
                EXPECT_EQ(label.GetBitmap()->Width(), widthBefore);
        }, [&] {
            if (c.confirmed)
                editor.Host().AnswerFontDialog(chosen);
            else
                editor.Host().CancelDialog();
        });
    }
}

}  // namespace
