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
    const thorn::MissionCounts counts = mission.Counts();
    for (CPlayerDataB& player : record.GamePlayers) player.SerializeForGame(s, counts);
    s.Dword(record.ExperienceLimit);
    record.VictoryConds.SerializeForGame(s, counts);
    record.LoseConds.SerializeForGame(s);
    CountByte(s, record.GameProvinces);
    for (CProvinceB& province : record.GameProvinces) province.SerializeForGame(s, counts);
    CountByte(s, record.GameEvents);
    for (CEventB& event : record.GameEvents) event.SerializeForGame(s, counts);
}

std::vector<uint8_t> MissionFileBytes(PdaMission& mission) { return thorn::WalkedBytes(mission, SerializeMission); }
