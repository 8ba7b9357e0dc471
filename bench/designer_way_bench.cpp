// The designer's whole way on the 4096 x 4096 synthetic world, on the
// headless host and driven as a user drives it: New from the world picture
// (its dialog answered), the pages, the province selection and the owner
// given through the province grid, a mission text typed, two events added,
// the zoom, Save As, Open and the compile for the handheld (their dialogs
// answered). Every interactive step is timed from the input to its frame
// painted; each long step (import, save, open, compile) is set beside the
// same model call made without windows.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "EditorRun.h"
#include "Harness.h"
#include "Session.h"
#include "SyntheticWorld.h"
#include "editor/Eventsframe.h"
#include "editor/Missionframe.h"
#include "gui/Application.h"
#include "gui/ComboBox.h"
#include "gui/PopupWindow.h"
#include "gui/RowView.h"
#include "inspector/Rminspector.h"
#include "inspector/Rminspectoritems.h"
#include "model/Settings.h"

namespace {

namespace fs = std::filesystem;
using namespace thorn::bench;

constexpr int32_t kSide = 4096;

const fs::path& WorldFile() {
    static const fs::path file = [] {
        const fs::path path = ScratchFolder() / "world4096.bmp";
        SaveBmp24(SharedWorld(kSide), path);
        return path;
    }();
    return file;
}
fs::path ProjectFile(const char* side) { return ScratchFolder() / (std::string(side) + ".pw"); }

double Milliseconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since).count();
}

// The times of one way, by step; a step done several times keeps its
// slowest.
class StepTimes {
public:
    template <typename Act>
    void Time(const std::string& step, Act act) {
        const auto start = std::chrono::steady_clock::now();
        act();
        double& slowest = times_[step];
        slowest = std::max(slowest, Milliseconds(start));
    }
    void Report(benchmark::State& state) const {
        for (const auto& [step, ms] : times_) state.counters[step] = ms;
    }
    const std::map<std::string, double>& Times() const { return times_; }

private:
    std::map<std::string, double> times_;
};

// ------------------------------------------------------------ the hand

TPoint OnWindow(const TControl& control, TPoint client) {
    const TPoint screen = control.ClientToScreen(client);
    const TCustomForm& form = *control.GetParentForm();
    return {screen.X - form.GetLeft(), screen.Y - form.GetTop()};
}

void Click(thorn::HeadlessHost& host, const TControl& control, TPoint client, TShiftState shift = {}) {
    const TPoint at = OnWindow(control, client);
    host.Click(*control.GetParentForm(), at.X, at.Y, mbLeft, shift);
}

void ClickMiddle(thorn::HeadlessHost& host, const TControl& control) {
    Click(host, control, {control.GetWidth() / 2, control.GetHeight() / 2});
}

TToolButton& ButtonOf(const TToolBar& bar, const TAction& action) {
    for (int i = 0; i < bar.GetButtonCount(); ++i)
        if (bar.GetButton(i)->GetAction() == &action) return *bar.GetButton(i);
    throw std::runtime_error("no button for " + action.GetName());
}

void ClickRow(thorn::HeadlessHost& host, TListView& list, int row, TShiftState shift = {}) {
    TListItem& item = *list.GetItems()->GetItem(row);
    item.MakeVisible();
    const TRect r = item.DisplayRect();
    Click(host, list, {r.Left + 40, (r.Top + r.Bottom) / 2}, shift);
}

// The value cell of the grid's row clicked: the row chosen, its editor open.
void ClickValue(thorn::HeadlessHost& host, TrmInspector& grid, const char* key) {
    TrmCustomInspectorItem* item = grid.GetItemByName(key);
    if (!item) throw std::runtime_error(std::string("no grid row ") + key);
    const int row = grid.VisibileItemIndex(item) - grid.GetVScrollPos();
    Click(host, grid, {grid.GetSplitPos() + 30, row * grid.RowHeight() + grid.RowHeight() / 2});
    if (grid.GetItemIndex() != grid.VisibileItemIndex(item)) throw std::runtime_error(std::string("missed ") + key);
}

// The choice row's list dropped with its button and an entry clicked.
void Choose(thorn::HeadlessHost& host, TrmInspector& grid, const char* key, int entry) {
    ClickValue(host, grid, key);
    auto* combo = dynamic_cast<TCustomComboBox*>(grid.GetEditor());
    if (!combo) throw std::runtime_error(std::string("no choice editor for ") + key);
    Click(host, *combo, {combo->GetWidth() - 6, combo->GetHeight() / 2});
    if (!combo->GetDroppedDown()) throw std::runtime_error("the list did not drop");
    thorn::RowView& rows = *combo->GetListView();
    const TRect r = rows.RowRect(entry);
    const TPoint at = rows.ClientToParent({r.Left + 5, (r.Top + r.Bottom) / 2}, combo->GetListWindow());
    host.Click(*combo->GetListWindow(), at.X, at.Y);
}

void PressShortCut(thorn::HeadlessHost& host, TKey key, TShiftState shift) {
    host.PressKey(key, shift);
    if (host.PendingScripts() != 0) throw std::runtime_error("a dialog the way expects did not come");
}

// ------------------------------------------------------------ the two ways

// The whole way through the windows.
StepTimes EditorWay() {
    const InStartFolder folder;
    const auto editor = std::make_unique<EditorRun>();
    thorn::HeadlessHost& host = editor->Host();
    TMainForm& main = EditorRun::Main();
    // The warnings window is a window of its own: the way does not wait
    // for it.
    Settings->AutoShowErr = 0;
    StepTimes times;

    host.AnswerFileDialog(WorldFile().string(), "Open");
    times.Time("import", [&] { PressShortCut(host, 'N', {ssCtrl}); });
    if (MapProject->Provinces.GetCount() == 0) throw std::runtime_error("New made no mission");

    times.Time("page tab", [&] {
        const TRect tab = main.PgCMissionProperties->TabRect(0);
        Click(host, *main.PgCMissionProperties, {(tab.Left + tab.Right) / 2, (tab.Top + tab.Bottom) / 2});
    });
    times.Time("page tab", [&] {
        const TRect tab = main.PgCMissionProperties->TabRect(1);
        Click(host, *main.PgCMissionProperties, {(tab.Left + tab.Right) / 2, (tab.Top + tab.Bottom) / 2});
    });
    times.Time("province chosen", [&] { ClickRow(host, *main.LVProvinces, 0); });
    for (int row : {1, 2}) times.Time("province added to the choice", [&] { ClickRow(host, *main.LVProvinces, row, {ssCtrl}); });
    times.Time("owner chosen in the grid", [&] { Choose(host, *main.RMIProvince, "Owner", 1); });

    TrmInspector& mission = *MissFrame->RMIMission;
    times.Time("mission grid row", [&] { ClickValue(host, mission, "MisName"); });
    for (char c : std::string("Thornvale")) times.Time("key typed", [&] { host.TypeText(std::string(1, c)); });
    times.Time("key typed", [&] { host.PressKey(VK_RETURN); });
    for (int n = 0; n < 2; ++n) times.Time("event added", [&] { ClickMiddle(host, *EventFrame->TBAdd); });

    for (TAction* zoom : {main.ActZoomIn, main.ActZoomOut})
        times.Time("zoom", [&] { ClickMiddle(host, ButtonOf(*main.TBrShow, *zoom)); });

    fs::remove(ProjectFile("windows"));
    host.AnswerFileDialog(ProjectFile("windows").string(), "Save As");
    times.Time("save", [&] { PressShortCut(host, 'S', {ssCtrl, ssAlt}); });
    host.AnswerFileDialog(ProjectFile("windows").string(), "Open");
    times.Time("open", [&] { PressShortCut(host, 'O', {ssCtrl}); });
    if (!fs::exists(ProjectFile("windows")) || MapProject->FileName != ProjectFile("windows").string())
        throw std::runtime_error("the project was not saved and opened");
    return times;
}

// The same long steps as model calls without windows.
StepTimes ModelWay() {
    auto session = std::make_unique<Session>();
    CMapProject& project = session->project;
    StepTimes times;
    times.Time("import", [&] {
        project.Reset();
        if (!project.ImportWorldImage(WorldFile(), 0) || !project.NewMissionFromImage())
            throw std::runtime_error("the world was refused");
    });
    fs::remove(ProjectFile("model"));
    times.Time("save", [&] {
        if (!project.SaveProject(ProjectFile("model"))) throw std::runtime_error("the project was not saved");
    });
    times.Time("open", [&] {
        project.Reset();
        project.NewMissionFromImage();
        if (!project.LoadProject(ProjectFile("model"))) throw std::runtime_error("the project was not opened");
    });
    return times;
}

void BM_EditorWay(benchmark::State& state) {
    StepTimes last;
    for (auto _ : state) last = EditorWay();
    last.Report(state);
}

void BM_ModelWay(benchmark::State& state) {
    StepTimes last;
    for (auto _ : state) last = ModelWay();
    last.Report(state);
}

void Register() {
    const char* ours = "designer's way through the windows, 4096 x 4096";
    const char* peer = "the same long steps as model calls, 4096 x 4096";
    benchmark::RegisterBenchmark(ours, BM_EditorWay)->Unit(benchmark::kMillisecond)->Iterations(1);
    benchmark::RegisterBenchmark(peer, BM_ModelWay)->Unit(benchmark::kMillisecond)->Iterations(1);

    for (const char* step : {"import", "save", "open"}) {
        Row row;
        row.label = std::string("way, ") + step + ": windows beside the model call";
        row.ours = {ours, step};
        row.peerName = "model call";
        row.peer = {peer, step};
        // What the windows add to a long step: the dialog, the progress
        // window, the lists and grids filled, the frame painted.
        row.target = RatioAtMost(1.2);
        AddRow(row);
    }
    for (const char* step : {"page tab", "province chosen", "province added to the choice", "owner chosen in the grid",
                             "mission grid row", "key typed", "event added", "zoom"}) {
        Row row;
        row.label = std::string("way, ") + step + " (slowest)";
        row.ours = {ours, step};
        // Within one frame of a 60 Hz screen.
        row.target = Below(16);
        AddRow(row);
    }
}

}  // namespace

int main(int argc, char** argv) {
    {
        // Fonts, glyphs and the shared world made before anything is timed.
        WorldFile();
        const InStartFolder folder;
        EditorRun warm;
    }
    Register();
    return thorn::bench::Main(argc, argv);
}
