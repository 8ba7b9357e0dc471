// The neighbour-link overlay: green lines between the army places of
// neighbouring provinces, on a layer of their own at the bottom of the view.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

#include "bitmap/Pix32_Layers.h"
#include "model/Settings.h"
#include "model/mapproject.h"

namespace {

constexpr TColor32 kLinkColour = 0xFF00FF00;
// Every option but mouse events: the overlay is never hit.
constexpr uint32_t kOverlayOptions = 0xDFFFFFFF;

}  // namespace

TBitmapLayer* CMapProject::NeighbourLinksLayer() const {
    const TLayerCollection& layers = Editor().WorldLayers();
    if (layers.GetCount() == 0) return nullptr;
    TCustomLayer* bottom = layers.GetItem(0);
    // Before the overlay is made a province's marker can lie at the bottom;
    // that one is never drawn over.
    if (bottom->GetTag() != 0) return nullptr;
    return dynamic_cast<TBitmapLayer*>(bottom);
}

void CMapProject::CreateNeighbourLinksLayer() {
    // One overlay per project: opening a project builds a new mission first,
    // and that one's overlay must not stay beneath the new one.
    if (TBitmapLayer* old = NeighbourLinksLayer()) Editor().WorldLayers().Delete(old);
    auto* layer = Editor().WorldLayers().Add<TBitmapLayer>();
    TBitmap32& bitmap = *layer->GetBitmap();
    bitmap.SetDrawMode(dmBlend);
    bitmap.SetStretchFilter(sfNearest);
    layer->SetIndex(0);
    layer->SetTag(0);
    layer->SetScaled(true);
    layer->SetLayerOptions(kOverlayOptions);
    // Hidden, it holds no bitmap: most of the time the paths are not shown,
    // and a world-sized one would be a fifth of an open world's memory.
    layer->SetVisible(Editor().Settings().ShPaths != 0);
}

void CMapProject::DrawNeighbourLinks() {
    TBitmapLayer* layer = NeighbourLinksLayer();
    if (!layer || !layer->GetVisible()) return;
    struct Link {
        int32_t x1, y1, x2, y2;
    };
    std::vector<Link> links;
    for (uint16_t i = 0; i < MapPieces.GetCount(); ++i) {
        const CProvinceMap& piece = *MapPieces.GetAt(i);
        if (!piece.IsProvince()) continue;
        const CProvince* from = FindProvinceByPieceIndex(i);
        if (!from) continue;
        const int32_t x1 = piece.Left + from->ArmyX, y1 = piece.Top + from->ArmyY;
        for (uint16_t j : piece.Neighbours) {
            if (j < i) continue;
            const CProvinceMap* other = MapPieces.GetAt(j);
            const CProvince* to = other ? FindProvinceByPieceIndex(j) : nullptr;
            if (to) links.push_back({x1, y1, other->Left + to->ArmyX, other->Top + to->ArmyY});
        }
    }
    // The part of the world the lines cross: a line's pixels lie within the
    // box of its ends, and army places read from a file may lie off the
    // world, where nothing is drawn.
    TRect box{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (const Link& link : links) {
        box.Left = std::min({box.Left, link.x1, link.x2});
        box.Top = std::min({box.Top, link.y1, link.y2});
        box.Right = std::max({box.Right, link.x1 + 1, link.x2 + 1});
        box.Bottom = std::max({box.Bottom, link.y1 + 1, link.y2 + 1});
    }
    TRect shown{};
    if (!links.empty()) IntersectRect(shown, box, {0, 0, WorldWidth, WorldHeight});
    TBitmap32& bitmap = *layer->GetBitmap();
    if (IsRectEmpty(shown)) {
        bitmap.SetSize(0, 0);
        layer->SetLocation({});
        return;
    }
    bitmap.SetSize(shown.Width(), shown.Height());
    bitmap.Clear(0);
    layer->SetLocation({static_cast<float>(shown.Left), static_cast<float>(shown.Top),
                        static_cast<float>(shown.Right), static_cast<float>(shown.Bottom)});
    for (const Link& link : links)
        bitmap.LineS(link.x1 - shown.Left, link.y1 - shown.Top, link.x2 - shown.Left, link.y2 - shown.Top, kLinkColour,
                     false);
}

void CMapProject::ShowNeighbourLinks(bool shown) {
    TBitmapLayer* layer = NeighbourLinksLayer();
    if (!layer) return;
    layer->SetVisible(shown);
    if (shown) {
        DrawNeighbourLinks();
    } else {
        layer->GetBitmap()->SetSize(0, 0);
        layer->SetLocation({});
    }
}
