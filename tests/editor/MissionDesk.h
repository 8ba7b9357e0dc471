#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "EditorSession.h"

class CProvince;
class TrmCustomInspectorItem;

namespace thorn::test {

// The editor started headless with a mission made from a sample world of
// the start folder through the model, as the New command makes it, and the
// players list holding the six player slots. The designer's hand: clicks
// and drags on the world view by world points, rows of the provinces list,
// the tabs of the pages and the rows of the province grid.
class MissionDesk {
public:
    static constexpr int kPlayersPage = 0;
    static constexpr int kProvincesPage = 1;

    explicit MissionDesk(const std::string& world = "twin_kingdoms.bmp");
    // The editor not yet started: the test starts it, and makes or opens a
    // mission with its commands.
    struct NotStarted {};
    explicit MissionDesk(NotStarted) {}
    ~MissionDesk();

    HeadlessHost& Host() const { return editor_.Host(); }
    TMainForm& Main() const { return editor_.Main(); }
    CMapProject& Project() const { return *MapProject; }
    const EditorSession& Editor() const { return editor_; }
    EditorSession& Editor() { return editor_; }
    CProvince& Province(int i) const;
    int ProvinceCount() const;

    // ---- pages and lists
    void ShowPage(int index);
    void ClickProvinceRow(int row, TShiftState shift = {});
    void ClickPlayerRow(int row);
    // The provinces of the selected rows of the provinces list, in row order.
    std::vector<CProvince*> SelectedRows() const;
    // The selection's provinces, in the order they were selected.
    std::vector<CProvince*> Selected() const;

    // ---- world view, by world points
    // The form point that shows the world point (the view scrolled to it
    // first, as the user would, when it is out of sight).
    TPoint FormPointOf(TPoint world);
    // A point of the province's piece on which no layer lies.
    TPoint OpenPointOf(const CProvince& province) const;
    // The middle of the province's marker, castle or army icon.
    TPoint MarkerPointOf(const CProvince& province) const;
    TPoint CastlePointOf(const CProvince& province) const;
    TPoint ArmyPointOf(const CProvince& province) const;
    void ClickWorld(TPoint world, TShiftState shift = {}, TMouseButton button = mbLeft);
    void DragWorld(TPoint from, TPoint to, int steps = 4);
    void MoveOverWorld(TPoint world, TShiftState shift = {});

    // ---- province grid
    // Walks the grid's selection to the row with the key, as the arrow keys
    // do, leaving its editor open and focused. The province grid unless
    // another grid of the main window is named.
    void GoToGridRow(std::string_view key, TrmInspector* grid = nullptr);
    // Replaces the text of the open editor by typing.
    void TypeIntoGridRow(std::string_view key, std::string_view text);
    // Drops the choice row's list and clicks the entry.
    void ChooseInGridRow(std::string_view key, int entry, TrmInspector* grid = nullptr);
    // Clicks the three-state box of the row once.
    void ToggleGridRow(std::string_view key);
    TrmCustomInspectorItem* GridRow(std::string_view key) const;
    std::string GridText(std::string_view key) const;
    std::vector<std::string> GridKeys() const;

private:
    EditorSession editor_;
};

}  // namespace thorn::test
