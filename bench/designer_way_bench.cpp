// The designer's whole way on the 4096 x 4096 synthetic world, on the
// headless host and driven as a user drives it: New from the world picture
// (its dialog answered), provinces chosen on the map and given owners in
// the province grid, the players page with a player made the computer and
// capitals by Ctrl+click, a mission text typed, two events added, the zoom,
// Save As, Open and the compile for the handheld (their dialogs answered). Every interactive step is timed from the input to its frame
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
#include "bitmapui/Pix32_Layers.h"
#include "SyntheticWorld.h"
#include "editor/Eventsframe.h"
#include "editor/Missionframe.h"
#include "export/ExportDriver.h"
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
fs::path MissionFile(const char* side) { return ScratchFolder() / (std::string(side) + "_mission"); }

// The compiled pair of an earlier run taken away, so that every compile
// writes new files, with no question about replacing them, on both ways.
void RemovePair(const fs::path& mission) {
    for (const fs::path& file : thorn::MissionPackageFiles(mission)) fs::remove(file);
}

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

TPoint OnWorld(TPoint world) {
    TImage32& view = *EditorRun::Main().ImgVWorld;
    const double scale = view.GetScale();
    return OnWindow(view, {static_cast<int32_t>(world.X * scale) + 1, static_cast<int32_t>(world.Y * scale) + 1});
}

bool InSight(TPoint world) {
    TScrollBox& box = *EditorRun::Main().ScrBWorld;
    TImage32& view = *EditorRun::Main().ImgVWorld;
    const double scale = view.GetScale();
    const TPoint inBox = box.ScreenToClient(
        view.ClientToScreen({static_cast<int32_t>(world.X * scale), static_cast<int32_t>(world.Y * scale)}));
    return inBox.X >= 8 && inBox.Y >= 8 && inBox.X < box.GetClientWidth() - 8 && inBox.Y < box.GetClientHeight() - 8;
}

// Points of the first provinces whose pieces show on the map with no layer
// over them.
std::vector<TPoint> OpenPointsInSight(size_t count) {
    const CMapProject& project = *MapProject;
    TImage32& view = *EditorRun::Main().ImgVWorld;
    std::vector<TPoint> points;
    for (uint16_t i = 0; i < project.Provinces.GetCount() && points.size() < count; ++i) {
        const CProvince& province = *project.Provinces.GetAt(static_cast<uint8_t>(i));
        const CProvinceMap& piece = *project.MapPieces.GetAt(static_cast<uint16_t>(province.MapPieceIndex));
        bool found = false;
        for (int y = piece.Top + 4; !found && y < piece.Top + piece.Mask->Height() - 4; y += 4)
            for (int x = piece.Left + 4; !found && x < piece.Left + piece.Mask->Width() - 4; x += 4) {
                if (project.GetPieceAt(x, y) != province.MapPieceIndex || !InSight({x, y})) continue;
                const double scale = view.GetScale();
                const int vx = static_cast<int>(x * scale) + 1, vy = static_cast<int>(y * scale) + 1;
                if (view.GetLayers()->FindLayerAtPos(vx, vy, kLayerMouseEvents)) continue;
                points.push_back({x, y});
                found = true;
            }
    }
    if (points.size() < count) throw std::runtime_error("too few provinces in sight");
    return points;
}

void ClickWorld(thorn::HeadlessHost& host, TPoint world, TShiftState shift = {}) {
    const TPoint at = OnWorld(world);
    host.MouseMove(EditorRun::Main(), at.X, at.Y, shift);
    host.Click(EditorRun::Main(), at.X, at.Y, mbLeft, shift);
}

void ClickTab(thorn::HeadlessHost& host, int page) {
    TPageControl& pages = *EditorRun::Main().PgCMissionProperties;
    const TRect tab = pages.TabRect(page);
    Click(host, pages, {(tab.Left + tab.Right) / 2, (tab.Top + tab.Bottom) / 2});
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

    // The whole width of the view at 100 %, then two provinces each to the
    // first two players, chosen on the map.
    times.Time("zoom", [&] { ClickMiddle(host, ButtonOf(*main.TBrShow, *main.ActZoomFill)); });
    const std::vector<TPoint> points = OpenPointsInSight(4);
    for (size_t owner = 0; owner < 2; ++owner) {
        times.Time("province chosen", [&] { ClickWorld(host, points[2 * owner]); });
        times.Time("province added to the choice", [&] { ClickWorld(host, points[2 * owner + 1], {ssCtrl}); });
        times.Time("owner chosen in the grid", [&] { Choose(host, *main.RMIProvince, "Owner", static_cast<int>(owner) + 1); });
    }
    // The second player is the computer; each gets a capital.
    times.Time("page tab", [&] { ClickTab(host, 0); });
    for (int player = 0; player < 2; ++player) {
        times.Time("player chosen", [&] { ClickRow(host, *main.LVPlayers, player); });
        if (player == 1) times.Time("playability chosen in the grid", [&] { Choose(host, *main.RMIPlayer, "Playab", 1); });
        times.Time("capital by Ctrl+click", [&] { ClickWorld(host, points[2 * static_cast<size_t>(player)], {ssCtrl}); });
    }
    if (!MapProject->Players[1].Capital) throw std::runtime_error("no capital was made");
    times.Time("page tab", [&] { ClickTab(host, 1); });

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
    RemovePair(MissionFile("windows"));
    host.AnswerFileDialog(MissionFile("windows").string(), "Save As");
    times.Time("compile", [&] { PressShortCut(host, 'C', {ssCtrl, ssAlt}); });
    if (!fs::exists(MissionFile("windows").string() + ".pak")) throw std::runtime_error("the mission was not compiled");
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
    // Owners and capitals as the designer gave them.
    for (uint8_t i = 0; i < 4; ++i) project.Provinces.GetAt(i)->SetOwner(i / 2);
    for (uint8_t player : {0, 1}) {
        project.Players[player].SetActive(1);
        project.Players[player].SetCapital(project.Provinces.GetAt(static_cast<uint8_t>(2 * player)));
    }
    fs::remove(ProjectFile("model"));
    times.Time("save", [&] {
        if (!project.SaveProject(ProjectFile("model"))) throw std::runtime_error("the project was not saved");
    });
    times.Time("open", [&] {
        project.Reset();
        project.NewMissionFromImage();
        if (!project.LoadProject(ProjectFile("model"))) throw std::runtime_error("the project was not opened");
    });
    RemovePair(MissionFile("model"));
    times.Time("compile", [&] {
        if (!project.ExportMission(MissionFile("model"))) throw std::runtime_error("the mission was not compiled");
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
    benchmark::RegisterBenchmark(ours, BM_EditorWay)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(peer, BM_ModelWay)->Unit(benchmark::kMillisecond);

    for (const char* step : {"import", "save", "open", "compile"}) {
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
    for (const char* step : {"province chosen", "province added to the choice", "owner chosen in the grid", "page tab",
                             "player chosen", "playability chosen in the grid", "capital by Ctrl+click",
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
