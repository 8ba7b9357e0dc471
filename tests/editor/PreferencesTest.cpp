#include <gtest/gtest.h>

#include <cstring>
#include <tuple>
#include <utility>

#include "DialogInput.h"
#include "EditorSession.h"
#include "SampleProject.h"
#include "bitmapui/Pix32_Layers.h"
#include "editor/Dlg_options.h"
#include "gui/Application.h"
#include "gui/Edit.h"
#include "gui/FontDialogForm.h"
#include "gui/ListBox.h"

namespace {

using thorn::test::ClickOn;
using thorn::test::EditorSession;
using thorn::test::OnWindow;

// How each province's castle or army icon shows: visible, and its alpha.
using Looks = std::vector<std::pair<bool, uint32_t>>;

Looks Icons(bool castles) {
    Looks looks;
    for (uint16_t i = 0; i < MapProject->Provinces.GetCount(); ++i) {
        const CProvince* province = MapProject->Provinces.GetAt(static_cast<uint8_t>(i));
        const TBitmapLayer* layer = castles ? MapProject->FindCastleLayer(province) : MapProject->FindArmyLayer(province);
        if (layer) looks.emplace_back(layer->GetVisible(), layer->GetBitmap()->MasterAlpha());
    }
    return looks;
}

// AutoShowErr, TransArmies, TransCastles, AutoResize, TransValue.
using Preferences = std::tuple<uint32_t, uint32_t, uint32_t, uint32_t, int>;

Preferences Current() {
    const CSettings& s = *Settings;
    return {s.AutoShowErr, s.TransArmies, s.TransCastles, s.AutoResize, s.TransValue};
}

void Apply(const Preferences& p) {
    CSettings& s = *Settings;
    std::tie(s.AutoShowErr, s.TransArmies, s.TransCastles, s.AutoResize) =
        std::tie(std::get<0>(p), std::get<1>(p), std::get<2>(p), std::get<3>(p));
    s.TransValue = static_cast<uint8_t>(std::get<4>(p));
    MapProject->UpdateCastleIcons();
    MapProject->UpdateArmyIcons();
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
        // Castles in two provinces, so castle translucency shows.
        for (uint8_t i : {0, 1}) MapProject->Provinces.GetAt(i)->SetHasCastle(1);
    }

    // The user opens the dialog from the tool bar; act runs on it once it
    // is shown and painted, then "Apply Changes" closes it. The dialogs it
    // opens are scripted after it by scriptMore.
    void OpenPreferences(std::function<void(TDlgOptions&)> act, std::function<void()> scriptMore = {}) {
        editor.Host().ScriptDialog({"Map Editor Preferences", 0, [this, act](TCustomForm&) {
                                        Application->ProcessMessages();
                                        act(*DlgOptions.Get());
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
        {{1, 0, 0, 1, 120}, 4, "40%"},
        {{0, 1, 1, 0, 255}, 10, "100%"},
        {{1, 1, 0, 1, 26}, 1, "10%"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.settings));
        uint32_t showErrors = 0, armies = 0, castles = 0, resize = 0;
        std::tie(showErrors, armies, castles, resize, std::ignore) = c.settings;
        Apply(c.settings);
        const Looks castleIcons = Icons(true), armyIcons = Icons(false);
        OpenPreferences([&](TDlgOptions& d) {
            EXPECT_EQ(d.ChkBAutoShowErrors->GetChecked(), showErrors != 0);
            EXPECT_EQ(d.ChkBTransArmies->GetChecked(), armies != 0);
            EXPECT_EQ(d.ChkBTransCastles->GetChecked(), castles != 0);
            EXPECT_EQ(d.ChkBAutoResize->GetChecked(), resize != 0);
            EXPECT_EQ(d.TrkBTransValue->GetPosition(), c.position);
            EXPECT_EQ(d.TrkBTransValue->GetSelEnd(), c.position);
            EXPECT_EQ(d.LbTransValue->GetCaption(), c.shown);
            EXPECT_EQ(d.BtnNameFont->GetFont().GetName(), Settings->LabelFont.GetName());
        });
        EXPECT_EQ(Current(), c.settings);
        EXPECT_EQ(Icons(true), castleIcons);
        EXPECT_EQ(Icons(false), armyIcons);
    }
}

TEST_F(PreferencesDialog, ItsSwitchesReachTheSettingsAndTheWorldViewAtOnce) {
    Apply({1, 0, 1, 1, 120});
    OpenPreferences([&](TDlgOptions& d) {
        thorn::HeadlessHost& host = editor.Host();
        TBitmap32 before, after;
        host.Snapshot(*MainForm.Get(), before);
        ClickOn(host, *d.ChkBTransArmies);
        EXPECT_EQ(Settings->TransArmies, 1u);
        for (const auto& army : Icons(false)) EXPECT_EQ(army, std::pair(true, 120u));
        Application->ProcessMessages();
        host.Snapshot(*MainForm.Get(), after);
        EXPECT_NE(std::memcmp(before.Bits(), after.Bits(), before.Width() * before.Height() * 4u), 0);

        ClickOn(host, *d.ChkBAutoShowErrors);
        EXPECT_EQ(Settings->AutoShowErr, 0u);

        // The thumb dragged to the left end makes the icons fully
        // transparent, End fully opaque.
        const TRect thumb = d.TrkBTransValue->GetThumbRect();
        const int y = (thumb.Top + thumb.Bottom) / 2;
        host.Drag(*DlgOptions.Get(), OnWindow(*d.TrkBTransValue, {(thumb.Left + thumb.Right) / 2, y}),
                  OnWindow(*d.TrkBTransValue, {d.TrkBTransValue->GetChannelRect().Left - 20, y}));
        EXPECT_EQ(d.LbTransValue->GetCaption(), "0%");
        for (const auto& army : Icons(false)) EXPECT_EQ(army.second, 0u);
        EXPECT_EQ(Icons(true)[0], std::pair(true, 0u));
        EXPECT_EQ(Icons(true)[1], std::pair(true, 0u));
        host.PressKey(VK_END);
        EXPECT_EQ(d.LbTransValue->GetCaption(), "100%");
        EXPECT_EQ(d.TrkBTransValue->GetSelEnd(), 10);
        EXPECT_EQ(Icons(true)[1], std::pair(true, 255u));
        host.PressKey(VK_LEFT);
        EXPECT_EQ(Icons(false)[0].second, 229u);
    });
    // Closing undoes nothing.
    EXPECT_EQ(Current(), (Preferences{0, 1, 1, 1, 229}));
}

TEST_F(PreferencesDialog, AFontChosenRendersEveryProvinceLabelAtOnceAndACancelKeepsTheFont) {
    TBitmapLayer& label = *MapProject->FindNameLayer(MapProject->Provinces.GetAt(0));
    const TFont before = Settings->LabelFont;
    const int32_t width = label.GetBitmap()->Width();
    TFont chosen;
    chosen.SetName("DejaVu Serif");
    chosen.SetSize(16);
    chosen.SetStyle(fsBold);
    for (bool confirmed : {false, true}) {
        SCOPED_TRACE(confirmed ? "confirmed" : "cancelled");
        OpenPreferences(
            [&](TDlgOptions& d) {
                ClickOn(editor.Host(), *d.BtnNameFont);
                const TFont& expected = confirmed ? chosen : before;
                for (const TFont* font : {&Settings->LabelFont, &d.BtnNameFont->Font(), &label.GetBitmap()->Font()})
                    EXPECT_EQ(std::tuple(font->GetName(), font->GetSize(), font->GetStyle()),
                              std::tuple(expected.GetName(), expected.GetSize(), expected.GetStyle()));
                EXPECT_EQ(label.GetBitmap()->Width() > width, confirmed);
            },
            [&] {
                if (confirmed)
                    editor.Host().AnswerFontDialog(chosen);
                else
                    editor.Host().CancelDialog();
            });
    }
}

// The font dialog keeps the labels between 6 and 72 points: a size beyond
// is refused and the designer types another.
TEST_F(PreferencesDialog, TheFontDialogKeepsTheLabelsWithinTheirSizes) {
    thorn::HeadlessHost& host = editor.Host();
    TBitmapLayer& label = *MapProject->FindNameLayer(MapProject->Provinces.GetAt(0));
    auto retype = [&](const char* text) {
        host.PressKey(VK_END);
        host.PressKey(VK_HOME, {ssShift});
        host.TypeText(text);
        host.PressKey(VK_RETURN);
    };
    auto typeSizes = [&](TCustomForm& form) {
        auto& dialog = dynamic_cast<thorn::FontDialogForm&>(form);
        const TStrings& sizes = *dialog.GetSizeList()->GetItems();
        EXPECT_EQ(sizes.Get(0), "8");
        EXPECT_EQ(sizes.Get(sizes.GetCount() - 1), "72");
        ClickOn(host, *dialog.GetSizeEdit());
        for (const char* refused : {"2000", "5"}) {
            SCOPED_TRACE(refused);
            retype(refused);
            EXPECT_EQ(form.GetModalResult(), mrNone);
        }
        retype("72");
    };
    OpenPreferences([&](TDlgOptions& d) { ClickOn(host, *d.BtnNameFont); },
                    [&] {
                        host.ScriptDialog({"Font", 0, typeSizes});
                        for (int i = 0; i < 2; ++i) host.AnswerMessageBox(IDOK, "Size must be between 6 and 72 points.");
                    });
    EXPECT_EQ(Settings->LabelFont.GetSize(), 72);
    EXPECT_EQ(label.GetBitmap()->Font().GetHeight(), -96);
    EXPECT_LT(label.GetBitmap()->Height(), 2 * 120) << "two lines of 72 points";
}

}  // namespace
