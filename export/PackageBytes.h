#pragma once

#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>
#include <vector>

// Byte-order helpers for the files of the export: everything is little-endian
// except the header and resource list of a Palm database, which are big-endian.
namespace thorn {

inline void AppendLe16(std::vector<uint8_t>& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

inline void AppendLe32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

inline void AppendBe16(std::vector<uint8_t>& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value));
}

inline void AppendBe32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

inline void AppendBytes(std::vector<uint8_t>& out, std::span<const uint8_t> bytes) {
    out.insert(out.end(), bytes.begin(), bytes.end());
}

// At most longest bytes of the text, then NULs up to field bytes.
inline void AppendPadded(std::vector<uint8_t>& out, std::string_view text, size_t field, size_t longest) {
    const size_t length = text.size() < longest ? text.size() : longest;
    out.insert(out.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(length));
    out.insert(out.end(), field - length, 0);
}

inline uint16_t ReadLe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

inline uint32_t ReadLe32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// Writes little-endian fields into a buffer the caller sized beforehand.
class SpanWriter {
public:
    explicit SpanWriter(std::span<uint8_t> out) : out_(out) {}

    void U8(uint8_t value) { out_[position_++] = value; }
    void Le16(uint16_t value) {
        U8(static_cast<uint8_t>(value));
        U8(static_cast<uint8_t>(value >> 8));
    }
    void Le32(uint32_t value) {
        Le16(static_cast<uint16_t>(value));
        Le16(static_cast<uint16_t>(value >> 16));
    }
    void Bytes(std::span<const uint8_t> bytes) {
        if (bytes.empty()) return;
        std::memcpy(out_.data() + position_, bytes.data(), bytes.size());
        position_ += bytes.size();
    }
    size_t Position() const { return position_; }

private:
    std::span<uint8_t> out_;
    size_t position_ = 0;
};

}  // namespace thorn
