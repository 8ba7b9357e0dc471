#include "editor/ToolWindowPlaces.h"

#include <algorithm>
#include <span>

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

TRect FrameOf(TCustomForm& form) { return FramedRect(form.GetBoundsRect(), form.GetFrameEdges()); }

std::vector<TCustomForm*> ToolWindows() {
    std::vector<TCustomForm*> tools;
    for (TCustomForm* tool : {static_cast<TCustomForm*>(MissFrame.Get()), static_cast<TCustomForm*>(EventFrame.Get()),
                              static_cast<TCustomForm*>(DlgError.Get())})
        if (tool) tools.push_back(tool);
    return tools;
}

TRect PutBesideMain(TCustomForm& tool, std::span<const TRect> taken) {
    TMainForm& main = *MainForm.Get();
    main.PlaceForShow();
    // Below the tool bar, where the pages and the world view start.
    const int barsBottom = main.PgCMissionProperties->ClientToScreen({0, 0}).Y;
    const MainWindowPlace beside{FrameOf(main), barsBottom};
    const TRect r = PlaceBeside({tool.GetWidth(), tool.GetHeight()}, tool.GetFrameEdges(), beside, taken,
                                Screen->GetWorkAreaRect());
    tool.SetBounds(r.Left, r.Top, r.Width(), r.Height());
    return tool.GetBoundsRect();
}

}  // namespace

void PlaceAsToolWindow(TCustomForm& tool) {
    tool.OnShow = [&tool](TObject*) {
        if (MainForm) MainForm->ToolPlaces().Show(tool);
    };
    tool.OnFrameRead = [&tool](TObject*) {
        if (MainForm) MainForm->ToolPlaces().FrameRead(tool);
    };
}

void ToolWindowPlaces::Show(TCustomForm& tool) {
    std::erase_if(put_, [&tool](const Put& p) { return p.tool == &tool; });
    if (!Screen || !MainForm || &tool == MainForm.Get()) return;
    const TRect framed = FrameOf(tool);
    // The frames of the other tool windows: those shown, and those that
    // have a place (which they take when shown).
    std::vector<TRect> taken;
    bool clear = true;
    for (TCustomForm* other : ToolWindows()) {
        if (other == &tool || !(other->GetVisible() || other->GetPosition() == poDesigned)) continue;
        taken.push_back(FrameOf(*other));
        if (other->GetVisible() && Overlap(framed, taken.back())) clear = false;
    }
    const bool placed = tool.GetPosition() == poDesigned &&
                        WhollyInside(tool.GetBoundsRect(), tool.GetFrameEdges(), Screen->GetWorkAreaRect()) && clear;
    tool.SetPosition(poDesigned);
    if (!placed) put_.push_back({&tool, PutBesideMain(tool, taken)});
}

void ToolWindowPlaces::FrameRead(const TCustomForm& window) {
    if (!Screen || !MainForm) return;
    if (&window == MainForm.Get()) mainFramed_ = true;
    // A window hidden or moved since (the host putting it inside the work
    // area with its frame read moves it only as the place would be put)
    // keeps its place.
    const TRect area = Screen->GetWorkAreaRect();
    std::erase_if(put_, [&area](const Put& p) {
        if (!p.tool || !p.tool->GetVisible()) return true;
        const TRect now = p.tool->GetBoundsRect();
        return now != p.place && now != PlaceInside(p.place, p.tool->GetFrameEdges(), area);
    });
    for (Put& p : put_)
        if (p.tool == &window) p.framed = true;
    // Each clear of the tool windows shown that stand where they are, and
    // of those put again before it; a hidden window's place is checked as
    // it shows.
    for (size_t i = 0; i < put_.size(); ++i) {
        std::vector<TRect> taken;
        for (TCustomForm* other : ToolWindows()) {
            const auto later = std::find_if(put_.begin() + static_cast<std::ptrdiff_t>(i), put_.end(),
                                            [other](const Put& p) { return p.tool == other; });
            if (other->GetVisible() && later == put_.end()) taken.push_back(FrameOf(*other));
        }
        if (TCustomForm* tool = put_[i].tool.Get()) put_[i].place = PutBesideMain(*tool, taken);
    }
    // Once both frames are known the places are the windows' own.
    if (mainFramed_) std::erase_if(put_, [](const Put& p) { return p.framed; });
}

}  // namespace thorn
