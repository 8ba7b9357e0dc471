// The mission export on synthetic worlds of 1024, 2048 and 4096 pixels a
// side with 99 provinces, and on a world of five provinces of 1500 x 1500
// pixels each, beside the world-picture import of the same worlds.
//
// The 99-province worlds are those of the import benchmark: an ocean border,
// a round green-land lake in the middle, a 9 x 11 grid of provinces warped by
// slow waves, and about 1200 speckles on province borders that the import
// merges away. Every province piece is bound to a province; two players
// play; three events; the packages go to a temporary folder.
//
// Peak memory: this program replaces malloc, calloc, realloc and free (over
// glibc's own) to count the bytes in use; the peak of a run less the bytes in
// use before it is reported per pixel of the world.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <ostream>
#include <streambuf>
#include <vector>

#include "bitmap/Pix32.h"
#include "export/ExportDriver.h"
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

namespace fs = std::filesystem;

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

// The import benchmark's world of 99 provinces.
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
        const TColor32 colour = (mid & 0xFFFFF000u) | 0x400u | static_cast<uint32_t>(placed);
        world->FillRect(x + 1 - width / 2, y, x + 1 - width / 2 + width, y + height, colour);
        ++placed;
    }
    return world;
}

// Five provinces of about 1500 x 1500 pixels in a row, with wavy borders, on
// ocean.
constexpr int32_t kLargeSide = 1500, kLargeMargin = 50;
constexpr int32_t kLargeWidth = 5 * kLargeSide + 2 * kLargeMargin, kLargeHeight = kLargeSide + 2 * kLargeMargin;

std::unique_ptr<TBitmap32> MakeLargeProvinces() {
    auto world = std::make_unique<TBitmap32>();
    world->SetSize(kLargeWidth, kLargeHeight);
    const double pi = 3.14159265358979;
    for (int32_t y = 0; y < kLargeHeight; ++y) {
        TColor32* row = world->ScanLine(y);
        const double wave = 60 * std::sin(2 * pi * y / 700.0);
        for (int32_t x = 0; x < kLargeWidth; ++x) {
            if (x < kLargeMargin || y < kLargeMargin || x >= kLargeWidth - kLargeMargin ||
                y >= kLargeHeight - kLargeMargin) {
                row[x] = kOcean;
                continue;
            }
            const int32_t cell = std::clamp(static_cast<int32_t>((x - kLargeMargin + wave) / kLargeSide), 0, 4);
            row[x] = ProvinceColour(cell);
        }
    }
    return world;
}

// Worlds by name: the side of a square world, or 0 for the five provinces.
const TBitmap32& World(int32_t side) {
    static std::map<int32_t, std::unique_ptr<TBitmap32>> worlds;
    auto& world = worlds[side];
    if (!world) world = side ? MakeWorld(side) : MakeLargeProvinces();
    return *world;
}

std::unique_ptr<TBitmap32> CopyOf(const TBitmap32& world) {
    auto copy = std::make_unique<TBitmap32>();
    copy->Assign(world);
    return copy;
}

double Pixels(int32_t side) { return side ? double(side) * side : double(kLargeWidth) * kLargeHeight; }

// ----------------------------------------------------------- the mission

// A mission as a designer leaves it: every province piece a province, two
// players, three events.
std::unique_ptr<CMapProject> MakeMission(int32_t side) {
    auto project = std::make_unique<CMapProject>();
    project->ImportWorldBitmap(CopyOf(World(side)), 0);
    project->NumResources = 3;
    project->NumStandardUnits = 4;
    project->Players.Resize(6);
    project->Tables.Add(std::make_unique<CStringTable>());
    for (uint16_t n = 0; n < project->MapPieces.GetCount() && project->Provinces.GetCount() < 99; ++n) {
        const CProvinceMap& piece = *project->MapPieces.GetAt(n);
        if (!piece.IsProvince()) continue;
        auto province = std::make_unique<CProvince>();
        province->SetResourceCount(3);
        province->GuardianArmy.SetSize(4);
        province->MapPieceIndex = n;
        province->BoundToPiece = 1;
        province->CastleX = piece.CastleX;
        province->CastleY = piece.CastleY;
        project->Provinces.Add(std::move(province));
    }
    for (uint32_t slot = 0; slot < 2; ++slot) {
        CPlayerData& player = project->Players[slot];
        player.Active = 1;
        player.PlayerType = 0;
        player.Capital = project->Provinces.GetAt(static_cast<uint8_t>(slot));
        player.Capital->Owner = static_cast<uint8_t>(slot);
    }
    for (int i = 0; i < 3; ++i) project->Events.AddEvent();
    return project;
}

// Discards the packer's console text.
class NullBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return c; }
};

struct Destination {
    fs::path folder;
    Destination() {
        folder = fs::temp_directory_path() / "thorn-export-bench";
        fs::create_directories(folder);
    }
    ~Destination() {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
};

// ------------------------------------------------------------- benchmarks

void BM_Import(benchmark::State& state) {
    const int32_t side = static_cast<int32_t>(state.range(0));
    const TBitmap32& world = World(side);
    double peakPerPixel = 0;
    int provincePieces = 0;
    for (auto _ : state) {
        state.PauseTiming();
        {
            auto project = std::make_unique<CMapProject>();
            const int64_t before = StartMeasuring();
            auto picture = CopyOf(world);
            state.ResumeTiming();
            project->ImportWorldBitmap(std::move(picture), 0);
            state.PauseTiming();
            peakPerPixel = static_cast<double>(heapPeak.load() - before) / Pixels(side);
            provincePieces = 0;
            for (uint16_t n = 0; n < project->MapPieces.GetCount(); ++n)
                provincePieces += project->MapPieces.GetAt(n)->IsProvince();
        }
        state.ResumeTiming();
    }
    state.counters["province_pieces"] = provincePieces;
    state.counters["peak_bytes_per_pixel"] = peakPerPixel;
    state.counters["ns_per_pixel"] =
        benchmark::Counter(Pixels(side), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_Export(benchmark::State& state) {
    const int32_t side = static_cast<int32_t>(state.range(0));
    const std::unique_ptr<CMapProject> project = MakeMission(side);
    const Destination destination;
    NullBuffer discard;
    std::ostream console(&discard);
    thorn::ExportOptions options;
    options.pack.console = &console;
    double peakPerPixel = 0;
    uintmax_t packageBytes = 0;
    for (auto _ : state) {
        const int64_t before = StartMeasuring();
        const thorn::ExportResult result = thorn::ExportMission(*project, destination.folder / "Bench.pdb", options);
        peakPerPixel = static_cast<double>(heapPeak.load() - before) / Pixels(side);
        if (!result.ok) {
            state.SkipWithError(result.message.c_str());
            break;
        }
    }
    if (fs::exists(destination.folder / "Bench.pdb")) packageBytes = fs::file_size(destination.folder / "Bench.pdb");
    state.counters["provinces"] = project->Provinces.GetCount();
    state.counters["pdb_bytes"] = static_cast<double>(packageBytes);
    state.counters["peak_bytes_per_pixel"] = peakPerPixel;
    state.counters["ns_per_pixel"] =
        benchmark::Counter(Pixels(side), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// 0 stands for the world of five large provinces.
BENCHMARK(BM_Import)->Arg(1024)->Arg(2048)->Arg(4096)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Export)->Arg(1024)->Arg(2048)->Arg(4096)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
BENCHMARK_MAIN();
