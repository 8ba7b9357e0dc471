#include "model/prov_maplist.h"

#include <algorithm>
#include <new>
#include <span>
#include <stdexcept>

#include "bitmap/Pix32_Transfer.h"
#include "model/BitmapHelpers.h"
#include "model/MapMap.h"

namespace {

// A mask pixel, with everything outside the mask reading 0.
TColor32 MaskPixel(const TBitmap32& mask, int32_t x, int32_t y) {
    if (x < 0 || y < 0 || x >= mask.Width() || y >= mask.Height()) return 0;
    return mask.GetPixel(x, y);
}

bool IsEmptyForSquare(TColor32 pixel) { return pixel == 0 || pixel == CProvinceMap::kReservedPixel; }

// Whether blending the mask over transparent black leaves it as it is.
bool BlendsUnchanged(const TBitmap32& mask) {
    const TColor32* p = mask.Bits();
    const TColor32* end = p + static_cast<int64_t>(mask.Width()) * mask.Height();
    return std::all_of(p, end, [](TColor32 c) { return c == 0 || (c >> 24) == 0xFF; });
}

// The mask as the project file keeps it: one bit per pixel, columns outer
// and rows inner (bit x*H + y is pixel (x, y)), the first bit in the top
// bit of each byte, the unused low bits of a last byte 0. The rows are
// walked in memory order eight at a time: the eight bits of one column of
// such a band lie side by side in the stream, at most two bytes.
constexpr int32_t kBandRows = 8;

uint64_t MaskBytes(int32_t width, int32_t height) { return (uint64_t(width) * uint64_t(height) + 7) / 8; }

std::vector<uint8_t> PackMask(const TBitmap32& mask) {
    const int32_t width = mask.Width(), height = mask.Height();
    // One spare byte: a band's two bytes may reach past the last one.
    std::vector<uint8_t> packed(MaskBytes(width, height) + 1, 0);
    for (int32_t top = 0; top < height; top += kBandRows) {
        const int32_t rows = std::min(kBandRows, height - top);
        const TColor32* line[kBandRows];
        for (int32_t r = 0; r < rows; ++r) line[r] = mask.ScanLine(top + r);
        for (int32_t x = 0; x < width; ++x) {
            uint32_t band = 0;  // the first row in bit 7
            for (int32_t r = 0; r < rows; ++r) band |= uint32_t{line[r][x] != 0} << (kBandRows - 1 - r);
            if (band == 0) continue;
            const uint64_t at = uint64_t(x) * uint64_t(height) + uint64_t(top);
            const uint32_t placed = band << 8 >> (at % 8);
            packed[at / 8] |= static_cast<uint8_t>(placed >> 8);
            packed[at / 8 + 1] |= static_cast<uint8_t>(placed);
        }
    }
    packed.pop_back();
    return packed;
}

// Sets every pixel whose bit is 1 to colour; the others stay as they are.
void UnpackMask(std::span<const uint8_t> packed, TBitmap32& mask, TColor32 colour) {
    const int32_t width = mask.Width(), height = mask.Height();
    for (int32_t top = 0; top < height; top += kBandRows) {
        const int32_t rows = std::min(kBandRows, height - top);
        TColor32* line[kBandRows];
        for (int32_t r = 0; r < rows; ++r) line[r] = mask.ScanLine(top + r);
        for (int32_t x = 0; x < width; ++x) {
            const uint64_t at = uint64_t(x) * uint64_t(height) + uint64_t(top);
            const uint32_t next = at / 8 + 1 < packed.size() ? packed[at / 8 + 1] : 0;
            const uint32_t band = ((uint32_t{packed[at / 8]} << 8 | next) << (at % 8) >> 8) & 0xFF;
            if (band == 0) continue;
            for (int32_t r = 0; r < rows; ++r)
                if (band & (0x80u >> r)) line[r][x] = colour;
        }
    }
}

}  // namespace

// ----------------------------------------------------------------- piece

CProvinceMap::CProvinceMap() : Mask(std::make_unique<TBitmap32>()) { Mask->SetDrawMode(dmBlend); }

CProvinceMap::~CProvinceMap() = default;

CProvinceMap* CProvinceMap::Piece(uint16_t n) const { return list_ ? list_->GetAt(n) : nullptr; }

uint16_t CProvinceMap::OwnIndex() const { return list_ ? list_->IndexOf(this) : kNoPiece; }

bool CProvinceMap::MaskIsZeroOrOpaque() const { return BlendsUnchanged(*Mask); }

int CProvinceMap::IsUsable() {
    if (Mask->Width() + 1 < 5 || Mask->Height() + 1 < 5) return 0;
    return FillNonZeroPixels(Mask.get(), 0xFFFFFFFF) >= 250 ? 1 : 0;
}

void CProvinceMap::AddNeighbour(uint16_t n) {
    if (n == kNoPiece) return;
    CProvinceMap* piece = Piece(n);
    if (!piece || piece == this || piece->IsEmpty()) return;
    if (Neighbours.IndexOf(n) >= 0) return;
    // The list answers -1 only when it cannot grow: a border left out would
    // never be seen again, so the import stops as short of memory instead.
    if (Neighbours.Add(n) < 0) throw std::bad_alloc();
    piece->AddNeighbour(OwnIndex());
}

void CProvinceMap::RemoveNeighbour(uint16_t n) {
    const int at = Neighbours.IndexOf(n);
    if (at < 0) return;
    Neighbours.RemoveAt(at);
    if (CProvinceMap* piece = Piece(n)) piece->RemoveNeighbour(OwnIndex());
}

int CProvinceMap::Merge(CProvinceMap* other, MaskState state) {
    if (!other || other->PixelCount == 0) return 0;
    TBitmap32& theirs = *other->Mask;
    FillNonZeroPixels(&theirs, kMergedPixel);

    const uint16_t own = OwnIndex();
    if (CMapMap* map = list_ ? list_->IndexMap() : nullptr; map && map->HasCells()) {
        for (int32_t y = 0; y < theirs.Height(); ++y) {
            const TColor32* row = theirs.ScanLine(y);
            for (int32_t x = 0; x < theirs.Width(); ++x)
                if (row[x] != 0) map->Set(other->Left + x, other->Top + y, own);
        }
    }

    const uint16_t left = std::min(Left, other->Left), top = std::min(Top, other->Top);
    const uint16_t right = std::max(Right, other->Right), bottom = std::max(Bottom, other->Bottom);
    const int32_t dx = other->Left - left, dy = other->Top - top;
    const bool sameBox = left == Left && top == Top && right == Right && bottom == Bottom;
    const bool coversBox = Mask->Width() == right - left + 1 && Mask->Height() == bottom - top + 1;

    if (sameBox && coversBox && (state == MaskState::Opaque || BlendsUnchanged(*Mask))) {
        // The absorbed pixels are opaque and this mask is 0 or opaque
        // everywhere, so blending both into a fresh bitmap would give this
        // mask with the absorbed pixels filled into its empty places.
        for (int32_t y = 0; y < theirs.Height(); ++y) {
            if (dy + y >= Mask->Height()) break;
            const TColor32* src = theirs.ScanLine(y);
            TColor32* dst = Mask->ScanLine(dy + y);
            for (int32_t x = 0; x < theirs.Width() && dx + x < Mask->Width(); ++x)
                if (dst[dx + x] == 0) dst[dx + x] = src[x];
        }
    } else {
        auto merged = std::make_unique<TBitmap32>();
        merged->SetSize(right - left + 1, bottom - top + 1);
        BlockTransfer(merged.get(), dx, dy, merged->BoundsRect(), &theirs, theirs.BoundsRect(), dmBlend);
        BlockTransfer(merged.get(), Left - left, Top - top, merged->BoundsRect(), Mask.get(), Mask->BoundsRect(),
                      dmBlend);
        merged->SetDrawMode(Mask->DrawMode());
        merged->SetMasterAlpha(Mask->MasterAlpha());
        merged->SetOuterColor(Mask->OuterColor());
        Mask = std::move(merged);
    }
    Mask->Changed();

    other->PixelCount = 0;
    theirs.Clear(0);
    Left = left;
    Top = top;
    Right = right;
    Bottom = bottom;

    const Orv::CSimpleArray<uint16_t> inherited = other->Neighbours;
    for (uint16_t n : inherited) AddNeighbour(n);
    return 1;
}

int16_t CProvinceMap::FitsSquare(const TBitmap32& mask, int32_t x, int32_t y, int32_t w, int32_t h) {
    auto empty = [&](int32_t px, int32_t py) { return IsEmptyForSquare(MaskPixel(mask, px, py)); };
    for (int32_t i = 0; i < w; ++i)
        if (empty(x + i, y)) return static_cast<int16_t>(i);
    for (int32_t i = 0; i < w; ++i)
        if (empty(x + i, y + h - 1)) return static_cast<int16_t>(i);
    for (int32_t j = 0; j < h; ++j)
        if (empty(x, y + j)) return 0;
    for (int32_t j = 0; j < h; ++j)
        if (empty(x + w - 1, y + j)) return static_cast<int16_t>(w - 1);
    for (int32_t j = 1; j < h - 1; ++j)
        for (int32_t i = 1; i < w - 1; ++i)
            if (empty(x + i, y + j)) return static_cast<int16_t>(i);
    return -1;
}

TPoint CProvinceMap::FindSquare(int32_t w, int32_t h) const {
    const int32_t width = Mask->Width(), height = Mask->Height();
    if (width < w || height < h) return {-1, -1};
    for (int32_t y = 0; y <= height - h; ++y) {
        for (int32_t x = 0; x <= width - w;) {
            if (IsEmptyForSquare(MaskPixel(*Mask, x, y))) {
                ++x;
                continue;
            }
            const int16_t k = FitsSquare(*Mask, x, y, w, h);
            if (k < 0) return {x, y};
            x += k + 1;
        }
    }
    return {-1, -1};
}

int CProvinceMap::Serialize(Orv::ISerializer& s) {
    const bool saving = s.IsSaving() != 0;
    auto* loader = dynamic_cast<Orv::CSerialLoader*>(&s);

    s.Dword(Color);
    s.Word(Left);
    s.Word(Right);
    s.Word(Top);
    s.Word(Bottom);
    s.Dword(PixelCount);
    uint8_t flag = static_cast<uint8_t>(Flag);
    s.Byte(flag);
    if (!saving) Flag = flag;
    s.Dword(ExtraValue);
    s.Dword(Kind);
    s.Word(CastleX);
    s.Word(CastleY);
    s.Word(ArmyX);
    s.Word(ArmyY);

    // The neighbours travel last entry first.
    uint16_t count = static_cast<uint16_t>(Neighbours.GetCount());
    s.Word(count);
    if (loader) {
        if (uint32_t{count} * 2 > loader->Remaining() || count > Orv::CSimpleArray<uint16_t>::kMaxCount) return 0;
        Neighbours.SetSize(count);
    }
    for (int k = count - 1; k >= 0; --k) {
        uint16_t n = Neighbours[k];
        s.Word(n);
        Neighbours[k] = n;
    }

    // The mask, laid out as PackMask says.
    uint16_t width = static_cast<uint16_t>(Mask->Width()), height = static_cast<uint16_t>(Mask->Height());
    s.Word(width);
    s.Word(height);
    const uint64_t byteCount = MaskBytes(width, height);
    if (loader) {
        if (byteCount > loader->Remaining()) return 0;
        if (width != Mask->Width() || height != Mask->Height()) Mask->SetSize(width, height);
    }
    if (dynamic_cast<Orv::CSerialSizer*>(&s)) {
        // Only the length counts: the bits are not worth gathering.
        uint8_t any = 0;
        for (uint64_t k = 0; k < byteCount; ++k) s.Byte(any);
        return 1;
    }
    std::vector<uint8_t> packed = saving ? PackMask(*Mask) : std::vector<uint8_t>(byteCount);
    for (uint8_t& byte : packed) s.Byte(byte);
    if (!saving) UnpackMask(packed, *Mask, kMergedPixel);
    return 1;
}

// ------------------------------------------------------------------ list

CProvinceMapList::~CProvinceMapList() = default;

uint16_t CProvinceMapList::IndexOf(const CProvinceMap* piece) const {
    for (size_t i = 0; i < pieces_.size(); ++i)
        if (pieces_[i].get() == piece) return static_cast<uint16_t>(i);
    return CProvinceMap::kNoPiece;
}

int CProvinceMapList::Add(std::unique_ptr<CProvinceMap> piece) {
    if (pieces_.size() >= Orv::CSimpleArray<CProvinceMap*>::kMaxCount) return -1;
    try {
        pieces_.push_back(nullptr);
    } catch (const std::bad_alloc&) {
        return -1;
    }
    if (piece) piece->list_ = this;
    pieces_.back() = std::move(piece);
    return static_cast<int>(pieces_.size() - 1);
}

int CProvinceMapList::AddN(std::vector<std::unique_ptr<CProvinceMap>> pieces) {
    if (pieces_.size() + pieces.size() > Orv::CSimpleArray<CProvinceMap*>::kMaxCount) return -1;
    try {
        pieces_.reserve(pieces_.size() + pieces.size());
    } catch (const std::bad_alloc&) {
        return -1;
    }
    const int first = static_cast<int>(pieces_.size());
    for (auto& piece : pieces) {
        if (piece) piece->list_ = this;
        pieces_.push_back(std::move(piece));
    }
    return first;
}

void CProvinceMapList::Clear() { pieces_.clear(); }

void CProvinceMapList::Remove(uint16_t n) {
    if (n >= pieces_.size()) throw std::out_of_range("map piece index out of range");
    for (auto& piece : pieces_) {
        if (!piece) continue;
        piece->RemoveNeighbour(n);
        for (uint16_t& m : piece->Neighbours)
            if (m > n) --m;
    }
    pieces_.erase(pieces_.begin() + n);
}

void CProvinceMapList::RemoveEmpty() {
    std::vector<uint16_t> newIndex(pieces_.size(), CProvinceMap::kNoPiece);
    uint16_t next = 0;
    for (size_t i = 0; i < pieces_.size(); ++i)
        if (pieces_[i] && !pieces_[i]->IsEmpty()) newIndex[i] = next++;
    if (next == pieces_.size()) return;

    std::vector<std::unique_ptr<CProvinceMap>> kept;
    kept.reserve(next);
    for (size_t i = 0; i < pieces_.size(); ++i) {
        if (newIndex[i] == CProvinceMap::kNoPiece) continue;
        CProvinceMap& piece = *pieces_[i];
        Orv::CSimpleArray<uint16_t> neighbours;
        for (uint16_t m : piece.Neighbours) {
            // An index past the list cannot have been removed; it keeps its
            // distance from the end, as one-by-one removals would leave it.
            if (m >= pieces_.size()) {
                neighbours.Add(static_cast<uint16_t>(m - (pieces_.size() - next)));
            } else if (newIndex[m] != CProvinceMap::kNoPiece) {
                neighbours.Add(newIndex[m]);
            }
        }
        piece.Neighbours = std::move(neighbours);
        kept.push_back(std::move(pieces_[i]));
    }
    pieces_ = std::move(kept);
}

int CProvinceMapList::Serialize(Orv::ISerializer& s) {
    uint16_t count = GetCount();
    s.Word(count);
    if (s.IsSaving()) {
        for (auto& piece : pieces_) piece->Serialize(s);
        return 1;
    }
    if (count > kMaxPieces) {
        Clear();
        return 0;
    }
    pieces_.resize(count);
    for (auto& piece : pieces_) {
        if (!piece) {
            piece = std::make_unique<CProvinceMap>();
            piece->list_ = this;
        }
        if (!piece->Serialize(s)) {
            Clear();
            return 0;
        }
    }
    for (size_t i = 0; i < pieces_.size(); ++i)
        for (uint16_t m : pieces_[i]->Neighbours)
            if (m >= count || m == i) {
                Clear();
                return 0;
            }
    return 1;
}
