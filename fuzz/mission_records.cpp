// Reads arbitrary bytes as the records' part of a project file (six players,
// the victory and lose conditions, provinces, string tables and events), then
// checks that what was read saves, loads and saves again to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "model/Event_list.h"
#include "model/MissionConds.h"
#include "model/OrvSerializer.h"
#include "model/PlayerData.h"
#include "model/ProjectLink.h"
#include "model/ProvinceList.h"
#include "model/StringTableList.h"
#include "model/pda_list.h"

namespace {

struct Records final : thorn::ProjectLink {
    CList<CPlayerData> players;
    CVictoryCondsB victory;
    CLoseCondsB lose;
    CProvinceList provinces;
    CStringTableList tables;
    CEventList events;
    int results = 1;

    Records() { players.Resize(6); }

    void MarkModified() override {}
    int ResourceCount() const override { return 3; }
    int UnitTypeCount() const override { return 2; }
    CPlayerData* PlayerAt(uint32_t n) override {
        auto* node = players.GetItem(n);
        return node ? node->data.get() : nullptr;
    }
    uint8_t ProvinceIndex(const CProvince* province) const override { return provinces.IndexOf(province); }
    std::optional<uint32_t> FirstComputerPlayerId() const override { return 1; }
    CStringTableList& StringTables() override { return tables; }

    void Serialize(Orv::ISerializer& s) {
        for (uint32_t i = 0; i < 6; ++i) players[i].Serialize(s);
        victory.Serialize(s, UnitTypeCount(), ResourceCount());
        lose.Serialize(s);
        results &= provinces.Serialize(s);
        results &= tables.Serialize(s);
        results &= events.Serialize(s);
    }
};

std::vector<uint8_t> LoadAndSave(std::span<const uint8_t> bytes, uint32_t& position, bool& complete) {
    auto records = std::make_unique<Records>();
    thorn::ScopedProjectLink link(*records);
    Orv::CSerialLoader loader(bytes);
    records->Serialize(loader);
    position = loader.Position();
    complete = loader.Error() == 0 && records->results == 1;
    return Orv::SerializeToBytes(*records);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    uint32_t position = 0;
    bool complete = false;
    std::vector<uint8_t> saved = LoadAndSave({data, size}, position, complete);
    if (position > size) std::abort();
    if (!complete) return 0;
    // Count bytes the project fixes are written as the project's counts, so
    // the first save may differ from the input; from then on it is stable.
    std::vector<uint8_t> again = LoadAndSave(saved, position, complete);
    if (!complete || position != saved.size() || again != saved) std::abort();
    return 0;
}
