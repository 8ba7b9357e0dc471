#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "bitmap/Pix32.h"
#include "model/OrvSerializer.h"
#include "model/OrvSimpleArray.h"
#include "model/PieceMask.h"

class CMapMap;
class CProvinceMapList;

// One connected region of one colour of the world picture. Its mask is
// cropped to its bounding box (mask pixel (0, 0) is world pixel (Left,
// Top)); a non-zero mask pixel belongs to the piece. A piece's index in the
// project's piece list is its identity everywhere.
class CProvinceMap {
public:
    enum PieceKind : uint32_t { Unclassified = 0, Ocean = 1, GreenLand = 2, Province = 3, SmallProvince = 4, Small = 5 };
    static constexpr uint16_t kNoPiece = 0xFFFF;
    // A mask pixel of this value counts as empty when a square is fitted:
    // the castle place is marked with it so that the army square avoids it.
    static constexpr TColor32 kReservedPixel = 0x00FFFFFF;
    // Mask pixels passed on by a merge, and mask pixels read from a file.
    static constexpr TColor32 kMergedPixel = 0xFF0000CC;

    CProvinceMap();
    virtual ~CProvinceMap();
    CProvinceMap(const CProvinceMap&) = delete;
    CProvinceMap& operator=(const CProvinceMap&) = delete;

    virtual int IsProvince() const { return Kind == Province || Kind == SmallProvince; }
    virtual int IsGreenLand() const { return Kind == GreenLand; }
    virtual int IsOcean() const { return Kind == Ocean; }
    virtual int IsSmall() const { return Kind == Small; }
    virtual int IsEmpty() const { return PixelCount == 0; }
    virtual int GetFlag() const { return Flag != 0; }

    // Whether a piece of another colour than ocean and green land is big
    // enough for a province: a mask at least 4 x 4 whose non-zero pixels,
    // repainted 0xFFFFFFFF while counted, number at least 250. A mask that
    // fails the size test is not repainted.
    int IsUsable();

    // Enters piece n in this piece's list and this piece in n's (kept
    // symmetric); ignored for 0xFFFF, for this piece itself, for an empty
    // piece and for an index past the piece list this piece belongs to.
    // Throws std::bad_alloc when a list cannot grow.
    void AddNeighbour(uint16_t n);
    // Takes n out of this piece's list and this piece out of n's.
    void RemoveNeighbour(uint16_t n);

    // How the set pixels of the mask are stored, when the caller knows.
    enum class MaskState : uint8_t { Unknown, Opaque };
    // Absorbs another piece: its pixels (painted 0xFF0000CC) join this
    // mask, the box grows to the union, the piece-index map cells of its
    // pixels get this piece's index, its neighbours become this piece's
    // neighbours, and it is left empty (pixel count 0, mask cleared, box and
    // neighbours kept). This piece's pixel count is not changed. Answers 0
    // and changes nothing for null or an empty piece. Opaque promises that
    // every set pixel of this mask has alpha 255, which lets a merge that
    // does not grow the box draw in place without checking.
    int Merge(CProvinceMap* other, MaskState state = MaskState::Unknown);
    // Whether every mask pixel is 0 or opaque, as MaskState::Opaque promises.
    bool MaskIsZeroOrOpaque() const;

    // -1 when the w x h square with top-left (x, y) lies wholly on set mask
    // pixels (neither 0 nor 0x00FFFFFF); else the column offset from x of
    // the first empty pixel met (top row, bottom row, left column, right
    // column, then the inside rows).
    static int16_t FitsSquare(const TBitmap32& mask, int32_t x, int32_t y, int32_t w, int32_t h);
    // The first top-left corner, rows from the top and each row from the
    // left, at which a w x h square fits the mask; (-1, -1) when none does.
    TPoint FindSquare(int32_t w, int32_t h) const;

    // The piece's part of the project file. Answers 1, or 0 when a loaded
    // piece claims more neighbours or mask bytes than the data hold (then
    // nothing more is read).
    int Serialize(Orv::ISerializer& s);

    // Its colours may be owed (see thorn::PieceMask): every way to the
    // bitmap pays them first.
    thorn::PieceMask Mask;
    Orv::CSimpleArray<uint16_t> Neighbours;
    TColor32 Color = 0;
    uint16_t Left = 0;
    uint16_t Top = 0;
    uint16_t Right = 0;   // inclusive
    uint16_t Bottom = 0;  // inclusive
    uint32_t PixelCount = 0;
    uint32_t Selected = 0;
    uint32_t Flag = 1;
    uint32_t ExtraValue = 0;
    uint32_t Kind = Unclassified;
    uint16_t CastleX = 0;  // relative to (Left, Top)
    uint16_t CastleY = 0;
    uint16_t ArmyX = 0;
    uint16_t ArmyY = 0;

private:
    friend class CProvinceMapList;
    CProvinceMap* Piece(uint16_t n) const;
    uint16_t OwnIndex() const;

    CProvinceMapList* list_ = nullptr;
};

// The project's map pieces, which the list owns; a piece's index is 16-bit.
class CProvinceMapList {
public:
    // The most pieces a world picture is cut into, and a project file holds.
    static constexpr int kMaxPieces = 1501;

    CProvinceMapList() = default;
    ~CProvinceMapList();
    CProvinceMapList(const CProvinceMapList&) = delete;
    CProvinceMapList& operator=(const CProvinceMapList&) = delete;

    uint16_t GetCount() const { return static_cast<uint16_t>(pieces_.size()); }
    // The piece at n, or null at or past the end.
    CProvinceMap* GetAt(uint16_t n) const { return n < pieces_.size() ? pieces_[n].get() : nullptr; }
    // The index of the first entry holding the piece; 0xFFFF when absent.
    uint16_t IndexOf(const CProvinceMap* piece) const;
    // Appends a piece the list takes over; answers its index, or -1 (the
    // piece is then dropped) when the list cannot grow.
    int Add(std::unique_ptr<CProvinceMap> piece);
    // Appends n pieces the same way; answers the index of the first, or -1
    // when the list cannot grow by n (nothing is added then).
    int AddN(std::vector<std::unique_ptr<CProvinceMap>> pieces);
    // Deletes every piece.
    void Clear();
    // Deletes piece n: every piece drops n from its neighbours and the
    // indices above n move down by one; the later pieces move down one
    // place. Throws std::out_of_range for n at or past the end.
    void Remove(uint16_t n);
    // Deletes every empty piece (pixel count 0) in one pass, with the same
    // result as removing them one by one from the front.
    void RemoveEmpty();

    // The piece-index map that merges keep up to date (may be null).
    void SetIndexMap(CMapMap* map) { indexMap_ = map; }
    CMapMap* IndexMap() const { return indexMap_; }

    // The pieces' part of the project file: a u16 count, then each piece.
    // Answers 1, or 0 when a loaded list passes 1501 pieces, a piece cannot
    // be read, or a neighbour index is past the count or the piece itself
    // (the list is then left empty).
    int Serialize(Orv::ISerializer& s);

private:
    std::vector<std::unique_ptr<CProvinceMap>> pieces_;
    CMapMap* indexMap_ = nullptr;
};
