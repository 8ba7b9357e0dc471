#include "model/MapMap.h"

#include <algorithm>

void CMapMap::Resize(int32_t width, int32_t height) {
    // Cells of the same size are only refilled.
    if (cells_ && width == width_ && height == height_) {
        std::fill_n(cells_.get(), static_cast<int64_t>(width) * height, -1);
        return;
    }
    Free();
    if (width <= 0 || height <= 0) return;
    const int64_t count = static_cast<int64_t>(width) * height;
    cells_ = std::make_unique_for_overwrite<int32_t[]>(static_cast<size_t>(count));
    std::fill_n(cells_.get(), count, -1);
    width_ = width;
    height_ = height;
}

void CMapMap::Free() {
    cells_.reset();
    width_ = 0;
    height_ = 0;
}
