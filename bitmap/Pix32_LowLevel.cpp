#include "bitmap/Pix32_LowLevel.h"

#include <algorithm>
#include <cstring>

void FillLongword(uint32_t* dest, int64_t count, uint32_t value) {
    if (count < 1) return;
    std::fill_n(dest, count, value);
}

void MoveLongword(const uint32_t* source, uint32_t* dest, int64_t count) {
    if (count < 1 || source == dest) return;
    std::memmove(dest, source, static_cast<size_t>(count) * sizeof(uint32_t));
}
