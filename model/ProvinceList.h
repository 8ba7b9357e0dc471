#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "model/OrvSerializer.h"
#include "model/Province.h"

// The provinces of the project, which the list owns. A province's index in
// the list is a byte everywhere (255 = none), and a mission holds at most 99.
class CProvinceList {
public:
    static constexpr int kMaxProvinces = 99;
    static constexpr uint8_t kNone = 255;

    CProvinceList() = default;
    CProvinceList(const CProvinceList&) = delete;
    CProvinceList& operator=(const CProvinceList&) = delete;

    uint16_t GetCount() const { return static_cast<uint16_t>(provinces_.size()); }
    // The province at n; null at or past the end (so 255 gives null).
    CProvince* GetAt(uint8_t n) const;
    // The index of the province; 255 for null or a province not in the list.
    uint8_t IndexOf(const CProvince* province) const;
    // Appends a province the list takes ownership of; answers its index, or
    // -1 (and drops nothing into the list) when it is null or the list
    // already holds 99 provinces.
    int Add(std::unique_ptr<CProvince> province);
    // Deletes the province and moves the later ones down; null or a province
    // not in the list changes nothing.
    void Remove(const CProvince* province);
    // Deletes every province.
    void Clear();

    // The provinces' part of the project file: a u16 count, then each
    // province. Loading makes a constructed province for every new place.
    // Answers 1, or 0 without reading further when a stored count passes 99
    // (the list is then left empty).
    int Serialize(Orv::ISerializer& s);

private:
    std::vector<std::unique_ptr<CProvince>> provinces_;
};
