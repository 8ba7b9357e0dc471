#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "model/OrvSerializer.h"
#include "model/StringTable.h"

// The project's string tables, which the list owns. Every table has the same
// shape, so event pair n and province name n mean the same in each. Positions
// are 16-bit.
class CStringTableList {
public:
    static constexpr uint16_t kNoPair = 0xFFFF;
    static constexpr int kMaxTables = 0xFFFF;
    // Event pairs handed out to new events: 0..139.
    static constexpr int kAssignablePairs = 140;

    CStringTableList() = default;
    CStringTableList(const CStringTableList&) = delete;
    CStringTableList& operator=(const CStringTableList&) = delete;

    uint16_t GetCount() const { return static_cast<uint16_t>(tables_.size()); }
    // The table at n; null at or past the end.
    CStringTable* GetAt(uint16_t n) const;
    // Appends a table the list takes ownership of; answers its position, or
    // -1 for null or when the list already holds 65535 tables.
    int Add(std::unique_ptr<CStringTable> table);
    void Clear();

    // Empties title and text of event pair n in every table.
    void ClearEventStrings(uint16_t n);
    // Removes province name n from every table, first to last.
    void RemoveProvinceName(uint8_t n);

    // Every table's part of the project file: a u16 count, then 561 texts per
    // table. Loading empties the list first and adds one default table at a
    // time while the data last. Answers 1.
    int Serialize(Orv::ISerializer& s);

private:
    std::vector<std::unique_ptr<CStringTable>> tables_;
};

// Finds the first free event pair among pairs 0..139 (its title empty in the
// first table and no slot of held naming it: an event whose title was
// emptied keeps its pair), names it "Message #<n>" with the text
// "Message #<n> Info" in every table (n = pair + 1) and answers it; 0xFFFF
// when no pair is free or there is no table.
uint16_t AddEventStringsToTables(CStringTableList& tables, std::span<const uint8_t> held = {});
