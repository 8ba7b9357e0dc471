#include "gui/WindowPlacing.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace thorn {

namespace {

bool Overlap(const TRect& a, const TRect& b) {
    return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

bool Contains(const TRect& outer, const TRect& r) {
    return r.Left >= outer.Left && r.Top >= outer.Top && r.Right <= outer.Right && r.Bottom <= outer.Bottom;
}

// The first frame of the given size at one of the places, in their order,
// that lies in the work area and meets none of the frames to keep clear of.
std::optional<TRect> FirstFree(TSize size, std::span<const TPoint> places, std::span<const TRect> clear,
                               const TRect& workArea) {
    for (TPoint p : places) {
        const TRect r{p.X, p.Y, p.X + size.cx, p.Y + size.cy};
        if (Contains(workArea, r) && std::none_of(clear.begin(), clear.end(), [&](const TRect& c) {
                return Overlap(r, c);
            }))
            return r;
    }
    return std::nullopt;
}

// Every place with one of the lefts and one of the tops, left by left.
std::vector<TPoint> Places(std::span<const int> lefts, std::vector<int> tops) {
    std::sort(tops.begin(), tops.end());
    std::vector<TPoint> places;
    for (int x : lefts)
        for (int y : tops) places.push_back({x, y});
    return places;
}

}  // namespace

TRect FramedRect(const TRect& inside, FrameEdges frame) {
    return {inside.Left - frame.Left, inside.Top - frame.Top, inside.Right + frame.Right,
            inside.Bottom + frame.Bottom};
}

TRect InsideOfFrame(const TRect& framed, FrameEdges frame) {
    return {framed.Left + frame.Left, framed.Top + frame.Top, framed.Right - frame.Right,
            framed.Bottom - frame.Bottom};
}

bool WhollyInside(const TRect& inside, FrameEdges frame, const TRect& workArea) {
    return Contains(workArea, FramedRect(inside, frame));
}

TRect PlaceInside(const TRect& inside, FrameEdges frame, const TRect& workArea) {
    TRect framed = FramedRect(inside, frame);
    const int width = std::max(1, std::min(framed.Width(), workArea.Width()));
    const int height = std::max(1, std::min(framed.Height(), workArea.Height()));
    // Pushed back from the right and bottom first, then from the left and
    // top, so that those win.
    const int left = std::max(workArea.Left, std::min(framed.Left, workArea.Right - width));
    const int top = std::max(workArea.Top, std::min(framed.Top, workArea.Bottom - height));
    framed = {left, top, left + width, top + height};
    TRect placed = InsideOfFrame(framed, frame);
    // A frame wider than the work area leaves an inside of at least a pixel.
    placed.Right = std::max(placed.Right, placed.Left + 1);
    placed.Bottom = std::max(placed.Bottom, placed.Top + 1);
    return placed;
}

TRect PlaceBeside(TSize inside, FrameEdges frame, const MainWindowPlace& main, std::span<const TRect> taken,
                  const TRect& workArea) {
    const TSize size{inside.cx + frame.Left + frame.Right, inside.cy + frame.Top + frame.Bottom};
    const TRect& m = main.frame;
    std::vector<int> belowTaken;
    for (const TRect& t : taken) belowTaken.push_back(t.Bottom);

    // Beside the main window, clear of it and of the others.
    std::vector<TRect> clear(taken.begin(), taken.end());
    clear.push_back(m);
    std::vector<int> tops = belowTaken;
    tops.push_back(std::max(m.Top, workArea.Top));
    const int besideLefts[] = {m.Right, m.Left - size.cx};
    if (auto r = FirstFree(size, Places(besideLefts, tops), clear, workArea)) return InsideOfFrame(*r, frame);

    // Over the main window at the work area's right, below its bars: the
    // rows below them, and the columns left of the others placed there.
    const int barsBottom = std::max(main.barsBottom, workArea.Top);
    tops = {barsBottom};
    for (int y : belowTaken)
        if (y >= barsBottom) tops.push_back(y);
    std::vector<int> lefts{workArea.Right - size.cx};
    for (const TRect& t : taken) lefts.push_back(t.Left - size.cx);
    std::vector<TPoint> overMain = Places(lefts, tops);
    if (auto r = FirstFree(size, overMain, taken, workArea)) return InsideOfFrame(*r, frame);

    // No free room: below the bars at the right, as far as the work area
    // holds it.
    const TRect last{workArea.Right - size.cx, barsBottom, workArea.Right, barsBottom + size.cy};
    return PlaceInside(InsideOfFrame(last, frame), frame, workArea);
}

}  // namespace thorn
