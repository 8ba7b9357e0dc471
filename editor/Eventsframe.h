#pragma once

#include "gui/Forms.h"
#include "gui/ListView.h"
#include "gui/Splitter.h"
#include "gui/ToolBar.h"
#include "inspector/Rminspector.h"

// "Events List": the stay-on-top tool window with the events and the grid
// of the selected one.
class TEventFrame : public TForm {
public:
    explicit TEventFrame(TComponent& owner);

    TListView* LVEvents = nullptr;
    TToolBar* TBEvent = nullptr;
    TSplitter* Splitter = nullptr;
    TrmInspector* RMIEvent = nullptr;
};
