#pragma once

#include <pugixml.hpp>

#include <cstdint>
#include <string_view>

#include "bitmap/Pix32.h"

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

// Everything the project needs of the editor's windows and of the objects
// the editor creates at start-up, and nothing more. The editor implements it
// and hands it to the project (CMapProject::SetEditorLink); while none is
// handed over, the project uses a detached stand-in that shows nothing,
// answers every question with its first button and keeps its own world
// bitmap, settings and empty texture strips.
class EditorLink {
public:
    // ---- objects made at start-up
    // The editor's preferences.
    virtual CSettings& Settings() = 0;
    // A texture strip loaded from "res" at start-up.
    virtual const CTextures& Texture(TextureStrip strip) = 0;
    // The document element of the game-data document ("pw.xml"); an empty
    // node when no document is open.
    virtual pugi::xml_node GameDataElement() = 0;

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
    // Row i shows the caption and the image; data identifies the warning
    // that selecting the row shows.
    virtual void SetWarningRow(int32_t i, std::string_view caption, const void* data, int32_t imageIndex) = 0;

    // ---- world view
    // The world bitmap that the view shows; pieces are drawn onto it.
    virtual TBitmap32& WorldBitmap() = 0;
    // Sizes the view for a world of width x height pixels: the image
    // control becomes width + 10 by height + 10 control pixels and its
    // bitmap width x height.
    virtual void SetWorldViewSize(int32_t width, int32_t height) = 0;
    // Removes every layer of the world view.
    virtual void RemoveAllWorldLayers() = 0;
    // Scrolls the view so that the world point comes to the middle of the
    // visible area.
    virtual void ScrollWorldViewTo(int32_t x, int32_t y) = 0;
    // The view's zoom (1.0 to 8.0).
    virtual float WorldViewScale() = 0;
    // The centre of the visible area in the image control's coordinates.
    virtual TPoint WorldViewCentre() = 0;

protected:
    ~EditorLink() = default;
};

}  // namespace thorn
