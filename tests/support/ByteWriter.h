#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

// Files assembled field by field, little-endian, as their formats lay them
// out, so readers are checked against the formats themselves.
namespace thorn::test {

class ByteWriter {
public:
    ByteWriter& U8(uint8_t v);
    ByteWriter& U16(uint16_t v);
    ByteWriter& U32(uint32_t v);
    ByteWriter& I32(int32_t v) { return U32(static_cast<uint32_t>(v)); }
    ByteWriter& Raw(const std::vector<uint8_t>& bytes);
    ByteWriter& Raw(std::initializer_list<uint8_t> bytes);
    // The characters' bytes, without an end mark.
    ByteWriter& Chars(std::string_view text);
    ByteWriter& Zeros(size_t count);
    void PatchU32(size_t at, uint32_t v);
    size_t Size() const { return bytes_.size(); }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

}  // namespace thorn::test
