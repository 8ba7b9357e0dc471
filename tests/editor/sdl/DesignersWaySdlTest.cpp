#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "EditorOnScreen.h"
#include "bitmapui/Pix32_Layers.h"
#include "editor/Dlg_comp.h"
#include "editor/Dlg_error.h"
#include "editor/Eventsframe.h"
#include "editor/Missionframe.h"
#include "editor/Program.h"
#include "export/GameFileReaders.h"
#include "export/PalmPdbReader.h"
#include "gui/Application.h"
#include "gui/ComboBox.h"
#include "gui/FileDialogForm.h"
#include "gui/MenuBar.h"
#include "gui/PopupWindow.h"
#include "gui/RowView.h"
#include "gui/Timers.h"
#include "inspector/Rmbtnedit.h"
#include "inspector/Rmspeedbtns.h"
#include "support/Pixels.h"
#include "support/PngFile.h"
#include "support/TempDir.h"

// Runs under Xvfb: the designer's whole way in real windows, every step
// taken with the X pointer and keyboard through the SDL host, as a hand
// takes it: New from a sample world, owners given to provinces chosen on
// the map, a human and a computer player with capitals by Ctrl+click, the
// mission's name and description, two events, Save As, Exit, the editor
// started again, Open and the compile for the handheld. The screen is saved
// after each step as "way_NN_<step>.png" in the build folder, and a few of
// its pixels are checked against what the step shows.
namespace {

namespace fs = std::filesystem;
using thorn::test::Shown;

template <typename Form>
Form* ShownForm() {
    for (int i = 0; i < Screen->GetFormCount(); ++i)
        if (auto* form = dynamic_cast<Form*>(Screen->GetForm(i)); form && form->IsShowing() && !form->HasPendingPaint())
            return form;
    return nullptr;
}

bool Settled() { return MainForm && !MainForm->HasPendingPaint(); }

TPoint Middle(const TControl& control) {
    return control.ClientToScreen({control.GetClientWidth() / 2, control.GetClientHeight() / 2});
}

class DesignersWay : public thorn::test::EditorOnScreen {
protected:
    // Runs the hand's steps; fails naming the step that never came.
    void Run(std::function<bool()> finished = [] { return true; }) {
        const uint64_t until = host->Now() + 30000;
        while ((!hand->Done() || !finished()) && host->Now() < until) {
            Application->ProcessMessages();
            host->PumpEvents(10);
        }
        if (!hand->Done()) Shot("way_stuck.png");
        ASSERT_TRUE(hand->Done()) << "stuck at: " << hand->Waiting() << "; " << thorn::test::WindowsState(screen)
                                  << " (the screen is in way_stuck.png)";
        ASSERT_TRUE(finished()) << "the step's command did not finish";
        ASSERT_TRUE(RunUntil(Settled));
    }
    void Shot(const char* name) {
        screen.Grab(shot);
        thorn::test::WritePng(output / name, shot);
    }
    TColor32 OnScreen(TPoint p) const { return shot.GetPixel(p.X, p.Y); }

    // ---- what the hand does
    // A dialog's name box typed into and confirmed with Enter.
    void AnswerFileDialog(const std::string& name, const char* title) {
        // The name is typed once the X server gives the dialog the keys.
        hand->Then(std::string(title) + " dialog", [this, title] {
            auto* dialog = ShownForm<thorn::FileDialogForm>();
            return dialog && dialog->GetCaption() == title && thorn::test::HasTheKeyboard(screen, *dialog);
        }, [this, name] {
            const TPoint p = Middle(*ShownForm<thorn::FileDialogForm>());
            screen.MoveTo(p.X, p.Y);
            screen.Type(name);
            screen.Key("Return");
        });
    }
    void KeyOnMain(const char* key, std::vector<const char*> modifiers) {
        thorn::test::KeyOnMain(*hand, screen, key, std::move(modifiers));
    }
    // A click on the grid's value cell of the row, which opens its editor.
    void ClickValue(TrmInspector& grid, const char* key) {
        hand->Then(std::string("row ") + key, [&grid] { return !grid.GetParentForm()->HasPendingPaint(); },
                   [this, &grid, key] {
                       const int row = grid.VisibileItemIndex(grid.GetItemByName(key)) - grid.GetVScrollPos();
                       const TPoint p = grid.ClientToScreen(
                           {grid.GetSplitPos() + 30, row * grid.RowHeight() + grid.RowHeight() / 2});
                       screen.Click(p.X, p.Y);
                   });
    }
    // The choice row's list dropped with its button and an entry clicked.
    void Choose(TrmInspector& grid, const char* key, int entry) {
        ClickValue(grid, key);
        hand->Then(std::string("editor of ") + key, [&grid] {
            auto* combo = dynamic_cast<TCustomComboBox*>(grid.GetEditor());
            return combo && combo->IsShowing() && !grid.GetParentForm()->HasPendingPaint();
        }, [this, &grid] {
            auto& combo = dynamic_cast<TCustomComboBox&>(*grid.GetEditor());
            const TPoint p = combo.ClientToScreen({combo.GetWidth() - 6, combo.GetHeight() / 2});
            screen.Click(p.X, p.Y);
        });
        hand->Then(std::string("list of ") + key, [&grid] {
            auto* combo = dynamic_cast<TCustomComboBox*>(grid.GetEditor());
            return combo && combo->GetDroppedDown() && !combo->GetListWindow()->HasPendingPaint();
        }, [this, &grid, entry] {
            auto& combo = dynamic_cast<TCustomComboBox&>(*grid.GetEditor());
            thorn::RowView& rows = *combo.GetListView();
            const TRect r = rows.RowRect(entry);
            const TPoint p = rows.ClientToScreen({r.Left + 8, (r.Top + r.Bottom) / 2});
            screen.Click(p.X, p.Y);
        });
    }
    // The hand waits until the step before has done what it should.
    void Await(std::string what, std::function<bool()> done) {
        hand->Then(std::move(what), [done = std::move(done)] { return done() && Settled(); }, [] {});
    }
    void ClickControl(const TControl& control) {
        hand->Then("click " + control.GetName(), Settled, [this, &control] {
            const TPoint p = Middle(control);
            screen.Click(p.X, p.Y);
        });
    }
    // A click on the map with the keys named held until what the click
    // does is done.
    void ClickWorld(TPoint world, std::vector<const char*> modifiers, std::string what, std::function<bool()> done) {
        hand->Then("click on the map", Settled, [this, world, modifiers] {
            const TPoint p = WorldOnScreen(world);
            screen.MoveTo(p.X, p.Y);
            screen.FocusAt(p.X, p.Y);
            screen.Hold(modifiers);
            screen.Click(p.X, p.Y);
        });
        Await(std::move(what), std::move(done));
        hand->Then("keys let go", [] { return true; }, [this, modifiers] { screen.LetGo(modifiers); });
    }

    static TPoint WorldOnScreen(TPoint world) {
        const TImage32& view = *MainForm->ImgVWorld;
        const double scale = view.GetScale();
        return view.ClientToScreen({static_cast<int32_t>(world.X * scale) + 1, static_cast<int32_t>(world.Y * scale) + 1});
    }
    // A point of the province's piece in sight, 4 pixels inside it all round
    // and under no layer.
    static std::optional<TPoint> OpenPointInSight(const CProvince& province) {
        const CMapProject& project = *MapProject;
        if (province.MapPieceIndex < 0) return std::nullopt;
        const CProvinceMap& piece = *project.MapPieces.GetAt(static_cast<uint16_t>(province.MapPieceIndex));
        const TImage32& view = *MainForm->ImgVWorld;
        const TScrollBox& box = *MainForm->ScrBWorld;
        const double scale = view.GetScale();
        const auto inPiece = [&](int x, int y) { return project.GetPieceAt(x, y) == province.MapPieceIndex; };
        for (int y = piece.Top + 4; y < piece.Top + piece.Mask->Height() - 4; y += 2)
            for (int x = piece.Left + 4; x < piece.Left + piece.Mask->Width() - 4; x += 2) {
                if (!inPiece(x, y) || !inPiece(x - 4, y - 4) || !inPiece(x + 4, y + 4) || !inPiece(x - 4, y + 4) ||
                    !inPiece(x + 4, y - 4))
                    continue;
                const TPoint inBox = box.ScreenToClient(WorldOnScreen({x, y}));
                if (inBox.X < 8 || inBox.Y < 8 || inBox.X >= box.GetClientWidth() - 8 ||
                    inBox.Y >= box.GetClientHeight() - 8)
                    continue;
                const int vx = static_cast<int>(x * scale) + 1, vy = static_cast<int>(y * scale) + 1;
                if (!view.GetLayers()->FindLayerAtPos(vx, vy, kLayerVisible)) return TPoint{x, y};
            }
        return std::nullopt;
    }

    const thorn::test::TempDir kept;
    TBitmap32 shot;
};

TEST_F(DesignersWay, FromAWorldPictureToTheHandheldsFilesWithThePointerAndKeys) {
    ASSERT_TRUE(screen.Ok());
    ASSERT_NO_FATAL_FAILURE(StartEditor());
    TMainForm* main = MainForm.Get();
    const fs::path project = kept / "campaign.pw";

    // ---- New from the picture typed into its dialog
    KeyOnMain("n", {"Control_L"});
    AnswerFileDialog((folder / "worlds/twin_kingdoms.bmp").string(), "Open");
    ASSERT_NO_FATAL_FAILURE(Run([] { return MapProject->Provinces.GetCount() > 0; }));
    Shot("way_01_new.png");
    // The settings open the warnings window after New; the designer closes
    // it to see the whole map.
    ASSERT_TRUE(DlgError->IsShowing());
    ClickControl(*DlgError->BtnOk);
    ASSERT_NO_FATAL_FAILURE(Run([] { return !DlgError->IsShowing(); }));
    // Five provinces in sight, and where the map shows each of them.
    std::vector<CProvince*> chosen;
    std::vector<TPoint> points;
    for (uint16_t i = 0; i < MapProject->Provinces.GetCount() && chosen.size() < 5; ++i) {
        CProvince* province = MapProject->Provinces.GetAt(static_cast<uint8_t>(i));
        if (const std::optional<TPoint> open = OpenPointInSight(*province)) {
            chosen.push_back(province);
            points.push_back(*open);
        }
    }
    ASSERT_EQ(chosen.size(), 5u);
    // The screen shows the world's own pixels, doubled, and no placeholder,
    // once the main window has painted where the warnings window stood (the
    // X server tells it so only once the window is gone).
    const auto worldShown = [&] {
        screen.Grab(shot);
        return std::all_of(points.begin(), points.end(), [&](const TPoint& p) {
            return OnScreen(WorldOnScreen(p)) == (MainForm->ImgVWorld->GetBitmap()->GetPixel(p.X, p.Y) | 0xFF000000u);
        });
    };
    RunUntil(worldShown);
    for (const TPoint& p : points)
        EXPECT_EQ(OnScreen(WorldOnScreen(p)), MainForm->ImgVWorld->GetBitmap()->GetPixel(p.X, p.Y) | 0xFF000000u);
    EXPECT_FALSE(main->LblNoProject->GetVisible());
    std::vector<TColor32> unowned;
    for (const TPoint& p : points) unowned.push_back(OnScreen(WorldOnScreen(p)));

    // ---- owners: three provinces to the first player, two to the second,
    // chosen on the map with Ctrl and given their owner in the grid
    for (const auto& [first, last, entry] : {std::tuple{0, 2, 1}, std::tuple{3, 4, 2}}) {
        for (int i = first; i <= last; ++i) {
            ClickWorld(points[static_cast<size_t>(i)], i == first ? std::vector<const char*>{} : std::vector{"Control_L"},
                       "province " + std::to_string(i) + " chosen", [i, first = first, &chosen] {
                           return MapProject->Selection.Provinces.size() == static_cast<size_t>(i - first + 1) &&
                                  MapProject->Selection.Contains(chosen[static_cast<size_t>(i)]);
                       });
        }
        Choose(*main->RMIProvince, "Owner", entry);
        Await("owner given", [last = last, entry = entry, &chosen] { return chosen[static_cast<size_t>(last)]->Owner == entry - 1; });
    }
    ASSERT_NO_FATAL_FAILURE(Run([&] { return chosen[4]->Owner == 1; }));
    Shot("way_02_owners.png");
    for (size_t i = 0; i < chosen.size(); ++i) EXPECT_EQ(chosen[i]->Owner, i < 3 ? 0 : 1) << i;
    // Each owned piece takes its owner's colour on the map.
    for (size_t i = 0; i < points.size(); ++i) EXPECT_NE(OnScreen(WorldOnScreen(points[i])), unowned[i]) << i;

    // ---- players: the first by hand, the second the computer, each with
    // a capital by Ctrl+click on the map
    hand->Then("players tab", Settled, [this, main] {
        const TRect tab = main->PgCMissionProperties->TabRect(0);
        const TPoint p = main->PgCMissionProperties->ClientToScreen({(tab.Left + tab.Right) / 2, (tab.Top + tab.Bottom) / 2});
        screen.Click(p.X, p.Y);
    });
    Await("players page", [main] { return main->PgCMissionProperties->GetActivePageIndex() == 0; });
    for (const auto& [row, playability, capital] : {std::tuple{0, 0, 1}, std::tuple{1, 1, 3}}) {
        hand->Then("player row", Settled, [this, main, row = row] {
            const TRect r = main->LVPlayers->GetItems()->GetItem(row)->DisplayRect();
            const TPoint p = main->LVPlayers->ClientToScreen({r.Left + 40, (r.Top + r.Bottom) / 2});
            screen.Click(p.X, p.Y);
        });
        Await("player chosen", [main, row = row] { return main->LVPlayers->GetItemIndex() == row; });
        Choose(*main->RMIPlayer, "Playab", playability);
        Await("playability", [row = row, playability = playability] {
            return (MapProject->Players[static_cast<uint32_t>(row)].PlayerType == 0) == (playability == 0);
        });
        ClickWorld(points[static_cast<size_t>(capital)], {"Control_L"}, "capital", [row = row, capital = capital, &chosen] {
            return MapProject->Players[static_cast<uint32_t>(row)].Capital == chosen[static_cast<size_t>(capital)];
        });
    }
    ASSERT_NO_FATAL_FAILURE(Run([&] { return MapProject->Players[1].Capital == chosen[3]; }));
    Shot("way_03_players.png");
    EXPECT_EQ(MapProject->Players[0].Capital, chosen[1]);
    EXPECT_EQ(MapProject->Players[0].PlayerType, 0);
    EXPECT_NE(MapProject->Players[1].PlayerType, 0);
    // The second player's row is the chosen one: it stands out of the list
    // (in the face colour, the map having the keyboard), the first does not.
    for (int row : {0, 1}) {
        const TRect r = main->LVPlayers->GetItems()->GetItem(row)->DisplayRect();
        EXPECT_EQ(OnScreen(main->LVPlayers->ClientToScreen({main->LVPlayers->GetClientWidth() - 40, r.Top + 1})),
                  Shown(row == 1 ? clBtnFace : clWindow));
    }

    // ---- the mission's name typed, its description written in the text dialog
    TrmInspector& texts = *MissFrame->RMIMission;
    ClickValue(texts, "MisName");
    hand->Then("name typed", [&texts] { return texts.GetEditor() != nullptr; }, [this] {
        screen.Key("Home");
        screen.Key("End", {"Shift_L"});
        screen.Type("Thornvale");
        screen.Key("Return");
    });
    ClickValue(texts, "SDesc");
    hand->Then("ellipsis", [&texts] {
        auto* edit = dynamic_cast<TrmBtnEdit*>(texts.GetEditor());
        return edit && edit->Btn1()->IsShowing() && !MissFrame->HasPendingPaint();
    }, [this, &texts] {
        const TPoint p = Middle(*dynamic_cast<TrmBtnEdit&>(*texts.GetEditor()).Btn1());
        screen.Click(p.X, p.Y);
    });
    hand->Then("text dialog", [this] {
        const TDlgComplex* dialog = ShownForm<TDlgComplex>();
        return dialog && thorn::test::HasTheKeyboard(screen, *dialog);
    }, [this] {
        // The memo has the keys as the dialog opens (a click on it first
        // could reach it after the keys that follow: xfwm4 grabs the
        // button to focus on a click and hands it on late).
        screen.Key("Home", {"Control_L"});
        screen.Key("End", {"Control_L", "Shift_L"});
        screen.Type("Two kingdoms, one crown.");
    });
    hand->Then("text typed", [] {
        TDlgComplex* dialog = ShownForm<TDlgComplex>();
        return dialog && dialog->Memo->GetText() == "Two kingdoms, one crown.";
    }, [this] {
        TDlgComplex& dialog = *ShownForm<TDlgComplex>();
        screen.Grab(shot);
        thorn::test::WritePng(output / "way_04_text_dialog.png", shot);
        const TPoint ok = Middle(*dialog.BtnOk);
        screen.Click(ok.X, ok.Y);
    });
    const CStringTable& table = *MapProject->Tables.GetAt(MapProject->CurrentStringTable);
    ASSERT_NO_FATAL_FAILURE(Run([&] { return table.ShortDescription == "Two kingdoms, one crown."; }));
    EXPECT_EQ(table.MissionName, "Thornvale");
    // The memo is the window's colour around the typed text.
    EXPECT_EQ(OnScreen(DlgComplex->Memo->ClientToScreen({DlgComplex->Memo->GetClientWidth() - 6,
                                                          DlgComplex->Memo->GetClientHeight() - 6})),
              Shown(clWindow));

    // ---- two events
    for (int n = 0; n < 2; ++n) ClickControl(*EventFrame->TBAdd);
    ASSERT_NO_FATAL_FAILURE(Run([] { return MapProject->Events.GetCount() == 2 && !EventFrame->HasPendingPaint(); }));
    Shot("way_05_events.png");
    // The second row shows its check mark and title; the list is empty below.
    const auto inked = [&](int row) {
        const TRect r = EventFrame->LVEvents->GetItems()->GetItem(1)->DisplayRect();
        const int y = (r.Top + r.Bottom) / 2 + (row - 1) * (r.Bottom - r.Top);
        int count = 0;
        for (int x = r.Left; x < r.Left + 100; ++x)
            count += OnScreen(EventFrame->LVEvents->ClientToScreen({x, y})) != Shown(clWindow);
        return count;
    };
    EXPECT_GT(inked(1), 10);
    EXPECT_EQ(inked(2), 0);

    // ---- Save As, then Exit from the File menu with Alt+F and X
    KeyOnMain("s", {"Control_L", "Alt_L"});
    AnswerFileDialog(project.string(), "Save As");
    ASSERT_NO_FATAL_FAILURE(Run([] { return MapProject->Modified == 0 && !MapProject->FileName.empty(); }));
    Shot("way_06_saved.png");
    EXPECT_TRUE(fs::exists(project));
    // The first player's provinces, not chosen on this page, as the map
    // shows them in their owner's colour.
    std::vector<TColor32> firstPlayers;
    for (int i = 0; i < 3; ++i) firstPlayers.push_back(OnScreen(WorldOnScreen(points[static_cast<size_t>(i)])));
    // What the second start must find.
    const uint8_t capitals[] = {MapProject->Provinces.IndexOf(chosen[1]), MapProject->Provinces.IndexOf(chosen[3])};
    std::vector<uint8_t> owners;
    for (uint16_t i = 0; i < MapProject->Provinces.GetCount(); ++i)
        owners.push_back(MapProject->Provinces.GetAt(static_cast<uint8_t>(i))->Owner);
    KeyOnMain("f", {"Alt_L"});
    hand->Then("File menu", [] { return !thorn::OpenPopups().empty(); }, [this] { screen.Key("x"); });
    const uint64_t until = host->Now() + 10000;
    // Closed, the main window has let the project go and ended the program.
    while ((MapProject || !hand->Done()) && host->Now() < until) {
        Application->ProcessMessages();
        host->PumpEvents(10);
    }
    if (MapProject) Shot("way_stuck.png");
    ASSERT_FALSE(MapProject) << "the editor did not close";
    EXPECT_TRUE(Application->GetTerminated());

    // ---- started again: Open, then the compile for the handheld
    ASSERT_NO_FATAL_FAILURE(StartEditor());
    KeyOnMain("o", {"Control_L"});
    AnswerFileDialog(project.string(), "Open");
    ASSERT_NO_FATAL_FAILURE(Run([&] { return MapProject->FileName == project.string(); }));
    Shot("way_07_opened.png");
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(OnScreen(WorldOnScreen(points[static_cast<size_t>(i)])), firstPlayers[static_cast<size_t>(i)]) << i;
    EXPECT_EQ(MapProject->Provinces.IndexOf(MapProject->Players[1].Capital), capitals[1]);
    hand->Then("compile", Settled, [this] {
        const TRect r = MainForm->GetMenuBar()->TitleRect(0);
        const TPoint origin = MainForm->ClientToScreen({0, -MainForm->GetMenuBarHeight()});
        screen.Click(origin.X + r.Left + 5, origin.Y + r.Top + 5);
    });
    hand->Then("Compile item", [] { return !thorn::OpenPopups().empty(); }, [this] {
        screen.Key("Down");
        screen.Key("Down");
        screen.Key("Down");
        screen.Key("Down");
        screen.Key("Down");
        screen.Key("Return");
    });
    AnswerFileDialog((kept / "campaign").string(), "Save As");
    ASSERT_NO_FATAL_FAILURE(Run([&] { return fs::exists(kept / "campaign.pak"); }));
    Shot("way_08_compiled.png");
    const thorn::test::PackageFiles files =
        thorn::test::ReadPakFiles(thorn::test::ReadFileBytes(kept / "campaign.pak"));
    const thorn::test::MissionFile mission =
        thorn::test::ReadMissionFile(files.at("scenarios/campaign/mission001/mission.dat"));
    // The two active players, the first by hand, each with its capital.
    ASSERT_EQ(mission.players.size(), 2u);
    EXPECT_EQ(mission.players[0].type, 0);
    EXPECT_NE(mission.players[1].type, 0);
    EXPECT_EQ(mission.players[0].capital, capitals[0]);
    EXPECT_EQ(mission.players[1].capital, capitals[1]);
    std::vector<uint8_t> written;
    for (const auto& province : mission.provinces) written.push_back(province.owner);
    EXPECT_EQ(written, owners);
    EXPECT_EQ(thorn::test::ReadPdbFiles(thorn::test::ReadWithPalmPdb(kept / "campaign.pdb")), files);

    MainForm->Close();
    RunUntil([] { return !MainForm; });
}

}  // namespace
