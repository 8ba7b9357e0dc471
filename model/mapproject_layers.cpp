// The map view's layers of the provinces: the tag records that mark them,
// their lookups, and the marker, castle and army layers drawn and placed at
// the current zoom.
#include <algorithm>
#include <cmath>

#include "bitmapui/Pix32_Layers.h"
#include "model/BitmapHelpers.h"
#include "model/Settings.h"
#include "model/mapproject.h"

namespace {

constexpr uint16_t kNoLayer = 0xFFFF;
constexpr TColor32 kMagenta = 0xFFFF00FF;
constexpr uint8_t kMaxCastlePicture = 16;
constexpr uint8_t kMaxArmyArgument = 6;

// The options of a layer the settings show: mouse events on.
void ShowWithMouse(TCustomLayer& layer) {
    layer.SetLayerOptions(layer.GetLayerOptions() | kLayerMouseEvents | kLayerVisible);
}

}  // namespace

// ------------------------------------------------------------- lookups

const CLayerTag* CMapProject::TagOf(const TCustomLayer* layer) const {
    return layer ? layerTags_.Find(layer->GetTag()) : nullptr;
}

uint16_t CMapProject::FindLayerIndex(const CProvince* province, uint8_t kind) const {
    if (!province) return kNoLayer;
    const TLayerCollection& layers = Editor().WorldLayers();
    const int count = std::min(layers.GetCount(), int{kNoLayer});
    for (int i = 0; i < count; ++i) {
        const CLayerTag* tag = TagOf(layers.GetItem(i));
        if (tag && tag->Kind == kind && tag->Owner == province) return static_cast<uint16_t>(i);
    }
    return kNoLayer;
}

TBitmapLayer* CMapProject::FindLayer(const CProvince* province, uint8_t kind) const {
    const uint16_t index = FindLayerIndex(province, kind);
    const TLayerCollection& layers = Editor().WorldLayers();
    if (index >= layers.GetCount()) return nullptr;
    return dynamic_cast<TBitmapLayer*>(layers.GetItem(index));
}

uint16_t CMapProject::FindIconLayerIndex(const CProvince* p) const { return FindLayerIndex(p, CLayerTag::Marker); }
uint16_t CMapProject::FindNameLayerIndex(const CProvince* p) const { return FindLayerIndex(p, CLayerTag::Label); }
uint16_t CMapProject::FindCastleLayerIndex(const CProvince* p) const { return FindLayerIndex(p, CLayerTag::Castle); }
uint16_t CMapProject::FindArmyLayerIndex(const CProvince* p) const { return FindLayerIndex(p, CLayerTag::Army); }
TBitmapLayer* CMapProject::FindIconLayer(const CProvince* p) const { return FindLayer(p, CLayerTag::Marker); }
TBitmapLayer* CMapProject::FindNameLayer(const CProvince* p) const { return FindLayer(p, CLayerTag::Label); }
TBitmapLayer* CMapProject::FindCastleLayer(const CProvince* p) const { return FindLayer(p, CLayerTag::Castle); }
TBitmapLayer* CMapProject::FindArmyLayer(const CProvince* p) const { return FindLayer(p, CLayerTag::Army); }

void CMapProject::SendIconLayersBack() {
    TLayerCollection& layers = Editor().WorldLayers();
    for (int i = 0; i < layers.GetCount(); ++i) {
        TCustomLayer* layer = layers.GetItem(i);
        const CLayerTag* tag = TagOf(layer);
        if (tag && (tag->Kind == CLayerTag::Castle || tag->Kind == CLayerTag::Army)) layer->SetIndex(1);
    }
}

// ------------------------------------------------------- making layers

const TBitmap32* CMapProject::Picture(const TBitmap32List& list, int n) {
    // A catalogue with fewer pictures than a castle type or the first army
    // asks for leaves the icon empty rather than reading past the list.
    if (n < 0 || n >= list.GetBitmaps()->GetCount()) return nullptr;
    return list.GetBitmap(n);
}

TBitmapLayer* CMapProject::AddProvinceLayer(CProvince* province, uint8_t kind) {
    auto* layer = Editor().WorldLayers().Add<TBitmapLayer>();
    layer->SetTag(thorn::LayerTags::TagOf(layerTags_.Make(kind, province)));
    layer->SetScaled(false);
    layer->SetAlphaHitTest(true);
    layer->GetBitmap()->SetDrawMode(dmBlend);
    return layer;
}

void CMapProject::DeleteProvinceLayers(const CProvince* province) {
    TLayerCollection& layers = Editor().WorldLayers();
    for (uint8_t kind : {CLayerTag::Marker, CLayerTag::Label, CLayerTag::Castle, CLayerTag::Army}) {
        TBitmapLayer* layer = FindLayer(province, kind);
        if (!layer) continue;
        layerTags_.Free(layer->GetTag());
        layers.Delete(layer);
    }
}

void CMapProject::CreateProvinceLayers(CProvince* province) {
    if (!province) return;
    thorn::EditorLink& editor = Editor();
    const CSettings& settings = editor.Settings();
    const CStringTable* table = Tables.GetAt(CurrentStringTable);
    editor.AddProvinceRow(CurrentProvinceName(province), province,
                          table ? table->GetPlayerName(province->Owner) : std::string("none"));

    TBitmapLayer* marker = AddProvinceLayer(province, CLayerTag::Marker);
    TBitmapLayer* label = AddProvinceLayer(province, CLayerTag::Label);
    TBitmapLayer* castle = AddProvinceLayer(province, CLayerTag::Castle);
    TBitmapLayer* army = AddProvinceLayer(province, CLayerTag::Army);

    const TBitmap32* picture = Picture(editor.MarkerPictures(), 0);
    marker->GetBitmap()->SetSize(picture ? picture->Width() : 0, picture ? picture->Height() : 0);
    marker->GetBitmap()->Clear(0xFFFF0000);
    marker->SetVisible(settings.ShIcons != 0);
    label->GetBitmap()->SetFont(settings.LabelFont);
    label->SetVisible(settings.ShNames != 0);
    castle->GetBitmap()->SetStretchFilter(sfNearest);
    army->SetVisible(settings.ShArmies != 0);

    // From position 1 up: army, castle, label, the older layers; the marker
    // stays on top where it was appended.
    label->SetIndex(1);
    castle->SetIndex(1);
    army->SetIndex(1);

    DrawProvinceIcon(province);
    PlaceIconLayer(marker);
    UpdateProvinceLabel(province);

    if (province->Castle.Flags & CCastleDataB::kPresent) {
        const bool capital = province->Owner != CProvinceB::kNoOwner && Players[province->Owner].Capital == province;
        SetCastleIcon(province, capital ? 2 : 1);
    } else {
        SetCastleIcon(province, 0);
    }
    SetArmyIcon(province, 0);
}

void CMapProject::CreateAllProvinceLayers() {
    ShowProgress("Add provinces...", Provinces.GetCount());
    for (uint16_t i = 0; i < Provinces.GetCount(); ++i) {
        SetProgress(i + 1);
        CreateProvinceLayers(Provinces.GetAt(static_cast<uint8_t>(i)));
    }
}

// ------------------------------------------------------------- markers

int CMapProject::DrawProvinceIcon(CProvince* province) {
    TBitmapLayer* marker = FindIconLayer(province);
    if (!marker) return 0;
    if (const TBitmap32* picture = Picture(Editor().MarkerPictures(), 0)) picture->DrawTo(marker->GetBitmap(), 0, 0);
    ReplaceColor(*marker->GetBitmap(), kMagenta, 0);
    return 1;
}

int CMapProject::PlaceIconLayer(TCustomLayer* layer) {
    const CLayerTag* tag = TagOf(layer);
    auto* marker = dynamic_cast<TBitmapLayer*>(layer);
    if (!tag || tag->Kind != CLayerTag::Marker || !marker) return 0;
    thorn::EditorLink& editor = Editor();
    CProvince* province = tag->Owner;
    if (province) {
        const double scale = editor.WorldView().GetScale();
        const TBitmap32* picture = Picture(editor.MarkerPictures(), 0);
        const int32_t w = picture ? picture->Width() : 0, h = picture ? picture->Height() : 0;
        const int32_t px = static_cast<int32_t>(std::trunc(province->FreeX * scale));
        const int32_t py = static_cast<int32_t>(std::trunc(province->FreeY * scale));
        const float left = static_cast<float>(px - w / 2), top = static_cast<float>(py - h / 2);
        marker->SetLocation({left, top, left + static_cast<float>(w), top + static_cast<float>(h)});
    }
    if (editor.Settings().ShIcons)
        ShowWithMouse(*marker);
    else
        marker->SetLayerOptions(0);
    UpdateProvinceLabel(province);
    return 1;
}

void CMapProject::UpdateIconLayers() {
    TLayerCollection& layers = Editor().WorldLayers();
    for (int i = 0; i < layers.GetCount(); ++i) {
        TCustomLayer* layer = layers.GetItem(i);
        const CLayerTag* tag = TagOf(layer);
        if (tag && tag->Kind == CLayerTag::Marker) PlaceIconLayer(layer);
    }
}

// ------------------------------------------------------ castles, armies

int CMapProject::SetCastleIcon(CProvince* province, uint8_t type) {
    if (!province || type > kMaxCastlePicture) return 0;
    TBitmapLayer* layer = FindCastleLayer(province);
    if (!layer) return 0;
    if (province->Owner != CProvinceB::kNoOwner && type != 0 && Players[province->Owner].Capital == province) type = 2;
    province->CastlePicture = type;

    const int shown = ShownCastlePicture(type);
    const TBitmap32* picture = shown < 0 ? nullptr : Picture(Editor().CastlePictures(), shown);
    TBitmap32& bitmap = *layer->GetBitmap();
    const int32_t w = picture ? picture->Width() : 0, h = picture ? picture->Height() : 0;
    bitmap.SetSize(w, h);
    bitmap.Clear(0);
    if (picture) picture->DrawTo(&bitmap, TRect{0, 0, w, h});
    UpdateCastleIconLayer(province);
    return 1;
}

int CMapProject::ShownCastlePicture(uint8_t type) const {
    return NumCastleTypes == 0 ? -1 : std::min<int>(type, NumCastleTypes - 1);
}

int CMapProject::SetArmyIcon(CProvince* province, uint8_t n) {
    if (!province || n > kMaxArmyArgument) return 0;
    TBitmapLayer* layer = FindArmyLayer(province);
    if (!layer) return 0;
    // Every guardian army shows the first army type's picture.
    const TBitmap32* picture = Picture(Editor().CastlePictures(), NumCastleTypes);
    TBitmap32& bitmap = *layer->GetBitmap();
    bitmap.SetSize(picture ? picture->Width() : 0, picture ? picture->Height() : 0);
    bitmap.Clear(0);
    if (picture) picture->DrawTo(&bitmap, 0, 0);
    UpdateArmyIconLayer(province);
    return 1;
}

void CMapProject::PlaceCastleOrArmyLayer(TBitmapLayer& layer, const CProvince& province, uint16_t iconX,
                                         uint16_t iconY, int pivotIndex) {
    const float scale = Editor().WorldView().GetScale();
    float boxLeft = 0, boxTop = 0;
    if (province.MapPieceIndex != -1) {
        if (const CProvinceMap* piece = MapPieces.GetAt(static_cast<uint16_t>(province.MapPieceIndex))) {
            boxLeft = piece->Left;
            boxTop = piece->Top;
        }
    }
    // A pivot the catalogue did not give counts as the picture's corner.
    const TPoint pivot = pivotIndex >= 0 && pivotIndex < CastlePivots.GetCount() ? CastlePivots[pivotIndex] : TPoint{};
    const float x0 = static_cast<float>(iconX) + boxLeft - static_cast<float>(pivot.X);
    const float y0 = static_cast<float>(iconY) + boxTop - static_cast<float>(pivot.Y);
    const float w = static_cast<float>(layer.GetBitmap()->Width()), h = static_cast<float>(layer.GetBitmap()->Height());
    layer.SetLocation({scale * x0, scale * y0, scale * (x0 + w), scale * (y0 + h) + (scale - 1)});
}

int CMapProject::UpdateCastleIconLayer(CProvince* province) {
    TBitmapLayer* layer = FindCastleLayer(province);
    if (!layer) return 0;
    PlaceCastleOrArmyLayer(*layer, *province, province->CastleX, province->CastleY,
                           ShownCastlePicture(province->CastlePicture));
    const CSettings& settings = Editor().Settings();
    if (settings.ShCastles) {
        ShowWithMouse(*layer);
        layer->GetBitmap()->SetMasterAlpha(255);
    } else {
        layer->SetLayerOptions(0);
        if (settings.TransCastles && (province->Castle.Flags & CCastleDataB::kPresent)) {
            layer->GetBitmap()->SetMasterAlpha(settings.TransValue);
            layer->SetVisible(true);
        }
    }
    return 1;
}

int CMapProject::UpdateArmyIconLayer(CProvince* province) {
    TBitmapLayer* layer = FindArmyLayer(province);
    if (!layer) return 0;
    PlaceCastleOrArmyLayer(*layer, *province, province->ArmyX, province->ArmyY, NumCastleTypes);
    const CSettings& settings = Editor().Settings();
    layer->SetVisible(settings.ShArmies != 0);
    if (settings.ShArmies) {
        ShowWithMouse(*layer);
        layer->GetBitmap()->SetMasterAlpha(255);
    } else {
        layer->SetLayerOptions(0);
        if (settings.TransArmies) {
            layer->GetBitmap()->SetMasterAlpha(settings.TransValue);
            layer->SetVisible(true);
        }
    }
    return 1;
}

void CMapProject::UpdateCastleIcons() {
    for (uint16_t i = 0; i < Provinces.GetCount(); ++i) UpdateCastleIconLayer(Provinces.GetAt(static_cast<uint8_t>(i)));
}

void CMapProject::UpdateArmyIcons() {
    for (uint16_t i = 0; i < Provinces.GetCount(); ++i) UpdateArmyIconLayer(Provinces.GetAt(static_cast<uint8_t>(i)));
}

int CMapProject::UpdateAllLabels() {
    for (uint16_t i = 0; i < Provinces.GetCount(); ++i) UpdateProvinceLabel(Provinces.GetAt(static_cast<uint8_t>(i)));
    return 1;
}

// --------------------------------------------------------- save question

CMapProject::SaveAnswer CMapProject::AskSaveChanges() {
    if (Modified == 0) return GoOnUnsaved;
    switch (Editor().Ask("You have made changes in project. Would you like to save your changes?", "Warning",
                         thorn::MessageButtons::YesNoCancel)) {
    case thorn::MessageAnswer::Yes: return SaveFirst;
    case thorn::MessageAnswer::Cancel: return StayPut;
    default: return GoOnUnsaved;
    }
}
