#pragma once

#include "gui/Forms.h"
#include "gui/Label.h"
#include "gui/ListView.h"
#include "gui/Panel.h"
#include "gui/Splitter.h"
#include "gui/ToolBar.h"
#include "gui/ToolButton.h"
#include "inspector/Rminspector.h"

class CEvent;

// "Events List": the stay-on-top tool window with the mission's scripted
// events, one row each (turn, title, a check mark for enabled), the buttons
// that add, delete and move them, and the grid of the selected one. A row's
// Data is its event; every edit goes to the project's event list and its
// string tables.
class TEventFrame : public TForm {
public:
    explicit TEventFrame(TComponent& owner);

    void FormCreate(TObject* sender);
    // The window's own close box unticks the command that shows it.
    void FormHide(TObject* sender);

    // One row per event of the project, in the list's order.
    void FillEventsList();
    void TBAddClick(TObject* sender);
    void TBDeleteClick(TObject* sender);
    // Up and Down move the event in the project's list and its row with it.
    void TBUpClick(TObject* sender);
    void TBDownClick(TObject* sender);
    void LVEventsSelectItem(TObject* sender, TListItem* item, bool selected);
    // The designer's check mark enables or disables the row's event.
    void LVEventsChange(TObject* sender, TListItem* item, TItemChange change);

    // Builds and fills the grid for the event; null empties it.
    void FillEventInspector(CEvent* event);
    // The selected row's event; null for none.
    CEvent* SelectedEvent() const;
    // The player rows under "Affects" and the resource rows under "Effect",
    // for the selected row's event.
    void RefreshEventPlayers();
    void RefreshEventResources();
    void RMIEventItemChange(TObject* sender);
    void RMIEventComplexEdit(TObject* sender);

    TPanel* Panel16 = nullptr;
    TLabel* Label16 = nullptr;
    TListView* LVEvents = nullptr;
    TToolBar* TBEvent = nullptr;
    TToolButton* TBAdd = nullptr;
    TToolButton* TBDelete = nullptr;
    TToolButton* ToolButton3 = nullptr;
    TToolButton* TBUp = nullptr;
    TToolButton* TBDown = nullptr;
    TSplitter* Splitter = nullptr;
    TPanel* Panel17 = nullptr;
    TLabel* Label18 = nullptr;
    TrmInspector* RMIEvent = nullptr;

private:
    // The row's event while the project holds it; null for none, and for a
    // row whose event the project has already let go (its reset frees the
    // events before the rows).
    static CEvent* EventOf(const TListItem* row);
    // Writes the event into the row: turn, title, check mark and Data.
    void ShowEventInRow(TListItem& row, CEvent& event);
    void MoveSelected(int step);
    // Applies an edit of a number row: the row's stored value, which it
    // keeps inside its range; nothing while it holds no number.
    void EditNumber(const TrmCustomInspectorItem& item, CEvent& event);

    // Set while the program writes rows, whose check marks are no edits.
    bool showingRows_ = false;
};
