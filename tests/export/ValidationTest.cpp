#include <gtest/gtest.h>

#include "ExportProject.h"
#include "export/Validation.h"

namespace thorn::test {
namespace {

// Four province pieces side by side, each 40 x 40.
class Validation : public ExportProject {
protected:
    Validation() {
        SetGameData(3, 2);
        SetPieces(160, 40, [](int32_t x, int32_t) { return x / 40; }, {3, 3, 3, 3});
        BindAllProvincePieces();
        MakePlayable();
    }
    std::string Answer() const { return project.ValidateMission(); }
};

TEST_F(Validation, APlayableMissionPasses) {
    EXPECT_EQ(Answer(), "");
    EXPECT_EQ(CountActivePlayers(project), 2);
    EXPECT_EQ(HasHumanPlayer(project), 2);
}

TEST_F(Validation, NeedsTwoActivePlayers) {
    Player(1).Active = 0;
    EXPECT_EQ(Answer(), "number of Active Players must be greater than 1");
}

TEST_F(Validation, NeedsAHumanOrMixedPlayer) {
    Player(0).PlayerType = 1;
    Player(1).PlayerType = 127;
    EXPECT_EQ(Answer(), "there is no Human or H/C players in the mission");
    Player(1).PlayerType = 128;
    EXPECT_EQ(Answer(), "");
}

TEST_F(Validation, ReportsTheFirstActivePlayerWithoutCapital) {
    Player(1).Active = 0;
    Player(2).Active = 1;
    Player(3).Capital = nullptr;  // inactive: not reported
    EXPECT_EQ(Answer(), "Capital is not set for player #3");
    Player(0).Capital = nullptr;
    EXPECT_EQ(Answer(), "Capital is not set for player #1");
}

TEST_F(Validation, VictoryGoals) {
    CVictoryCondsB& victory = project.VictoryConds;
    victory.VictoryType = CVictoryCondsB::DefeatPlayer;
    EXPECT_EQ(Answer(), "DefeatPlayer is not defined in additional victory conditions");

    victory.VictoryType = CVictoryCondsB::AccumulateArmy;
    EXPECT_EQ(Answer(), "whole amount of units in additional victory conditions must be greater than 0");
    victory.Data.Army.Units[1] = 7;
    EXPECT_EQ(Answer(), "");  // the resource and province goals are not looked at

    victory.VictoryType = CVictoryCondsB::AccumulateResources;
    EXPECT_EQ(Answer(), "whole amount of resources in additional victory conditions must be greater than 0");
    victory.Data.Resources.Amounts[2] = 1;
    EXPECT_EQ(Answer(), "");

    victory.VictoryType = CVictoryCondsB::CaptureProvince;
    EXPECT_EQ(Answer(), "Province is not defined in additional victory conditions");

    victory.VictoryType = CVictoryCondsB::DefeatOpponents;
    EXPECT_EQ(Answer(), "");
}

TEST_F(Validation, LoseConditions) {
    CLoseCondsB& lose = project.LoseConds;
    lose.LoseType = CLoseCondsB::LoseProvince;
    EXPECT_EQ(Answer(), "Province is not defined in additional lose conditions");
    lose.LoseType = CLoseCondsB::TimeExpires;
    lose.MaxTurnsToWin = 4;
    EXPECT_EQ(Answer(), "MaxTurnsToWin in additional lose conditions must be greater then 4");
    lose.MaxTurnsToWin = 5;
    EXPECT_EQ(Answer(), "");
}

TEST_F(Validation, AVictoryFailureComesBeforeALoseFailure) {
    project.VictoryConds.VictoryType = CVictoryCondsB::CaptureProvince;
    project.LoseConds.LoseType = CLoseCondsB::LoseProvince;
    EXPECT_EQ(Answer(), "Province is not defined in additional victory conditions");
}

// What would write a mission the game cannot read.

TEST_F(Validation, RefusesAnInactivePlayerToDefeat) {
    project.VictoryConds.VictoryType = CVictoryCondsB::DefeatPlayer;
    project.VictoryConds.Data.PlayerToDefeat = 4;
    EXPECT_EQ(Answer(), "DefeatPlayer in additional victory conditions is not an active player");
    project.VictoryConds.Data.PlayerToDefeat = 9;
    EXPECT_EQ(Answer(), "DefeatPlayer in additional victory conditions is not an active player");
    project.VictoryConds.Data.PlayerToDefeat = 1;
    EXPECT_EQ(Answer(), "");
}

TEST_F(Validation, RefusesProvinceIndicesPastTheList) {
    project.VictoryConds.VictoryType = CVictoryCondsB::CaptureProvince;
    project.VictoryConds.Data.ProvinceToCapture = 4;
    EXPECT_EQ(Answer(), "Province in additional victory conditions is not one of the provinces");
    project.VictoryConds.Data.ProvinceToCapture = 3;
    project.LoseConds.LoseType = CLoseCondsB::LoseProvince;
    project.LoseConds.ProvinceToKeep = 200;
    EXPECT_EQ(Answer(), "Province in additional lose conditions is not one of the provinces");
    project.LoseConds.ProvinceToKeep = 0;
    EXPECT_EQ(Answer(), "");
}

TEST_F(Validation, RefusesACapitalOutsideTheProvinceList) {
    CProvince stray;
    Player(1).Capital = &stray;
    EXPECT_EQ(Answer(), "the Capital of player #2 is not one of the provinces");
}

TEST_F(Validation, RefusesAProvinceBoundToNoPiece) {
    project.Provinces.GetAt(2)->MapPieceIndex = -1;
    EXPECT_EQ(Answer(), "the province \"P2\" is not bound to a map piece");
    project.Provinces.GetAt(2)->MapPieceIndex = 4;  // past the pieces
    Table().ProvinceNames[2].clear();
    EXPECT_EQ(Answer(), "the province #3 is not bound to a map piece");
}

TEST_F(Validation, RefusesAWorldTheCellsCannotCount) {
    project.WorldHeight = 32641;
    EXPECT_EQ(Answer(), "the world is larger than 32640 pixels a side");
    project.WorldHeight = 32640;
    EXPECT_EQ(Answer(), "");
}

TEST_F(Validation, RefusesAMissionWithoutTexts) {
    project.CurrentStringTable = 1;
    EXPECT_EQ(Answer(), "the mission has no texts");
}

}  // namespace
}  // namespace thorn::test
