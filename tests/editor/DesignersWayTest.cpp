#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "DialogInput.h"
#include "MainCommands.h"
#include "MissionDesk.h"
#include "editor/Dlg_comp.h"
#include "editor/Eventsframe.h"
#include "editor/Missionframe.h"
#include "export/GameFileReaders.h"
#include "export/PalmPdbReader.h"
#include "inspector/Rmbtnedit.h"
#include "inspector/Rmspeedbtns.h"
#include "model/StringTable.h"
#include "support/TempDir.h"

// The designer's whole way on the headless host, every step taken with the
// host's mouse and keys and every dialog answered from its script: a
// mission made from a sample world, owners, players and capitals, texts and
// events, saved, the editor closed and started again, the project opened
// and compiled, and both of the handheld's files read back by readers of
// their own.
namespace {

namespace fs = std::filesystem;
using thorn::test::MissionDesk;

void ClickAt(thorn::HeadlessHost& host, const TControl& control, TPoint client) {
    const TPoint at = thorn::test::OnWindow(control, client);
    host.Click(*control.GetParentForm(), at.X, at.Y);
}

// The value cell of a row of a tool window's grid, which opens its editor.
void ClickValue(thorn::HeadlessHost& host, TrmInspector& grid, const char* key) {
    const int row = grid.VisibileItemIndex(grid.GetItemByName(key));
    ASSERT_GE(row, 0) << key;
    ClickAt(host, grid, {grid.GetSplitPos() + 30, row * grid.RowHeight() + grid.RowHeight() / 2});
}

void TypeInto(thorn::HeadlessHost& host, TrmInspector& grid, const char* key, const char* text) {
    ClickValue(host, grid, key);
    host.PressKey(VK_HOME);
    host.PressKey(VK_END, {ssShift});
    host.TypeText(text);
    host.PressKey(VK_RETURN);
}

std::vector<uint8_t> Owners(const thorn::test::MissionFile& mission) {
    std::vector<uint8_t> owners;
    for (const auto& province : mission.provinces) owners.push_back(province.owner);
    return owners;
}

TEST(DesignersWay, FromAWorldPictureToTheHandheldsFiles) {
    const thorn::test::TempDir kept;
    const fs::path project = kept / "campaign.pw";
    std::vector<uint8_t> owners;
    {
        MissionDesk desk{MissionDesk::NotStarted{}};
        desk.Editor().Start();
        thorn::HeadlessHost& host = desk.Host();
        TMainForm& main = desk.Main();

        host.AnswerFileDialog((desk.Editor() / "worlds/twin_kingdoms.bmp").string(), "Open");
        thorn::test::ChooseMenuItem(host, main, "File", "New project");
        ASSERT_GE(desk.ProvinceCount(), 6);

        // Provinces 1 to 3 to the first player, 4 and 5 to the second,
        // each group chosen with Ctrl and given its owner in the grid.
        for (const auto& [rows, entry] : {std::pair{std::vector{0, 1, 2}, 1}, std::pair{std::vector{3, 4}, 2}}) {
            for (size_t i = 0; i < rows.size(); ++i)
                desk.ClickProvinceRow(rows[i], i == 0 ? TShiftState{} : TShiftState{ssCtrl});
            desk.ChooseInGridRow("Owner", entry);
        }

        // The first player plays by hand, the second is the computer; each
        // gets a capital of its own with Ctrl+click on the map.
        desk.ShowPage(MissionDesk::kPlayersPage);
        for (const auto& [row, playability, capital] : {std::tuple{0, 0, 1}, std::tuple{1, 1, 4}}) {
            desk.ClickPlayerRow(row);
            desk.ChooseInGridRow("Playab", playability, main.RMIPlayer);
            desk.ClickWorld(desk.OpenPointOf(desk.Province(capital)), {ssCtrl});
            ASSERT_EQ(desk.Project().PlayerAt(static_cast<uint32_t>(row))->Capital, &desk.Province(capital));
        }

        // The mission's texts, one typed and one written in the text dialog.
        TrmInspector& texts = *MissFrame->RMIMission;
        TypeInto(host, texts, "MisName", "Thornvale");
        host.ScriptDialog({"Short Description", mrOk, [&](TCustomForm& form) {
                               TMemo& memo = *dynamic_cast<TDlgComplex&>(form).Memo;
                               thorn::test::ClickOn(host, memo);
                               host.PressKey(VK_HOME, {ssCtrl});
                               host.PressKey(VK_END, {ssCtrl, ssShift});
                               host.TypeText("Two kingdoms, one crown.");
                           }});
        ClickValue(host, texts, "SDesc");
        thorn::test::ClickOn(host, *dynamic_cast<TrmBtnEdit&>(*texts.GetEditor()).Btn1());

        for (int n = 0; n < 2; ++n) thorn::test::ClickOn(host, *EventFrame->TBAdd);
        ASSERT_EQ(desk.Project().Events.GetCount(), 2);

        host.AnswerFileDialog(project.string(), "Save As");
        thorn::test::ChooseMenuItem(host, main, "File", "Save project as...");
        EXPECT_EQ(desk.Project().Modified, 0u);
        for (int i = 0; i < desk.ProvinceCount(); ++i) owners.push_back(desk.Province(i).Owner);
        desk.Editor().Close();  // nothing to save: no question
        EXPECT_EQ(host.PendingScripts(), 0u);
    }

    MissionDesk desk{MissionDesk::NotStarted{}};
    desk.Editor().Start();
    thorn::HeadlessHost& host = desk.Host();
    host.AnswerFileDialog(project.string(), "Open");
    host.PressKey('O', {ssCtrl});
    ASSERT_EQ(desk.ProvinceCount(), static_cast<int>(owners.size()));
    host.AnswerFileDialog((kept / "campaign").string(), "Save As");
    thorn::test::ChooseMenuItem(host, desk.Main(), "File", "Compile Mission for PDA...");
    EXPECT_EQ(host.PendingScripts(), 0u);

    // Both files hold the same mission, read by the export tests' readers
    // (the database through Perl's Palm::PDB).
    const thorn::test::PackageFiles pdb =
        thorn::test::ReadPdbFiles(thorn::test::ReadWithPalmPdb(kept / "campaign.pdb"));
    const thorn::test::PackageFiles pak = thorn::test::ReadPakFiles(thorn::test::ReadFileBytes(kept / "campaign.pak"));
    EXPECT_EQ(pdb, pak);
    const std::string folder = "scenarios/campaign/mission001/";
    ASSERT_EQ(pdb.count(folder + "mission.dat"), 1u);
    const thorn::test::MissionFile mission = thorn::test::ReadMissionFile(pdb.at(folder + "mission.dat"));
    EXPECT_EQ(Owners(mission), owners);
    ASSERT_GE(mission.players.size(), 2u);
    EXPECT_EQ(mission.players[0].capital, 1);
    EXPECT_EQ(mission.players[1].capital, 4);
    EXPECT_EQ(mission.players[0].type, 0);  // by hand
    EXPECT_NE(mission.players[1].type, 0);
    EXPECT_EQ(mission.events.size(), 2u);
    const std::vector<uint8_t>& name = pdb.at(folder + "mission.txt");
    EXPECT_EQ(std::string(name.begin(), name.begin() + 9), "Thornvale");
    const std::vector<uint8_t>& description = pdb.at(folder + "shortdescr.txt");
    EXPECT_EQ(std::string(description.begin(), description.end()), "Two kingdoms, one crown.");
    desk.Editor().Close();
}

}  // namespace
