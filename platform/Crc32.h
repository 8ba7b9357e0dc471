#pragma once

#include <cstdint>
#include <span>

namespace thorn {

// The standard CRC-32 of IEEE 802.3 (reflected polynomial 0xEDB88320, initial
// value and final XOR 0xFFFFFFFF), fed in pieces: the CRC of "123456789" is
// 0xCBF43926, of nothing 0.
class Crc32 {
public:
    Crc32() = default;
    // Goes on from a CRC already taken: Crc32(Crc32Of(a)) fed b has the
    // value Crc32Of(a followed by b).
    explicit Crc32(uint32_t valueSoFar) : state_(~valueSoFar) {}

    void Update(std::span<const uint8_t> bytes);
    uint32_t Value() const { return ~state_; }

private:
    uint32_t state_ = 0xFFFFFFFFu;
};

inline uint32_t Crc32Of(std::span<const uint8_t> bytes) {
    Crc32 crc;
    crc.Update(bytes);
    return crc.Value();
}

}  // namespace thorn
