// The editor as its program starts it, on the headless host, in a copy of
// the shipped start folder: from nothing to the main window's first painted
// frame (the module's objects, the application, every window, the textures,
// ini.xml, pw.xml and its check, the sample names), and then the same with
// the 1024 x 768 sample world opened as the New command does it (import,
// mission, view at 200 %, painted). The second run reports the heap's peak
// and what the open project holds, counted by this program's malloc. The
// 320 x 240 sample world is opened with the label font of ini.xml at the
// shipped 8 points and asked at 2000.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>

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

// The shipped ini.xml with the label font asked at size points, for one run;
// the shipped file comes back when the object goes (the editor writes its
// settings at close).
class LabelFontInIni {
public:
    explicit LabelFontInIni(int size) {
        std::ifstream in(kFile, std::ios::binary);
        shipped_.assign(std::istreambuf_iterator<char>(in), {});
        std::string asked = shipped_;
        const size_t at = asked.find(" Size=\"8\"");
        if (at == std::string::npos) throw std::runtime_error("ini.xml has no label font of 8 points");
        asked.replace(at, 9, " Size=\"" + std::to_string(size) + "\"");
        std::ofstream(kFile, std::ios::binary | std::ios::trunc) << asked;
    }
    ~LabelFontInIni() { std::ofstream(kFile, std::ios::binary | std::ios::trunc) << shipped_; }
    LabelFontInIni(const LabelFontInIni&) = delete;
    LabelFontInIni& operator=(const LabelFontInIni&) = delete;

private:
    static constexpr const char* kFile = "ini.xml";
    std::string shipped_;
};

// Start-up and New on the 320 x 240 sample world with the label font of
// ini.xml at size points.
void BM_SmallWorldWithLabelFont(benchmark::State& state, int size) {
    const InStartFolder folder;
    double peak = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const LabelFontInIni ini(size);
        state.ResumeTiming();
        const int64_t before = StartMeasuring();
        auto editor = std::make_unique<EditorRun>();
        OpenWorld("worlds/small_isles.bmp", 1.0f);
        state.PauseTiming();
        peak = static_cast<double>(HeapPeak() - before) / kMiB;
        editor.reset();
        state.ResumeTiming();
    }
    state.counters["peak_MiB"] = peak;
}

void Register() {
    benchmark::RegisterBenchmark("editor start-up to first frame", BM_StartUpToFirstFrame)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("editor with the 1024 x 768 sample world open", BM_SampleWorldOpen)
        ->Unit(benchmark::kMillisecond);

    benchmark::RegisterBenchmark("editor with the small sample world open, labels at 8 points",
                                 BM_SmallWorldWithLabelFont, 8)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("editor with the small sample world open, labels asked at 2000 points",
                                 BM_SmallWorldWithLabelFont, 2000)
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

    // A label font far past its sizes in ini.xml is kept at 72 points: the
    // world opens at once, as with the shipped 8 points, and in about as
    // much memory (it took 14 s and 1.9 GB at 2000 points). Labels of 72
    // points are larger pictures than those of 8, so the time is bound
    // outright, not by the ratio.
    Row huge;
    huge.label = "small sample world open, label font 2000 pt in ini.xml";
    huge.ours = {"editor with the small sample world open, labels asked at 2000 points"};
    huge.peerName = "the same at 8 pt";
    huge.peer = {"editor with the small sample world open, labels at 8 points"};
    huge.target = AtMost(200);
    AddRow(huge);

    Row hugePeak;
    hugePeak.label = "heap peak, small sample world, label font 2000 pt";
    hugePeak.ours = {"editor with the small sample world open, labels asked at 2000 points", "peak_MiB"};
    hugePeak.unit = "MiB";
    hugePeak.peerName = "the same at 8 pt";
    hugePeak.peer = {"editor with the small sample world open, labels at 8 points", "peak_MiB"};
    hugePeak.target = RatioAtMost(2);
    AddRow(hugePeak);

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
