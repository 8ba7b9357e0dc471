#include "model/OrvSerializer.h"

#include <cstring>
#include <limits>

namespace Orv {
namespace {

// The characters of a text up to its first NUL: what goes into a file.
std::string_view StoredChars(const std::string& s) { return {s.c_str()}; }

template <typename U>
void PutLittleEndian(uint8_t* out, U value) {
    for (size_t i = 0; i < sizeof(U); ++i) out[i] = static_cast<uint8_t>(value >> (8 * i));
}

template <typename U>
U GetLittleEndian(const uint8_t* in) {
    U value = 0;
    for (size_t i = 0; i < sizeof(U); ++i) value = static_cast<U>(value | static_cast<U>(in[i]) << (8 * i));
    return value;
}

}  // namespace

void CSerialSizer::Count(uint64_t bytes) {
    // A record past 4 GiB cannot be a file of ours; saturate instead of wrapping.
    uint64_t total = size_ + bytes;
    size_ = total > std::numeric_limits<uint32_t>::max() ? std::numeric_limits<uint32_t>::max()
                                                         : static_cast<uint32_t>(total);
}

void CSerialSizer::Text(std::string& value) { Count(StoredChars(value).size() + 1); }

CSerialSaver::CSerialSaver(std::span<uint8_t> buffer) : cursor_(buffer.data()) {
    size_ = buffer.size() > std::numeric_limits<uint32_t>::max() ? std::numeric_limits<uint32_t>::max()
                                                                 : static_cast<uint32_t>(buffer.size());
}

uint8_t* CSerialSaver::Reserve(uint64_t bytes) {
    if (error_) return nullptr;
    if (position_ + bytes > size_) {
        error_ = 1;
        return nullptr;
    }
    uint8_t* at = cursor_;
    cursor_ += bytes;
    position_ += static_cast<uint32_t>(bytes);
    return at;
}

void CSerialSaver::Dword(uint32_t& value) {
    if (uint8_t* at = Reserve(4)) PutLittleEndian(at, value);
}
void CSerialSaver::Word(uint16_t& value) {
    if (uint8_t* at = Reserve(2)) PutLittleEndian(at, value);
}
void CSerialSaver::Byte(uint8_t& value) {
    if (uint8_t* at = Reserve(1)) *at = value;
}
void CSerialSaver::IntAsByte(int& value) {
    if (uint8_t* at = Reserve(1)) *at = static_cast<uint8_t>(value);
}
void CSerialSaver::String(CString& value) {
    if (uint8_t* at = Reserve(value.Length() + 1u)) std::memcpy(at, value.c_str(), value.Length() + 1u);
}
void CSerialSaver::Text(std::string& value) {
    std::string_view chars = StoredChars(value);
    if (uint8_t* at = Reserve(chars.size() + 1)) {
        std::memcpy(at, chars.data(), chars.size());
        at[chars.size()] = 0;
    }
}

CSerialLoader::CSerialLoader(std::span<const uint8_t> buffer) : cursor_(buffer.data()) {
    size_ = buffer.size() > std::numeric_limits<uint32_t>::max() ? std::numeric_limits<uint32_t>::max()
                                                                 : static_cast<uint32_t>(buffer.size());
}

const uint8_t* CSerialLoader::Take(uint64_t bytes) {
    if (error_) return nullptr;
    if (position_ + bytes > size_) {
        error_ = 1;
        return nullptr;
    }
    const uint8_t* at = cursor_;
    cursor_ += bytes;
    position_ += static_cast<uint32_t>(bytes);
    return at;
}

void CSerialLoader::Dword(uint32_t& value) {
    if (const uint8_t* at = Take(4)) value = GetLittleEndian<uint32_t>(at);
}
void CSerialLoader::Word(uint16_t& value) {
    if (const uint8_t* at = Take(2)) value = GetLittleEndian<uint16_t>(at);
}
void CSerialLoader::Byte(uint8_t& value) {
    if (const uint8_t* at = Take(1)) value = *at;
}
void CSerialLoader::IntAsByte(int& value) {
    if (const uint8_t* at = Take(1)) value = *at;
}

bool CSerialLoader::TakeString(std::string_view& chars) {
    if (error_) return false;
    if (position_ >= size_) {
        error_ = 1;
        return false;
    }
    const void* nul = std::memchr(cursor_, 0, size_ - position_);
    if (!nul) {
        error_ = 1;
        return false;
    }
    size_t length = static_cast<const uint8_t*>(nul) - cursor_;
    chars = {reinterpret_cast<const char*>(cursor_), length};
    return true;
}

void CSerialLoader::String(CString& value) {
    std::string_view chars;
    if (!TakeString(chars)) return;
    if (chars.size() > CString::kMaxLength) {
        error_ = 1;  // cannot be held in a counted string
        return;
    }
    value.Assign(chars);
    Take(chars.size() + 1);
}

void CSerialLoader::Text(std::string& value) {
    std::string_view chars;
    if (!TakeString(chars)) return;
    value.assign(chars);
    Take(chars.size() + 1);
}

}  // namespace Orv
