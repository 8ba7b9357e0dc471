#pragma once

#include <cstdint>

// The data of a list view's custom sort: the column and the direction in one
// number, column * 2 plus 1 when ascending.

inline int32_t EncodeSortData(bool ascending, int32_t column) { return column * 2 + (ascending ? 1 : 0); }

inline void DecodeSortData(int32_t data, bool& ascending, int32_t& column) {
    ascending = (data & 1) != 0;
    column = data >> 1;
}
