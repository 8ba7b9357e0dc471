#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <vector>

#include "bitmap/Pix32.h"
#include "model/ShapeBits.h"
#include "model/TileTexels.h"

namespace thorn {

// The world picture drawn piece by piece, with the parts of each drawing
// that nobody looks at yet put off. An order paints a shape from a tile's
// opaque texels, bevelled, at a place of the world; it is kept per square
// tile of the world it covers, and carried out tile by tile when a part of
// the picture is wanted (in sight, or read). The orders that meet a tile
// are carried out in the order they were given, so the picture is always
// what carrying each out at once would have made. Orders hold their own
// shape and texels: whatever happens to the piece or its mask later
// changes nothing they draw.
class WorldComposer {
public:
    static constexpr int32_t kTileSide = 128;

    WorldComposer();
    ~WorldComposer();
    WorldComposer(const WorldComposer&) = delete;
    WorldComposer& operator=(const WorldComposer&) = delete;

    // Orders the shape painted from the texels (opaque) with its box's
    // top-left corner at `at` of a world of the world's size, after every
    // order before. An earlier order of the same box whose shape lies
    // within this one is dropped: this one covers all it would draw.
    void Order(std::shared_ptr<const ShapeBits> shape, std::shared_ptr<const TileTexels> texels, TPoint at,
               const TBitmap32& world);
    // Drops the orders still waiting of this very shape at this place: the
    // caller is about to draw opaque pixels over all of it.
    void Cancel(const ShapeBits& shape, TPoint at);
    // Carries out, in order, what is ordered for every tile that meets part.
    void Complete(TBitmap32& world, const TRect& part);
    // The same for the tiles where something ordered would draw a pixel of
    // the shape placed at `at`: all that must come before drawing over it.
    void CompleteUnder(TBitmap32& world, const ShapeBits& shape, TPoint at);
    void CompleteAll(TBitmap32& world) { Complete(world, world.BoundsRect()); }
    // Drops every order: the world they were for was cleared or resized.
    void Forget();
    bool Idle() const { return orders_.empty(); }
    // Whether anything waits on a tile that meets part.
    bool Waiting(const TRect& part) const;

private:
    struct PaintOrder;

    // Fits the tiles to the world; orders for a world of another size are
    // dropped (a resized bitmap starts empty).
    void Fit(const TBitmap32& world);
    // Whether the orders are for a world of this size; they are dropped
    // when not.
    bool Fits(const TBitmap32& world);
    // The tiles [first, end) in each direction that meet r.
    TRect TilesOf(const TRect& r) const;
    static size_t TileCount(const TRect& tiles);
    // Carries out, in order, what waits on the chosen tiles of the range
    // (row by row).
    void CompleteTiles(TBitmap32& world, const TRect& tiles, const std::vector<bool>& chosen);
    std::vector<PaintOrder*>& Tile(int32_t column, int32_t row);
    const std::vector<PaintOrder*>& Tile(int32_t column, int32_t row) const;
    // Takes the order off a tile.
    void Withdraw(PaintOrder* order, int32_t column, int32_t row);
    // Lets the orders that wait on no tile go.
    void Retire(std::span<PaintOrder* const> orders);

    TSize worldSize_{0, 0};
    int32_t columns_ = 0, rows_ = 0;
    std::vector<std::vector<PaintOrder*>> tiles_;
    std::map<uint64_t, std::unique_ptr<PaintOrder>> orders_;  // by when they were given
    uint64_t nextSequence_ = 0;
};

}  // namespace thorn
