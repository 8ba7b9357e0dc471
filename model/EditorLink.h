#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "bitmap/Pix32.h"
#include "bitmapui/Pix32_Image.h"
#include "model/ErrorList.h"
#include "platform/XMLDoc.h"

class CProvince;
class CSettings;
class CTextures;

namespace thorn {

// The property grids of the editor: mission, event, player and province.
enum class Inspector : uint8_t { Mission, Event, Player, Province };

// The three texture strips that map pieces are painted from.
enum class TextureStrip : uint8_t { Normal, Selected, Sea };

// Buttons of a modal question, and the button the user pressed.
enum class MessageButtons : uint8_t { OkCancel, YesNo, YesNoCancel };
enum class MessageAnswer : uint8_t { Ok, Cancel, Yes, No };

// The main window's commands that are enabled only while a project is open,
// in the order the project switches them.
enum class EditorAction : uint8_t {
    SaveProject, SaveAsProject, SavePDA, ReloadMap, ZoomIn, ZoomFill, ZoomOut, ShowMissRMI, ShowEventRMI,
    ShowOwnerColor, ShowNeighbours, ShowNames, ShowIcons, ShowCastles, ShowArmies, ShowErrors, ShowPreferences,
    RecalcIconPlaces, AddProvince, DelProvince,
};

// Controls of the main window that follow whether a project is open: the
// "no project" label, the tabs of the players and provinces pages, the
// players and provinces lists and the events window's tool bar.
enum class ProjectControl : uint8_t {
    NoProjectLabel, PlayersTab, ProvincesTab, ProvinceList, PlayerList, EventToolBar,
};

// The panels of the main window's status bar, by index: the world point
// under the pointer, the zoom in percent, the hint of the control under the
// pointer, the world's size.
inline constexpr int32_t kCoordsPanel = 0;
inline constexpr int32_t kZoomPanel = 1;
inline constexpr int32_t kHintPanel = 2;
inline constexpr int32_t kWorldSizePanel = 3;

// The two scroll bars of the scroll box around the world view.
enum class ScrollBarKind : uint8_t { Horizontal, Vertical };

// Everything the project needs of the editor's windows and of the objects
// the editor creates at start-up, and nothing more. The editor implements it
// and hands it to the project (CMapProject::SetEditorLink); while none is
// handed over, the project uses a detached stand-in that shows nothing,
// answers every question with its first button and keeps its own world
// view, picture lists, settings and empty texture strips.
class EditorLink {
public:
    // ---- objects made at start-up
    // The editor's preferences.
    virtual CSettings& Settings() = 0;
    // A texture strip loaded from "res" at start-up.
    virtual const CTextures& Texture(TextureStrip strip) = 0;
    // The document element of the game-data document ("pw.xml"); a null
    // node when no document is open.
    virtual IXMLNode GameDataElement() = 0;
    // The folder the editor started in: the catalogue's picture paths are
    // relative to it.
    virtual std::filesystem::path StartFolder() = 0;

    // ---- progress window
    // Disables every window of the editor, shows the progress window in
    // front with the caption, sets its bar's maximum to max and its step to
    // 1; the bar's position is left as it was.
    virtual void ShowProgress(std::string_view caption, int32_t max) = 0;
    // Sets the bar's position and lets the editor process pending window
    // messages so that its windows repaint during a long loop.
    virtual void SetProgress(int32_t position) = 0;
    // Enables every window again and hides the progress window; harmless
    // when it is not shown.
    virtual void HideProgress() = 0;

    // ---- messages
    // The main window's modal error box; returns when the user closes it.
    virtual void ShowError(std::string_view text) = 0;
    // A modal question box with a caption; answers the button pressed.
    virtual MessageAnswer Ask(std::string_view text, std::string_view caption, MessageButtons buttons) = 0;

    // ---- grids, lists and selection
    // Selects no row of the grid (closing its editor on the row left).
    virtual void DeselectInspector(Inspector grid) = 0;
    // Removes every item of the grid.
    virtual void ClearInspector(Inspector grid) = 0;
    // Empties the provinces, players and events list views.
    virtual void ClearProvinceList() = 0;
    virtual void ClearPlayerList() = 0;
    virtual void ClearEventList() = 0;
    // Empties the province selection, clears the province grid and
    // deselects every row of the provinces list.
    virtual void ClearSelection() = 0;
    // Stops the province blink and redraws the blinking province normally.
    virtual void StopProvinceBlink() = 0;
    // Rebuilds the victory and the lose subtrees of the mission grid.
    virtual void RefreshVictoryConds() = 0;
    virtual void RefreshLoseConds() = 0;
    // Writes the player of the selected players-list row into the player
    // grid (nothing when no row is selected).
    virtual void UpdatePlayerInspector() = 0;
    // Rebuilds the castle legend from the castle pictures and names.
    virtual void BuildCastleLegend() = 0;

    // ---- warnings window
    // Adds rows at the end or deletes rows until the warnings list view
    // holds count rows.
    virtual void SetWarningRowCount(int32_t count) = 0;
    // Row i shows the caption and the image and stands for the warning that
    // selecting the row shows.
    virtual void SetWarningRow(int32_t i, std::string_view caption, CErrorList::CErrorBase* warning,
                               int32_t imageIndex) = 0;

    // ---- world view (ImgVWorld in its scroll box ScrBWorld)
    // The image control that shows the world: its bitmap is the world
    // bitmap, its layers the map view's, its Scale the zoom.
    virtual TImage32& WorldView() = 0;
    // The world bitmap, every part of it up to date.
    TBitmap32& WorldBitmap() { return *WorldView().GetBitmap(); }
    // The world bitmap as it is, for the project that draws it: parts of
    // it may still wait to be drawn.
    TBitmap32& WorldBitmapAsIs() { return *WorldView().BitmapAsIs(); }
    TLayerCollection& WorldLayers() { return *WorldView().GetLayers(); }
    // The scroll box's bounds (in its parent) and client rectangle.
    virtual TRect WorldScrollBoxBounds() = 0;
    virtual TRect WorldScrollBoxClientRect() = 0;
    virtual int32_t WorldScrollRange(ScrollBarKind bar) = 0;
    virtual int32_t WorldScrollPosition(ScrollBarKind bar) = 0;
    // The bar keeps the position inside its range.
    virtual void SetWorldScrollPosition(ScrollBarKind bar, int32_t position) = 0;
    virtual void SetWorldScrollIncrement(ScrollBarKind bar, int32_t increment) = 0;

    // ---- pictures of the main window
    // Bitmap32List: item 0 is the province marker (29 x 15 on magenta).
    virtual TBitmap32List& MarkerPictures() = 0;
    // BLCastleImages: one picture per castle type, then one per army type.
    virtual TBitmap32List& CastlePictures() = 0;

    // ---- main window state
    // The text of a status bar panel (panel 1 shows the zoom).
    virtual void SetStatusText(int32_t panel, std::string_view text) = 0;
    virtual void EnableAction(EditorAction action, bool enabled) = 0;
    // Shows or hides the label, or the tab of a page.
    virtual void ShowControl(ProjectControl control, bool shown) = 0;
    virtual void EnableControl(ProjectControl control, bool enabled) = 0;

    // ---- provinces list view (LVProvinces): one row per province
    // Appends a row: caption, the province as its data, the owner's name as
    // its sub-item. Answers the row's index.
    virtual int32_t AddProvinceRow(std::string_view caption, CProvince* province, std::string_view ownerName) = 0;
    // The first selected row, -1 when none is.
    virtual int32_t FirstSelectedProvinceRow() = 0;
    // The province a row stands for (null past the rows).
    virtual CProvince* ProvinceRowData(int32_t row) = 0;
    // Deselects a row; the editor drops the province from the selection
    // and unmarks its piece as it does for the user's deselection.
    virtual void DeselectProvinceRow(int32_t row) = 0;
    virtual void DeleteProvinceRow(int32_t row) = 0;
    // The province is about to be deleted: its blink stops and the editor
    // lets go of every reference it holds to it.
    virtual void ProvinceDeleting(const CProvince& province) = 0;

protected:
    ~EditorLink() = default;
};

}  // namespace thorn
