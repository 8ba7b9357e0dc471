#pragma once

#include <span>
#include <vector>

#include "platform/Types.h"

// Where the tabs of a tab control stand: in one row, or (multiLine) in as
// many rows as their widths need, each row then stretched to the full
// width, and the row of the selected tab moved next to the page, the others
// keeping their turn above it. A single row that is too long starts at
// firstShown; tabs before it get empty rectangles.
namespace thorn {

struct TabRows {
    std::vector<TRect> tabs;  // by the index given, (0, 0) at the first row's top-left
    int rowCount = 0;
    bool overflows = false;   // one row and the tabs do not all fit
};

TabRows LayoutTabRows(std::span<const int> widths, int rowWidth, int tabHeight, bool multiLine, int selected,
                      int firstShown = 0);

// The first tab a single row can start at and still show its last tab.
int LastFirstTab(std::span<const int> widths, int rowWidth);

}  // namespace thorn
