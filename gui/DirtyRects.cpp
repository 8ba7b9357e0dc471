#include "gui/DirtyRects.h"

#include <algorithm>

namespace thorn {

namespace {

constexpr size_t kMaxRects = 16;

bool Contains(const TRect& outer, const TRect& inner) {
    return inner.Left >= outer.Left && inner.Top >= outer.Top && inner.Right <= outer.Right &&
           inner.Bottom <= outer.Bottom;
}

}  // namespace

void AddDirtyRect(std::vector<TRect>& list, const TRect& r) {
    if (r.Right <= r.Left || r.Bottom <= r.Top) return;
    for (const TRect& existing : list)
        if (Contains(existing, r)) return;
    std::erase_if(list, [&](const TRect& existing) { return Contains(r, existing); });
    list.push_back(r);
    if (list.size() > kMaxRects) {
        TRect box = list.front();
        for (const TRect& e : list) {
            box.Left = std::min(box.Left, e.Left);
            box.Top = std::min(box.Top, e.Top);
            box.Right = std::max(box.Right, e.Right);
            box.Bottom = std::max(box.Bottom, e.Bottom);
        }
        list.assign(1, box);
    }
}

}  // namespace thorn
