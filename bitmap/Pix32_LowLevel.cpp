#include "bitmap/Pix32_LowLevel.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

void FillLongword(uint32_t* dest, int64_t count, uint32_t value) {
    if (count < 1) return;
    std::fill_n(dest, count, value);
}

void MoveLongword(const uint32_t* source, uint32_t* dest, int64_t count) {
    if (count < 1 || source == dest) return;
    std::memmove(dest, source, static_cast<size_t>(count) * sizeof(uint32_t));
}

int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
    if (c == 0) return -1;
    int64_t product = static_cast<int64_t>(a) * b;
    bool negative = (product < 0) != (c < 0);
    uint64_t n = product < 0 ? 0 - static_cast<uint64_t>(product) : static_cast<uint64_t>(product);
    uint64_t d = c < 0 ? 0 - static_cast<uint64_t>(static_cast<int64_t>(c)) : static_cast<uint64_t>(c);
    uint64_t q = n / d;
    if (n % d >= d - n % d) ++q;  // half or more of the divisor left: away from zero
    if (q >= (uint64_t{1} << 31)) return -1;
    return negative ? -static_cast<int32_t>(q) : static_cast<int32_t>(q);
}
