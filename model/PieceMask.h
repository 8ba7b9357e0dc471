#pragma once

#include <memory>

#include "bitmap/Pix32.h"
#include "model/ShapeBits.h"
#include "model/TileTexels.h"

namespace thorn {

// The mask bitmap of a map piece, which may owe its paint: a province piece
// repainted in a hurry (many at once) keeps its shape, its pixels that are
// not 0, and is textured and bevelled only when something looks at it.
// Every way to the bitmap pays that debt first, so no reader ever sees the
// colours before it; a way that may change the bitmap (not const) also
// forgets the shape learnt from it.
class PieceMask {
public:
    explicit PieceMask(std::unique_ptr<TBitmap32> bitmap) : bitmap_(std::move(bitmap)) {}
    PieceMask(const PieceMask&) = delete;
    PieceMask& operator=(const PieceMask&) = delete;
    // Takes another bitmap; whatever the old one owed goes with it.
    PieceMask& operator=(std::unique_ptr<TBitmap32> bitmap);

    TBitmap32* get() {
        Changing();
        return bitmap_.get();
    }
    const TBitmap32* get() const {
        Pay();
        return bitmap_.get();
    }
    TBitmap32* operator->() { return get(); }
    const TBitmap32* operator->() const { return get(); }
    TBitmap32& operator*() { return *get(); }
    const TBitmap32& operator*() const { return *get(); }
    explicit operator bool() const { return bitmap_ != nullptr; }

    // The bitmap as it is, for its size, its draw mode and its shape: its
    // colours may still be owed.
    const TBitmap32& AsIs() const { return *bitmap_; }
    // The set pixels are to be textured from the texels and bevelled
    // (PaintTexturedBevel) when the mask is next looked at, instead of
    // whatever paint was owed before. The texels are opaque: the shape
    // stays as it is.
    void OwePaint(std::shared_ptr<const TileTexels> texels);
    bool OwesPaint() const { return owed_ != nullptr; }
    // The mask's shape, learnt once and kept while the bitmap is only read.
    std::shared_ptr<const ShapeBits> Shape() const;

private:
    void Pay() const;
    void Changing() {
        Pay();
        shape_.reset();
    }

    std::unique_ptr<TBitmap32> bitmap_;
    mutable std::shared_ptr<const TileTexels> owed_;
    mutable std::shared_ptr<const ShapeBits> shape_;
};

}  // namespace thorn
