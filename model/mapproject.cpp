#include "model/mapproject.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "model/BitmapHelpers.h"
#include "model/DetachedEditor.h"
#include "model/GameData.h"
#include "model/Settings.h"
#include "model/TexturedBevel.h"
#include "model/Textures.h"

using thorn::Inspector;
using thorn::TextureStrip;

CMapProject::CMapProject()
    : detached_(std::make_unique<thorn::DetachedEditor>()), editor_(detached_.get()), link_(*this) {
    MapPieces.SetIndexMap(&MapIndexes);
    ConnectWorldView();
}

CMapProject::~CMapProject() {
    Reset();
    DisconnectWorldView();
}

void CMapProject::SetEditorLink(thorn::EditorLink* link) {
    DisconnectWorldView();
    editor_ = link ? link : detached_.get();
    ConnectWorldView();
}

void CMapProject::ConnectWorldView() {
    TImage32& view = Editor().WorldView();
    worldView_ = &view;
    view.OnBitmapNeeded = [this](TObject*, const TRect& part) {
        if (TCustomImage32* shown = worldView_.Get()) composer_.Complete(*shown->BitmapAsIs(), part);
    };
}

void CMapProject::DisconnectWorldView() {
    // Reached through the reference, not the editor: a window that goes
    // lets the project go while its controls may be gone already.
    if (TCustomImage32* view = worldView_.Get()) {
        composer_.CompleteAll(*view->BitmapAsIs());
        view->OnBitmapNeeded = nullptr;
    }
    composer_.Forget();
    worldView_ = nullptr;
}

CPlayerData* CMapProject::PlayerAt(uint32_t n) {
    auto* node = Players.GetItem(n);
    return node ? node->data.get() : nullptr;
}

std::optional<uint32_t> CMapProject::FirstComputerPlayerId() const {
    auto* node = ComputerPlayerTypes.GetItem(0);
    if (!node) return std::nullopt;
    return node->data->Value;
}

// ------------------------------------------------------------ life cycle

int CMapProject::Reset() {
    thorn::EditorLink& editor = Editor();
    editor.StopProvinceBlink();
    for (Inspector grid : {Inspector::Mission, Inspector::Event, Inspector::Player, Inspector::Province})
        editor.DeselectInspector(grid);

    // The warnings point at pieces: they go first.
    ErrorList.Clear();

    editor.ClearSelection();
    // The editor empties the selection through its rows; whatever it left
    // would point at the provinces about to go.
    Selection.Clear();
    DraggedProvince = nullptr;
    DragLayerTag = nullptr;
    Provinces.Clear();
    MapPieces.Clear();
    MapIndexes.Free();
    Events.Clear();
    Tables.Clear();
    CastlePivots.SetSize(0);
    ComputerPlayerTypes.Clear();
    Abilities.Clear();

    editor.ClearProvinceList();
    editor.ClearPlayerList();
    for (Inspector grid : {Inspector::Player, Inspector::Province, Inspector::Event}) {
        editor.DeselectInspector(grid);
        editor.ClearInspector(grid);
    }
    editor.ClearEventList();
    editor.DeselectInspector(Inspector::Mission);
    editor.ClearInspector(Inspector::Mission);

    editor.WorldLayers().Clear();
    layerTags_.Clear();
    // Every pixel is cleared: nothing put off is drawn any more.
    composer_.Forget();
    editor.WorldBitmapAsIs().Clear(0xFFFFFFFF);

    WorldWidth = 1;
    WorldHeight = 1;
    for (uint32_t i = 0; i < std::min<uint32_t>(Players.GetCount(), kMaxPlayers); ++i) Players[i].Init();
    FileName.clear();
    Difficulty = 1;
    ExperienceLimit = 25;
    return 1;
}

int CMapProject::ReadGameDataId() {
    MissionId = thorn::GameDataId(Editor().GameDataElement());
    return 1;
}

// -------------------------------------------------------------- progress

void CMapProject::ShowProgress(std::string_view text, int32_t max) { Editor().ShowProgress(text, max); }

void CMapProject::SetProgress(int32_t position) { Editor().SetProgress(position); }

void CMapProject::HideProgress() { Editor().HideProgress(); }

// ---------------------------------------------------------------- pieces

void CMapProject::RedrawPieces(int all) {
    for (uint16_t n = 0; n < MapPieces.GetCount(); ++n) {
        CProvinceMap& piece = *MapPieces.GetAt(n);
        if (piece.PixelCount != 0 && (all || piece.IsProvince())) RedrawPiece(n);
    }
}

void CMapProject::DrawPieces() {
    for (uint16_t n = 0; n < MapPieces.GetCount(); ++n)
        if (MapPieces.GetAt(n)->PixelCount != 0) DrawMapPiece(n);
}

void CMapProject::RemoveEmptyPieces() { MapPieces.RemoveEmpty(); }

void CMapProject::ReassignMapIndexes() {
    ShowProgress("Reassign map indexes...", MapPieces.GetCount());
    MapIndexes.Resize(WorldWidth, WorldHeight);
    for (uint16_t i = 0; i < MapPieces.GetCount(); ++i) {
        SetProgress(i);
        const CProvinceMap& piece = *MapPieces.GetAt(i);
        if (piece.PixelCount == 0 || !MapIndexes.HasCells()) continue;
        // Only which pixels are set is read: a paint the mask owes can wait.
        const TBitmap32& mask = piece.Mask.AsIs();
        // Only the part of the mask inside the world has cells.
        const int32_t width = std::min(mask.Width(), MapIndexes.Width() - piece.Left);
        const int32_t height = std::min(mask.Height(), MapIndexes.Height() - piece.Top);
        for (int32_t y = 0; y < height; ++y) {
            const TColor32* row = mask.ScanLine(y);
            int32_t* cells = MapIndexes.Row(piece.Top + y) + piece.Left;
            for (int32_t x = 0; x < width; ++x) cells[x] = row[x] != 0 ? int32_t{i} : cells[x];
        }
    }
}

int CMapProject::SetViewSize() {
    TImage32& view = Editor().WorldView();
    view.SetBounds(view.GetLeft(), view.GetTop(), WorldWidth + 10, WorldHeight + 10);
    TBitmap32& world = *view.BitmapAsIs();
    // A bitmap of another size starts empty: nothing put off is drawn on it.
    if (world.Width() != WorldWidth || world.Height() != WorldHeight) composer_.Forget();
    world.SetSize(WorldWidth, WorldHeight);
    return 1;
}

void CMapProject::RedrawPiece(uint16_t n) {
    CProvinceMap* piece = MapPieces.GetAt(n);
    if (!piece) return;
    thorn::EditorLink& editor = Editor();
    const CSettings& settings = editor.Settings();
    switch (piece->Kind) {
    case CProvinceMap::Ocean:
        piece->PixelCount = FillFromTexture(*piece->Mask, editor.Texture(TextureStrip::Sea), 0);
        break;
    case CProvinceMap::GreenLand:
        piece->PixelCount = FillFromTexture(*piece->Mask, editor.Texture(TextureStrip::Normal), 7);
        break;
    case CProvinceMap::Province:
    case CProvinceMap::SmallProvince: {
        const CProvince* province = FindProvinceByPieceIndex(n);
        const uint8_t owner = province ? province->Owner : CProvinceB::kNoOwner;
        const uint8_t tile = settings.OwnerColors ? static_cast<uint8_t>(owner + 1) : 0;
        const CTextures& strip = editor.Texture(piece->Selected ? TextureStrip::Selected : TextureStrip::Normal);
        auto texels = std::make_shared<const thorn::TileTexels>(strip, tile);
        if (RedrawPieceLater(n, *piece, texels)) return;
        thorn::PaintTexturedBevel(*piece->Mask, *texels);
        break;
    }
    case CProvinceMap::Small:
        piece->PixelCount = FillNonZeroPixels(piece->Mask.get(), settings.SmallPieceColor);
        break;
    default:
        piece->PixelCount = FillNonZeroPixels(piece->Mask.get(), settings.OtherPieceColor);
        break;
    }
    DrawMapPiece(n);
}

bool CMapProject::RedrawPieceLater(uint16_t n, CProvinceMap& piece, std::shared_ptr<const thorn::TileTexels> texels) {
    // Only a paint that keeps the shape and covers what is below, drawn
    // as the mask's blend draws it, can wait: then the last paint of a
    // pixel is all that shows of it, whenever it is made.
    const TBitmap32& mask = piece.Mask.AsIs();
    if (paintingAtOnce_ > 0 || !texels->Opaque() || mask.DrawMode() != dmBlend || mask.MasterAlpha() != 255)
        return false;
    TBitmap32& world = Editor().WorldBitmapAsIs();
    piece.Mask.OwePaint(texels);
    if (n > 2000 || piece.PixelCount == 0 || world.Empty() || mask.Empty()) return true;
    composer_.Order(piece.Mask.Shape(), std::move(texels), {piece.Left, piece.Top}, world);
    composer_.Complete(world, WorldInSight());
    world.Changed();
    return true;
}

TRect CMapProject::WorldInSight() {
    thorn::EditorLink& editor = Editor();
    const TImage32& view = editor.WorldView();
    const TRect client = editor.WorldScrollBoxClientRect();
    const double scale = view.GetScale();
    if (!view.GetVisible() || scale <= 0) return {};
    // The scroll box's client area in the view's coordinates, in world
    // pixels, a pixel more on each side for the view's rounding.
    auto at = [scale](int32_t v) { return v / scale; };
    return {static_cast<int32_t>(std::floor(at(-view.GetLeft()))) - 1,
            static_cast<int32_t>(std::floor(at(-view.GetTop()))) - 1,
            static_cast<int32_t>(std::ceil(at(client.Width() - view.GetLeft()))) + 1,
            static_cast<int32_t>(std::ceil(at(client.Height() - view.GetTop()))) + 1};
}

void CMapProject::DrawMapPiece(uint16_t n) {
    if (n > 2000) return;
    const CProvinceMap* piece = MapPieces.GetAt(n);
    if (!piece || piece->PixelCount == 0) return;
    TBitmap32& world = Editor().WorldBitmapAsIs();
    if (world.Empty()) return;
    const TPoint at{piece->Left, piece->Top};
    // The mask is drawn whole over its box: an order of its own shape
    // painted as the mask is about to be would draw nothing that shows.
    // What else was put off under its pixels is drawn first, as it came
    // first; its blend changes no pixel outside them.
    const TBitmap32& unpaid = piece->Mask.AsIs();
    if (piece->Mask.OwesPaint() && unpaid.DrawMode() == dmBlend && unpaid.MasterAlpha() == 255)
        composer_.Cancel(*piece->Mask.Shape(), at);
    if (composer_.Waiting({at.X, at.Y, at.X + unpaid.Width(), at.Y + unpaid.Height()}))
        composer_.CompleteUnder(world, *piece->Mask.Shape(), at);
    piece->Mask->DrawTo(&world, at.X, at.Y);
}

int CMapProject::SelectMapPiece(uint16_t n) {
    CProvinceMap* piece = n == CProvinceMap::kNoPiece ? nullptr : MapPieces.GetAt(n);
    if (!piece || piece->Selected || !piece->IsProvince()) return 1;
    piece->Selected = 1;
    RedrawPiece(n);
    return 1;
}

int CMapProject::DeselectMapPiece(uint16_t n) {
    CProvinceMap* piece = n == CProvinceMap::kNoPiece ? nullptr : MapPieces.GetAt(n);
    if (!piece || !piece->Selected) return 1;
    piece->Selected = 0;
    RedrawPiece(n);
    return 1;
}

// --------------------------------------------------------------- lookups

CProvince* CMapProject::FindProvinceByPieceIndex(uint16_t n) const {
    for (uint16_t i = 0; i < Provinces.GetCount(); ++i) {
        CProvince* province = Provinces.GetAt(static_cast<uint8_t>(i));
        if (province && static_cast<uint16_t>(province->MapPieceIndex) == n) return province;
    }
    return nullptr;
}

CProvince* CMapProject::FindProvinceByMapPiece(const CProvinceMap* piece) const {
    return FindProvinceByPieceIndex(MapPieces.IndexOf(piece));
}

std::string CMapProject::CurrentProvinceName(const CProvince* province) const {
    const CStringTable* table = Tables.GetAt(CurrentStringTable);
    if (!table) return "none";
    return table->GetProvinceName(province);
}
