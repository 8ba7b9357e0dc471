#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "bitmap/Pix32.h"
#include "model/EditorLink.h"
#include "model/ErrorList.h"
#include "model/LayerTag.h"
#include "model/Event.h"
#include "model/Event_list.h"
#include "model/MapMap.h"
#include "model/MissionConds.h"
#include "model/OrvSimpleArray.h"
#include "model/OrvString.h"
#include "model/PlayerData.h"
#include "model/ProjectLink.h"
#include "model/Province.h"
#include "model/ProvinceList.h"
#include "model/RegionScan.h"
#include "model/Select.h"
#include "model/StringTableList.h"
#include "model/TileTexels.h"
#include "model/WorldComposer.h"
#include "model/pda_list.h"
#include "model/prov_maplist.h"

class CSettings;
class TBitmapLayer;
class TCustomLayer;
class TFont;
namespace thorn {
class DetachedEditor;

// A world picture read and accepted for the import: its sides (enlarged to
// the smallest a world takes) and its regions, all the cut needs of it.
struct WorldPicture {
    int32_t width = 0;
    int32_t height = 0;
    RegionScan regions;
};
}  // namespace thorn

// The editor-side head of the project: the mission's difficulty and the
// counts of the game data that was read.
struct CMapProjectE {
    uint8_t Difficulty = 1;
    uint8_t NumStandardUnits = 0;     // "standart" of the catalogue's "Units"
    uint8_t NumNonStandardUnits = 0;  // "non-standart"
    uint8_t NumUnitTypesLoaded = 0;
    uint8_t NumCastleTypes = 0;
    uint8_t NumArmyTypes = 0;
    uint8_t NumResources = 0;
};

// The mission record that the game receives; the export fills its arrays
// from the project.
struct CMapProjectB {
    uint32_t MissionId = 0;
    Orv::CSimpleArray<Orv::CString> ResourceCodes;
    Orv::CSimpleArray<CPlayerDataB> GamePlayers;
    uint32_t ExperienceLimit = 25;
    CVictoryCondsB VictoryConds;
    CLoseCondsB LoseConds;
    Orv::CSimpleArray<CProvinceB> GameProvinces;
    Orv::CSimpleArray<CEventB> GameEvents;
};

// The single project object of the editor: the mission being edited, the
// world picture cut into map pieces with the piece-index map, the
// provinces, players, string tables, events, the game-data lists and the
// world-image warnings. It is the mission records' project (it installs
// itself as their ProjectLink while it lives) and reaches the editor's
// windows only through its EditorLink.
class CMapProject final : public CMapProjectE, public CMapProjectB, public thorn::ProjectLink {
public:
    // World pictures smaller than this a side are enlarged.
    static constexpr int32_t kMinWorldSide = 160;
    // The longest world side a project file and the export take.
    static constexpr int32_t kMaxWorldSide = 32640;
    static constexpr int kMaxPlayers = 6;

    CMapProject();
    // Resets the project, then lets the records go.
    ~CMapProject();
    CMapProject(const CMapProject&) = delete;
    CMapProject& operator=(const CMapProject&) = delete;

    // ---- the editor
    // Hands over the editor's windows; null goes back to the detached
    // stand-in. The editor removes itself before it goes.
    void SetEditorLink(thorn::EditorLink* link);
    thorn::EditorLink& Editor() const { return *editor_; }
    CSettings& Settings() const { return editor_->Settings(); }

    // ---- what the records need of their project
    void MarkModified() override { Modified = 1; }
    int ResourceCount() const override { return NumResources; }
    int UnitTypeCount() const override { return int{NumStandardUnits} + NumNonStandardUnits; }
    CPlayerData* PlayerAt(uint32_t n) override;
    uint8_t ProvinceIndex(const CProvince* province) const override { return Provinces.IndexOf(province); }
    std::optional<uint32_t> FirstComputerPlayerId() const override;
    CStringTableList& StringTables() override { return Tables; }

    // ---- life cycle
    // Empties the project in place: blink stopped, grids deselected and
    // cleared, warnings, selection, drag, provinces, pieces, events, string
    // tables, castle pivots and game-data lists cleared, the view's layers
    // removed and its bitmap cleared white, the world 1 x 1, the players
    // reset, no file name, difficulty 1, experience limit 25. The modified
    // flag, the mission id, the game-data counts and the resource arrays
    // stay. Answers 1.
    int Reset();
    // The mission id from the game data's "dwID": its first four characters
    // packed with the first in the top byte (missing ones count 0). Answers 1.
    int ReadGameDataId();

    // ---- progress window (forwarded to the editor)
    void ShowProgress(std::string_view text, int32_t max);
    void SetProgress(int32_t position);
    void HideProgress();

    // ---- world picture
    // Reads a world picture and checks all that can refuse it, changing
    // nothing of the project. A file that cannot be read, of no picture
    // format the readers know, with a side past 32640 pixels or more pixels
    // than a picture may hold throws (EFOpenError, EInvalidGraphic, saying
    // why). A picture smaller than 160 a side is enlarged, after the
    // question unless AutoResize is set: refused, the answer is none. Short
    // of memory, or with more regions than a map holds pieces (1501), the
    // editor's error box says why (and what a world picture must be) and
    // the answer is none. Leaves the progress window shown.
    std::optional<thorn::WorldPicture> ReadWorldPicture(const std::filesystem::path& fileName);
    // The same for a picture already in memory, which it takes over.
    std::optional<thorn::WorldPicture> CheckWorldPicture(std::unique_ptr<TBitmap32> picture);
    // Cuts an accepted picture into map pieces, with neighbours, merges,
    // conversions, warnings and icon places; reload keeps the provinces and
    // scales their places to the new world. Short of memory, the editor's
    // error box says so, the project is reset and the answer is 0; anything
    // else that stops the cut resets the project and goes on to the caller.
    // Answers 1 on success.
    int ImportWorldPicture(thorn::WorldPicture world, int reload);
    // ReadWorldPicture, then ImportWorldPicture; 0 for a picture refused,
    // the project as it was. The progress window is hidden at the end.
    int ImportWorldImage(const std::filesystem::path& fileName, int reload);
    // CheckWorldPicture, then ImportWorldPicture, the same way.
    int ImportWorldBitmap(std::unique_ptr<TBitmap32> picture, int reload);
    // Repaints every piece with pixels (all != 0) or only the province
    // pieces, and draws them onto the world bitmap.
    void RedrawPieces(int all);
    // Draws every piece with pixels onto the world bitmap.
    void DrawPieces();
    // Deletes every empty piece; indices held outside the list go stale.
    void RemoveEmptyPieces();
    // The piece covering the world pixel; -1 outside the world or where no
    // piece lies.
    int32_t GetPieceAt(int32_t x, int32_t y) const { return MapIndexes.Get(x, y); }
    // Rebuilds the piece-index map from the pieces' masks; a later piece
    // wins where masks overlap.
    void ReassignMapIndexes();
    // The world view takes the world's size. Answers 1.
    int SetViewSize();
    // Castle and army places of every province piece; pieces too small for
    // full-size icons become kind 4. Leaves the progress window shown.
    void CalcCastlePlaces();

    // ---- new mission
    // Builds the mission on the imported world: the mission id and the
    // game-data catalogue (checked whole first), the six players, a province
    // for every province piece, the neighbour-link overlay and the view.
    // Answers 1 with the modified flag clear. Whatever stops the build (a
    // catalogue the editor cannot use, memory running out) is shown through
    // the editor's error box; the project is then reset and the answer is 0.
    int NewMissionFromImage();
    // After a reload: the abilities read again, then every province bound
    // to the free province piece under its point (points near the right or
    // bottom edge moved 30 pixels inside first), or left unbound; the world
    // repainted. Answers 1.
    int RebindProvinces();

    // ---- project file ("*.pw")
    // The project's form in the file, every count and index checked as it
    // is read. Answers 1, or 0 when loading met a count past its limit (the
    // rest is not read).
    int Serialize(Orv::ISerializer& s);
    // Writes the project file through a temporary file renamed over the
    // target (thorn::ReplaceFileSynced: a link is written through, the mode
    // is kept, a file the user may not write is refused, and both the file
    // and its folder are synced). Answers 1 and clears the modified flag, or
    // 0 when the file could not be written (the flag stays), with failure
    // naming the file and the system's reason.
    int SaveProject(const std::filesystem::path& fileName, std::string& failure);
    int SaveProject(const std::filesystem::path& fileName);
    // The bytes of the project file, the players' capital indices brought up
    // to date from their capitals first.
    std::vector<uint8_t> ProjectBytes();
    // Reads a project file into the project and rebuilds pieces, provinces'
    // layers, pictures and overlay. Answers 1, or 0 for a file that cannot
    // be read, is truncated, holds bytes past its end, breaks a limit or an
    // index, or whose rebuild fails; the project is then reset. The
    // modified flag stays as it was.
    int LoadProject(const std::filesystem::path& fileName);
    // The same for a file already in memory.
    int LoadProjectFromBytes(std::span<const uint8_t> bytes, const std::filesystem::path& fileName);

    // ---- painting pieces
    // Paints piece n's mask by its kind, selection and owner, then draws
    // it; nothing for an index past the list. A province piece painted
    // from an opaque tile is painted lazily, as many are at once (a
    // selection, an owner for all of them): its mask owes the paint until
    // something looks at it, and the world bitmap is drawn at once only
    // where the view shows it, the rest when the view scrolls there or the
    // bitmap is read (the view's GetBitmap). Nobody can tell: every way to
    // the mask and to the picture gets them up to date first.
    void RedrawPiece(uint16_t n);
    // Draws piece n's mask onto the world bitmap at its box; nothing for an
    // index above 2000 or past the list, or an empty piece.
    void DrawMapPiece(uint16_t n);
    // Marks a province piece selected (or not) and repaints it; answers 1.
    int SelectMapPiece(uint16_t n);
    int DeselectMapPiece(uint16_t n);

    // ---- binding provinces to pieces
    // 1 when no province may be bound to piece n: no piece (0xFFFFFFFF or
    // past the list), ocean, green land or unclassified, or a piece a bound
    // province already holds.
    int IsPieceOccupied(uint32_t n) const;
    // Binds the province to piece n: its castle and army points become the
    // piece's places, its icons move there and the piece takes its owner's
    // tile. Answers 0 (nothing changes for a piece past the list).
    int AttachProvinceToPiece(CProvince* province, uint16_t n);
    // Unbinds the province: its icons go to its free position. Answers 1.
    int DetachProvince(CProvince* province);
    // Binds every unbound province to the free province piece under its
    // free position, if there is one. Answers 1.
    int AttachFreeProvinces();

    // ---- provinces
    // A province for every province piece in index order, at most 99 (the
    // editor's error box says so at the 100th). Answers 1, or 0 when the
    // limit stopped it.
    int CreateProvinces();
    // A new province with its layers, named "Noname <n>" by the first free
    // number from the new count; null (with the editor's error box) when
    // the project already has 99.
    CProvince* AddProvince(uint16_t x, uint16_t y, uint16_t castleX, uint16_t castleY, uint16_t armyX, uint16_t armyY,
                           uint8_t bound, int32_t pieceIndex);
    // A free province at the world point 20 pixels up and left of the
    // middle of the visible part of the view (kept inside the world).
    CProvince* AddProvinceAtViewCentre();
    // Deletes the provinces selected in the provinces list with their rows,
    // layers and names; conditions and capitals that named them let go, the
    // conditions' later indices move down, and the free provinces are bound
    // again.
    void DeleteSelectedProvinces();
    // Six players whose unit-type, army, unit-name and treasury arrays fit
    // the game data; the victory amounts sized and set to 10.
    void ResizePlayerData();

    // ---- neighbour-link overlay (the view's layer at position 0)
    // Makes the overlay layer at the bottom of the layers, shown as the
    // settings' walking paths are. Its bitmap is made only by a redraw while
    // it is shown, and only as large as the lines need.
    void CreateNeighbourLinksLayer();
    // Redraws the green lines between the army places of neighbouring
    // provinces into a bitmap that covers them (placed over the part of the
    // world they cross); nothing while the overlay is hidden or missing.
    void DrawNeighbourLinks();
    // Shows the overlay with its lines redrawn, or hides it and lets its
    // bitmap go.
    void ShowNeighbourLinks(bool shown);
    // The overlay: the bitmap layer without a tag record at position 0.
    TBitmapLayer* NeighbourLinksLayer() const;

    // ---- layer lookups (first match from position 0; 0xFFFF / null when
    // the province is null or has no such layer)
    uint16_t FindIconLayerIndex(const CProvince* province) const;
    uint16_t FindNameLayerIndex(const CProvince* province) const;
    uint16_t FindCastleLayerIndex(const CProvince* province) const;
    uint16_t FindArmyLayerIndex(const CProvince* province) const;
    TBitmapLayer* FindIconLayer(const CProvince* province) const;
    TBitmapLayer* FindNameLayer(const CProvince* province) const;
    TBitmapLayer* FindCastleLayer(const CProvince* province) const;
    TBitmapLayer* FindArmyLayer(const CProvince* province) const;
    // The tag record of one of the project's layers; null for any other.
    const CLayerTag* TagOf(const TCustomLayer* layer) const;
    // Moves every castle and army layer down to position 1, beneath the
    // markers and labels.
    void SendIconLayersBack();

    // ---- province layers: marker, label, castle and army
    // The province's list row and its four layers, drawn and placed.
    void CreateProvinceLayers(CProvince* province);
    // CreateProvinceLayers for every province under the progress caption
    // "Add provinces..."; the progress window is left shown.
    void CreateAllProvinceLayers();
    // The marker picture drawn into the marker layer, its magenta made
    // transparent. Answers 1 (0 without a marker layer).
    int DrawProvinceIcon(CProvince* province);
    // Places a marker layer at its province's point at the current zoom and
    // shows it by the settings, the label following. Answers 0 for a layer
    // that is no marker.
    int PlaceIconLayer(TCustomLayer* layer);
    // PlaceIconLayer for every marker layer.
    void UpdateIconLayers();
    // Draws castle picture type (0 village, 1 castle; a capital always
    // gets 2) into the castle layer and places it. Answers 0 for a null
    // province, a type above 16 or no castle layer.
    int SetCastleIcon(CProvince* province, uint8_t type);
    // Places the castle layer by the castle point, the picture's pivot and
    // the zoom, and shows it by the settings. Answers 0 without the layer.
    int UpdateCastleIconLayer(CProvince* province);
    // Draws the first army picture into the army layer and places it.
    // Answers 0 for a null province, n above 6 or no army layer.
    int SetArmyIcon(CProvince* province, uint8_t n);
    int UpdateArmyIconLayer(CProvince* province);
    void UpdateCastleIcons();
    void UpdateArmyIcons();
    // UpdateProvinceLabel for every province. Answers 1.
    int UpdateAllLabels();
    // The answer to the save question, as the command that asked acts on
    // it. The numbers are the ones the question has always answered.
    enum SaveAnswer : int {
        GoOnUnsaved = 0,  // "No", or nothing to save: the command goes on
        SaveFirst = 1,    // "Yes": the command saves, then goes on
        StayPut = 2,      // "Cancel": the command does nothing
    };
    // With unsaved changes, asks whether to save them; GoOnUnsaved at once
    // when nothing changed.
    SaveAnswer AskSaveChanges();

    // ---- labels, zoom and view
    // Draws the province's two-line label (name; incomes joined by "+"),
    // places it beside the marker and shows it by the settings. Answers 1.
    int UpdateProvinceLabel(CProvince* province);
    // Places the label below the marker, kept 6 pixels inside the view.
    // Answers 0 when the marker or the label layer is missing.
    int PlaceLabelLayer(CProvince* province);
    // Zooms the view to scale (1.0 to 8.0; anything else is ignored).
    void SetZoom(float scale);
    // Sizes the view to the zoomed world and centres it in the scroll box
    // where it is smaller.
    void FitWorldImage();
    // Switches the main window between its states with and without a
    // project. Answers 1.
    int EnableProjectUI(int open);
    // 1 when the province is bound to a piece and the piece's mask pixel
    // (x, y), relative to the piece's box, is set.
    int CanPlaceCastleAt(const CProvince* province, uint16_t x, uint16_t y) const;
    int CanPlaceArmyAt(const CProvince* province, uint16_t x, uint16_t y) const;

    // ---- lookups
    // The first province whose piece index, in its low 16 bits, is n.
    CProvince* FindProvinceByPieceIndex(uint16_t n) const;
    CProvince* FindProvinceByMapPiece(const CProvinceMap* piece) const;
    // The province's name in the current string table ("none" for null).
    std::string CurrentProvinceName(const CProvince* province) const;
    // Scrolls the world view so that the world point comes to the middle
    // of the scroll box; nothing while the world bitmap is empty.
    void ScrollViewTo(uint16_t x, uint16_t y);

    // ---- export (built with the export library)
    // The text of the first check the mission fails, completing "You can't
    // save mission because %s"; empty when the mission may be exported.
    std::string ValidateMission() const;
    // Compiles the mission into "<name>.pdb" and "<name>.pak" beside the
    // chosen file name. Answers 1 when the packer ran, 0 when "mission.dat"
    // could not be written.
    int ExportMission(const std::filesystem::path& fileName);

    // ---- data
    uint16_t WorldWidth = 1;
    uint16_t WorldHeight = 1;
    uint16_t CurrentStringTable = 0;
    CMapMap MapIndexes;  // piece index per world pixel, -1 where none
    CList<CPlayerData> Players;
    std::array<int16_t, 16> ResourceThird{};
    std::array<int16_t, 16> ResourceMin{};
    std::array<int16_t, 16> ResourceMax{};
    CProvinceList Provinces;
    CProvinceMapList MapPieces;
    CStringTableList Tables;
    CEventList Events;
    Orv::CSimpleArray<TPoint> CastlePivots;  // castle types, then army types
    CList<CAbilityStruct> Abilities;
    CList<CAbilityStruct> ComputerPlayerTypes;
    CSelect Selection;
    CProvince* DraggedProvince = nullptr;
    // The tag record of the world-view layer the designer is dragging; null
    // when none is. Cleared when its province is deleted and on Reset.
    const CLayerTag* DragLayerTag = nullptr;
    std::string FileName;
    uint32_t Modified = 0;
    CErrorList ErrorList{*this};

private:
    // The import's part that replaces the pieces: the world takes the
    // picture's size and is cut into pieces (the picture's regions, found
    // already), with neighbours, merges, conversions, warnings and icon
    // places.
    void CutWorld(thorn::RegionScan regions, int32_t width, int32_t height, int reload);
    // The new world's size taken by every province's point and icon places.
    void ScaleProvincePlaces(int32_t width, int32_t height);
    // After a reload: every bound province is bound to the new piece under
    // its point (or unbound), and that piece keeps the province's places.
    void KeepProvincePlaces();
    // The piece under the province's point, the point first taken 30 pixels
    // inside the world when it lies within 5 pixels of the right or bottom
    // edge; -1 when none.
    int32_t PieceUnderProvince(CProvince& province);
    // Binds the province to piece n and places its icons, leaving the
    // piece's painting to the caller.
    void BindProvince(CProvince& province, uint16_t n);
    // The checks a loaded project must pass before it is rebuilt: at least
    // one string table and the current one among them, owners that are
    // players or none, piece indices inside the piece list, pieces inside
    // the world with masks the size of their boxes, and a world larger than
    // 160 x 160 covered by the masks for a sixteenth at least.
    bool LoadedContentIsSound() const;
    // Everything the project file does not hold, made from what it does.
    void RebuildAfterLoad(const std::filesystem::path& fileName);
    // The position of the province's layer of that kind, 0xFFFF when none.
    uint16_t FindLayerIndex(const CProvince* province, uint8_t kind) const;
    TBitmapLayer* FindLayer(const CProvince* province, uint8_t kind) const;
    // A new layer of the province on top of the view, with its tag record.
    TBitmapLayer* AddProvinceLayer(CProvince* province, uint8_t kind);
    // Deletes the province's layers with their tag records.
    void DeleteProvinceLayers(const CProvince* province);
    // Deletes one province: capitals, conditions, names and layers.
    void DeleteProvince(CProvince* province);
    // Places a castle or army layer by its icon point and pivot.
    void PlaceCastleOrArmyLayer(TBitmapLayer& layer, const CProvince& province, uint16_t iconX, uint16_t iconY,
                                int pivotIndex);
    int CanPlaceIconAt(const CProvince* province, uint16_t x, uint16_t y) const;
    // The castle picture shown for a castle type: the type's own, or the
    // last castle picture when the catalogue has fewer types (a capital of
    // a two-type catalogue shows the castle); -1 without castle types.
    int ShownCastlePicture(uint8_t type) const;
    // The bitmap of picture n of a list, null past its end.
    static const TBitmap32* Picture(const TBitmap32List& list, int n);
    // The lazy part of RedrawPiece, when the piece may be painted so.
    bool RedrawPieceLater(uint16_t n, CProvinceMap& piece, std::shared_ptr<const thorn::TileTexels> texels);
    // Pieces are painted at once while it lives: the world is being cut or
    // every piece is drawn again right after, so putting a paint off only
    // adds to the work.
    class PaintingAtOnce {
    public:
        explicit PaintingAtOnce(CMapProject& project) : project_(project) { ++project_.paintingAtOnce_; }
        ~PaintingAtOnce() { --project_.paintingAtOnce_; }
        PaintingAtOnce(const PaintingAtOnce&) = delete;
        PaintingAtOnce& operator=(const PaintingAtOnce&) = delete;

    private:
        CMapProject& project_;
    };
    // The part of the world the view shows (empty when it shows none).
    TRect WorldInSight();
    // The world view asks the project for the parts of the world bitmap it
    // is about to read; a view let go of gets every part first.
    void ConnectWorldView();
    void DisconnectWorldView();

    thorn::LayerTags layerTags_;
    std::unique_ptr<thorn::DetachedEditor> detached_;
    thorn::EditorLink* editor_;
    // The drawing of pieces onto the world bitmap that waits until seen,
    // and the view that asks for it.
    thorn::WorldComposer composer_;
    thorn::ComponentRef<TCustomImage32> worldView_;
    int paintingAtOnce_ = 0;
    // The records reach this project while it lives.
    thorn::ScopedProjectLink link_;
};

// Hides the progress window when it goes, whatever path leaves the scope.
class ProgressScope {
public:
    explicit ProgressScope(CMapProject& project) : project_(project) {}
    ~ProgressScope() { project_.HideProgress(); }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

private:
    CMapProject& project_;
};

// Copies charset, colour, height, name, pitch, pixels per inch, size and
// style, in this order.
void CopyFont(const TFont& source, TFont& dest);

// ---- the steps of the world-picture import

// Cuts the whole picture into pieces (four-connected regions of one 32-bit
// colour, 0 excepted), appended in the order of each region's first pixel
// by columns (x outer, y inner). A picture of more regions than the pieces
// left room for is refused whole: nothing is cut and the editor's error box
// says what a world picture must be.
void AnalyzeBitmap(CMapProject& project, const TBitmap32& picture);
// Cuts the region holding (x, y) out of the work copy (its pixels become 0)
// into a new piece. Answers 1, or 0 with nothing changed when the project
// already has 1501 pieces or the pixel is 0.
int FillPiece(CMapProject& project, int32_t x, int32_t y, TBitmap32& work);
// The kind of a freshly cut piece: ocean or green land by its colour, else a
// province piece when it is usable, else a small piece.
uint32_t FreshPieceKind(CMapProject& project, CProvinceMap& piece);
// Ocean and green land by colour; the other pieces' masks repainted
// 0xBBCCCCCC and their pixels counted.
void ClassifyPieces(CMapProject& project);
// Rebuilds every neighbour list: province and small pieces whose pixels
// touch left, right, above or below.
void CalcNeighbours(CMapProject& project);
// Each province piece absorbs the small pieces it touches, directly or
// through a chain of small pieces, with a connection warning each. Answers
// non-zero when a piece was absorbed.
int ReconnectProvinceMaps(CMapProject& project);
// Every small piece left becomes green land, with a warning each. Answers 1.
int ConvertSmallPieces(CMapProject& project);
