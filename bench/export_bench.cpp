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

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <ostream>
#include <streambuf>
#include <vector>

#include "bitmap/Pix32.h"
#include "export/ExportDriver.h"
#include "model/DetachedEditor.h"
#include "model/mapproject.h"

#include "HeapCounter.h"
#include "SyntheticWorld.h"

namespace {

namespace fs = std::filesystem;

// ---------------------------------------------------------- world pictures

using thorn::bench::CopyOf;
using thorn::bench::kOcean;
using thorn::bench::ProvinceColour;

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
    if (side) return thorn::bench::SharedWorld(side);
    static const std::unique_ptr<TBitmap32> large = MakeLargeProvinces();
    return *large;
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
            const int64_t before = thorn::bench::StartMeasuring();
            auto picture = CopyOf(world);
            state.ResumeTiming();
            project->ImportWorldBitmap(std::move(picture), 0);
            state.PauseTiming();
            peakPerPixel = static_cast<double>(thorn::bench::HeapPeak() - before) / Pixels(side);
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
        const int64_t before = thorn::bench::StartMeasuring();
        const thorn::ExportResult result = thorn::ExportMission(*project, destination.folder / "Bench.pdb", options);
        peakPerPixel = static_cast<double>(thorn::bench::HeapPeak() - before) / Pixels(side);
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
