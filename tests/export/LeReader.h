#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>

// Reads little-endian fields from the front of a file for the tests' own
// readers of the game's files; throws std::runtime_error past the end.
namespace thorn::test {

class LeReader {
public:
    explicit LeReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    uint8_t U8() {
        Need(1);
        return bytes_[pos_++];
    }
    uint16_t U16() {
        const uint16_t low = U8();
        return static_cast<uint16_t>(low | U8() << 8);
    }
    uint32_t U32() {
        const uint32_t low = U16();
        return low | uint32_t(U16()) << 16;
    }
    // Characters up to a NUL, which is read too.
    std::string Text() {
        std::string text;
        for (uint8_t c = U8(); c != 0; c = U8()) text.push_back(static_cast<char>(c));
        return text;
    }
    std::span<const uint8_t> Take(size_t n) {
        Need(n);
        auto part = bytes_.subspan(pos_, n);
        pos_ += n;
        return part;
    }
    size_t Position() const { return pos_; }
    size_t Left() const { return bytes_.size() - pos_; }
    void End() const {
        if (Left() != 0) throw std::runtime_error(std::to_string(Left()) + " bytes left over");
    }

private:
    void Need(size_t n) const {
        if (Left() < n) throw std::runtime_error("truncated at " + std::to_string(pos_));
    }

    std::span<const uint8_t> bytes_;
    size_t pos_ = 0;
};

}  // namespace thorn::test
