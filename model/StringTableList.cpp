#include "model/StringTableList.h"

#include <algorithm>
#include <string>


namespace {

template <size_t N>
void Texts(Orv::ISerializer& s, std::array<std::string, N>& texts) {
    for (std::string& text : texts) s.Text(text);
}

// The stored texts of one table, in file order.
void SerializeTable(Orv::ISerializer& s, CStringTable& t) {
    s.Text(t.TableName);
    s.Text(t.MissionName);
    s.Text(t.ShortDescription);
    s.Text(t.FullDescription);
    s.Text(t.VictoryText);
    s.Text(t.DefeatText);
    Texts(s, t.PlayerNames);
    Texts(s, t.UnitNames);
    Texts(s, t.Reserved);
    s.Text(t.Author);
    s.Text(t.AuthorNotes);
    Texts(s, t.CastleTypeNames);
    Texts(s, t.CastleImagePaths);
    Texts(s, t.ArmyImagePaths);
    Texts(s, t.ResourceNames);
    Texts(s, t.SkillNames);
    Texts(s, t.ProvinceNames);
    for (CStringTable::CEventStrings& pair : t.EventStrings) s.Text(pair.Title);
    for (CStringTable::CEventStrings& pair : t.EventStrings) s.Text(pair.Text);
}

}  // namespace

CStringTable* CStringTableList::GetAt(uint16_t n) const {
    return n < tables_.size() ? tables_[n].get() : nullptr;
}

int CStringTableList::Add(std::unique_ptr<CStringTable> table) {
    if (!table || tables_.size() >= kMaxTables) return -1;
    tables_.push_back(std::move(table));
    return static_cast<int>(tables_.size() - 1);
}

void CStringTableList::Clear() { tables_.clear(); }

void CStringTableList::ClearEventStrings(uint16_t n) {
    if (n >= CStringTable::kEventPairCount) return;
    for (auto& table : tables_) {
        table->EventStrings[n].Title.clear();
        table->EventStrings[n].Text.clear();
    }
}

void CStringTableList::RemoveProvinceName(uint8_t n) {
    for (auto& table : tables_) table->RemoveProvinceName(n);
}

int CStringTableList::Serialize(Orv::ISerializer& s) {
    if (s.IsSaving()) {
        uint16_t count = GetCount();
        s.Word(count);
        for (auto& table : tables_) SerializeTable(s, *table);
        return 1;
    }
    Clear();
    uint16_t count = 0;
    s.Word(count);
    // A table is made only while the data have not run out, so a count that
    // the data cannot hold makes no more tables than the data do; a table
    // whose texts run out half way stays, with its defaults from there on.
    for (uint16_t i = 0; i < count && !s.Error(); ++i) {
        tables_.push_back(std::make_unique<CStringTable>());
        SerializeTable(s, *tables_.back());
    }
    return 1;
}

uint16_t AddEventStringsToTables(CStringTableList& tables, std::span<const uint8_t> held) {
    CStringTable* first = tables.GetAt(0);
    if (!first) return CStringTableList::kNoPair;
    for (uint16_t i = 0; i < CStringTableList::kAssignablePairs; ++i) {
        if (!first->EventStrings[i].Title.empty()) continue;
        if (std::find(held.begin(), held.end(), i) != held.end()) continue;
        std::string title = "Message #" + std::to_string(i + 1);
        for (uint16_t t = 0; t < tables.GetCount(); ++t) {
            CStringTable* table = tables.GetAt(t);
            table->EventStrings[i].Title = title;
            table->EventStrings[i].Text = title + " Info";
        }
        return i;
    }
    return CStringTableList::kNoPair;
}
