// The editor as its program starts it, on the headless host, in a copy of
// the shipped start folder: from nothing to the main window's first painted
// frame (the module's objects, the application, every window, the textures,
// ini.xml, pw.xml and its check, the sample names), and then the same with
// the 1024 x 768 sample world opened as the New command does it (import,
// mission, view at 200 %, painted). The second run reports the heap's peak
// and what the open project holds, counted by this program's malloc.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <stdexcept>

#include "EditorRun.h"
#include "Harness.h"
#include "HeapCounter.h"
#include "gui/Application.h"

namespace {

using namespace thorn::bench;

constexpr double kMiB = 1024.0 * 1024.0;

void BM_StartUpToFirstFrame(benchmark::State& state) {
    const InStartFolder folder;
    for (auto _ : state) {
        auto editor = std::make_unique<EditorRun>();
        state.PauseTiming();
        editor.reset();
        state.ResumeTiming();
    }
}

void BM_SampleWorldOpen(benchmark::State& state) {
    const InStartFolder folder;
    double peak = 0, held = 0;
    int provinces = 0;
    for (auto _ : state) {
        const int64_t before = StartMeasuring();
        auto editor = std::make_unique<EditorRun>();
        OpenWorld("worlds/great_continent.bmp", 2.0f);
        state.PauseTiming();
        peak = static_cast<double>(HeapPeak() - before) / kMiB;
        held = static_cast<double>(HeapInUse() - before) / kMiB;
        provinces = MapProject->Provinces.GetCount();
        editor.reset();
        state.ResumeTiming();
    }
    state.counters["peak_MiB"] = peak;
    state.counters["held_MiB"] = held;
    state.counters["provinces"] = provinces;
}

void Register() {
    benchmark::RegisterBenchmark("editor start-up to first frame", BM_StartUpToFirstFrame)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("editor with the 1024 x 768 sample world open", BM_SampleWorldOpen)
        ->Unit(benchmark::kMillisecond);

    Row startUp;
    startUp.label = "editor start-up to the first painted frame";
    startUp.ours = {"editor start-up to first frame"};
    // Well within the tenth of a second a designer takes for "at once".
    startUp.target = AtMost(50);
    AddRow(startUp);

    Row world;
    world.label = "start-up and New on the 1024 x 768 sample world";
    world.ours = {"editor with the 1024 x 768 sample world open"};
    world.target = AtMost(500);
    AddRow(world);

    Row peak;
    peak.label = "editor's heap peak, 1024 x 768 sample world open";
    peak.ours = {"editor with the 1024 x 768 sample world open", "peak_MiB"};
    peak.unit = "MiB";
    // The world at 200 % is 12 MiB of view alone; the rest (picture, map
    // pieces, index map, layers) should not need as much again twice.
    peak.target = AtMost(48);
    AddRow(peak);

    Row held;
    held.label = "editor's heap held, 1024 x 768 sample world open";
    held.ours = {"editor with the 1024 x 768 sample world open", "held_MiB"};
    held.unit = "MiB";
    AddRow(held);
}

}  // namespace

int main(int argc, char** argv) {
    // What stays for the whole program once made (fonts and their glyphs)
    // is made before anything is measured.
    {
        const InStartFolder folder;
        EditorRun warm;
    }
    Register();
    return thorn::bench::Main(argc, argv);
}
