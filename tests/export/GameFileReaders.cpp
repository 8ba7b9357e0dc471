#include "GameFileReaders.h"

#include <stdexcept>

#include "LeReader.h"
#include "PackageTestSupport.h"

namespace thorn::test {
namespace {

template <typename T, typename F>
std::vector<T> Several(size_t n, F&& read) {
    std::vector<T> values;
    for (size_t i = 0; i < n; ++i) values.push_back(static_cast<T>(read()));
    return values;
}

// The package's fixed scrambling: names XOR an eight-byte key, tags (as a
// little-endian u32) XOR a mask.
constexpr uint8_t kNameKey[8] = {0xB5, 0xE3, 0xC9, 0xF4, 0xD8, 0xAE, 0xC1, 0xF7};
constexpr uint32_t kTagMask = 0x4B76517A;

// Walks the pre-order entries, keeping the folder path by depth; names and
// tags are unscrambled first.
template <typename Bytes>
PackageFiles Collect(const std::vector<ParsedEntry>& entries, Bytes&& bytesOf) {
    PackageFiles files;
    std::vector<std::string> folders;
    for (const ParsedEntry& entry : entries) {
        std::string name, tag;
        for (size_t k = 0; k < 16 && entry.rawName[k] != 0; ++k) name.push_back(static_cast<char>(entry.rawName[k] ^ kNameKey[k % 8]));
        const uint32_t tagBits = Le32(entry.tag, 0) ^ kTagMask;
        for (int k = 0; k < 4 && (tagBits >> (8 * k) & 0xFF) != 0; ++k) tag.push_back(static_cast<char>(tagBits >> (8 * k)));
        if (entry.depth == 0 || entry.depth > folders.size() + 1) throw std::runtime_error("bad depth");
        folders.resize(entry.depth - 1);
        std::string path;
        for (const std::string& folder : folders) path += folder + "/";
        if (tag == "...") {
            folders.push_back(name);
            continue;
        }
        files[path + name + (tag.empty() ? "" : "." + tag)] = bytesOf(entry);
    }
    return files;
}

}  // namespace

MissionFile ReadMissionFile(std::span<const uint8_t> bytes) {
    LeReader in(bytes);
    MissionFile m;
    m.missionId = in.U32();
    const uint8_t resources = in.U8();
    m.resourceCodes = Several<std::string>(resources, [&] { return in.Text(); });
    m.unitTypes = in.U8();
    const uint8_t players = in.U8();
    for (uint8_t i = 0; i < players; ++i) {
        GamePlayer p;
        p.number = in.U8();
        p.capital = in.U8();
        for (uint8_t& skill : p.skills) skill = in.U8();
        p.type = in.U8();
        p.typeExtra = in.U8();
        for (uint8_t j = 0; j < m.unitTypes; ++j) {
            p.army.push_back(in.U32());
            p.unitNames.push_back(in.Text());
        }
        p.treasury = Several<uint16_t>(resources, [&] { return in.U16(); });
        m.players.push_back(p);
    }
    m.experienceLimit = in.U32();
    m.victoryType = in.U8();
    switch (m.victoryType) {
    case 0: case 1: case 4:
        m.victoryBytes.push_back(in.U8());
        break;
    case 2:
        m.victoryUnits = Several<uint32_t>(m.unitTypes, [&] { return in.U32(); });
        m.victoryBytes = {in.U8(), in.U8()};
        break;
    case 3:
        m.victoryBytes = Several<uint8_t>(resources + 2u, [&] { return in.U8(); });
        break;
    default:
        break;
    }
    m.loseType = in.U8();
    if (m.loseType == 1) m.loseValue = in.U8();
    if (m.loseType == 2) m.loseValue = in.U16();
    const uint8_t provinces = in.U8();
    for (uint8_t i = 0; i < provinces; ++i) {
        GameProvince p;
        p.resources = Several<uint8_t>(resources, [&] { return in.U8(); });
        p.owner = in.U8();
        p.castleFlag = in.U8();
        if (p.castleFlag) {
            p.castleFlags = in.U8();
            p.buildings = in.U8();
            p.hitPoints = in.U8();
        }
        for (uint16_t& side : p.box) side = in.U16();
        p.castleX = in.U16();
        p.castleY = in.U16();
        p.armyX = in.U16();
        p.armyY = in.U16();
        p.hasArmy = in.U8();
        if (p.hasArmy) p.guardians = Several<uint32_t>(m.unitTypes, [&] { return in.U32(); });
        const uint8_t neighbours = in.U8();
        p.neighbours = Several<uint8_t>(neighbours, [&] { return in.U8(); });
        m.provinces.push_back(p);
    }
    const uint8_t events = in.U8();
    for (uint8_t i = 0; i < events; ++i) {
        GameEvent e;
        e.turn = in.U16();
        e.playerFlags = Several<uint8_t>(players, [&] { return in.U8(); });
        e.effect = in.U8();
        if (e.effect <= 1) e.amounts = Several<uint8_t>(resources, [&] { return in.U8(); });
        m.events.push_back(e);
    }
    in.End();
    return m;
}

CellMapFile ReadCellMapFile(std::span<const uint8_t> bytes) {
    LeReader in(bytes);
    CellMapFile map;
    map.width = in.U16();
    map.height = in.U16();
    map.columns.resize(in.U8());
    for (auto& column : map.columns) {
        column.resize(in.U8());
        for (auto& cell : column) {
            cell.resize(in.U8());
            for (auto& entry : cell) {
                entry.first = in.U8();
                entry.second = in.U8();
            }
        }
    }
    in.End();
    return map;
}

PackageFiles ReadPakFiles(std::span<const uint8_t> pak) {
    return Collect(PakEntries(pak), [&](const ParsedEntry& entry) {
        if (uint64_t(entry.location) + entry.size > pak.size()) throw std::runtime_error("file past the package");
        return std::vector<uint8_t>(pak.begin() + entry.location, pak.begin() + entry.location + entry.size);
    });
}

PackageFiles ReadPdbFiles(const PalmDatabase& database) {
    if (database.resources.empty() || database.resources[0].id != 0x1000) throw std::runtime_error("no directory");
    const std::vector<uint8_t>& directory = database.resources[0].data;
    std::map<uint32_t, const std::vector<uint8_t>*> records;
    for (const PalmResource& resource : database.resources) records[resource.id] = &resource.data;
    return Collect(ParseEntries(directory, 4, Le32(directory, 0)), [&](const ParsedEntry& entry) {
        std::vector<uint8_t> bytes;
        for (uint32_t id = entry.location; id < entry.location + entry.recordCount; ++id) {
            if (!records.count(id)) throw std::runtime_error("missing record " + std::to_string(id));
            bytes.insert(bytes.end(), records[id]->begin(), records[id]->end());
        }
        if (bytes.size() != entry.size) throw std::runtime_error("records disagree with the file size");
        return bytes;
    });
}

}  // namespace thorn::test
