#include "platform/Crc32.h"

#include <array>

namespace thorn {
namespace {

using Tables = std::array<std::array<uint32_t, 256>, 8>;

// Table 0 is the byte-at-a-time table; table k gives the CRC of a byte
// followed by k zero bytes, so eight bytes are folded in at once (the
// paths of the inspector's index are hashed on every lookup).
constexpr Tables MakeTables() {
    Tables tables{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t value = n;
        for (int step = 0; step < 8; ++step) value = (value & 1) ? (value >> 1) ^ 0xEDB88320u : value >> 1;
        tables[0][n] = value;
    }
    for (uint32_t n = 0; n < 256; ++n)
        for (size_t k = 1; k < 8; ++k) tables[k][n] = (tables[k - 1][n] >> 8) ^ tables[0][tables[k - 1][n] & 0xFF];
    return tables;
}

constexpr Tables kTables = MakeTables();

uint32_t Load32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace

void Crc32::Update(std::span<const uint8_t> bytes) {
    uint32_t crc = state_;
    const uint8_t* p = bytes.data();
    size_t left = bytes.size();
    for (; left >= 8; left -= 8, p += 8) {
        const uint32_t low = crc ^ Load32(p), high = Load32(p + 4);
        crc = kTables[7][low & 0xFF] ^ kTables[6][low >> 8 & 0xFF] ^ kTables[5][low >> 16 & 0xFF] ^
              kTables[4][low >> 24] ^ kTables[3][high & 0xFF] ^ kTables[2][high >> 8 & 0xFF] ^
              kTables[1][high >> 16 & 0xFF] ^ kTables[0][high >> 24];
    }
    for (; left > 0; --left, ++p) crc = kTables[0][(crc ^ *p) & 0xFF] ^ (crc >> 8);
    state_ = crc;
}

}  // namespace thorn
