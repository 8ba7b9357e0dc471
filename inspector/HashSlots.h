#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace thorn {

// The index of the path trees: from a path's 32-bit hash to the positions
// of the entries kept in a list beside it, by open addressing. Equal hashes
// share a probe run, so a lookup hands every position of its hash to the
// caller's own comparison of whole paths. The table is a power of two, at
// most three quarters full.
class HashSlots {
public:
    void Clear();
    // Enters the entry at position, one past the positions entered so far.
    void Add(int32_t hash, uint32_t position);
    // Takes position's slot out. The entry at last takes position's place in
    // the list, so its slot is renumbered (nothing when position is last).
    void Remove(uint32_t position, int32_t hash, uint32_t last, int32_t lastHash);
    // The first position of hash that matches, -1.
    template <typename Match>
    int Find(int32_t hash, Match matches) const {
        if (count_ == 0) return -1;
        for (size_t i = Bucket(hash);; i = (i + 1) & (slots_.size() - 1)) {
            const Slot& slot = slots_[i];
            if (slot.entry == 0) return -1;
            if (slot.hash == hash && matches(slot.entry - 1)) return static_cast<int>(slot.entry - 1);
        }
    }

private:
    struct Slot {
        int32_t hash = 0;
        uint32_t entry = 0;  // entry position + 1; 0 = empty
    };
    size_t Bucket(int32_t hash) const;
    size_t SlotOf(uint32_t entry, int32_t hash) const;
    void Grow();

    std::vector<Slot> slots_;
    size_t count_ = 0;
};

}  // namespace thorn
