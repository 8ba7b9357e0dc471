#include "model/LayerTag.h"

namespace thorn {

CLayerTag* LayerTags::Make(uint8_t kind, CProvince* owner) {
    auto record = std::make_unique<CLayerTag>();
    record->Kind = kind;
    record->Owner = owner;
    CLayerTag* made = record.get();
    records_.emplace(TagOf(made), std::move(record));
    return made;
}

CLayerTag* LayerTags::Find(intptr_t tag) const {
    if (tag == 0) return nullptr;
    auto found = records_.find(tag);
    return found == records_.end() ? nullptr : found->second.get();
}

void LayerTags::Free(intptr_t tag) { records_.erase(tag); }

}  // namespace thorn
