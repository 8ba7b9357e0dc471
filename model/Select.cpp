#include "model/Select.h"

#include <algorithm>

int CSelect::GetCount() const {
    return static_cast<int>(std::count_if(Provinces.begin(), Provinces.end(), [](const CProvince* p) { return p; }));
}

bool CSelect::Contains(const CProvince* province) const {
    return province && std::find(Provinces.begin(), Provinces.end(), province) != Provinces.end();
}

bool CSelect::Add(CProvince* province) {
    if (!province || Contains(province)) return false;
    Provinces.push_back(province);
    return true;
}

bool CSelect::Remove(const CProvince* province) {
    auto found = province ? std::find(Provinces.begin(), Provinces.end(), province) : Provinces.end();
    if (found == Provinces.end()) return false;
    Provinces.erase(found);
    return true;
}
