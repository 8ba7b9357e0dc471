#include "model/RegionScan.h"

#include <algorithm>
#include <numeric>

namespace thorn {
namespace {

// Runs of one row, with the colour of each, and their places in a forest of
// joined runs.
class RunForest {
public:
    uint32_t Find(uint32_t i) {
        while (parent_[i] != i) {
            parent_[i] = parent_[parent_[i]];
            i = parent_[i];
        }
        return i;
    }
    void Join(uint32_t a, uint32_t b) {
        a = Find(a);
        b = Find(b);
        if (a == b) return;
        if (a < b)
            parent_[b] = a;
        else
            parent_[a] = b;
    }
    uint32_t Add() {
        parent_.push_back(static_cast<uint32_t>(parent_.size()));
        return parent_.back();
    }
    size_t Size() const { return parent_.size(); }
    void Reserve(size_t n) { parent_.reserve(n); }

private:
    std::vector<uint32_t> parent_;
};

struct RowRun {
    int32_t x0;
    int32_t x1;
    TColor32 colour;
};

}  // namespace

RegionScan ScanRegions(const TBitmap32& picture, size_t limit) {
    const int32_t width = picture.Width(), height = picture.Height();
    RegionScan scan;
    if (picture.Empty()) return scan;

    // 1. Runs row by row, each joined to the runs of the row above that it
    //    overlaps in the same colour.
    std::vector<PixelRun> runs;
    RunForest forest;
    std::vector<RowRun> above, current;
    size_t aboveFirst = 0;
    for (int32_t y = 0; y < height; ++y) {
        current.clear();
        const TColor32* row = picture.ScanLine(y);
        for (int32_t x = 0; x < width;) {
            const TColor32 c = row[x];
            int32_t end = x + 1;
            while (end < width && row[end] == c) ++end;
            if (c != 0) current.push_back({x, end - 1, c});
            x = end;
        }
        const size_t currentFirst = runs.size();
        for (const RowRun& r : current) {
            runs.push_back({y, r.x0, r.x1});
            forest.Add();
        }
        size_t a = 0, b = 0;
        while (a < above.size() && b < current.size()) {
            const RowRun& up = above[a];
            const RowRun& down = current[b];
            if (up.x0 <= down.x1 && down.x0 <= up.x1 && up.colour == down.colour)
                forest.Join(static_cast<uint32_t>(aboveFirst + a), static_cast<uint32_t>(currentFirst + b));
            if (up.x1 < down.x1)
                ++a;
            else
                ++b;
        }
        std::swap(above, current);
        aboveFirst = currentFirst;
    }

    // 2. One region per tree, numbered in row order, with its box, size and
    //    first pixel by columns.
    std::vector<uint32_t> regionOf(runs.size());
    std::vector<PictureRegion> all;
    std::vector<uint32_t> regionOfRoot(runs.size(), UINT32_MAX);
    for (size_t i = 0; i < runs.size(); ++i) {
        const uint32_t root = forest.Find(static_cast<uint32_t>(i));
        const PixelRun& run = runs[i];
        if (regionOfRoot[root] == UINT32_MAX) {
            regionOfRoot[root] = static_cast<uint32_t>(all.size());
            PictureRegion region;
            region.colour = picture.GetPixel(run.x0, run.y);
            region.left = run.x0;
            region.right = run.x1;
            region.top = region.bottom = run.y;
            region.firstX = run.x0;
            region.firstY = run.y;
            all.push_back(region);
        }
        const uint32_t r = regionOfRoot[root];
        regionOf[i] = r;
        PictureRegion& region = all[r];
        region.left = std::min(region.left, run.x0);
        region.right = std::max(region.right, run.x1);
        region.bottom = run.y;
        region.pixels += static_cast<uint64_t>(run.x1 - run.x0 + 1);
        ++region.runCount;
        if (run.x0 < region.firstX) {  // rows come from the top: the first row of a column wins
            region.firstX = run.x0;
            region.firstY = run.y;
        }
    }
    regionOfRoot = {};
    scan.total = all.size();

    // 3. The first regions by their first pixel by columns.
    std::vector<uint32_t> order(all.size());
    std::iota(order.begin(), order.end(), 0u);
    const size_t kept = std::min(limit, all.size());
    auto byColumns = [&](uint32_t a, uint32_t b) {
        return all[a].firstX != all[b].firstX ? all[a].firstX < all[b].firstX : all[a].firstY < all[b].firstY;
    };
    std::partial_sort(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(kept), order.end(), byColumns);

    // 4. Their runs, grouped by region in that order.
    std::vector<uint32_t> place(all.size(), UINT32_MAX);
    size_t next = 0;
    scan.regions.reserve(kept);
    for (size_t k = 0; k < kept; ++k) {
        PictureRegion region = all[order[k]];
        place[order[k]] = static_cast<uint32_t>(k);
        region.firstRun = next;
        next += region.runCount;
        region.runCount = 0;
        scan.regions.push_back(region);
    }
    scan.runs.resize(next);
    for (size_t i = 0; i < runs.size(); ++i) {
        const uint32_t k = place[regionOf[i]];
        if (k == UINT32_MAX) continue;
        PictureRegion& region = scan.regions[k];
        scan.runs[region.firstRun + region.runCount++] = runs[i];
    }
    return scan;
}

}  // namespace thorn
