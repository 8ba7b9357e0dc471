#include "inspector/HashSlots.h"

#include <algorithm>

namespace thorn {

void HashSlots::Clear() {
    slots_.clear();
    count_ = 0;
}

size_t HashSlots::Bucket(int32_t hash) const {
    // Spread the hash's bits over the table, whatever its size.
    const uint64_t mixed = static_cast<uint32_t>(hash) * uint64_t{0x9E3779B97F4A7C15u};
    return static_cast<size_t>(mixed >> 32) & (slots_.size() - 1);
}

size_t HashSlots::SlotOf(uint32_t entry, int32_t hash) const {
    size_t i = Bucket(hash);
    while (slots_[i].entry != entry) i = (i + 1) & (slots_.size() - 1);
    return i;
}

void HashSlots::Grow() {
    std::vector<Slot> old(std::max<size_t>(16, slots_.size() * 2));
    old.swap(slots_);
    const size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
        if (slot.entry == 0) continue;
        size_t i = Bucket(slot.hash);
        while (slots_[i].entry != 0) i = (i + 1) & mask;
        slots_[i] = slot;
    }
}

void HashSlots::Add(int32_t hash, uint32_t position) {
    if ((count_ + 1) * 4 > slots_.size() * 3) Grow();
    size_t i = Bucket(hash);
    while (slots_[i].entry != 0) i = (i + 1) & (slots_.size() - 1);
    slots_[i] = {hash, position + 1};
    ++count_;
}

void HashSlots::Remove(uint32_t position, int32_t hash, uint32_t last, int32_t lastHash) {
    const size_t mask = slots_.size() - 1;
    // Empty the entry's slot and shift the rest of its probe run back into
    // the gap, so that every run stays unbroken.
    size_t gap = SlotOf(position + 1, hash);
    for (size_t j = (gap + 1) & mask; slots_[j].entry != 0; j = (j + 1) & mask) {
        const size_t home = Bucket(slots_[j].hash);
        if (((j - home) & mask) >= ((j - gap) & mask)) {
            slots_[gap] = slots_[j];
            gap = j;
        }
    }
    slots_[gap] = Slot{};
    --count_;
    if (position != last) slots_[SlotOf(last + 1, lastHash)].entry = position + 1;
}

}  // namespace thorn
