// The world-picture import: loading, cutting the picture into map pieces
// and classifying them.
#include <algorithm>
#include <new>
#include <optional>
#include <stack>
#include <string>
#include <vector>

#include "model/BitmapHelpers.h"
#include "model/RegionScan.h"
#include "model/Settings.h"
#include "model/mapproject.h"
#include "platform/Classes.h"
#include "platform/Pictures.h"

namespace {

constexpr const char* kResizeQuestion = "Map image has wrong size (less than 160x160). Resize?";
constexpr const char* kNoMemoryToRead = "There is not enough memory to read the world picture";
constexpr const char* kNoMemoryToCut =
    "There is not enough memory to cut the world picture into map pieces; the project was emptied";
constexpr const char* kAnalyzing = "Bitmap analyzing...";
constexpr const char* kTooManyRegions =
    "The picture holds more than 1501 regions: more than a map can hold.\n"
    "A world picture is drawn in flat colours, one colour per province. A JPEG's compression makes thousands of "
    "regions: save the world as BMP.";

// A new piece of colour c over the box, its mask drawn from the runs (world
// coordinates) and its kind set; appended to the project's pieces.
void AppendPiece(CMapProject& project, TColor32 colour, const TRect& box, std::span<const thorn::PixelRun> runs) {
    auto piece = std::make_unique<CProvinceMap>();
    piece->Color = colour;
    piece->Left = static_cast<uint16_t>(box.Left);
    piece->Top = static_cast<uint16_t>(box.Top);
    piece->Right = static_cast<uint16_t>(box.Right);
    piece->Bottom = static_cast<uint16_t>(box.Bottom);
    TBitmap32& mask = *piece->Mask;
    mask.SetSize(box.Right - box.Left + 1, box.Bottom - box.Top + 1);
    uint32_t count = 0;
    for (const thorn::PixelRun& run : runs) {
        TColor32* row = mask.ScanLine(run.y - box.Top);
        std::fill(row + (run.x0 - box.Left), row + (run.x1 - box.Left) + 1, colour);
        count += static_cast<uint32_t>(run.x1 - run.x0 + 1);
    }
    piece->PixelCount = count;
    piece->Kind = FreshPieceKind(project, *piece);
    // The cut stays below the list's limit, so a piece refused is memory
    // running out: the cut stops rather than leave a hole in the world.
    if (project.MapPieces.Add(std::move(piece)) < 0) throw std::bad_alloc();
}

// Runs step; answers false when memory ran out on the way (an allocation,
// or a bitmap whose pixels could not be had).
template <typename Step>
bool WithinMemory(const Step& step) {
    try {
        step();
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const EOutOfResources&) {
        return false;
    }
}

// The picture's regions, found as the analysis's first step under its
// progress caption, the first `room` of them kept (the count is of all);
// none when memory ran out, the editor's error box saying so.
std::optional<thorn::RegionScan> FindRegions(CMapProject& project, const TBitmap32& picture, size_t room) {
    std::optional<thorn::RegionScan> scan;
    if (!WithinMemory([&] {
            project.ShowProgress(kAnalyzing, picture.Width());
            scan = thorn::ScanRegions(picture, room);
        }))
        project.Editor().ShowError(kNoMemoryToRead);
    return scan;
}

// Whether every region of the scan finds room; a picture cut only in part
// would be no world, so when they do not the editor's error box says why.
bool RegionsFit(CMapProject& project, const thorn::RegionScan& scan, size_t room) {
    if (scan.total <= room) return true;
    project.Editor().ShowError(kTooManyRegions);
    return false;
}

size_t RoomForPieces(const CMapProject& project) {
    return CProvinceMapList::kMaxPieces -
           std::min<size_t>(project.MapPieces.GetCount(), CProvinceMapList::kMaxPieces);
}

// The regions of the scan appended as pieces, the progress following their
// first columns across the picture's width.
void AppendRegions(CMapProject& project, const thorn::RegionScan& scan, int32_t width) {
    for (const thorn::PictureRegion& region : scan.regions) {
        AppendPiece(project, region.colour, {region.left, region.top, region.right, region.bottom},
                    scan.RunsOf(region));
        project.SetProgress(static_cast<int32_t>(std::min<int64_t>(width, (int64_t{region.firstX} + 1))));
    }
    project.SetProgress(width);
}

}  // namespace

uint32_t FreshPieceKind(CMapProject& project, CProvinceMap& piece) {
    const CSettings& settings = project.Settings();
    if (piece.Color == settings.OceanColor) return CProvinceMap::Ocean;
    if (piece.Color == settings.GreenLandColor) return CProvinceMap::GreenLand;
    return piece.IsUsable() ? CProvinceMap::Province : CProvinceMap::Small;
}

void AnalyzeBitmap(CMapProject& project, const TBitmap32& picture) {
    project.ShowProgress(kAnalyzing, picture.Width());
    const size_t room = RoomForPieces(project);
    const thorn::RegionScan scan = thorn::ScanRegions(picture, room);
    if (RegionsFit(project, scan, room)) AppendRegions(project, scan, picture.Width());
}

int FillPiece(CMapProject& project, int32_t x, int32_t y, TBitmap32& work) {
    if (project.MapPieces.GetCount() >= CProvinceMapList::kMaxPieces) return 0;
    const TColor32 c = work.GetPixelS(x, y);
    if (c == 0 || x < 0 || y < 0 || x >= work.Width() || y >= work.Height()) return 0;

    // A scanline fill whose spans are kept, so that the mask is made at
    // the size of the box once the box is known.
    auto matches = [&](int32_t px, int32_t py) {
        return px >= 0 && py >= 0 && px < work.Width() && py < work.Height() && work.GetPixel(px, py) == c;
    };
    std::vector<thorn::PixelRun> spans;
    TRect box{x, y, x, y};
    std::stack<TPoint, std::vector<TPoint>> seeds;
    seeds.push({x, y});
    while (!seeds.empty()) {
        const TPoint p = seeds.top();
        seeds.pop();
        box.Top = std::min(box.Top, p.Y);
        box.Bottom = std::max(box.Bottom, p.Y);
        int32_t sl = p.X;
        if (matches(sl, p.Y))
            while (sl > 0 && matches(sl - 1, p.Y)) --sl;
        box.Left = std::min(box.Left, sl);
        int32_t sr = sl - 1;
        for (int32_t px = sl; matches(px, p.Y); ++px) {
            for (int32_t dy : {-1, 1}) {
                if (matches(px, p.Y + dy) && (px == sl || !matches(px - 1, p.Y + dy))) seeds.push({px, p.Y + dy});
            }
            sr = px;
        }
        if (sr < sl) continue;
        box.Right = std::max(box.Right, sr);
        work.HorzLine(sl, p.Y, sr, 0);
        spans.push_back({p.Y, sl, sr});
    }
    std::sort(spans.begin(), spans.end(),
              [](const thorn::PixelRun& a, const thorn::PixelRun& b) { return a.y < b.y || (a.y == b.y && a.x0 < b.x0); });
    AppendPiece(project, c, box, spans);
    return 1;
}

void ClassifyPieces(CMapProject& project) {
    const CSettings& settings = project.Settings();
    for (uint16_t n = 0; n < project.MapPieces.GetCount(); ++n) {
        CProvinceMap& piece = *project.MapPieces.GetAt(n);
        if (piece.Color == settings.OceanColor) {
            piece.Kind = CProvinceMap::Ocean;
        } else if (piece.Color == settings.GreenLandColor) {
            piece.Kind = CProvinceMap::GreenLand;
        } else if (piece.IsProvince() || piece.IsSmall()) {
            piece.PixelCount = FillNonZeroPixels(piece.Mask.get(), 0xBBCCCCCC);
        }
    }
}

// ---------------------------------------------------------------- import

std::optional<thorn::WorldPicture> CMapProject::ReadWorldPicture(const std::filesystem::path& fileName) {
    // The reader refuses sides past a world's from the file's header,
    // before it allocates anything; the count of pixels it takes bounds the
    // memory a picture may claim.
    thorn::PictureLimits limits;
    limits.maxSide = kMaxWorldSide;
    std::unique_ptr<TBitmap32> picture;
    if (!WithinMemory([&] {
            picture = std::make_unique<TBitmap32>();
            picture->LoadFromFile(fileName, limits);
        })) {
        Editor().ShowError(kNoMemoryToRead);
        return std::nullopt;
    }
    return CheckWorldPicture(std::move(picture));
}

std::optional<thorn::WorldPicture> CMapProject::CheckWorldPicture(std::unique_ptr<TBitmap32> picture) {
    if (!picture || picture->Empty()) throw EInvalidGraphic("The world picture is empty");
    int32_t width = picture->Width(), height = picture->Height();
    if (width > kMaxWorldSide || height > kMaxWorldSide)
        throw EInvalidGraphic("The world picture is too large (" + std::to_string(width) + " x " +
                              std::to_string(height) + " pixels): a side may be at most " +
                              std::to_string(kMaxWorldSide) + " pixels");
    if (width < kMinWorldSide || height < kMinWorldSide) {
        if (!Settings().AutoResize &&
            Editor().Ask(kResizeQuestion, "Warning", thorn::MessageButtons::OkCancel) != thorn::MessageAnswer::Ok)
            return std::nullopt;
        width = std::max(width, kMinWorldSide);
        height = std::max(height, kMinWorldSide);
        if (!WithinMemory([&] { ResizeBitmap(*picture, static_cast<uint16_t>(width), static_cast<uint16_t>(height)); })) {
            Editor().ShowError(kNoMemoryToRead);
            return std::nullopt;
        }
    }
    // A picture the map cannot hold is refused whole. The cut needs
    // nothing more of the picture.
    std::optional<thorn::RegionScan> regions = FindRegions(*this, *picture, CProvinceMapList::kMaxPieces);
    if (!regions || !RegionsFit(*this, *regions, CProvinceMapList::kMaxPieces)) return std::nullopt;
    return thorn::WorldPicture{width, height, std::move(*regions)};
}

int CMapProject::ImportWorldPicture(thorn::WorldPicture world, int reload) {
    // From here on the old pieces are gone: a world cut half way is no
    // world, so whatever stops the cut empties the project.
    bool cut = false;
    try {
        cut = WithinMemory([&] { CutWorld(std::move(world.regions), world.width, world.height, reload); });
    } catch (...) {
        Reset();
        throw;
    }
    if (!cut) {
        Reset();
        Editor().ShowError(kNoMemoryToCut);
        return 0;
    }
    return 1;
}

int CMapProject::ImportWorldImage(const std::filesystem::path& fileName, int reload) {
    ProgressScope progress(*this);
    std::optional<thorn::WorldPicture> world = ReadWorldPicture(fileName);
    return world ? ImportWorldPicture(std::move(*world), reload) : 0;
}

int CMapProject::ImportWorldBitmap(std::unique_ptr<TBitmap32> picture, int reload) {
    ProgressScope progress(*this);
    std::optional<thorn::WorldPicture> world = CheckWorldPicture(std::move(picture));
    return world ? ImportWorldPicture(std::move(*world), reload) : 0;
}

void CMapProject::CutWorld(thorn::RegionScan regions, int32_t width, int32_t height, int reload) {
    const PaintingAtOnce atOnce(*this);
    // The warnings point at the pieces about to go.
    ErrorList.Clear();
    MapPieces.Clear();
    MapIndexes.Free();

    if (reload) ScaleProvincePlaces(width, height);
    WorldWidth = static_cast<uint16_t>(width);
    WorldHeight = static_cast<uint16_t>(height);
    SetViewSize();

    AppendRegions(*this, regions, width);
    regions = {};
    ClassifyPieces(*this);
    RedrawPieces(1);
    ReassignMapIndexes();

    CalcNeighbours(*this);
    ReconnectProvinceMaps(*this);
    RemoveEmptyPieces();
    ConvertSmallPieces(*this);
    ReassignMapIndexes();

    CalcCastlePlaces();
    if (reload) KeepProvincePlaces();
}

void CMapProject::ScaleProvincePlaces(int32_t width, int32_t height) {
    const int64_t oldWidth = std::max<int64_t>(WorldWidth, 1), oldHeight = std::max<int64_t>(WorldHeight, 1);
    auto scale = [](int64_t v, int64_t to, int64_t from) { return v * to / from; };
    for (uint16_t i = 0; i < Provinces.GetCount(); ++i) {
        CProvince& p = *Provinces.GetAt(static_cast<uint8_t>(i));
        const int64_t x = p.FreeX, y = p.FreeY;
        const int64_t nx = scale(x, width, oldWidth), ny = scale(y, height, oldHeight);
        p.CastleX = static_cast<uint16_t>(scale(x + p.CastleX, width, oldWidth) - nx);
        p.CastleY = static_cast<uint16_t>(scale(y + p.CastleY, height, oldHeight) - ny);
        p.ArmyX = static_cast<uint16_t>(scale(x + p.ArmyX, width, oldWidth) - nx);
        p.ArmyY = static_cast<uint16_t>(scale(y + p.ArmyY, height, oldHeight) - ny);
        p.FreeX = static_cast<uint16_t>(nx);
        p.FreeY = static_cast<uint16_t>(ny);
    }
}

void CMapProject::KeepProvincePlaces() {
    // The piece indices the provinces held belong to the pieces just
    // replaced: each bound province is bound again, before anything reads
    // its index, to the new province piece under its point that no earlier
    // province took (the rule the rebinding applies), and that piece keeps
    // the province's places where they lie on it. A province that finds no
    // such piece is left unbound at its point.
    std::vector<bool> wasBound(Provinces.GetCount());
    for (uint16_t i = 0; i < Provinces.GetCount(); ++i) {
        CProvince& p = *Provinces.GetAt(static_cast<uint8_t>(i));
        wasBound[i] = p.BoundToPiece != 0;
        p.BoundToPiece = 0;
        p.MapPieceIndex = -1;
    }
    for (uint16_t i = 0; i < Provinces.GetCount(); ++i) {
        if (!wasBound[i]) continue;
        CProvince& p = *Provinces.GetAt(static_cast<uint8_t>(i));
        const int32_t n = PieceUnderProvince(p);
        if (n == -1 || IsPieceOccupied(static_cast<uint32_t>(n)) != 0) {
            p.CastleX = p.ArmyX = p.FreeX;
            p.CastleY = p.ArmyY = p.FreeY;
            continue;
        }
        CProvinceMap& piece = *MapPieces.GetAt(static_cast<uint16_t>(n));
        p.BoundToPiece = 1;
        p.MapPieceIndex = n;
        if (piece.Mask->GetPixelS(p.CastleX, p.CastleY) != 0) {
            piece.CastleX = p.CastleX;
            piece.CastleY = p.CastleY;
        }
        if (piece.Mask->GetPixelS(p.ArmyX, p.ArmyY) != 0) {
            piece.ArmyX = p.ArmyX;
            piece.ArmyY = p.ArmyY;
        }
        p.CastleX = piece.CastleX;
        p.CastleY = piece.CastleY;
        p.ArmyX = piece.ArmyX;
        p.ArmyY = piece.ArmyY;
    }
}
