#pragma once

#include <pixman.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "bitmap/Pix32.h"

// pixman as a peer: its images over our bitmaps' pixels, and transforms that
// make it sample the source pixels our stretching samples.
namespace thorn::bench {

// A pixman image over a bitmap's pixels (no copy), released with it.
class PixmanImage {
public:
    explicit PixmanImage(TBitmap32& b)
        : image_(pixman_image_create_bits(PIXMAN_a8r8g8b8, b.Width(), b.Height(), b.Bits(), b.Width() * 4)) {}
    ~PixmanImage() { pixman_image_unref(image_); }
    PixmanImage(const PixmanImage&) = delete;
    PixmanImage& operator=(const PixmanImage&) = delete;
    pixman_image_t* get() const { return image_; }

private:
    pixman_image_t* image_;
};

// A solid mask of the given alpha (0..255), released with it.
class PixmanAlpha {
public:
    explicit PixmanAlpha(uint32_t alpha) {
        const pixman_color_t colour{0, 0, 0, static_cast<uint16_t>(alpha * 257)};
        image_ = pixman_image_create_solid_fill(&colour);
    }
    ~PixmanAlpha() { pixman_image_unref(image_); }
    PixmanAlpha(const PixmanAlpha&) = delete;
    PixmanAlpha& operator=(const PixmanAlpha&) = delete;
    pixman_image_t* get() const { return image_; }

private:
    pixman_image_t* image_;
};

// A stretch as our StretchTransfer maps it: srcW x srcH onto dstW x dstH,
// the centres of the first and last pixels of each axis onto each other,
// of which the pixels from (drawnX, drawnY) on are composited. Leave drawnW
// and drawnH at 0 for the whole destination.
struct Stretch {
    int32_t srcW, srcH, dstW, dstH;
    int32_t drawnX = 0, drawnY = 0, drawnW = 0, drawnH = 0;
};

// Sets a source image's transform and filter so that pixman, compositing
// with the source offset (drawnX, drawnY), samples where ours does. With
// PIXMAN_FILTER_NEAREST it picks the pixel ours picks wherever 16.16 fixed
// point can follow our mapping (all but a few positions lying within a
// hundredth of a pixel of the edge between two pixels); with
// PIXMAN_FILTER_BILINEAR (or a convolution set afterwards) its samples are
// centred where ours are.
void MapLikeStretch(pixman_image_t* image, const Stretch& stretch, pixman_filter_t filter);

// The source column and row each destination column and row took.
struct Picks {
    std::vector<int32_t> columns, rows;
};

// Draws a picture of the stretch's source size whose pixels hold their own
// coordinates with `draw` (into a destination of the drawn size) and reads
// back which source pixel each destination pixel took.
Picks PicksOf(const Stretch& stretch, const std::function<void(TBitmap32& src, TBitmap32& dst)>& draw);

// "same source pixels", or how many columns and rows differ, each by one
// pixel at a position that lies within a hundredth of a pixel of the edge
// between the two; throws Disagreement on any other difference.
std::string SamePicks(const Stretch& stretch, const Picks& ours, const Picks& peer);

}  // namespace thorn::bench
