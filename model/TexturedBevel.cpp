#include "model/TexturedBevel.h"

#include <algorithm>
#include <cstring>
#include <span>

#include "model/BevelRules.h"

namespace thorn {
namespace {

// The texels of one row of the tile from column x on, a repeated row's run
// at a time, so that the texel index needs no division: fn(first texel, i,
// n) covers the n pixels from i.
template <typename Fn>
void ForTexelRuns(const TileTexels& texels, int32_t y, int32_t x, int32_t count, const Fn& fn) {
    const int32_t run = texels.Run();
    const TColor32* row = texels.Row(y);
    int32_t j = x % texels.Side();
    for (int32_t i = 0; i < count; j = 0) {
        const int32_t n = std::min(run - j, count - i);
        fn(row + j, i, n);
        i += n;
    }
}

// The n pixels of a row of the mask that are set take their texels, the
// others 0, into colours; answers how many were set.
uint32_t TextureRun(const TColor32* __restrict mask, const TColor32* __restrict texels, TColor32* __restrict colours,
                    int32_t n) {
    uint32_t set = 0;
    for (int32_t k = 0; k < n; ++k) {
        const TColor32 on = mask[k] != 0;
        set += on;
        colours[k] = texels[k] & (0u - on);
    }
    return set;
}

// The n pixels of a shape's row given one byte a pixel (0 or 1) take their
// texels, the others 0, into colours.
void TextureRun(const uint8_t* __restrict on, const TColor32* __restrict texels, TColor32* __restrict colours,
                int32_t n) {
    for (int32_t k = 0; k < n; ++k) colours[k] = texels[k] & (0u - on[k]);
}

// A rim pixel of the row being emitted and its bevelled colour.
struct RimPixel {
    int32_t x;
    TColor32 colour;
};

// Rows [first, last) of a w x h shape, textured from a tile and bevelled,
// over the columns [left, right). Each row is textured two rows ahead of
// the one bevelled, into a ring of five rows with two empty columns on
// either side, so that the rules read the textured colours, never what was
// written out; only the rim points (those whose 5 x 5 pixels are not all
// set) are bevelled, every other point keeps its texel. The loops work on
// locals only: a byte written may alias any member.
class BevelPass {
public:
    static constexpr int32_t kReach = 2;
    static constexpr int32_t kRows = 2 * kReach + 1;

    BevelPass(int32_t width, int32_t height, int32_t left, int32_t right)
        : width_(width),
          height_(height),
          left_(left),
          count_(right - left),
          stride_(static_cast<size_t>(count_) + 2 * kReach),
          colours_(kRows * stride_),
          set_(kRows * stride_),
          solid_(stride_),
          rim_(static_cast<size_t>(count_) + 8, 0) {}

    // texture(y, x0, x1, colours) writes the textured pixels [x0, x1) of
    // row y to colours[0 .. x1 - x0), 0 where the shape has none;
    // emit(y, colours, set, rim) takes row y's textured columns [left,
    // right), whether each is set, and its rim pixels, bevelled, which
    // replace their texels.
    template <typename Texture, typename Emit>
    void Run(int32_t first, int32_t last, const Texture& texture, const Emit& emit) {
        for (int32_t y = first - kReach; y < first + kReach; ++y) Fill(y, texture);
        for (int32_t y = first; y < last; ++y) {
            Fill(y + kReach, texture);
            Bevel(y);
            emit(y, ColourRow(y) + kReach, SetRow(y) + kReach, std::span<const RimPixel>(rimPixels_));
        }
    }

private:
    size_t Slot(int32_t y) const { return static_cast<size_t>(((y % kRows) + kRows) % kRows) * stride_; }
    TColor32* ColourRow(int32_t y) { return colours_.data() + Slot(y); }
    uint8_t* SetRow(int32_t y) { return set_.data() + Slot(y); }

    // Row y into the ring: window column i holds column left - 2 + i.
    template <typename Texture>
    void Fill(int32_t y, const Texture& texture) {
        TColor32* __restrict colours = ColourRow(y);
        uint8_t* __restrict set = SetRow(y);
        const size_t stride = stride_;
        const int32_t x0 = std::max(0, left_ - kReach), x1 = std::min(width_, left_ + count_ + kReach);
        if (y < 0 || y >= height_ || x1 <= x0) {
            std::fill_n(colours, stride, 0);
            std::fill_n(set, stride, 0);
            return;
        }
        // The window's columns outside the box stay empty.
        const size_t from = static_cast<size_t>(x0 - (left_ - kReach)), to = from + static_cast<size_t>(x1 - x0);
        std::fill(colours, colours + from, 0);
        std::fill(colours + to, colours + stride, 0);
        texture(y, x0, x1, colours + from);
        for (size_t i = 0; i < stride; ++i) set[i] = colours[i] != 0;
    }

    // Row y's rim pixels, bevelled, into rimPixels_.
    void Bevel(int32_t y) {
        const TColor32* rows[kRows];
        const uint8_t* sets[kRows];
        for (int32_t k = 0; k < kRows; ++k) {
            rows[k] = ColourRow(y - kReach + k);
            sets[k] = SetRow(y - kReach + k);
        }
        const int32_t count = count_;
        MarkRim(sets, stride_, count, solid_.data(), rim_.data());
        rimPixels_.clear();
        const uint8_t* rim = rim_.data();
        for (int32_t x = 0; x < count; x += 8) {
            uint64_t eight;
            std::memcpy(&eight, rim + x, sizeof eight);
            if (eight == 0) continue;  // eight points that keep their texels
            for (int32_t k = x; k < std::min(x + 8, count); ++k)
                if (rim[k])
                    rimPixels_.push_back({k, BevelledColour([&](int32_t dx, int32_t dy) {
                                              return rows[kReach + dy][k + kReach + dx];
                                          })});
        }
    }

    // rim[x] for the points of the middle row that the rules may change:
    // set, with a 5 x 5 neighbourhood not wholly set. solid[i] is whether
    // the five rows are all set in window column i.
    static void MarkRim(const uint8_t* const (&sets)[kRows], size_t stride, int32_t count, uint8_t* __restrict solid,
                        uint8_t* __restrict rim) {
        const uint8_t *__restrict s0 = sets[0], *__restrict s1 = sets[1], *__restrict s2 = sets[2],
                                  *__restrict s3 = sets[3], *__restrict s4 = sets[4];
        for (size_t i = 0; i < stride; ++i) solid[i] = s0[i] & s1[i] & s2[i] & s3[i] & s4[i];
        const uint8_t* __restrict middle = s2 + kReach;
        for (int32_t x = 0; x < count; ++x)
            rim[x] = middle[x] & (1 ^ (solid[x] & solid[x + 1] & solid[x + 2] & solid[x + 3] & solid[x + 4]));
    }

    const int32_t width_, height_;
    const int32_t left_, count_;
    const size_t stride_;
    std::vector<TColor32> colours_;
    std::vector<uint8_t> set_;
    std::vector<uint8_t> solid_;
    std::vector<uint8_t> rim_;  // eight bytes past the row stay 0
    std::vector<RimPixel> rimPixels_;
};

}  // namespace

uint32_t PaintTexturedBevel(TBitmap32& mask, const TileTexels& texels) {
    if (mask.Empty()) return 0;
    const int32_t width = mask.Width();
    BevelPass pass(width, mask.Height(), 0, width);
    // Every row is textured once, and row y is written out only after rows
    // y + 1 and y + 2 were read.
    uint32_t count = 0;
    pass.Run(
        0, mask.Height(),
        [&](int32_t y, int32_t x0, int32_t x1, TColor32* colours) {
            const TColor32* row = mask.ScanLine(y) + x0;
            ForTexelRuns(texels, y, x0, x1 - x0, [&](const TColor32* from, int32_t i, int32_t n) {
                count += TextureRun(row + i, from, colours + i, n);
            });
        },
        [&](int32_t y, const TColor32* colours, const uint8_t*, std::span<const RimPixel> rim) {
            TColor32* row = mask.ScanLine(y);
            std::copy_n(colours, width, row);
            for (const RimPixel& p : rim) row[p.x] = p.colour;
        });
    mask.Changed();
    return count;
}

void DrawTexturedBevel(const ShapeBits& shape, const TileTexels& texels, TBitmap32& target, TPoint at,
                       const TRect& part) {
    TRect box{at.X, at.Y, at.X + shape.Width(), at.Y + shape.Height()};
    TRect inside;
    if (!IntersectRect(inside, box, part) || !IntersectRect(inside, inside, target.BoundsRect())) return;
    const int32_t left = inside.Left - at.X, right = inside.Right - at.X;
    BevelPass pass(shape.Width(), shape.Height(), left, right);
    std::vector<uint8_t> on(static_cast<size_t>(right - left) + 2 * BevelPass::kReach);
    const int32_t count = right - left;
    pass.Run(
        inside.Top - at.Y, inside.Bottom - at.Y,
        [&](int32_t y, int32_t x0, int32_t x1, TColor32* colours) {
            shape.GetRow(y, x0, x1, on.data());
            ForTexelRuns(texels, y, x0, x1 - x0, [&](const TColor32* from, int32_t i, int32_t n) {
                TextureRun(on.data() + i, from, colours + i, n);
            });
        },
        [&](int32_t y, const TColor32* __restrict colours, const uint8_t* __restrict set, std::span<const RimPixel> rim) {
            TColor32* __restrict row = target.PixelPtr(inside.Left, at.Y + y);
            for (int32_t x = 0; x < count; ++x) {
                const TColor32 keep = set[x] - 1u;  // all ones where the shape has no pixel
                row[x] = (colours[x] & ~keep) | (row[x] & keep);
            }
            for (const RimPixel& p : rim) row[p.x] = p.colour;
        });
}

}  // namespace thorn
