#include "model/ShapeBits.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <bit>
#include <vector>

namespace thorn {
namespace {

// The rows' bytes are written and read as parts of their 64-bit words.
static_assert(std::endian::native == std::endian::little);

// The eight bytes (0 or 1) that one byte of bits stands for, lowest bit
// first.
constexpr std::array<uint64_t, 256> kBytesOfBits = [] {
    std::array<uint64_t, 256> table{};
    for (uint32_t bits = 0; bits < 256; ++bits)
        for (uint32_t b = 0; b < 8; ++b)
            if (bits >> b & 1) table[bits] |= uint64_t{1} << (8 * b);
    return table;
}();

// Eight bytes (0 or 1) packed into one byte, the first byte in the lowest
// bit: each byte's bit lands in the top byte of the product, at a place of
// its own, and no two partial products meet.
uint8_t PackEight(const uint8_t* bytes) {
    uint64_t v;
    std::memcpy(&v, bytes, sizeof v);
    return static_cast<uint8_t>((v * 0x0102040810204080ull) >> 56);
}

}  // namespace

ShapeBits::ShapeBits(int32_t width, int32_t height)
    : width_(width), height_(height), words_((static_cast<size_t>(width) + 63) / 64),
      bits_(words_ * static_cast<size_t>(height), 0) {}

void ShapeBits::SetRow(int32_t y, const uint8_t* set) {
    uint8_t* row = reinterpret_cast<uint8_t*>(bits_.data() + static_cast<size_t>(y) * words_);
    const int32_t whole = width_ / 8;
    for (int32_t k = 0; k < whole; ++k) row[k] = PackEight(set + 8 * k);
    if (const int32_t rest = width_ - 8 * whole; rest > 0) {
        uint8_t last[8] = {};
        std::copy_n(set + 8 * whole, rest, last);
        row[whole] = PackEight(last);
    }
}

void ShapeBits::GetRow(int32_t y, int32_t from, int32_t to, uint8_t* on) const {
    const uint8_t* row = reinterpret_cast<const uint8_t*>(bits_.data() + static_cast<size_t>(y) * words_);
    int32_t x = from;
    for (; x < to && x % 8 != 0; ++x) *on++ = row[x / 8] >> (x % 8) & 1;
    for (; x + 8 <= to; x += 8, on += 8) std::memcpy(on, &kBytesOfBits[row[x / 8]], 8);
    for (; x < to; ++x) *on++ = row[x / 8] >> (x % 8) & 1;
}

uint64_t ShapeBits::Bits64(int32_t y, int32_t x) const {
    const uint64_t* row = bits_.data() + static_cast<size_t>(y) * words_;
    auto word = [&](int64_t i) { return i >= 0 && i < static_cast<int64_t>(words_) ? row[i] : uint64_t{0}; };
    const int64_t first = x >= 0 ? x / 64 : -((63 - int64_t{x}) / 64);
    const int shift = static_cast<int>(x - first * 64);
    return shift == 0 ? word(first) : word(first) >> shift | word(first + 1) << (64 - shift);
}

bool ShapeBits::Meets(const ShapeBits& other, TPoint at, const TRect& within) const {
    TRect shared;
    if (!IntersectRect(shared, within, {0, 0, width_, height_}) ||
        !IntersectRect(shared, shared, {at.X, at.Y, at.X + other.width_, at.Y + other.height_}))
        return false;
    for (int32_t y = shared.Top; y < shared.Bottom; ++y)
        for (int32_t x = shared.Left; x < shared.Right; x += 64) {
            const int32_t n = std::min(64, shared.Right - x);
            const uint64_t taken = n == 64 ? ~uint64_t{0} : (uint64_t{1} << n) - 1;
            if ((Bits64(y, x) & other.Bits64(y - at.Y, x - at.X) & taken) != 0) return true;
        }
    return false;
}

bool ShapeBits::Within(const ShapeBits& other) const {
    if (width_ != other.width_ || height_ != other.height_) return false;
    for (size_t i = 0; i < bits_.size(); ++i)
        if ((bits_[i] & ~other.bits_[i]) != 0) return false;
    return true;
}

ShapeBits ShapeOf(const TBitmap32& bitmap) {
    ShapeBits shape(bitmap.Width(), bitmap.Height());
    std::vector<uint8_t> set(static_cast<size_t>(bitmap.Width()));
    for (int32_t y = 0; y < bitmap.Height(); ++y) {
        const TColor32* __restrict row = bitmap.ScanLine(y);
        uint8_t* __restrict bytes = set.data();
        for (int32_t x = 0, n = bitmap.Width(); x < n; ++x) bytes[x] = row[x] != 0;
        shape.SetRow(y, bytes);
    }
    return shape;
}

}  // namespace thorn
