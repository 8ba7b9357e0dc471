#include "export/Pda_serialize.h"

#include <algorithm>

#include "export/ExportFiles.h"
#include "model/RecordFields.h"

namespace {

// A list's count byte; a list read is sized to it.
template <typename T>
uint8_t CountByte(Orv::ISerializer& s, Orv::CSimpleArray<T>& list) {
    uint8_t count = static_cast<uint8_t>(std::min(list.GetCount(), 255));
    s.Byte(count);
    thorn::ResizeTo(list, count);
    return count;
}

}  // namespace

void SerializeMission(PdaMission& mission, Orv::ISerializer& s) {
    CMapProjectB& record = mission.Record;
    s.Dword(record.MissionId);
    CountByte(s, record.ResourceCodes);
    for (Orv::CString& code : record.ResourceCodes) s.String(code);
    s.Byte(mission.UnitTypeCount);
    CountByte(s, record.GamePlayers);
    for (CPlayerDataB& player : record.GamePlayers) SerializePlayer(player, s, mission);
    s.Dword(record.ExperienceLimit);
    record.VictoryConds.SerializeForGame(s, mission.Counts());
    record.LoseConds.SerializeForGame(s);
    CountByte(s, record.GameProvinces);
    for (CProvinceB& province : record.GameProvinces) SerializeProvince(province, s, mission);
    CountByte(s, record.GameEvents);
    for (CEventB& event : record.GameEvents) SerializeEvent(event, s, mission);
}

void SerializePlayer(CPlayerDataB& player, Orv::ISerializer& s, const PdaMission& mission) {
    player.SerializeForGame(s, mission.Counts());
}

void SerializeProvince(CProvinceB& province, Orv::ISerializer& s, const PdaMission& mission) {
    province.SerializeForGame(s, mission.Counts());
}

void SerializeEvent(CEventB& event, Orv::ISerializer& s, const PdaMission& mission) {
    event.SerializeForGame(s, mission.Counts());
}

std::vector<uint8_t> MissionFileBytes(PdaMission& mission) { return thorn::WalkedBytes(mission, SerializeMission); }
