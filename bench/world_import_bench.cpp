// The world-picture import on synthetic world pictures of 1024, 2048 and
// 4096 pixels a side, beside OpenCV's connected-component labelling of the
// same pictures.
//
// Each picture has an ocean border, a round green-land lake in the middle,
// 99 province regions (a 9 x 11 grid warped by slow waves, each cell its own
// colour) and about 1200 speckles of 3 to 10 pixels on province borders,
// each of a colour between its two neighbours, as anti-aliased drawings
// leave them.
//
// Peak memory: this program replaces malloc, calloc, realloc and free (over
// glibc's own) to count the bytes in use; the peak of a run less the bytes in
// use before it is reported per pixel of the picture. The picture itself is
// made inside the measured run, so it is counted.
#include <benchmark/benchmark.h>

#include <opencv2/imgproc.hpp>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <vector>

#include "bitmap/Pix32.h"
#include "model/DetachedEditor.h"
#include "model/mapproject.h"

#include "HeapCounter.h"
#include "SyntheticWorld.h"

namespace {

// ---------------------------------------------------------- world pictures

using thorn::bench::CopyOf;
using thorn::bench::kGreen;
using thorn::bench::kOcean;
using thorn::bench::SharedWorld;

// The same picture for OpenCV: 255 everywhere except 0 on the pixels that
// differ from their right or lower neighbour, so that its components are
// close to the picture's regions.
const cv::Mat& Separated(int32_t side) {
    static std::map<int32_t, cv::Mat> images;
    cv::Mat& image = images[side];
    if (image.empty()) {
        const TBitmap32& world = SharedWorld(side);
        image = cv::Mat(side, side, CV_8UC1);
        for (int32_t y = 0; y < side; ++y)
            for (int32_t x = 0; x < side; ++x) {
                const TColor32 c = world.GetPixel(x, y);
                const bool edge = (x + 1 < side && world.GetPixel(x + 1, y) != c) ||
                                  (y + 1 < side && world.GetPixel(x, y + 1) != c);
                image.at<uint8_t>(y, x) = edge ? 0 : 255;
            }
    }
    return image;
}

// ------------------------------------------------------------- benchmarks

void BM_WorldImport(benchmark::State& state) {
    const int32_t side = static_cast<int32_t>(state.range(0));
    const TBitmap32& world = SharedWorld(side);
    double peakPerPixel = 0;
    int pieces = 0, warnings = 0;
    for (auto _ : state) {
        state.PauseTiming();
        {
            auto project = std::make_unique<CMapProject>();
            const int64_t before = thorn::bench::StartMeasuring();
            auto picture = CopyOf(world);
            state.ResumeTiming();
            project->ImportWorldBitmap(std::move(picture), 0);
            state.PauseTiming();
            peakPerPixel = static_cast<double>(thorn::bench::HeapPeak() - before) / (double(side) * side);
            pieces = project->MapPieces.GetCount();
            warnings = project->ErrorList.GetCount();
        }
        state.ResumeTiming();
    }
    state.counters["pieces"] = pieces;
    state.counters["warnings"] = warnings;
    state.counters["peak_bytes_per_pixel"] = peakPerPixel;
    state.counters["ns_per_pixel"] =
        benchmark::Counter(double(side) * side, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_WorldImport)->Arg(1024)->Arg(2048)->Arg(4096)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_AnalyzeBitmap(benchmark::State& state) {
    const int32_t side = static_cast<int32_t>(state.range(0));
    const TBitmap32& world = SharedWorld(side);
    CMapProject project;
    project.WorldWidth = project.WorldHeight = static_cast<uint16_t>(side);
    for (auto _ : state) {
        AnalyzeBitmap(project, world);
        state.PauseTiming();
        project.MapPieces.Clear();
        state.ResumeTiming();
    }
    state.counters["ns_per_pixel"] =
        benchmark::Counter(double(side) * side, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_AnalyzeBitmap)->Arg(1024)->Arg(2048)->Arg(4096)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OpenCvLabelling(benchmark::State& state) {
    const int32_t side = static_cast<int32_t>(state.range(0));
    const cv::Mat& image = Separated(side);
    cv::setNumThreads(1);  // our import runs on one thread too
    cv::Mat labels, stats, centroids;
    int components = 0;
    for (auto _ : state) {
        components = cv::connectedComponentsWithStats(image, labels, stats, centroids, 4, CV_32S);
        benchmark::DoNotOptimize(labels.data);
    }
    state.counters["components"] = components;
    state.counters["ns_per_pixel"] =
        benchmark::Counter(double(side) * side, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_OpenCvLabelling)->Arg(1024)->Arg(2048)->Arg(4096)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
BENCHMARK_MAIN();
