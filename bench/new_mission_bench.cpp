// The whole new-mission sequence on synthetic world pictures of 1024, 2048
// and 4096 pixels a side: the import, then the mission built with the start
// folder's game catalogue (provinces, players, layers, overlay); then the
// project file of the result saved, and opened again as the open command
// does it (reset, fresh game data, load and rebuild).
//
// Peak memory: this program replaces malloc, calloc, realloc and free (over
// glibc's own) to count the bytes in use; the peak of a run less the bytes
// in use before it is reported per pixel of the picture. The size of the
// project file is reported with the save.
#include <benchmark/benchmark.h>

#include <pugixml.hpp>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

#include "bitmap/Pix32.h"
#include "model/DetachedEditor.h"
#include "model/mapproject.h"

#include "HeapCounter.h"
#include "SyntheticWorld.h"

namespace {

const std::filesystem::path kStartFolder = std::filesystem::path(THORN_SOURCE_DIR) / "startdir";

const pugi::xml_document& Catalogue() {
    static pugi::xml_document document;
    static const bool loaded = document.load_file((kStartFolder / "pw.xml").c_str());
    if (!loaded) throw std::runtime_error("no start catalogue");
    return document;
}

std::filesystem::path Folder() {
    static const std::filesystem::path folder = [] {
        auto f = std::filesystem::temp_directory_path() / ("thorn-new-mission-bench-" + std::to_string(getpid()));
        std::filesystem::create_directories(f);
        return f;
    }();
    return folder;
}

std::filesystem::path ProjectFile(int32_t side) { return Folder() / ("world" + std::to_string(side) + ".pw"); }

// A project with its own detached editor that holds the start catalogue.
struct Session {
    Session() {
        editor.SetGameData(Catalogue().document_element(), kStartFolder);
        project.SetEditorLink(&editor);
    }
    thorn::DetachedEditor editor;
    CMapProject project;
};

int NewMission(CMapProject& project, const TBitmap32& world) {
    if (!project.ImportWorldBitmap(thorn::bench::CopyOf(world), 0)) throw std::runtime_error("import refused");
    if (!project.NewMissionFromImage()) throw std::runtime_error("catalogue refused");
    return project.Provinces.GetCount();
}

void PerPixel(benchmark::State& state, int32_t side) {
    state.counters["ns_per_pixel"] = benchmark::Counter(double(side) * side, benchmark::Counter::kIsIterationInvariantRate |
                                                                                  benchmark::Counter::kInvert);
}

void BM_NewMission(benchmark::State& state) {
    const int32_t side = static_cast<int32_t>(state.range(0));
    const TBitmap32& world = thorn::bench::SharedWorld(side);
    double peakPerPixel = 0;
    int provinces = 0;
    for (auto _ : state) {
        state.PauseTiming();
        {
            auto session = std::make_unique<Session>();
            const int64_t before = thorn::bench::StartMeasuring();
            state.ResumeTiming();
            provinces = NewMission(session->project, world);
            state.PauseTiming();
            peakPerPixel = static_cast<double>(thorn::bench::HeapPeak() - before) / (double(side) * side);
        }
        state.ResumeTiming();
    }
    state.counters["provinces"] = provinces;
    state.counters["peak_bytes_per_pixel"] = peakPerPixel;
    PerPixel(state, side);
}
BENCHMARK(BM_NewMission)->Arg(1024)->Arg(2048)->Arg(4096)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SaveProject(benchmark::State& state) {
    const int32_t side = static_cast<int32_t>(state.range(0));
    Session session;
    NewMission(session.project, thorn::bench::SharedWorld(side));
    double peakPerPixel = 0;
    for (auto _ : state) {
        const int64_t before = thorn::bench::StartMeasuring();
        if (!session.project.SaveProject(ProjectFile(side))) throw std::runtime_error("save failed");
        peakPerPixel = static_cast<double>(thorn::bench::HeapPeak() - before) / (double(side) * side);
    }
    state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size(ProjectFile(side)));
    state.counters["peak_bytes_per_pixel"] = peakPerPixel;
    PerPixel(state, side);
}
BENCHMARK(BM_SaveProject)->Arg(1024)->Arg(2048)->Arg(4096)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OpenProject(benchmark::State& state) {
    const int32_t side = static_cast<int32_t>(state.range(0));
    {
        Session made;
        NewMission(made.project, thorn::bench::SharedWorld(side));
        made.project.SaveProject(ProjectFile(side));
    }
    double peakPerPixel = 0;
    int provinces = 0;
    for (auto _ : state) {
        state.PauseTiming();
        {
            auto session = std::make_unique<Session>();
            const int64_t before = thorn::bench::StartMeasuring();
            state.ResumeTiming();
            session->project.Reset();
            session->project.NewMissionFromImage();
            if (!session->project.LoadProject(ProjectFile(side))) throw std::runtime_error("load failed");
            session->project.HideProgress();
            state.PauseTiming();
            peakPerPixel = static_cast<double>(thorn::bench::HeapPeak() - before) / (double(side) * side);
            provinces = session->project.Provinces.GetCount();
        }
        state.ResumeTiming();
    }
    state.counters["provinces"] = provinces;
    state.counters["peak_bytes_per_pixel"] = peakPerPixel;
    PerPixel(state, side);
}
BENCHMARK(BM_OpenProject)->Arg(1024)->Arg(2048)->Arg(4096)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(Folder(), ignored);
    return 0;
}
