#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "model/MissionConds.h"
#include "model/OrvSerializer.h"
#include "model/PlayerData.h"
#include "model/ProjectLink.h"
#include "model/ProvinceList.h"
#include "model/StringTableList.h"
#include "model/pda_list.h"

namespace thorn::test {

// A small real project for the mission records: six players, a province
// list, computer-player types, one default string table and the counts of
// the game data. It installs itself as the records' project while it lives.
class RecordsProject final : public ProjectLink {
public:
    explicit RecordsProject(int resourceCount = 3, int unitTypeCount = 2)
        : resources(resourceCount), unitTypes(unitTypeCount) {
        players.Resize(6);
        tables.Add(std::make_unique<CStringTable>());
    }

    void MarkModified() override { modified = 1; }
    int ResourceCount() const override { return resources; }
    int UnitTypeCount() const override { return unitTypes; }
    CPlayerData* PlayerAt(uint32_t n) override {
        auto* node = players.GetItem(n);
        return node ? node->data.get() : nullptr;
    }
    uint8_t ProvinceIndex(const CProvince* province) const override { return provinces.IndexOf(province); }
    std::optional<uint32_t> FirstComputerPlayerId() const override {
        auto* node = computerTypes.GetItem(0);
        if (!node) return std::nullopt;
        return node->data->Value;
    }
    CStringTableList& StringTables() override { return tables; }

    void AddComputerType(const char* name, uint32_t id) {
        computerTypes.Append(std::make_unique<CAbilityStruct>(CAbilityStruct{name, id}));
    }
    // A province sized to the project's counts, added to the list.
    CProvince* AddProvince() {
        auto province = std::make_unique<CProvince>();
        province->SetResourceCount(static_cast<uint8_t>(resources));
        province->GuardianArmy.SetSize(unitTypes);
        CProvince* raw = province.get();
        return provinces.Add(std::move(province)) >= 0 ? raw : nullptr;
    }
    CStringTable& Table() { return *tables.GetAt(0); }

    uint32_t modified = 0;
    int resources;
    int unitTypes;
    CList<CPlayerData> players;
    CProvinceList provinces;
    CList<CAbilityStruct> computerTypes;
    CStringTableList tables;

private:
    ScopedProjectLink install_{*this};
};

using Bytes = std::vector<uint8_t>;

// Loads bytes into a record through its Serialize routine.
template <typename Record, typename... Args>
Orv::CSerialLoader LoadInto(Record& record, const Bytes& bytes, Args&&... args) {
    Orv::CSerialLoader loader(bytes);
    record.Serialize(loader, std::forward<Args>(args)...);
    return loader;
}

// Writes a record through a sizer and a saver with extra arguments.
template <typename Record, typename... Args>
Bytes SaveWith(Record& record, Args&&... args) {
    Orv::CSerialSizer sizer;
    record.Serialize(sizer, args...);
    Bytes bytes(sizer.Size());
    Orv::CSerialSaver saver(bytes);
    record.Serialize(saver, args...);
    return bytes;
}

// Writes a record's game form (laid out by the counts where it needs them).
template <typename Record>
Bytes SaveForGame(Record& record, const MissionCounts& counts) {
    auto write = [&](Orv::ISerializer& s) {
        if constexpr (requires { record.SerializeForGame(s, counts); })
            record.SerializeForGame(s, counts);
        else
            record.SerializeForGame(s);
    };
    Orv::CSerialSizer sizer;
    write(sizer);
    Bytes bytes(sizer.Size());
    Orv::CSerialSaver saver(bytes);
    write(saver);
    return bytes;
}

}  // namespace thorn::test
