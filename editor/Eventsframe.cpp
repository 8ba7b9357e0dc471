#include "editor/Eventsframe.h"

TEventFrame::TEventFrame(TComponent& owner) {
    SetCaption("Events List");
    LVEvents = thorn::Make<TListView>(*this);
    LVEvents->SetName("LVEvents");
    LVEvents->SetParent(this);
    LVEvents->SetAlign(alTop);
    TBEvent = thorn::Make<TToolBar>(*this);
    TBEvent->SetName("TBEvent");
    TBEvent->SetParent(this);
    TBEvent->SetAlign(alTop);
    Splitter = thorn::Make<TSplitter>(*this);
    Splitter->SetName("Splitter");
    Splitter->SetParent(this);
    Splitter->SetAlign(alTop);
    RMIEvent = thorn::Make<TrmInspector>(*this);
    RMIEvent->SetName("RMIEvent");
    RMIEvent->SetParent(this);
    RMIEvent->SetAlign(alClient);
}
