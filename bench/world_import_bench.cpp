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
#include <malloc.h>

#include <opencv2/imgproc.hpp>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <vector>

#include "bitmap/Pix32.h"
#include "model/DetachedEditor.h"
#include "model/mapproject.h"

// ------------------------------------------------------------ heap counter

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* p, size_t size);
void __libc_free(void* p);
void* __libc_memalign(size_t alignment, size_t size);
}

namespace {

std::atomic<int64_t> heapInUse{0};
std::atomic<int64_t> heapPeak{0};

void Count(void* p) {
    if (!p) return;
    const int64_t now = heapInUse.fetch_add(static_cast<int64_t>(malloc_usable_size(p))) +
                        static_cast<int64_t>(malloc_usable_size(p));
    int64_t peak = heapPeak.load();
    while (now > peak && !heapPeak.compare_exchange_weak(peak, now)) {
    }
}
void Uncount(void* p) {
    if (p) heapInUse.fetch_sub(static_cast<int64_t>(malloc_usable_size(p)));
}

// Starts a measured run: the peak restarts from the bytes now in use.
int64_t StartMeasuring() {
    const int64_t now = heapInUse.load();
    heapPeak.store(now);
    return now;
}

}  // namespace

extern "C" {
void* malloc(size_t size) {
    void* p = __libc_malloc(size);
    Count(p);
    return p;
}
void* calloc(size_t count, size_t size) {
    void* p = __libc_calloc(count, size);
    Count(p);
    return p;
}
void* realloc(void* old, size_t size) {
    Uncount(old);
    void* p = __libc_realloc(old, size);
    Count(p ? p : (size ? old : nullptr));
    return p;
}
void free(void* p) {
    Uncount(p);
    __libc_free(p);
}
void* aligned_alloc(size_t alignment, size_t size) {
    void* p = __libc_memalign(alignment, size);
    Count(p);
    return p;
}
void* memalign(size_t alignment, size_t size) {
    void* p = __libc_memalign(alignment, size);
    Count(p);
    return p;
}
int posix_memalign(void** out, size_t alignment, size_t size) {
    void* p = __libc_memalign(alignment, size);
    if (!p) return 12;  // ENOMEM
    Count(p);
    *out = p;
    return 0;
}
}

namespace {

// ---------------------------------------------------------- world pictures

constexpr TColor32 kOcean = 0xFF0000FF;
constexpr TColor32 kGreen = 0xFF00FF00;

struct Lcg {
    uint32_t state;
    uint32_t Next() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
    int32_t Below(int32_t n) { return static_cast<int32_t>(Next() % static_cast<uint32_t>(n)); }
};

TColor32 ProvinceColour(int32_t cell) { return 0xFF800000u | static_cast<uint32_t>(cell * 613 + 17) << 4; }

std::unique_ptr<TBitmap32> MakeWorld(int32_t side) {
    auto world = std::make_unique<TBitmap32>();
    world->SetSize(side, side);
    const int32_t margin = side / 20, inner = side - 2 * margin;
    const double cw = inner / 9.0, ch = inner / 11.0;
    const double amplitude = cw / 7.0;
    const double pi = 3.14159265358979;
    const double lakeRadius = cw * 0.45;
    for (int32_t y = 0; y < side; ++y) {
        TColor32* row = world->ScanLine(y);
        for (int32_t x = 0; x < side; ++x) {
            if (x < margin || y < margin || x >= side - margin || y >= side - margin) {
                row[x] = kOcean;
                continue;
            }
            const double dx = x - side / 2.0, dy = y - side / 2.0;
            if (dx * dx + dy * dy < lakeRadius * lakeRadius) {
                row[x] = kGreen;
                continue;
            }
            const double u = (x - margin) + amplitude * std::sin(2 * pi * y / (side / 3.0));
            const double v = (y - margin) + amplitude * std::sin(2 * pi * x / (side / 2.5));
            const int32_t cx = std::clamp(static_cast<int32_t>(u / cw), 0, 8);
            const int32_t cy = std::clamp(static_cast<int32_t>(v / ch), 0, 10);
            row[x] = ProvinceColour(cx * 11 + cy);
        }
    }
    // Speckles where a row crosses from one province into another.
    Lcg random{static_cast<uint32_t>(side)};
    auto isProvince = [](TColor32 c) { return c != kOcean && c != kGreen && (c & 0x00800000u); };
    int placed = 0;
    for (int attempt = 0; placed < 1200 && attempt < 100000; ++attempt) {
        const int32_t y = margin + random.Below(inner - 2);
        int32_t x = margin + random.Below(inner / 2);
        const TColor32 from = world->GetPixel(x, y);
        if (!isProvince(from)) continue;
        while (x < side - margin - 12 && world->GetPixel(x + 1, y) == from) ++x;
        const TColor32 to = world->GetPixel(x + 1, y);
        if (!isProvince(to) || to == from) continue;
        const int32_t pixels = 3 + random.Below(8);
        const int32_t height = pixels > 4 ? 2 : 1, width = (pixels + height - 1) / height;
        const TColor32 mid = 0xFF000000u | ((from & 0xFEFEFE) + (to & 0xFEFEFE)) / 2;
        const TColor32 colour = (mid & 0xFFFFF000u) | 0x400u | static_cast<uint32_t>(placed);  // its own colour
        world->FillRect(x + 1 - width / 2, y, x + 1 - width / 2 + width, y + height, colour);
        ++placed;
    }
    return world;
}

const TBitmap32& World(int32_t side) {
    static std::map<int32_t, std::unique_ptr<TBitmap32>> worlds;
    auto& world = worlds[side];
    if (!world) world = MakeWorld(side);
    return *world;
}

// The same picture for OpenCV: 255 everywhere except 0 on the pixels that
// differ from their right or lower neighbour, so that its components are
// close to the picture's regions.
const cv::Mat& Separated(int32_t side) {
    static std::map<int32_t, cv::Mat> images;
    cv::Mat& image = images[side];
    if (image.empty()) {
        const TBitmap32& world = World(side);
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

std::unique_ptr<TBitmap32> CopyOf(const TBitmap32& world) {
    auto copy = std::make_unique<TBitmap32>();
    copy->Assign(world);
    return copy;
}

// ------------------------------------------------------------- benchmarks

void BM_WorldImport(benchmark::State& state) {
    const int32_t side = static_cast<int32_t>(state.range(0));
    const TBitmap32& world = World(side);
    double peakPerPixel = 0;
    int pieces = 0, warnings = 0;
    for (auto _ : state) {
        state.PauseTiming();
        {
            auto project = std::make_unique<CMapProject>();
            const int64_t before = StartMeasuring();
            auto picture = CopyOf(world);
            state.ResumeTiming();
            project->ImportWorldBitmap(std::move(picture), 0);
            state.PauseTiming();
            peakPerPixel = static_cast<double>(heapPeak.load() - before) / (double(side) * side);
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
    const TBitmap32& world = World(side);
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
