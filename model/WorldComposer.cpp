#include "model/WorldComposer.h"

#include <algorithm>
#include <span>

#include "model/TexturedBevel.h"

namespace thorn {

struct WorldComposer::PaintOrder {
    uint64_t sequence = 0;
    std::shared_ptr<const ShapeBits> shape;
    std::shared_ptr<const TileTexels> texels;
    TPoint at;
    int32_t waiting = 0;  // tiles
};

WorldComposer::WorldComposer() = default;
WorldComposer::~WorldComposer() = default;

void WorldComposer::Fit(const TBitmap32& world) {
    const TSize size{world.Width(), world.Height()};
    if (size == worldSize_) return;
    Forget();
    worldSize_ = size;
    columns_ = (size.cx + kTileSide - 1) / kTileSide;
    rows_ = (size.cy + kTileSide - 1) / kTileSide;
    tiles_.assign(static_cast<size_t>(columns_) * static_cast<size_t>(rows_), {});
}

void WorldComposer::Forget() {
    orders_.clear();
    for (std::vector<PaintOrder*>& tile : tiles_) tile.clear();
}

TRect WorldComposer::TilesOf(const TRect& r) const {
    TRect inside;
    if (!IntersectRect(inside, r, {0, 0, worldSize_.cx, worldSize_.cy}) || IsRectEmpty(inside)) return {};
    return {inside.Left / kTileSide, inside.Top / kTileSide, (inside.Right - 1) / kTileSide + 1,
            (inside.Bottom - 1) / kTileSide + 1};
}

std::vector<WorldComposer::PaintOrder*>& WorldComposer::Tile(int32_t column, int32_t row) {
    return tiles_[static_cast<size_t>(row) * static_cast<size_t>(columns_) + static_cast<size_t>(column)];
}

const std::vector<WorldComposer::PaintOrder*>& WorldComposer::Tile(int32_t column, int32_t row) const {
    return tiles_[static_cast<size_t>(row) * static_cast<size_t>(columns_) + static_cast<size_t>(column)];
}

bool WorldComposer::Waiting(const TRect& part) const {
    if (orders_.empty()) return false;
    const TRect tiles = TilesOf(part);
    for (int32_t row = tiles.Top; row < tiles.Bottom; ++row)
        for (int32_t column = tiles.Left; column < tiles.Right; ++column)
            if (!Tile(column, row).empty()) return true;
    return false;
}

void WorldComposer::Withdraw(PaintOrder* order, int32_t column, int32_t row) {
    std::vector<PaintOrder*>& tile = Tile(column, row);
    tile.erase(std::find(tile.begin(), tile.end(), order));
    --order->waiting;
}

void WorldComposer::Retire(std::span<PaintOrder* const> orders) {
    for (PaintOrder* order : orders)
        if (order->waiting == 0) orders_.erase(order->sequence);
}

void WorldComposer::Order(std::shared_ptr<const ShapeBits> shape, std::shared_ptr<const TileTexels> texels, TPoint at,
                          const TBitmap32& world) {
    Fit(world);
    const TRect tiles = TilesOf({at.X, at.Y, at.X + shape->Width(), at.Y + shape->Height()});
    if (IsRectEmpty(tiles)) return;
    auto order = std::make_unique<PaintOrder>();
    order->sequence = nextSequence_++;
    order->at = at;
    // Earlier orders this one covers, each judged once; taken off their
    // tiles after the walk, so that none goes while it is looked at.
    std::map<const PaintOrder*, bool> covered;
    std::vector<std::pair<PaintOrder*, TPoint>> dropped;
    for (int32_t row = tiles.Top; row < tiles.Bottom; ++row)
        for (int32_t column = tiles.Left; column < tiles.Right; ++column) {
            for (PaintOrder* earlier : Tile(column, row)) {
                auto [judged, fresh] = covered.try_emplace(earlier, false);
                if (fresh)
                    judged->second = earlier->at == at && (earlier->shape == shape || earlier->shape->Within(*shape));
                if (judged->second) dropped.push_back({earlier, {column, row}});
            }
        }
    std::vector<PaintOrder*> touched;
    for (const auto& [earlier, tile] : dropped) {
        Withdraw(earlier, tile.X, tile.Y);
        touched.push_back(earlier);
    }
    std::sort(touched.begin(), touched.end());
    touched.erase(std::unique(touched.begin(), touched.end()), touched.end());
    Retire(touched);
    order->shape = std::move(shape);
    order->texels = std::move(texels);
    for (int32_t row = tiles.Top; row < tiles.Bottom; ++row)
        for (int32_t column = tiles.Left; column < tiles.Right; ++column) {
            Tile(column, row).push_back(order.get());
            ++order->waiting;
        }
    const uint64_t sequence = order->sequence;
    orders_.emplace(sequence, std::move(order));
}

void WorldComposer::Cancel(const ShapeBits& shape, TPoint at) {
    std::vector<PaintOrder*> cancelled;
    for (const auto& [sequence, order] : orders_)
        if (order->shape.get() == &shape && order->at == at) cancelled.push_back(order.get());
    if (cancelled.empty()) return;
    const TRect tiles = TilesOf({at.X, at.Y, at.X + shape.Width(), at.Y + shape.Height()});
    for (PaintOrder* order : cancelled)
        for (int32_t row = tiles.Top; row < tiles.Bottom; ++row)
            for (int32_t column = tiles.Left; column < tiles.Right; ++column) {
                const std::vector<PaintOrder*>& tile = Tile(column, row);
                if (std::find(tile.begin(), tile.end(), order) != tile.end()) Withdraw(order, column, row);
            }
    Retire(cancelled);
}

void WorldComposer::Complete(TBitmap32& world, const TRect& part) {
    if (orders_.empty() || !Fits(world)) return;
    const TRect tiles = TilesOf(part);
    CompleteTiles(world, tiles, std::vector<bool>(TileCount(tiles), true));
}

void WorldComposer::CompleteUnder(TBitmap32& world, const ShapeBits& shape, TPoint at) {
    if (orders_.empty() || !Fits(world)) return;
    // A tile none of whose orders draws a pixel of the shape may wait: what
    // is drawn over the shape and what they draw do not meet.
    const TRect tiles = TilesOf({at.X, at.Y, at.X + shape.Width(), at.Y + shape.Height()});
    std::vector<bool> chosen(TileCount(tiles), false);
    size_t i = 0;
    for (int32_t row = tiles.Top; row < tiles.Bottom; ++row)
        for (int32_t column = tiles.Left; column < tiles.Right; ++column, ++i)
            for (const PaintOrder* order : Tile(column, row)) {
                const TRect tile{column * kTileSide - order->at.X, row * kTileSide - order->at.Y,
                                 (column + 1) * kTileSide - order->at.X, (row + 1) * kTileSide - order->at.Y};
                if (order->shape->Meets(shape, {at.X - order->at.X, at.Y - order->at.Y}, tile)) {
                    chosen[i] = true;
                    break;
                }
            }
    CompleteTiles(world, tiles, chosen);
}

bool WorldComposer::Fits(const TBitmap32& world) {
    if (TSize{world.Width(), world.Height()} == worldSize_) return true;
    // Resized behind the orders' back: the bitmap starts empty again.
    Fit(world);
    return false;
}

size_t WorldComposer::TileCount(const TRect& tiles) {
    return IsRectEmpty(tiles) ? 0 : static_cast<size_t>(tiles.Width()) * static_cast<size_t>(tiles.Height());
}

void WorldComposer::CompleteTiles(TBitmap32& world, const TRect& tiles, const std::vector<bool>& chosen) {
    if (IsRectEmpty(tiles)) return;
    auto index = [&](int32_t column, int32_t row) {
        return static_cast<size_t>(row - tiles.Top) * static_cast<size_t>(tiles.Width()) +
               static_cast<size_t>(column - tiles.Left);
    };
    std::vector<PaintOrder*> due;
    for (int32_t row = tiles.Top; row < tiles.Bottom; ++row)
        for (int32_t column = tiles.Left; column < tiles.Right; ++column)
            if (chosen[index(column, row)])
                due.insert(due.end(), Tile(column, row).begin(), Tile(column, row).end());
    std::sort(due.begin(), due.end(), [](const PaintOrder* a, const PaintOrder* b) { return a->sequence < b->sequence; });
    due.erase(std::unique(due.begin(), due.end()), due.end());

    auto waits = [&](PaintOrder* order, int32_t column, int32_t row) {
        if (!chosen[index(column, row)]) return false;
        const std::vector<PaintOrder*>& tile = Tile(column, row);
        return std::find(tile.begin(), tile.end(), order) != tile.end();
    };
    for (PaintOrder* order : due) {
        // Each run of neighbouring tiles of a row in one pass.
        std::vector<TPoint> done;
        for (int32_t row = tiles.Top; row < tiles.Bottom; ++row)
            for (int32_t column = tiles.Left; column < tiles.Right;) {
                if (!waits(order, column, row)) {
                    ++column;
                    continue;
                }
                const int32_t first = column;
                for (; column < tiles.Right && waits(order, column, row); ++column) done.push_back({column, row});
                DrawTexturedBevel(*order->shape, *order->texels, world, order->at,
                                  {first * kTileSide, row * kTileSide, column * kTileSide, (row + 1) * kTileSide});
            }
        for (const TPoint& tile : done) Withdraw(order, tile.X, tile.Y);
    }
    Retire(due);
}

}  // namespace thorn
