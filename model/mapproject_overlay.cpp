// The neighbour-link overlay: green lines between the army places of
// neighbouring provinces, on a layer of their own at the bottom of the view.
#include "bitmap/Pix32_Layers.h"
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
    // As large as the world, so that the lines lie on the pixels they join.
    bitmap.SetSize(WorldWidth, WorldHeight);
    bitmap.Clear(0);
    bitmap.SetStretchFilter(sfNearest);
    layer->SetLocation({0, 0, static_cast<float>(WorldWidth), static_cast<float>(WorldHeight)});
    layer->SetIndex(0);
    layer->SetTag(0);
    layer->SetScaled(true);
    layer->SetLayerOptions(kOverlayOptions);
}

void CMapProject::DrawNeighbourLinks() {
    TBitmapLayer* layer = NeighbourLinksLayer();
    if (!layer || !layer->GetVisible()) return;
    TBitmap32& bitmap = *layer->GetBitmap();
    // A reloaded world of another size takes the overlay with it.
    if (bitmap.Width() != WorldWidth || bitmap.Height() != WorldHeight) {
        bitmap.SetSize(WorldWidth, WorldHeight);
        layer->SetLocation({0, 0, static_cast<float>(WorldWidth), static_cast<float>(WorldHeight)});
    }
    bitmap.Clear(0);
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
            if (!to) continue;
            // Clipped: army places read from a file may lie off the world.
            bitmap.LineS(x1, y1, other->Left + to->ArmyX, other->Top + to->ArmyY, kLinkColour, false);
        }
    }
}
