#include "ByteWriter.h"

namespace thorn::test {

ByteWriter& ByteWriter::U8(uint8_t v) {
    bytes_.push_back(v);
    return *this;
}
ByteWriter& ByteWriter::U16(uint16_t v) { return U8(static_cast<uint8_t>(v)).U8(static_cast<uint8_t>(v >> 8)); }
ByteWriter& ByteWriter::U32(uint32_t v) { return U16(static_cast<uint16_t>(v)).U16(static_cast<uint16_t>(v >> 16)); }
ByteWriter& ByteWriter::Raw(const std::vector<uint8_t>& bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}
ByteWriter& ByteWriter::Raw(std::initializer_list<uint8_t> bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}
ByteWriter& ByteWriter::Chars(std::string_view text) {
    bytes_.insert(bytes_.end(), text.begin(), text.end());
    return *this;
}
ByteWriter& ByteWriter::Zeros(size_t count) {
    bytes_.insert(bytes_.end(), count, 0);
    return *this;
}
void ByteWriter::PatchU32(size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes_[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace thorn::test
