#include "PixmanPeer.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>

#include "Harness.h"

namespace thorn::bench {
namespace {

constexpr int64_t kOne = 65536;
constexpr double kNearEdge = 0.01;

// One axis of the transform: the step and the offset in 16.16 fixed point.
struct Axis {
    pixman_fixed_t step;
    pixman_fixed_t offset;
};

double Ratio(int32_t src, int32_t dst) { return dst <= 1 ? 0 : static_cast<double>(src - 1) / (dst - 1); }

// pixman places destination pixel k's centre at k * step + (step + 1) / 2 +
// offset and, for nearest, takes the pixel under the point one unit before
// it. Ours takes nearbyint(k * s): find the step and offset that land the
// most of the drawn positions inside the pixel ours takes.
Axis NearestAxis(int32_t src, int32_t dst, int32_t from, int32_t count) {
    if (src == dst || dst <= 1) return {pixman_fixed_1, 0};
    const double s = Ratio(src, dst);
    Axis best{pixman_fixed_1, 0};
    size_t bestCount = 0;
    for (int64_t d = -2; d <= 2; ++d) {
        const int64_t step = std::llround(s * kOne) + d;
        // Each position allows the starts within [lo, hi]; the start inside
        // the most of those ranges wins.
        std::vector<std::pair<int64_t, int>> ends;
        for (int64_t k = from; k < from + count; ++k) {
            const int64_t c = static_cast<int64_t>(std::nearbyint(k * s));
            ends.push_back({c * kOne + 1 - k * step, -1});
            ends.push_back({(c + 1) * kOne - k * step, +1});
        }
        std::sort(ends.begin(), ends.end());
        size_t inside = 0;
        for (size_t i = 0; i < ends.size(); ++i) {
            if (ends[i].second > 0) {
                --inside;
                continue;
            }
            if (++inside > bestCount) {
                bestCount = inside;
                // Midway to where this range set ends.
                const int64_t start = ends[i].first + (ends[i + 1].first - ends[i].first) / 2;
                best = {static_cast<pixman_fixed_t>(step), static_cast<pixman_fixed_t>(start - (step + 1) / 2)};
            }
        }
    }
    return best;
}

// Bilinear and convolution filters centre their samples on the point half
// a pixel before the one pixman places: k * s for pixel k, as ours.
Axis CentredAxis(int32_t src, int32_t dst) {
    if (src == dst || dst <= 1) return {pixman_fixed_1, 0};
    const int64_t step = std::llround(Ratio(src, dst) * kOne);
    return {static_cast<pixman_fixed_t>(step), static_cast<pixman_fixed_t>(kOne / 2 - (step + 1) / 2)};
}

constexpr uint32_t kCoordinateBits = 12;

TColor32 Coordinates(int32_t x, int32_t y) {
    return 0xFF000000u | static_cast<uint32_t>(y) << kCoordinateBits | static_cast<uint32_t>(x);
}

// The differences of one axis, checked: each by one pixel, near an edge.
size_t AxisDifferences(const std::vector<int32_t>& ours, const std::vector<int32_t>& peer, double s, int32_t from,
                       const char* axis) {
    if (ours.size() != peer.size()) throw Disagreement(std::string("different numbers of ") + axis);
    size_t count = 0;
    for (size_t i = 0; i < ours.size(); ++i) {
        if (ours[i] == peer[i]) continue;
        const double position = (from + static_cast<double>(i)) * s;
        const double edge = std::fabs(position - std::floor(position) - 0.5);
        if (std::abs(ours[i] - peer[i]) != 1 || edge > kNearEdge)
            throw Disagreement(std::string(axis) + " " + std::to_string(from + i) + ": source " +
                               std::to_string(ours[i]) + " against " + std::to_string(peer[i]));
        ++count;
    }
    return count;
}

}  // namespace

void MapLikeStretch(pixman_image_t* image, const Stretch& st, pixman_filter_t filter) {
    const int32_t drawnW = st.drawnW ? st.drawnW : st.dstW, drawnH = st.drawnH ? st.drawnH : st.dstH;
    const bool nearest = filter == PIXMAN_FILTER_NEAREST;
    const Axis x = nearest ? NearestAxis(st.srcW, st.dstW, st.drawnX, drawnW) : CentredAxis(st.srcW, st.dstW);
    const Axis y = nearest ? NearestAxis(st.srcH, st.dstH, st.drawnY, drawnH) : CentredAxis(st.srcH, st.dstH);
    pixman_transform_t t{{{x.step, 0, x.offset}, {0, y.step, y.offset}, {0, 0, pixman_fixed_1}}};
    pixman_image_set_transform(image, &t);
    pixman_image_set_filter(image, filter, nullptr, 0);
    pixman_image_set_repeat(image, PIXMAN_REPEAT_PAD);
}

Picks PicksOf(const Stretch& st, const std::function<void(TBitmap32& src, TBitmap32& dst)>& draw) {
    TBitmap32 src, dst;
    src.SetSize(st.srcW, st.srcH);
    for (int32_t y = 0; y < st.srcH; ++y)
        for (int32_t x = 0; x < st.srcW; ++x) src.SetPixel(x, y, Coordinates(x, y));
    dst.SetSize(st.drawnW ? st.drawnW : st.dstW, st.drawnH ? st.drawnH : st.dstH);
    draw(src, dst);
    const uint32_t mask = (1u << kCoordinateBits) - 1;
    Picks picks;
    for (int32_t x = 0; x < dst.Width(); ++x) picks.columns.push_back(static_cast<int32_t>(dst.GetPixel(x, 0) & mask));
    for (int32_t y = 0; y < dst.Height(); ++y)
        picks.rows.push_back(static_cast<int32_t>(dst.GetPixel(0, y) >> kCoordinateBits & mask));
    return picks;
}

std::string SamePicks(const Stretch& st, const Picks& ours, const Picks& peer) {
    const size_t columns = AxisDifferences(ours.columns, peer.columns, Ratio(st.srcW, st.dstW), st.drawnX, "column");
    const size_t rows = AxisDifferences(ours.rows, peer.rows, Ratio(st.srcH, st.dstH), st.drawnY, "row");
    if (columns == 0 && rows == 0) return "same source pixels";
    return "same source pixels but in " + std::to_string(columns) + " of " + std::to_string(ours.columns.size()) +
           " columns and " + std::to_string(rows) + " of " + std::to_string(ours.rows.size()) +
           " rows, each the neighbour across an edge within 0.01 px (16.16 fixed point)";
}

}  // namespace thorn::bench
