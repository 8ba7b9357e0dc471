#include "model/ProvinceList.h"

CProvince* CProvinceList::GetAt(uint8_t n) const {
    return n < provinces_.size() ? provinces_[n].get() : nullptr;
}

uint8_t CProvinceList::IndexOf(const CProvince* province) const {
    if (!province) return kNone;
    for (size_t i = 0; i < provinces_.size(); ++i)
        if (provinces_[i].get() == province) return static_cast<uint8_t>(i);
    return kNone;
}

int CProvinceList::Add(std::unique_ptr<CProvince> province) {
    if (!province || provinces_.size() >= kMaxProvinces) return -1;
    provinces_.push_back(std::move(province));
    return static_cast<int>(provinces_.size() - 1);
}

void CProvinceList::Remove(const CProvince* province) {
    uint8_t i = IndexOf(province);
    if (i != kNone) provinces_.erase(provinces_.begin() + i);
}

void CProvinceList::Clear() { provinces_.clear(); }

int CProvinceList::Serialize(Orv::ISerializer& s) {
    uint16_t count = GetCount();
    s.Word(count);
    if (count > kMaxProvinces) {
        Clear();
        return 0;
    }
    provinces_.resize(count);
    for (std::unique_ptr<CProvince>& province : provinces_) {
        if (!province) province = std::make_unique<CProvince>();
        province->Serialize(s);
    }
    return 1;
}
