#pragma once

#include <cstdint>

#include "gui/ListView.h"

// Comparisons for a list view's custom sort: each takes two items and the
// sort's data, which packs the column and the direction (column * 2, plus 1
// when ascending), and answers -1, 0 or 1.

// A column of 2^30 or more does not fit: its bits wrap round in 32 bits, as
// they always did.
inline int32_t EncodeSortData(bool ascending, int32_t column) {
    return static_cast<int32_t>(static_cast<uint32_t>(column) * 2u + (ascending ? 1u : 0u));
}

inline void DecodeSortData(int32_t data, bool& ascending, int32_t& column) {
    ascending = (data & 1) != 0;
    column = data >> 1;
}

// The captions, ignoring the case of ASCII letters; ascending when the low
// byte of data is not zero (the column is not used).
int32_t CaptionStringSortProc(const TListItem* item1, const TListItem* item2, int32_t data);
// The texts of the sub-item data names (0 is the first sub-item), ignoring
// the case of ASCII letters; an item without that sub-item has an empty text.
int32_t StringSortProc(const TListItem* item1, const TListItem* item2, int32_t data);
// The sub-items read as integers, floating-point numbers or dates and times
// (the fixed format settings). A text that reads as none comes before every
// one that does; two such are equal.
int32_t IntegerSortProc(const TListItem* item1, const TListItem* item2, int32_t data);
int32_t FloatSortProc(const TListItem* item1, const TListItem* item2, int32_t data);
int32_t DateSortProc(const TListItem* item1, const TListItem* item2, int32_t data);
