// The world-picture import from a BMP file on disk to classified pieces, on
// the synthetic worlds of 1024, 2048 and 4096 pixels a side, a non-square
// world of 8192 x 2048 and a noisy, antialiased world of tens of thousands
// of regions; the re-import of a changed picture over an open mission; and
// the labelling step beside OpenCV's connected components.
//
// Labelling: OpenCV labels one binary picture, ours finds the regions of
// every colour at once. On a picture of two colours both do the same job:
// OpenCV, from our bitmap, picks the land out (inside its timer), labels it
// and then the sea, with boxes and sizes as ours; the region counts must be
// equal. On the many-coloured worlds OpenCV has no such job, so no ratio.
//
// Peak memory: this program replaces malloc, calloc, realloc and free (over
// glibc's own) to count the bytes in use; the peak of a run less the bytes in
// use before it is reported per pixel of the picture. The picture is read
// inside the measured run, so it is counted.
#include <benchmark/benchmark.h>

#include <opencv2/imgproc.hpp>

#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "Harness.h"
#include "HeapCounter.h"
#include "Session.h"
#include "SyntheticWorld.h"
#include "bitmap/Pix32.h"
#include "model/RegionScan.h"
#include "model/mapproject.h"

namespace {

using namespace thorn::bench;
namespace fs = std::filesystem;

// -------------------------------------------------------------- pictures

struct Picture {
    std::string name;
    int32_t width, height;
};

// The file of a picture, written on first use.
const fs::path& PictureFile(const std::string& name, const std::function<std::unique_ptr<TBitmap32>()>& make) {
    static std::map<std::string, fs::path> files;
    fs::path& file = files[name];
    if (file.empty()) {
        file = ScratchFolder() / (name + ".bmp");
        SaveBmp24(*make(), file);
    }
    return file;
}

const fs::path& WorldFile(int32_t width, int32_t height, uint32_t variant = 0) {
    const std::string name = "world" + std::to_string(width) + "x" + std::to_string(height) + "v" + std::to_string(variant);
    return PictureFile(name, [=] {
        if (width == height && variant == 0) return CopyOf(SharedWorld(width));
        return MakeWorld(width, height, variant);
    });
}

const fs::path& NoisyFile(int32_t side) {
    return PictureFile("noisy" + std::to_string(side), [=] { return MakeNoisyWorld(side); });
}

double Pixels(int32_t width, int32_t height) { return double(width) * height; }

// ---------------------------------------------------------------- import

std::string ImportName(const std::string& what) { return "import " + what + " from file/ours"; }

// ImportWorldImage of a file on a fresh project, as the New command starts.
void ImportFromFile(benchmark::State& state, const fs::path& file, double pixels) {
    double peak = 0;
    int pieces = 0, warnings = 0;
    for (auto _ : state) {
        state.PauseTiming();
        {
            auto project = std::make_unique<CMapProject>();
            const int64_t before = StartMeasuring();
            state.ResumeTiming();
            project->ImportWorldImage(file, 0);
            state.PauseTiming();
            peak = static_cast<double>(HeapPeak() - before) / pixels;
            pieces = project->MapPieces.GetCount();
            warnings = project->ErrorList.GetCount();
        }
        state.ResumeTiming();
    }
    state.counters["pieces"] = pieces;
    state.counters["warnings"] = warnings;
    state.counters["peak_bytes_per_pixel"] = peak;
}

void PeakRow(const std::string& label, const std::string& benchmark, double bound) {
    Row row;
    row.label = label + ", peak memory";
    row.ours = {benchmark, "peak_bytes_per_pixel"};
    row.unit = "B/px";
    row.target = AtMost(bound);
    AddRow(row);
}

// The import's heap peak stays within this many bytes a pixel of the
// picture, whatever the picture holds.
constexpr double kPeakBound = 24;

void RegisterImports() {
    for (int32_t side : {1024, 2048, 4096}) {
        const std::string what = std::to_string(side);
        benchmark::RegisterBenchmark(ImportName(what).c_str(),
                                     [side](benchmark::State& s) {
                                         ImportFromFile(s, WorldFile(side, side), Pixels(side, side));
                                     })
            ->Unit(benchmark::kMillisecond);
        Row row;
        row.label = "import " + what + " from a BMP file";
        row.ours = {ImportName(what)};
        AddRow(row);
        if (side == 4096) PeakRow(row.label, ImportName(what), kPeakBound);
    }
    Row growth;
    growth.label = "import, growth from 1024 to 4096";
    growth.ours = {ImportName("4096")};
    growth.peerName = "1024";
    growth.peer = {ImportName("1024")};
    growth.growth = 16;
    growth.target = AtMost(1.15);
    growth.unit = "";
    AddRow(growth);

    // Non-square, of as many pixels as 4096 x 4096.
    benchmark::RegisterBenchmark(ImportName("8192x2048").c_str(),
                                 [](benchmark::State& s) {
                                     ImportFromFile(s, WorldFile(8192, 2048), Pixels(8192, 2048));
                                 })
        ->Unit(benchmark::kMillisecond);
    Row wide;
    wide.label = "import 8192x2048 from a BMP file";
    wide.ours = {ImportName("8192x2048")};
    wide.peerName = "4096x4096";
    wide.peer = {ImportName("4096")};
    wide.note = "as many pixels";
    AddRow(wide);
    PeakRow(wide.label, ImportName("8192x2048"), kPeakBound);

    // Noisy: far more regions than a map holds; the import finds them and
    // refuses the picture.
    benchmark::RegisterBenchmark(ImportName("noisy 2048").c_str(),
                                 [](benchmark::State& s) {
                                     ImportFromFile(s, NoisyFile(2048), Pixels(2048, 2048));
                                     TBitmap32 picture;
                                     picture.LoadFromFile(NoisyFile(2048));
                                     s.counters["regions"] = static_cast<double>(
                                         thorn::ScanRegions(picture, CProvinceMapList::kMaxPieces).total);
                                 })
        ->Unit(benchmark::kMillisecond);
    Row noisy;
    noisy.label = "import noisy 2048 from a BMP file";
    noisy.ours = {ImportName("noisy 2048")};
    noisy.peerName = "clean 2048";
    noisy.peer = {ImportName("2048")};
    AddRow(noisy);
    PeakRow(noisy.label, ImportName("noisy 2048"), kPeakBound);
    Row regions;
    regions.label = "noisy 2048, regions in the picture";
    regions.ours = {ImportName("noisy 2048"), "regions"};
    regions.unit = "";
    regions.target = AtLeast(20000);
    AddRow(regions);
}

// -------------------------------------------------------------- re-import

// The two commands a designer runs on an open mission with a world picture,
// each run alternating between two versions of the world: Reload World
// Image (the import with the reload flag, then the provinces bound again)
// and New (the project reset, the first import, the mission built).
enum class Command { Reload, New };

void RunCommand(benchmark::State& state, int32_t side, Command command) {
    const fs::path* files[] = {&WorldFile(side, side, 0), &WorldFile(side, side, 1)};
    Session session;
    NewMission(session.project, SharedWorld(side));
    CMapProject& project = session.project;
    int current = 0;
    double peak = 0;
    for (auto _ : state) {
        current = 1 - current;
        state.PauseTiming();
        const int64_t before = StartMeasuring();
        state.ResumeTiming();
        if (command == Command::Reload) {
            project.ImportWorldImage(*files[current], 1);
            project.RebindProvinces();
        } else {
            project.Reset();
            project.ImportWorldImage(*files[current], 0);
            project.NewMissionFromImage();
        }
        project.FitWorldImage();
        state.PauseTiming();
        peak = static_cast<double>(HeapPeak() - before) / Pixels(side, side);
        state.ResumeTiming();
    }
    int bound = 0;
    for (uint8_t i = 0; i < project.Provinces.GetCount(); ++i) bound += project.Provinces.GetAt(i)->BoundToPiece != 0;
    state.counters["provinces"] = project.Provinces.GetCount();
    state.counters["bound"] = bound;
    state.counters["peak_bytes_per_pixel"] = peak;
}

void RegisterReimports() {
    for (int32_t side : {1024, 4096}) {
        const std::string size = std::to_string(side);
        const std::string label = "re-import " + size + " over an open mission";
        for (Command command : {Command::Reload, Command::New}) {
            const std::string name = label + (command == Command::Reload ? "/ours" : "/new command");
            benchmark::RegisterBenchmark(name.c_str(),
                                         [side, command](benchmark::State& s) { RunCommand(s, side, command); })
                ->Unit(benchmark::kMillisecond);
        }
        Row row;
        row.label = label;
        row.ours = {label + "/ours"};
        row.peerName = "new command";
        row.peer = {label + "/new command"};
        row.target = RatioAtMost(1.0);
        row.note = "Reload World Image against New, each with the world's other version";
        AddRow(row);
    }
}

// ------------------------------------------------------------- labelling

const TBitmap32& Islands(int32_t side) {
    static std::map<int32_t, std::unique_ptr<TBitmap32>> pictures;
    auto& picture = pictures[side];
    if (!picture) picture = MakeIslands(side);
    return *picture;
}

size_t OurRegions(const TBitmap32& picture) {
    return thorn::ScanRegions(picture, CProvinceMapList::kMaxPieces).total;
}

// The land picked out of our pixels, then the components of the land and
// of the sea, each with its box and size.
size_t OpenCvRegions(const TBitmap32& picture) {
    const cv::Mat pixels(picture.Height(), picture.Width(), CV_8UC4, picture.Bits());
    const cv::Scalar land(kIslandLand & 0xFF, kIslandLand >> 8 & 0xFF, kIslandLand >> 16 & 0xFF, 0xFF);
    cv::Mat mask, labels, stats, centroids;
    cv::inRange(pixels, land, land, mask);
    const int lands = cv::connectedComponentsWithStats(mask, labels, stats, centroids, 4, CV_32S);
    cv::bitwise_not(mask, mask);
    const int seas = cv::connectedComponentsWithStats(mask, labels, stats, centroids, 4, CV_32S);
    return static_cast<size_t>(lands - 1 + seas - 1);  // label 0 is the other colour each time
}

void RegisterLabelling() {
    cv::setNumThreads(1);  // our scan runs on one thread too
    for (int32_t side : {1024, 2048, 4096}) {
        const std::string label = "labelling " + std::to_string(side) + " islands";
        benchmark::RegisterBenchmark((label + "/ours").c_str(),
                                     [side](benchmark::State& s) {
                                         const TBitmap32& picture = Islands(side);
                                         for (auto _ : s) benchmark::DoNotOptimize(OurRegions(picture));
                                     })
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((label + "/opencv").c_str(),
                                     [side](benchmark::State& s) {
                                         const TBitmap32& picture = Islands(side);
                                         for (auto _ : s) benchmark::DoNotOptimize(OpenCvRegions(picture));
                                     })
            ->Unit(benchmark::kMillisecond);
        Row row;
        row.label = label;
        row.ours = {label + "/ours"};
        row.peerName = "opencv";
        row.peer = {label + "/opencv"};
        row.target = RatioAtMost(1.0);
        AddRow(row);
        AddCheck(label, [side] {
            const size_t ours = OurRegions(Islands(side)), peer = OpenCvRegions(Islands(side));
            if (ours != peer)
                throw Disagreement(std::to_string(ours) + " regions against " + std::to_string(peer));
            return "both find " + std::to_string(ours) + " regions";
        });
    }
}

}  // namespace

int main(int argc, char** argv) {
    RegisterImports();
    RegisterReimports();
    RegisterLabelling();
    return Main(argc, argv);
}
