// The project file ("*.pw"): the project serialized from its first byte to
// its last, with no header; loading checks every count and index and then
// rebuilds what the file does not hold.
#include <exception>
#include <vector>

#include "model/GameData.h"
#include "model/OrvSerializer.h"
#include "model/RecordFields.h"
#include "model/mapproject.h"
#include "platform/Files.h"

namespace {

constexpr int kSaveSteps = 3;

// What a failed load puts back before the project is reset: the fields the
// file overwrites and a reset keeps.
struct KeptHead {
    explicit KeptHead(const CMapProject& p)
        : missionId(p.MissionId), head(p), currentTable(p.CurrentStringTable), victory(p.VictoryConds),
          lose(p.LoseConds), pivots(p.CastlePivots) {}

    void PutBack(CMapProject& p) const {
        p.MissionId = missionId;
        static_cast<CMapProjectE&>(p) = head;
        p.CurrentStringTable = currentTable;
        p.VictoryConds = victory;
        p.LoseConds = lose;
    }

    uint32_t missionId;
    CMapProjectE head;
    uint16_t currentTable;
    CVictoryCondsB victory;
    CLoseCondsB lose;
    Orv::CSimpleArray<TPoint> pivots;
};

}  // namespace

int CMapProject::Serialize(Orv::ISerializer& s) {
    const bool loading = s.IsSaving() == 0;

    s.Dword(MissionId);
    s.Byte(Difficulty);
    s.Byte(NumStandardUnits);
    s.Byte(NumNonStandardUnits);
    s.Byte(NumUnitTypesLoaded);
    s.Byte(NumCastleTypes);
    s.Byte(NumArmyTypes);
    s.Byte(NumResources);
    if (loading && (UnitTypeCount() > thorn::GameDataLimits::kMaxUnitTypes ||
                    NumCastleTypes > thorn::GameDataLimits::kMaxCastleTypes ||
                    NumArmyTypes > thorn::GameDataLimits::kMaxArmyTypes ||
                    NumResources > thorn::GameDataLimits::kMaxResources))
        return 0;

    s.Word(WorldWidth);
    s.Word(WorldHeight);
    s.Word(CurrentStringTable);
    if (loading && (WorldWidth < 1 || WorldWidth > kMaxWorldSide || WorldHeight < 1 || WorldHeight > kMaxWorldSide))
        return 0;
    s.Dword(ExperienceLimit);

    Players.Resize(kMaxPlayers);
    for (uint32_t i = 0; i < kMaxPlayers; ++i) Players[i].Serialize(s);

    // Two bytes per castle and army type that mean nothing; written as 0.
    for (int k = 0; k < NumCastleTypes + NumArmyTypes; ++k) {
        uint8_t unused = 0;
        s.Byte(unused);
        s.Byte(unused);
    }
    // The game data's resource values: written, and skipped on reading, so
    // that the catalogue's values stay.
    for (int r = 0; r < NumResources; ++r) {
        int min = ResourceMin[r], third = ResourceThird[r], max = ResourceMax[r];
        s.IntAsByte(min);
        s.IntAsByte(third);
        s.IntAsByte(max);
    }

    VictoryConds.Serialize(s, UnitTypeCount(), NumResources);
    LoseConds.Serialize(s);
    if (!Provinces.Serialize(s)) return 0;
    if (!MapPieces.Serialize(s)) return 0;
    Tables.Serialize(s);
    if (!Events.Serialize(s)) return 0;
    return 1;
}

// ------------------------------------------------------------------ save

int CMapProject::SaveProject(const std::filesystem::path& fileName) {
    std::string unused;
    return SaveProject(fileName, unused);
}

int CMapProject::SaveProject(const std::filesystem::path& fileName, std::string& failure) {
    ShowProgress("Saving project...", kSaveSteps);
    ProgressScope progress(*this);

    const std::vector<uint8_t> bytes = ProjectBytes();
    SetProgress(2);
    try {
        thorn::ReplaceFileSynced(fileName, bytes);
    } catch (const EWriteError& error) {
        failure = error.Message();
        return 0;
    }
    SetProgress(kSaveSteps);
    Modified = 0;
    return 1;
}

std::vector<uint8_t> CMapProject::ProjectBytes() {
    for (uint32_t i = 0; i < Players.GetCount(); ++i) Players[i].CapitalIndex = Provinces.IndexOf(Players[i].Capital);
    Orv::CSerialSizer sizer;
    Serialize(sizer);
    SetProgress(1);
    std::vector<uint8_t> bytes(sizer.Size());
    Orv::CSerialSaver saver(bytes);
    Serialize(saver);
    return bytes;
}

// ------------------------------------------------------------------ load

int CMapProject::LoadProject(const std::filesystem::path& fileName) {
    ShowProgress("Loading data...", 3);
    SetProgress(1);
    const std::optional<std::vector<uint8_t>> bytes = thorn::ReadWholeFile(fileName);
    if (!bytes) {
        HideProgress();
        return 0;
    }
    return LoadProjectFromBytes(*bytes, fileName);
}

int CMapProject::LoadProjectFromBytes(std::span<const uint8_t> bytes, const std::filesystem::path& fileName) {
    const uint32_t modified = Modified;
    const KeptHead kept(*this);
    // The file replaces the mission whole: nothing of the project before it
    // (provinces with their layers, pieces, an overlay) may survive beside
    // it. The catalogue's pivots are not in the file.
    Reset();
    CastlePivots = kept.pivots;
    try {
        SetProgress(2);
        Orv::CSerialLoader loader(bytes);
        const bool read = Serialize(loader) != 0;
        SetProgress(3);
        // A file shorter than its content, or longer, is not a project file.
        if (!read || loader.Error() || loader.Remaining() != 0 || !LoadedContentIsSound())
            throw std::runtime_error("not a sound project file");
        RebuildAfterLoad(fileName);
    } catch (const std::exception& error) {
        if (dynamic_cast<const thorn::EGameDataError*>(&error)) Editor().ShowError(error.what());
        kept.PutBack(*this);
        Reset();
        CastlePivots = kept.pivots;
        Modified = modified;
        HideProgress();
        return 0;
    }
    Modified = modified;
    return 1;
}

bool CMapProject::LoadedContentIsSound() const {
    // A world up to the smallest side the import makes needs no pieces; a
    // larger one must be made of pieces whose masks cover a sixteenth of it
    // at least (an import covers all of it), so that a few bytes cannot
    // claim the gigabytes of the world's bitmap and piece-index map.
    constexpr int64_t kFreeWorldArea = int64_t{kMinWorldSide} * kMinWorldSide;
    constexpr int64_t kCoverDivisor = 16;

    if (Tables.GetCount() == 0 || CurrentStringTable >= Tables.GetCount()) return false;
    const uint16_t pieces = MapPieces.GetCount();
    for (uint16_t i = 0; i < Provinces.GetCount(); ++i) {
        const CProvince& p = *Provinces.GetAt(static_cast<uint8_t>(i));
        if (p.Owner != CProvinceB::kNoOwner && p.Owner >= kMaxPlayers) return false;
        if (p.MapPieceIndex != -1 && (p.MapPieceIndex < 0 || p.MapPieceIndex >= pieces)) return false;
    }
    int64_t maskArea = 0;
    for (uint16_t n = 0; n < pieces; ++n) {
        const CProvinceMap& piece = *MapPieces.GetAt(n);
        if (piece.Left > piece.Right || piece.Right >= WorldWidth || piece.Top > piece.Bottom ||
            piece.Bottom >= WorldHeight)
            return false;
        // The mask is cropped to the box.
        if (piece.Mask->Width() != piece.Right - piece.Left + 1 || piece.Mask->Height() != piece.Bottom - piece.Top + 1)
            return false;
        maskArea += int64_t{piece.Mask->Width()} * piece.Mask->Height();
    }
    const int64_t worldArea = int64_t{WorldWidth} * WorldHeight;
    return worldArea <= kFreeWorldArea || worldArea <= kCoverDivisor * maskArea;
}

void CMapProject::RebuildAfterLoad(const std::filesystem::path& fileName) {
    ReassignMapIndexes();
    for (uint32_t i = 0; i < Players.GetCount(); ++i) Players[i].Capital = Provinces.GetAt(Players[i].CapitalIndex);
    // The pivots are the catalogue's; a project of more types than it has
    // places the extra ones' icons without a pivot.
    CastlePivots.SetSize(NumCastleTypes + NumArmyTypes);
    LoadCastlesAndArmies(*this, 0);
    CreateAllProvinceLayers();
    CreateNeighbourLinksLayer();
    FileName = fileName.string();
    ShowProgress("Redraw world...", 2);
    SetProgress(1);
    SetViewSize();
    // The masks come from the file in one colour: every piece is painted by
    // its kind before the world is drawn.
    RedrawPieces(1);
    DrawNeighbourLinks();
    LoadAbilities(*this);
}
