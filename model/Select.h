#pragma once

#include <cstdint>
#include <vector>

class CProvince;

// The province selection of the world view, held by the project. The
// editor keeps it in step with the marked pieces, the selected rows of the
// provinces list and the province grid; the model reads it and drops
// provinces that go. It owns nothing: the provinces belong to the project.
class CSelect {
public:
    CSelect() = default;
    CSelect(const CSelect&) = delete;
    CSelect& operator=(const CSelect&) = delete;

    // The number of selected provinces (null entries are not counted).
    int GetCount() const;
    bool Contains(const CProvince* province) const;
    // Appends a province not yet selected; answers whether it was added.
    bool Add(CProvince* province);
    // Removes the province; answers whether it was selected.
    bool Remove(const CProvince* province);
    void Clear() { Provinces.clear(); }

    // 1 while the selection itself changes the list view or fills the grid.
    uint32_t Busy = 0;
    // 1 while the province grid follows the selection (Provinces page).
    uint32_t GridLink = 1;
    // In the order they were selected; readers skip null entries.
    std::vector<CProvince*> Provinces;
};
