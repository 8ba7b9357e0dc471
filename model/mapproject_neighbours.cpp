// Neighbours of the map pieces, the absorption of small pieces by province
// pieces and the conversion of the small pieces left.
#include <algorithm>
#include <vector>

#include "model/mapproject.h"

namespace {

// The pieces that may be neighbours: neither empty, nor ocean, nor green
// land.
bool TakesNeighbours(const CProvinceMap& piece) {
    return !piece.IsEmpty() && !piece.IsGreenLand() && !piece.IsOcean();
}

// A piece found beyond a border point, with the first such point met when
// the points are walked by columns (x outer, y inner).
struct BorderHit {
    int32_t piece;
    int32_t dx;
    int32_t dy;
};

}  // namespace

// A border point lies outside the piece, directly right of or below one of
// its pixels; the piece under every border point becomes a neighbour. The
// points are walked by columns, which fixes the order of each list; here the
// rows are read in memory order and each neighbour's first point by columns
// is kept, which enters the neighbours in the same order.
void CalcNeighbours(CMapProject& project) {
    CProvinceMapList& pieces = project.MapPieces;
    project.ShowProgress("Neighbours calculation...", pieces.GetCount());
    for (uint16_t i = 0; i < pieces.GetCount(); ++i) pieces.GetAt(i)->Neighbours.SetSize(0);

    std::vector<BorderHit> hits;
    std::vector<int32_t> slot(pieces.GetCount(), -1);
    for (uint16_t i = 0; i < pieces.GetCount(); ++i) {
        project.SetProgress(i);
        CProvinceMap& piece = *pieces.GetAt(i);
        if (!TakesNeighbours(piece)) continue;
        // Only which pixels are set is read: a paint the mask owes can wait.
        const TBitmap32& mask = piece.Mask.AsIs();
        const int32_t width = mask.Width(), height = mask.Height();
        hits.clear();
        for (int32_t dy = -1; dy <= height; ++dy) {
            const TColor32* row = dy >= 0 && dy < height ? mask.ScanLine(dy) : nullptr;
            const TColor32* up = dy >= 1 && dy <= height ? mask.ScanLine(dy - 1) : nullptr;
            auto set = [width](const TColor32* line, int32_t x) { return line && x >= 0 && x < width && line[x] != 0; };
            for (int32_t dx = -1; dx <= width; ++dx) {
                if (set(row, dx) || !(set(row, dx - 1) || set(up, dx))) continue;
                const int32_t j = project.GetPieceAt(piece.Left + dx, piece.Top + dy);
                if (j < 0) continue;
                const CProvinceMap* other = pieces.GetAt(static_cast<uint16_t>(j));
                if (!other || !TakesNeighbours(*other)) continue;
                int32_t& at = slot[j];
                if (at < 0) {
                    at = static_cast<int32_t>(hits.size());
                    hits.push_back({j, dx, dy});
                } else if (dx < hits[at].dx) {
                    hits[at].dx = dx;
                    hits[at].dy = dy;
                }
            }
        }
        std::sort(hits.begin(), hits.end(),
                  [](const BorderHit& a, const BorderHit& b) { return a.dx != b.dx ? a.dx < b.dx : a.dy < b.dy; });
        for (const BorderHit& hit : hits) {
            slot[hit.piece] = -1;
            piece.AddNeighbour(static_cast<uint16_t>(hit.piece));
        }
    }
}

int ReconnectProvinceMaps(CMapProject& project) {
    CProvinceMapList& pieces = project.MapPieces;
    project.ShowProgress("Reconnecting province maps...", pieces.GetCount());
    int result = 0;
    for (uint16_t i = 0; i < pieces.GetCount(); ++i) {
        project.SetProgress(i);
        CProvinceMap& piece = *pieces.GetAt(i);
        if (!piece.IsProvince() || piece.IsEmpty()) continue;
        // Every pixel a merge brings is opaque, so the mask keeps being 0
        // or opaque everywhere once it is.
        CProvinceMap::MaskState state = CProvinceMap::MaskState::Unknown;
        // The list grows while it is walked: absorbed pieces bring theirs.
        for (int k = 0; k < piece.Neighbours.GetCount(); ++k) {
            CProvinceMap* small = pieces.GetAt(piece.Neighbours[k]);
            if (!small || !small->IsSmall()) continue;
            auto warning = std::make_unique<CErrorConnect>(project, *small, &piece);
            if (state == CProvinceMap::MaskState::Unknown && piece.MaskIsZeroOrOpaque())
                state = CProvinceMap::MaskState::Opaque;
            if (piece.Merge(small, state)) {
                project.ErrorList.Add(std::move(warning));
                result = 1;
            }
        }
    }
    return result;
}

int ConvertSmallPieces(CMapProject& project) {
    CProvinceMapList& pieces = project.MapPieces;
    for (uint16_t i = 0; i < pieces.GetCount(); ++i) {
        CProvinceMap& piece = *pieces.GetAt(i);
        if (!piece.IsSmall()) continue;
        piece.Kind = CProvinceMap::GreenLand;
        project.ErrorList.Add(std::make_unique<CErrorConverted>(project, &piece, CErrorConverted::kToGreenLand));
    }
    return 1;
}
