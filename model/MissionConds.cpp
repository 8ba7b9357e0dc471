#include "model/MissionConds.h"

#include "model/RecordFields.h"

void CVictoryCondsB::Serialize(Orv::ISerializer& s, int unitTypeCount, int resourceCount) {
    s.Byte(VictoryType);
    s.Byte(Data.DefeatAlly);
    s.Byte(Data.PlayerToDefeat);
    thorn::FixedCountByte(s, Data.Army.Units, unitTypeCount);
    thorn::Elements(s, Data.Army.Units);
    s.Byte(Data.Army.DefeatOpponentsVictory);
    s.Byte(Data.Army.AppliesToComputers);
    thorn::FixedCountByte(s, Data.Resources.Amounts, resourceCount);
    thorn::Elements(s, Data.Resources.Amounts);
    s.Byte(Data.Resources.AllowDefeatAll);
    s.Byte(Data.Resources.AppliesToComputers);
    s.Byte(Data.ProvinceToCapture);
}

void CVictoryCondsB::SerializeForGame(Orv::ISerializer& s, const thorn::MissionCounts& counts) {
    s.Byte(VictoryType);
    switch (VictoryType) {
    case DefeatOpponents:
        s.Byte(Data.DefeatAlly);
        break;
    case DefeatPlayer:
        s.Byte(Data.PlayerToDefeat);
        break;
    case AccumulateArmy:
        thorn::ResizeTo(Data.Army.Units, counts.unitTypes);
        thorn::Elements(s, Data.Army.Units);
        s.Byte(Data.Army.DefeatOpponentsVictory);
        s.Byte(Data.Army.AppliesToComputers);
        break;
    case AccumulateResources:
        thorn::ResizeTo(Data.Resources.Amounts, counts.resources);
        thorn::Elements(s, Data.Resources.Amounts);
        s.Byte(Data.Resources.AllowDefeatAll);
        s.Byte(Data.Resources.AppliesToComputers);
        break;
    case CaptureProvince:
        s.Byte(Data.ProvinceToCapture);
        break;
    default:
        break;
    }
}

void CLoseCondsB::Serialize(Orv::ISerializer& s) {
    s.Byte(LoseType);
    s.Byte(ProvinceToKeep);
    s.Word(MaxTurnsToWin);
}

void CLoseCondsB::SerializeForGame(Orv::ISerializer& s) {
    s.Byte(LoseType);
    if (LoseType == LoseProvince)
        s.Byte(ProvinceToKeep);
    else if (LoseType == TimeExpires)
        s.Word(MaxTurnsToWin);
}
