#include "model/BitmapHelpers.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "bitmap/Pix32_Blend.h"
#include "bitmap/Pix32_Transfer.h"
#include "model/BevelRules.h"
#include "model/TexturedBevel.h"
#include "model/Textures.h"

TColor32 ColorToColor32(TColor color) {
    const uint32_t c = static_cast<uint32_t>(color);
    return 0xFF000000u | (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
}

void ReplaceColor(TBitmap32& bitmap, TColor32 from, TColor32 to) {
    if (bitmap.Empty()) return;
    std::replace(bitmap.Bits(), bitmap.Bits() + static_cast<int64_t>(bitmap.Width()) * bitmap.Height(), from, to);
    bitmap.Changed();
}

int ResizeBitmap(TBitmap32& bitmap, uint16_t width, uint16_t height) {
    TBitmap32 copy;
    copy.Assign(bitmap);
    bitmap.SetSize(width, height);
    if (!bitmap.Empty() && !copy.Empty())
        StretchTransfer(&bitmap, bitmap.BoundsRect(), bitmap.BoundsRect(), &copy, copy.BoundsRect(), sfNearest,
                        dmOpaque);
    bitmap.Changed();
    return 1;
}

void CropBitmap(TBitmap32& bitmap, uint16_t left, uint16_t top, uint16_t right, uint16_t bottom) {
    const int32_t width = right >= left ? right - left + 1 : 0;
    const int32_t height = bottom >= top ? bottom - top + 1 : 0;
    TBitmap32 part;
    part.SetSize(width, height);
    const int32_t x0 = left, x1 = std::min<int32_t>(right, bitmap.Width() - 1);
    for (int32_t y = top; y <= bottom && y < bitmap.Height(); ++y)
        if (x1 >= x0) std::copy(bitmap.PixelPtr(x0, y), bitmap.PixelPtr(x1, y) + 1, part.PixelPtr(0, y - top));
    bitmap.SetSize(width, height);
    if (!bitmap.Empty()) std::copy(part.Bits(), part.Bits() + static_cast<int64_t>(width) * height, bitmap.Bits());
    bitmap.Changed();
}

namespace {

// Every set pixel of a run becomes colour; written without a branch, so
// that the compiler turns it into vector code.
uint32_t FillRunWith(TColor32* run, int64_t count, TColor32 colour) {
    uint32_t set = 0;
    for (int64_t i = 0; i < count; ++i) {
        const bool on = run[i] != 0;
        set += on;
        run[i] = on ? colour : 0;
    }
    return set;
}

// One row of the texture fill: row[x] set becomes texels[x mod side].
// Taken a tile at a time, so that the texel index needs no division.
uint32_t FillRowFromTexels(TColor32* __restrict row, int32_t width, const TColor32* __restrict texels, int32_t side) {
    uint32_t set = 0;
    for (int32_t x0 = 0; x0 < width; x0 += side) {
        const int32_t n = std::min(side, width - x0);
        TColor32* part = row + x0;
        for (int32_t j = 0; j < n; ++j) {
            const TColor32 on = part[j] != 0;
            set += on;
            part[j] = texels[j] & (0 - on);
        }
    }
    return set;
}

}  // namespace

uint32_t FillNonZeroPixels(TBitmap32* bitmap, TColor32 color) {
    if (!bitmap || bitmap->Empty()) return 0;
    return FillRunWith(bitmap->Bits(), static_cast<int64_t>(bitmap->Width()) * bitmap->Height(), color);
}

uint32_t FillFromTexture(TBitmap32& bitmap, const CTextures& textures, uint8_t tile) {
    // The texture repeats, so each row needs one strip row and the column
    // offset only wraps; a missing strip or tile paints the stand-in colour.
    uint32_t count = 0;
    const int32_t side = textures.TileWidth();
    const int64_t firstColumn = static_cast<int64_t>(tile) * side;
    const bool usable = side > 0 && firstColumn + side <= textures.Strip().Width();
    for (int32_t y = 0; y < bitmap.Height(); ++y) {
        TColor32* row = bitmap.ScanLine(y);
        if (usable)
            count += FillRowFromTexels(
                row, bitmap.Width(),
                textures.Strip().PixelPtr(static_cast<int32_t>(firstColumn), static_cast<uint16_t>(y) % side), side);
        else
            count += FillRunWith(row, bitmap.Width(), CTextures::kStandInColor);
    }
    return count;
}

namespace {

// The shape's pixels of rows y-2 .. y+2 with a zero border two pixels wide,
// so that the rim rules read the original pixels while the bitmap is
// rewritten row by row.
class ShapeWindow {
public:
    static constexpr int32_t kReach = 2;
    static constexpr int32_t kRows = 2 * kReach + 1;

    explicit ShapeWindow(const TBitmap32& bitmap)
        : bitmap_(bitmap), stride_(bitmap.Width() + 2 * kReach), rows_(kRows * static_cast<size_t>(stride_), 0) {
        for (int32_t y = -kReach; y <= kReach; ++y) Fill(y);
    }

    // Moves the window from row y-1 to row y.
    void Advance(int32_t y) { Fill(y + kReach); }
    // Row y of the window, readable from x = -2 to width + 1.
    const TColor32* Line(int32_t y) const { return Row(y) + kReach; }

private:
    void Fill(int32_t y) {
        TColor32* dst = Row(y);
        std::fill(dst, dst + stride_, 0);
        if (y >= 0 && y < bitmap_.Height()) std::copy_n(bitmap_.ScanLine(y), bitmap_.Width(), dst + kReach);
    }
    TColor32* Row(int32_t y) { return rows_.data() + Slot(y) * stride_; }
    const TColor32* Row(int32_t y) const { return rows_.data() + Slot(y) * stride_; }
    static size_t Slot(int32_t y) { return static_cast<size_t>(((y % kRows) + kRows) % kRows); }

    const TBitmap32& bitmap_;
    size_t stride_;
    std::vector<TColor32> rows_;
};

// rim[x] for the points of the window's middle row that the rules may
// change: set, but with a 5 x 5 neighbourhood not wholly set. solid[x + 2]
// is whether the five rows are all set in column x. The eight bytes past
// the row stay 0.
void MarkRim(const TColor32* const (&rows)[5], int32_t width, uint8_t* __restrict solid, uint8_t* __restrict rim) {
    const TColor32* __restrict r0 = rows[0] - ShapeWindow::kReach;
    const TColor32* __restrict r1 = rows[1] - ShapeWindow::kReach;
    const TColor32* __restrict r2 = rows[2] - ShapeWindow::kReach;
    const TColor32* __restrict r3 = rows[3] - ShapeWindow::kReach;
    const TColor32* __restrict r4 = rows[4] - ShapeWindow::kReach;
    for (int32_t i = 0; i < width + 2 * ShapeWindow::kReach; ++i)
        solid[i] = (r0[i] != 0) & (r1[i] != 0) & (r2[i] != 0) & (r3[i] != 0) & (r4[i] != 0);
    const TColor32* __restrict middle = rows[2];
    for (int32_t x = 0; x < width; ++x)
        rim[x] = (middle[x] != 0) & !(solid[x] & solid[x + 1] & solid[x + 2] & solid[x + 3] & solid[x + 4]);
}

}  // namespace

// The plain bevel: every row read through a window of the five rows
// around it, the rules of BevelledColour applied to the rim points only.
void BevelEdges(TBitmap32& bitmap) {
    if (bitmap.Empty()) return;
    ShapeWindow shape(bitmap);
    const int32_t width = bitmap.Width();
    std::vector<uint8_t> solid(static_cast<size_t>(width) + 2 * ShapeWindow::kReach);
    std::vector<uint8_t> rim(static_cast<size_t>(width) + 8);
    for (int32_t y = 0; y < bitmap.Height(); ++y) {
        if (y > 0) shape.Advance(y);
        const TColor32* rows[5] = {shape.Line(y - 2), shape.Line(y - 1), shape.Line(y), shape.Line(y + 1),
                                   shape.Line(y + 2)};
        MarkRim(rows, width, solid.data(), rim.data());
        TColor32* row = bitmap.ScanLine(y);
        for (int32_t x = 0; x < width; ++x) {
            if (x % 8 == 0) {  // eight points at once that keep their colours
                uint64_t eight;
                std::memcpy(&eight, &rim[static_cast<size_t>(x)], sizeof eight);
                if (eight == 0) {
                    x += 7;
                    continue;
                }
            }
            if (!rim[static_cast<size_t>(x)]) continue;
            row[x] = thorn::BevelledColour([&](int32_t dx, int32_t dy) { return rows[2 + dy][x + dx]; });
        }
    }
    bitmap.Changed();
}

uint32_t TextureAndBevel(TBitmap32& bitmap, const CTextures& textures, uint8_t tile) {
    return thorn::PaintTexturedBevel(bitmap, thorn::TileTexels(textures, tile));
}

uint32_t FillAndBevel(TBitmap32* bitmap, TColor32 color) {
    if (!bitmap) return 0;
    const uint32_t count = FillNonZeroPixels(bitmap, color);
    BevelEdges(*bitmap);
    return count;
}

void LightenBitmap(TBitmap32& bitmap) {
    if (bitmap.Empty()) return;
    TColor32* p = bitmap.Bits();
    for (TColor32* end = p + static_cast<int64_t>(bitmap.Width()) * bitmap.Height(); p != end; ++p)
        if (*p != 0) *p = LightenColor32(*p);
    bitmap.Changed();
}

void DarkenBitmap(TBitmap32& bitmap) {
    if (bitmap.Empty()) return;
    TColor32* p = bitmap.Bits();
    for (TColor32* end = p + static_cast<int64_t>(bitmap.Width()) * bitmap.Height(); p != end; ++p)
        if (*p != 0) *p = DarkenColor32(*p);
    bitmap.Changed();
}
