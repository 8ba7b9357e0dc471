// The whole new-mission sequence on synthetic world pictures of 1024, 2048
// and 4096 pixels a side: the import, then the mission built with the start
// folder's game catalogue (provinces, players, layers, overlay); then the
// project file of the result saved, and opened again as the open command
// does it (reset, fresh game data, load and rebuild).
//
// Memory: this program replaces malloc, calloc, realloc and free (over
// glibc's own) to count the bytes in use. Each run reports, per pixel of the
// world, its peak less the bytes in use before it, and what the project
// still holds once the run is over: after New and after Open of the same
// mission an open project should hold the same, not more after New.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

#include "Harness.h"
#include "HeapCounter.h"
#include "Session.h"
#include "SyntheticWorld.h"

namespace {

using namespace thorn::bench;

std::filesystem::path ProjectFile(int32_t side) { return ScratchFolder() / ("world" + std::to_string(side) + ".pw"); }

double Pixels(int32_t side) { return double(side) * side; }

// What the run left in use beside what it found, and its peak, per pixel.
struct Held {
    int64_t before = StartMeasuring();
    void Report(int32_t side, double& peak, double& held) const {
        peak = static_cast<double>(HeapPeak() - before) / Pixels(side);
        held = static_cast<double>(HeapInUse() - before) / Pixels(side);
    }
};

void Counters(benchmark::State& state, double peak, double held) {
    state.counters["peak_bytes_per_pixel"] = peak;
    state.counters["held_bytes_per_pixel"] = held;
}

void BM_NewMission(benchmark::State& state, int32_t side) {
    const TBitmap32& world = SharedWorld(side);
    double peak = 0, held = 0, warnings = 0;
    int provinces = 0;
    for (auto _ : state) {
        state.PauseTiming();
        {
            auto session = std::make_unique<Session>();
            const Held measure;
            state.ResumeTiming();
            provinces = NewMission(session->project, world);
            state.PauseTiming();
            measure.Report(side, peak, held);
            // The import's warnings, which the warnings window lists after
            // New; a project file does not keep them, so Open has none.
            const int64_t withWarnings = HeapInUse();
            session->project.ErrorList.Clear();
            warnings = static_cast<double>(withWarnings - HeapInUse()) / Pixels(side);
        }
        state.ResumeTiming();
    }
    state.counters["provinces"] = provinces;
    state.counters["warnings_bytes_per_pixel"] = warnings;
    Counters(state, peak, held);
}

void BM_SaveProject(benchmark::State& state, int32_t side) {
    Session session;
    NewMission(session.project, SharedWorld(side));
    double peak = 0, held = 0;
    for (auto _ : state) {
        const Held measure;
        if (!session.project.SaveProject(ProjectFile(side))) throw std::runtime_error("save failed");
        measure.Report(side, peak, held);
    }
    state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size(ProjectFile(side)));
    Counters(state, peak, held);
}

void BM_OpenProject(benchmark::State& state, int32_t side) {
    if (!std::filesystem::exists(ProjectFile(side))) {
        Session made;
        NewMission(made.project, SharedWorld(side));
        made.project.SaveProject(ProjectFile(side));
    }
    double peak = 0, held = 0;
    int provinces = 0;
    for (auto _ : state) {
        state.PauseTiming();
        {
            auto session = std::make_unique<Session>();
            const Held measure;
            state.ResumeTiming();
            session->project.Reset();
            session->project.NewMissionFromImage();
            if (!session->project.LoadProject(ProjectFile(side))) throw std::runtime_error("load failed");
            session->project.HideProgress();
            state.PauseTiming();
            measure.Report(side, peak, held);
            provinces = session->project.Provinces.GetCount();
        }
        state.ResumeTiming();
    }
    state.counters["provinces"] = provinces;
    Counters(state, peak, held);
}

std::string Name(const char* step, int32_t side) { return std::string(step) + "/" + std::to_string(side); }

void Register() {
    const int32_t sides[] = {1024, 2048, 4096};
    for (int32_t side : sides) {
        const std::pair<const char*, void (*)(benchmark::State&, int32_t)> steps[] = {
            {"new mission", BM_NewMission}, {"save", BM_SaveProject}, {"open", BM_OpenProject}};
        for (auto [step, body] : steps)
            benchmark::RegisterBenchmark(Name(step, side).c_str(), [side, body = body](benchmark::State& s) {
                body(s, side);
            })->Unit(benchmark::kMillisecond);
    }
    for (const char* step : {"new mission", "save", "open"}) {
        for (int32_t side : sides) {
            Row row;
            row.label = std::string(step) + " " + std::to_string(side);
            row.ours = {Name(step, side)};
            AddRow(row);
        }
        Row growth;
        growth.label = std::string(step) + ", growth from 1024 to 4096";
        growth.ours = {Name(step, 4096)};
        growth.peerName = "1024";
        growth.peer = {Name(step, 1024)};
        growth.growth = 16;
        growth.unit = "";
        growth.target = AtMost(1.2);
        AddRow(growth);
    }
    Row warnings;
    warnings.label = "held by the import's warnings after New 4096";
    warnings.ours = {Name("new mission", 4096), "warnings_bytes_per_pixel"};
    warnings.unit = "B/px";
    AddRow(warnings);
    Row held;
    held.label = "held by an open 4096 project after New";
    held.ours = {Name("new mission", 4096), "held_bytes_per_pixel"};
    held.peerName = "after Open";
    held.peer = {Name("open", 4096), "held_bytes_per_pixel"};
    held.unit = "B/px";
    // Equal to a thousandth: New also holds the import's warnings (above),
    // which a project file does not keep, and lists of a few kilobytes
    // grown rather than read to size.
    held.target = RatioAtMost(1.001);
    held.note = "New also holds the import's warnings";
    AddRow(held);
    for (const char* step : {"new mission", "open"}) {
        Row peak;
        peak.label = std::string(step) + " 4096, peak memory";
        peak.ours = {Name(step, 4096), "peak_bytes_per_pixel"};
        peak.unit = "B/px";
        AddRow(peak);
    }
}

}  // namespace

int main(int argc, char** argv) {
    // What stays for the whole program once made (the glyphs of the label
    // font, the catalogue's document) is made before anything is measured.
    {
        Session session;
        NewMission(session.project, SharedWorld(512));
    }
    Register();
    return Main(argc, argv);
}
