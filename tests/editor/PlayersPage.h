#pragma once

#include <string>
#include <string_view>

#include "EditorSession.h"
#include "inspector/Rminspectoritems.h"

namespace thorn::test {

// The editor with a mission made from a sample world of the start folder,
// as the New command makes it (players 1 and 2 active, the players list
// filled), on its players page, used with the host's mouse and keys.
class PlayersPage {
public:
    explicit PlayersPage(const std::string& world = "twin_kingdoms.bmp");
    ~PlayersPage();

    TMainForm& Main() const { return editor.Main(); }
    HeadlessHost& Host() const { return editor.Host(); }
    TrmInspector& Grid() const { return *Main().RMIPlayer; }
    CPlayerData& Player(int n) const { return MapProject->Players[static_cast<uint32_t>(n)]; }
    CProvince& Province(int i) const { return *MapProject->Provinces.GetAt(static_cast<uint8_t>(i)); }
    CStringTable& Table() const { return *MapProject->Tables.GetAt(MapProject->CurrentStringTable); }
    // Gives the province to player n (255: none), its row in the provinces
    // list naming the owner, as the province grid leaves them.
    void GiveProvince(int i, uint8_t n) const;

    // ---- the players list
    // Clicks the row, scrolling the list with the wheel to it first.
    void ClickPlayer(int row);
    // Clicks the row's check box.
    void TickPlayer(int row);
    TListItem& PlayerRow(int row) const { return *Main().LVPlayers->GetItems()->GetItem(row); }
    // The text of a column of the row: 0 the number, 1 the name ...
    std::string PlayerColumn(int row, int column) const;

    // ---- the provinces page
    // Clicks the tab of the page: 0 players, 1 provinces.
    void ShowPage(int index);
    // Clicks the row of the provinces list, which selects it alone.
    void ClickProvinceRow(int row);

    // ---- the player grid
    // The row of the key; fails the test when there is none.
    TrmCustomInspectorItem& Row(std::string_view key) const;
    bool HasRow(std::string_view key) const { return Grid().GetItemByName(key) != nullptr; }
    // Clicks the row's value cell, scrolling the grid with the wheel to it
    // first: the row is selected and its editor opens.
    void ClickValue(std::string_view key);
    // Replaces the editor's text by typing.
    void Type(std::string_view key, std::string_view text);
    // Drops the row's list and clicks its choice number index.
    void Pick(std::string_view key, int index);
    // Turns the row's check box over with the space bar.
    void Toggle(std::string_view key);

    // A point of the control, in the main window as the host takes it.
    TPoint OnMain(const TControl& control, TPoint p) const;
    void Click(const TControl& control, TPoint p);

    EditorSession editor;
};

}  // namespace thorn::test
