#include "gui/TabRows.h"

#include <algorithm>

namespace thorn {

TabRows LayoutTabRows(std::span<const int> widths, int rowWidth, int tabHeight, bool multiLine, int selected,
                      int firstShown) {
    TabRows result;
    result.tabs.assign(widths.size(), TRect{});
    if (widths.empty()) return result;
    if (!multiLine) {
        int total = 0;
        for (int w : widths) total += w;
        result.overflows = total > rowWidth;
        firstShown = result.overflows ? std::clamp(firstShown, 0, static_cast<int>(widths.size()) - 1) : 0;
        int x = 0;
        for (size_t i = static_cast<size_t>(firstShown); i < widths.size(); ++i) {
            result.tabs[i] = {x, 0, x + widths[i], tabHeight};
            x += widths[i];
        }
        result.rowCount = 1;
        return result;
    }
    // Fill rows left to right; a tab that does not fit opens the next row.
    std::vector<std::vector<size_t>> rows(1);
    int x = 0;
    for (size_t i = 0; i < widths.size(); ++i) {
        if (!rows.back().empty() && x + widths[i] > rowWidth) {
            rows.emplace_back();
            x = 0;
        }
        rows.back().push_back(i);
        x += widths[i];
    }
    result.rowCount = static_cast<int>(rows.size());
    int n = result.rowCount;
    int selectedRow = n - 1;
    for (int r = 0; r < n; ++r)
        if (std::find(rows[r].begin(), rows[r].end(), static_cast<size_t>(selected)) != rows[r].end()) selectedRow = r;
    for (int r = 0; r < n; ++r) {
        const std::vector<size_t>& row = rows[r];
        int used = 0;
        for (size_t i : row) used += widths[i];
        // Several rows are stretched to the full width, the room shared out.
        int extra = n > 1 ? std::max(0, rowWidth - used) : 0;
        int count = static_cast<int>(row.size());
        int y = ((r - selectedRow - 1 + n) % n) * tabHeight;
        int left = 0;
        for (int k = 0; k < count; ++k) {
            int width = widths[row[k]] + extra / count + (k < extra % count ? 1 : 0);
            result.tabs[row[k]] = {left, y, left + width, y + tabHeight};
            left += width;
        }
    }
    return result;
}

int LastFirstTab(std::span<const int> widths, int rowWidth) {
    int total = 0;
    for (size_t i = widths.size(); i-- > 0;) {
        total += widths[i];
        if (total > rowWidth) return static_cast<int>(std::min(i + 1, widths.size() - 1));
    }
    return 0;
}

}  // namespace thorn
