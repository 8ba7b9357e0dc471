#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>

class CProvince;

// What a map-view layer shows for its province; the record hangs on the
// layer's Tag. A layer whose Tag is 0 (the neighbour-link overlay) has none.
struct CLayerTag {
    enum Kind : uint8_t { Marker = 1, Label = 2, Castle = 3, Army = 4 };

    uint8_t Kind = Marker;
    CProvince* Owner = nullptr;
};

namespace thorn {

// The tag records of the project's layers, which the project owns. A Tag
// value is trusted only when it is the address of a record handed out
// here and not yet freed, so a layer of the editor's own with some other Tag
// is never mistaken for a province's.
class LayerTags {
public:
    LayerTags() = default;
    LayerTags(const LayerTags&) = delete;
    LayerTags& operator=(const LayerTags&) = delete;

    // A new record; its address is the layer's Tag.
    CLayerTag* Make(uint8_t kind, CProvince* owner);
    // The record a layer's Tag holds, or null for 0 or a value that is not
    // one of ours.
    CLayerTag* Find(intptr_t tag) const;
    // Frees the record of that Tag (nothing for one not ours).
    void Free(intptr_t tag);
    // Frees every record.
    void Clear() { records_.clear(); }
    size_t GetCount() const { return records_.size(); }

    static intptr_t TagOf(const CLayerTag* record) { return reinterpret_cast<intptr_t>(record); }

private:
    std::unordered_map<intptr_t, std::unique_ptr<CLayerTag>> records_;
};

}  // namespace thorn
