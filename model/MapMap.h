#pragma once

#include <cstdint>
#include <memory>

// A grid of 32-bit cells, one per pixel of some area: the project's
// piece-index map (the index of the map piece covering each world pixel) and
// the saved pixels of a connection warning. Cell (x, y) is cell x + width*y.
class CMapMap {
public:
    explicit CMapMap(int32_t outside = -1) : outside_(outside) {}
    CMapMap(const CMapMap&) = delete;
    CMapMap& operator=(const CMapMap&) = delete;
    CMapMap(CMapMap&&) noexcept = default;
    CMapMap& operator=(CMapMap&&) noexcept = default;

    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    int32_t OutsideValue() const { return outside_; }
    bool HasCells() const { return cells_ != nullptr; }

    // The cell, or the outside value when the grid has no cells or (x, y)
    // lies outside it.
    int32_t Get(int32_t x, int32_t y) const {
        if (!Inside(x, y)) return outside_;
        return cells_[Index(x, y)];
    }
    // Writes a cell; nothing outside the grid.
    void Set(int32_t x, int32_t y, int32_t value) {
        if (Inside(x, y)) cells_[Index(x, y)] = value;
    }
    // Row y, width cells; only for 0 <= y < height.
    int32_t* Row(int32_t y) { return cells_.get() + static_cast<int64_t>(y) * width_; }
    const int32_t* Row(int32_t y) const { return cells_.get() + static_cast<int64_t>(y) * width_; }

    // Drops the old cells and makes width*height new ones, each -1. A side
    // of 0 or less leaves the grid without cells.
    void Resize(int32_t width, int32_t height);
    // Drops every cell.
    void Free();

private:
    bool Inside(int32_t x, int32_t y) const { return cells_ && x >= 0 && y >= 0 && x < width_ && y < height_; }
    int64_t Index(int32_t x, int32_t y) const { return x + static_cast<int64_t>(width_) * y; }

    std::unique_ptr<int32_t[]> cells_;
    int32_t width_ = 0;
    int32_t height_ = 0;
    int32_t outside_;
};
