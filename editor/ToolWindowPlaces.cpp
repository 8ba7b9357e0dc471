#include "editor/ToolWindowPlaces.h"

#include <vector>

#include "editor/Dlg_error.h"
#include "editor/Eventsframe.h"
#include "editor/Main.h"
#include "editor/Missionframe.h"
#include "gui/Application.h"
#include "gui/PageControl.h"
#include "gui/WindowPlacing.h"

namespace thorn {

namespace {

bool Overlap(const TRect& a, const TRect& b) {
    return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

}  // namespace

void PlaceToolWindow(TCustomForm& tool) {
    if (!Screen || !MainForm || &tool == MainForm.Get()) return;
    const TRect area = Screen->GetWorkAreaRect();
    const FrameEdges frame = tool.GetFrameEdges();
    const TRect framed = FramedRect(tool.GetBoundsRect(), frame);
    // The frames of the other tool windows: those shown, and those that
    // have a place (which they take when shown).
    std::vector<TRect> taken;
    bool clear = true;
    for (TCustomForm* other : {static_cast<TCustomForm*>(MissFrame.Get()), static_cast<TCustomForm*>(EventFrame.Get()),
                               static_cast<TCustomForm*>(DlgError.Get())}) {
        if (!other || other == &tool || !(other->GetVisible() || other->GetPosition() == poDesigned)) continue;
        taken.push_back(FramedRect(other->GetBoundsRect(), other->GetFrameEdges()));
        if (other->GetVisible() && Overlap(framed, taken.back())) clear = false;
    }
    const bool placed = tool.GetPosition() == poDesigned && WhollyInside(tool.GetBoundsRect(), frame, area) && clear;
    tool.SetPosition(poDesigned);
    if (placed) return;

    TMainForm& main = *MainForm.Get();
    main.PlaceForShow();
    // Below the tool bar, where the pages and the world view start.
    const int barsBottom = main.PgCMissionProperties->ClientToScreen({0, 0}).Y;
    const MainWindowPlace beside{FramedRect(main.GetBoundsRect(), main.GetFrameEdges()), barsBottom};
    const TRect r = PlaceBeside({tool.GetWidth(), tool.GetHeight()}, frame, beside, taken, area);
    tool.SetBounds(r.Left, r.Top, r.Width(), r.Height());
}

}  // namespace thorn
