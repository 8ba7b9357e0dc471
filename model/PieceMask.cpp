#include "model/PieceMask.h"

#include "platform/Classes.h"
#include "model/TexturedBevel.h"

namespace thorn {

PieceMask& PieceMask::operator=(std::unique_ptr<TBitmap32> bitmap) {
    bitmap_ = std::move(bitmap);
    owed_.reset();
    shape_.reset();
    return *this;
}

void PieceMask::OwePaint(std::shared_ptr<const TileTexels> texels) {
    if (!texels || !texels->Opaque()) throw EInvalidOperation("A paint is owed only from opaque texels");
    owed_ = std::move(texels);
}

std::shared_ptr<const ShapeBits> PieceMask::Shape() const {
    if (!shape_) shape_ = std::make_shared<const ShapeBits>(ShapeOf(*bitmap_));
    return shape_;
}

void PieceMask::Pay() const {
    if (!owed_ || !bitmap_) return;
    // Taken first: the paint reads the bitmap through no way that pays.
    const std::shared_ptr<const TileTexels> texels = std::move(owed_);
    PaintTexturedBevel(*bitmap_, *texels);
}

}  // namespace thorn
