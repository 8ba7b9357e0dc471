// The world view shared by the project and the main window: province
// labels beside their markers, the zoom, fitting and scrolling the view,
// the window's state with and without a project, and the tests that keep
// dragged icons on their province's piece.
#include <algorithm>
#include <cmath>
#include <string>

#include "bitmap/Pix32_Layers.h"
#include "model/BitmapHelpers.h"
#include "model/Settings.h"
#include "model/mapproject.h"

using thorn::EditorAction;
using thorn::ProjectControl;
using thorn::ScrollBarKind;

namespace {

// Labels keep this far inside the view.
constexpr int32_t kLabelMargin = 6;
// The gap between a marker and its label.
constexpr int32_t kLabelGap = 2;
// Incomes a castle and a bank add to the first resource.
constexpr int kCastleIncome = 5;
constexpr int kBankIncome = 3;
constexpr float kMinZoom = 1.0f;
constexpr float kMaxZoom = 8.0f;

// An opaque shadow that stands out against the text colour.
TColor32 ShadowFor(TColor32 color) { return Intensity(color) >= 128 ? 0xFF000000u : 0xFFFFFFFFu; }

std::string IncomeLine(const CProvince& province, int resourceCount) {
    std::string line;
    for (int i = 0; i < resourceCount; ++i) {
        int value = i < province.Resources.GetCount() ? province.Resources[i] : 0;
        if (i == 0 && (province.Castle.Flags & CCastleDataB::kPresent)) {
            value += kCastleIncome;
            if (province.Castle.Buildings & CCastleDataB::kBank) value += kBankIncome;
        }
        if (i > 0) line += '+';
        line += std::to_string(value);
    }
    return line;
}

}  // namespace

void CopyFont(const TFont& source, TFont& dest) {
    dest.SetCharset(source.GetCharset());
    dest.SetColor(source.GetColor());
    dest.SetHeight(source.GetHeight());
    dest.SetName(source.GetName());
    dest.SetPitch(source.GetPitch());
    dest.SetPixelsPerInch(source.GetPixelsPerInch());
    dest.SetSize(source.GetSize());
    dest.SetStyle(source.GetStyle());
}

// --------------------------------------------------------------- labels

int CMapProject::UpdateProvinceLabel(CProvince* province) {
    TBitmapLayer* layer = FindNameLayer(province);
    if (!layer) return 1;
    const CSettings& settings = Editor().Settings();
    const std::string name = CurrentProvinceName(province);
    const std::string incomes = IncomeLine(*province, NumResources);
    const TColor32 color = ColorToColor32(static_cast<TColor>(ColorToRGB(settings.LabelFont.GetColor())));
    const TColor32 shadow = ShadowFor(color);

    TBitmap32& bitmap = *layer->GetBitmap();
    CopyFont(settings.LabelFont, bitmap.Font());
    const TSize first = bitmap.TextExtent(name), second = bitmap.TextExtent(incomes);
    bitmap.SetSize(std::max(first.cx, second.cx), 2 * first.cy);
    bitmap.Clear(0);
    bitmap.RenderText(1, 1, name, 0, shadow);
    bitmap.RenderText(0, 0, name, 0, color);
    const int32_t x2 = (bitmap.Width() - second.cx) / 2, y2 = 4 * first.cy / 5;
    bitmap.RenderText(x2 + 1, y2 + 1, incomes, 0, shadow);
    bitmap.RenderText(x2, y2, incomes, 0, color);

    PlaceLabelLayer(province);
    if (settings.ShNames)
        layer->SetLayerOptions(layer->GetLayerOptions() | kLayerMouseEvents | kLayerVisible);
    else
        layer->SetLayerOptions(0);
    return 1;
}

int CMapProject::PlaceLabelLayer(CProvince* province) {
    TBitmapLayer* marker = FindIconLayer(province);
    TBitmapLayer* label = FindNameLayer(province);
    if (!marker || !label) return 0;
    const TRect client = Editor().WorldView().GetClientRect();
    const int32_t cw = client.Right, ch = client.Bottom;
    const int32_t iw = marker->GetBitmap()->Width(), ih = marker->GetBitmap()->Height();
    const int32_t ix = static_cast<int32_t>(std::trunc(marker->GetLocation().Left));
    const int32_t iy = static_cast<int32_t>(std::trunc(marker->GetLocation().Top));
    const int32_t lw = label->GetBitmap()->Width(), lh = label->GetBitmap()->Height();

    int32_t x, y;
    if (ch - kLabelMargin < iy + ih + lh + kLabelGap) {
        // No room below: at the bottom edge, left of the marker or else right.
        x = ix - kLabelGap - lw;
        if (x <= kLabelMargin) x = ix + iw + kLabelGap;
        y = ch - kLabelMargin - lh;
    } else {
        x = ix + iw / 2 - lw / 2;
        if (ix + iw / 2 - lw / 2 - kLabelGap < kLabelMargin) x = kLabelMargin;
        if (ix + iw / 2 + lw / 2 + kLabelGap > cw - kLabelMargin) x = cw - kLabelMargin - lw;
        y = iy + ih + kLabelGap;
    }
    // Kept signed: a view too small for the label puts it partly outside
    // rather than wrapping it tens of thousands of pixels away.
    const auto f = [](int32_t v) { return static_cast<float>(v); };
    label->SetLocation({f(x), f(y), f(x + lw), f(y + lh)});
    return 1;
}

// ----------------------------------------------------------------- zoom

void CMapProject::SetZoom(float scale) {
    if (scale > kMaxZoom || scale < kMinZoom) return;
    thorn::EditorLink& editor = Editor();
    editor.EnableAction(EditorAction::ZoomIn, scale != kMaxZoom);
    editor.EnableAction(EditorAction::ZoomOut, scale != kMinZoom);
    const int32_t increment = scale == kMinZoom ? 1 : static_cast<int32_t>(std::trunc(2.0 * scale));
    editor.SetWorldScrollIncrement(ScrollBarKind::Horizontal, increment);
    editor.SetWorldScrollIncrement(ScrollBarKind::Vertical, increment);
    editor.WorldView().SetScale(scale);
    FitWorldImage();
    UpdateIconLayers();
    UpdateCastleIcons();
    UpdateArmyIcons();
    editor.SetStatusText(1, std::to_string(static_cast<int32_t>(std::trunc(100.0 * scale))) + "%");
}

void CMapProject::FitWorldImage() {
    thorn::EditorLink& editor = Editor();
    TImage32& view = editor.WorldView();
    const TRect box = editor.WorldScrollBoxBounds();
    const double scale = view.GetScale();
    const int32_t width = static_cast<int32_t>(std::trunc(view.BitmapAsIs()->Width() * scale));
    const int32_t height = static_cast<int32_t>(std::trunc(view.BitmapAsIs()->Height() * scale));
    int32_t left = view.GetLeft(), top = view.GetTop();
    if (width > 10) {
        // A side the box holds whole is centred, with nothing left to
        // scroll: a position kept from a larger view would push it aside.
        const bool fitsAcross = width < box.Width(), fitsDown = height < box.Height();
        if (fitsAcross) editor.SetWorldScrollPosition(ScrollBarKind::Horizontal, 0);
        if (fitsDown) editor.SetWorldScrollPosition(ScrollBarKind::Vertical, 0);
        left = fitsAcross ? (box.Width() - width) / 2 : -editor.WorldScrollPosition(ScrollBarKind::Horizontal);
        top = fitsDown ? (box.Height() - height) / 2 : -editor.WorldScrollPosition(ScrollBarKind::Vertical);
    }
    view.SetBounds(left, top, width, height);
    UpdateIconLayers();
}

void CMapProject::ScrollViewTo(uint16_t x, uint16_t y) {
    thorn::EditorLink& editor = Editor();
    const TBitmap32& world = editor.WorldBitmapAsIs();
    if (world.Empty()) return;
    const TRect client = editor.WorldScrollBoxClientRect();
    const int64_t hRange = editor.WorldScrollRange(ScrollBarKind::Horizontal);
    const int64_t vRange = editor.WorldScrollRange(ScrollBarKind::Vertical);
    const int64_t h = hRange * x / world.Width() - client.Width() / 2;
    const int64_t v = vRange * y / world.Height() - client.Height() / 2;
    editor.SetWorldScrollPosition(ScrollBarKind::Horizontal, static_cast<int32_t>(h));
    editor.SetWorldScrollPosition(ScrollBarKind::Vertical, static_cast<int32_t>(v));
}

// ------------------------------------------------------ the main window

int CMapProject::EnableProjectUI(int open) {
    const bool f = open != 0;
    thorn::EditorLink& editor = Editor();
    editor.ShowControl(ProjectControl::NoProjectLabel, !f);
    editor.ShowControl(ProjectControl::PlayersTab, f);
    editor.ShowControl(ProjectControl::ProvincesTab, f);
    for (EditorAction action :
         {EditorAction::SaveProject, EditorAction::SaveAsProject, EditorAction::SavePDA, EditorAction::ReloadMap,
          EditorAction::ZoomIn, EditorAction::ZoomFill, EditorAction::ZoomOut, EditorAction::ShowMissRMI,
          EditorAction::ShowEventRMI, EditorAction::ShowOwnerColor, EditorAction::ShowNeighbours,
          EditorAction::ShowNames, EditorAction::ShowIcons, EditorAction::ShowCastles, EditorAction::ShowArmies,
          EditorAction::ShowErrors, EditorAction::ShowPreferences, EditorAction::RecalcIconPlaces,
          EditorAction::AddProvince, EditorAction::DelProvince})
        editor.EnableAction(action, f);
    editor.EnableControl(ProjectControl::ProvinceList, f);
    editor.EnableControl(ProjectControl::PlayerList, f);
    editor.WorldView().SetVisible(f);
    editor.EnableControl(ProjectControl::EventToolBar, f);
    return 1;
}

// ------------------------------------------------------------ hit tests

int CMapProject::CanPlaceIconAt(const CProvince* province, uint16_t x, uint16_t y) const {
    if (!province || province->MapPieceIndex == -1) return 0;
    const CProvinceMap* piece = MapPieces.GetAt(static_cast<uint16_t>(province->MapPieceIndex));
    if (!piece || !piece->Mask) return 0;
    // Only whether the pixel is set: a paint the mask owes can wait.
    return piece->Mask.AsIs().GetPixelS(x, y) != 0 ? 1 : 0;
}

int CMapProject::CanPlaceCastleAt(const CProvince* province, uint16_t x, uint16_t y) const {
    return CanPlaceIconAt(province, x, y);
}

int CMapProject::CanPlaceArmyAt(const CProvince* province, uint16_t x, uint16_t y) const {
    return CanPlaceIconAt(province, x, y);
}
