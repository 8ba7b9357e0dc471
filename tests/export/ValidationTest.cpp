#include <gtest/gtest.h>

#include "ExportProject.h"
#include "export/Validation.h"

namespace thorn::test {
namespace {

// Four province pieces side by side, each 40 x 40, a province on each, two
// human players with capitals.
class Validation : public ExportProject {
public:
    Validation() {
        SetGameData(3, 2);
        SetPieces(160, 40, [](int32_t x, int32_t) { return x / 40; }, {3, 3, 3, 3});
        BindAllProvincePieces();
        MakePlayable();
    }
    using ExportProject::Player;
    using ExportProject::Table;
    CMapProject& Project() { return project; }
    CVictoryCondsB& Victory() { return project.VictoryConds; }
    CLoseCondsB& Lose() { return project.LoseConds; }
    void TestBody() override {}
};

// A change of the playable mission and the answer the validation gives
// then ("" when the mission still passes).
struct Change {
    const char* what;
    void (*change)(Validation&);
    const char* answer;
};

TEST_F(Validation, APlayableMissionPasses) {
    EXPECT_EQ(project.ValidateMission(), "");
    EXPECT_EQ(CountActivePlayers(project), 2);
    EXPECT_EQ(HasHumanPlayer(project), 2);
}

using V = Validation;
const Change kChanges[] = {
    {"one active player", [](V& v) { v.Player(1).Active = 0; }, "number of Active Players must be greater than 1"},
    {"only computers", [](V& v) { v.Player(0).PlayerType = 1, v.Player(1).PlayerType = 127; },
     "there is no Human or H/C players in the mission"},
    {"a mixed player", [](V& v) { v.Player(0).PlayerType = 1, v.Player(1).PlayerType = 128; }, ""},
    {"active player without capital",
     [](V& v) { v.Player(1).Active = 0, v.Player(2).Active = 1, v.Player(3).Capital = nullptr; },
     "Capital is not set for player #3"},
    {"first of two without capital", [](V& v) { v.Player(2).Active = 1, v.Player(0).Capital = nullptr; },
     "Capital is not set for player #1"},
    {"no player to defeat", [](V& v) { v.Victory().VictoryType = CVictoryCondsB::DefeatPlayer; },
     "DefeatPlayer is not defined in additional victory conditions"},
    {"no units to gather", [](V& v) { v.Victory().VictoryType = CVictoryCondsB::AccumulateArmy; },
     "whole amount of units in additional victory conditions must be greater than 0"},
    {"units to gather",
     [](V& v) { v.Victory().VictoryType = CVictoryCondsB::AccumulateArmy, v.Victory().Data.Army.Units[1] = 7; }, ""},
    {"no resources to gather", [](V& v) { v.Victory().VictoryType = CVictoryCondsB::AccumulateResources; },
     "whole amount of resources in additional victory conditions must be greater than 0"},
    {"resources to gather",
     [](V& v) {
         v.Victory().VictoryType = CVictoryCondsB::AccumulateResources;
         v.Victory().Data.Resources.Amounts[2] = 1;
     },
     ""},
    {"no province to capture", [](V& v) { v.Victory().VictoryType = CVictoryCondsB::CaptureProvince; },
     "Province is not defined in additional victory conditions"},
    {"defeat the opponents", [](V& v) { v.Victory().VictoryType = CVictoryCondsB::DefeatOpponents; }, ""},
    {"no province to keep", [](V& v) { v.Lose().LoseType = CLoseCondsB::LoseProvince; },
     "Province is not defined in additional lose conditions"},
    {"four turns", [](V& v) { v.Lose().LoseType = CLoseCondsB::TimeExpires, v.Lose().MaxTurnsToWin = 4; },
     "MaxTurnsToWin in additional lose conditions must be greater then 4"},
    {"five turns", [](V& v) { v.Lose().LoseType = CLoseCondsB::TimeExpires, v.Lose().MaxTurnsToWin = 5; }, ""},
    {"victory before lose",
     [](V& v) {
         v.Victory().VictoryType = CVictoryCondsB::CaptureProvince;
         v.Lose().LoseType = CLoseCondsB::LoseProvince;
     },
     "Province is not defined in additional victory conditions"},
    // What would write a mission the game cannot read.
    {"inactive player to defeat",
     [](V& v) { v.Victory().VictoryType = CVictoryCondsB::DefeatPlayer, v.Victory().Data.PlayerToDefeat = 4; },
     "DefeatPlayer in additional victory conditions is not an active player"},
    {"player to defeat past the slots",
     [](V& v) { v.Victory().VictoryType = CVictoryCondsB::DefeatPlayer, v.Victory().Data.PlayerToDefeat = 9; },
     "DefeatPlayer in additional victory conditions is not an active player"},
    {"active player to defeat",
     [](V& v) { v.Victory().VictoryType = CVictoryCondsB::DefeatPlayer, v.Victory().Data.PlayerToDefeat = 1; }, ""},
    {"province to capture past the list",
     [](V& v) { v.Victory().VictoryType = CVictoryCondsB::CaptureProvince, v.Victory().Data.ProvinceToCapture = 4; },
     "Province in additional victory conditions is not one of the provinces"},
    {"last province to capture",
     [](V& v) { v.Victory().VictoryType = CVictoryCondsB::CaptureProvince, v.Victory().Data.ProvinceToCapture = 3; },
     ""},
    {"province to keep past the list",
     [](V& v) { v.Lose().LoseType = CLoseCondsB::LoseProvince, v.Lose().ProvinceToKeep = 200; },
     "Province in additional lose conditions is not one of the provinces"},
    {"first province to keep", [](V& v) { v.Lose().LoseType = CLoseCondsB::LoseProvince, v.Lose().ProvinceToKeep = 0; },
     ""},
    {"capital outside the list",
     [](V& v) {
         static CProvince stray;
         v.Player(1).Capital = &stray;
     },
     "the Capital of player #2 is not one of the provinces"},
    {"province bound to no piece", [](V& v) { v.Project().Provinces.GetAt(2)->MapPieceIndex = -1; },
     "the province \"P2\" is not bound to a map piece"},
    {"unnamed province bound past the pieces",
     [](V& v) { v.Project().Provinces.GetAt(2)->MapPieceIndex = 4, v.Table().ProvinceNames[2].clear(); },
     "the province #3 is not bound to a map piece"},
    {"world too high", [](V& v) { v.Project().WorldHeight = 32641; }, "the world is larger than 32640 pixels a side"},
    {"world as high as it may be", [](V& v) { v.Project().WorldHeight = 32640; }, ""},
    {"no texts", [](V& v) { v.Project().CurrentStringTable = 1; }, "the mission has no texts"},
};
TEST(MissionValidation, AnswersEachChange) {
    for (const Change& change : kChanges) {
        SCOPED_TRACE(change.what);
        Validation mission;
        change.change(mission);
        EXPECT_EQ(mission.Project().ValidateMission(), change.answer);
    }
}

}  // namespace
}  // namespace thorn::test
