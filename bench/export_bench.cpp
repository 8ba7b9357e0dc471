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
#include <string>
#include <vector>

#include <unistd.h>

#include "bitmap/Pix32.h"
#include "export/ExportDriver.h"
#include "model/DetachedEditor.h"
#include "model/mapproject.h"

#include "Harness.h"
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

// The export's temporary tree and its packages go to a folder in memory
// when the system has one (/dev/shm), as on systems whose temporary folder
// is in memory: thousands of exports in a row would otherwise measure the
// disk file system's bookkeeping of files made and removed again and again
// rather than the export.
fs::path MemoryFolder() {
    std::error_code error;
    return fs::is_directory("/dev/shm", error) ? fs::path("/dev/shm") : fs::temp_directory_path();
}

struct Destination {
    fs::path folder;
    Destination() {
        folder = MemoryFolder() / ("thorn-export-bench-" + std::to_string(getpid()));
        fs::create_directories(folder);
    }
    ~Destination() {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
};

// ------------------------------------------------------------- benchmarks

void Import(benchmark::State& state, int32_t side) {
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
}

void Export(benchmark::State& state, int32_t side) {
    const std::unique_ptr<CMapProject> project = MakeMission(side);
    const Destination destination;
    NullBuffer discard;
    std::ostream console(&discard);
    thorn::ExportOptions options;
    options.pack.console = &console;
    options.temporaryRoot = destination.folder;
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
}

// 0 stands for the world of five large provinces.
std::string WorldName(int32_t side) {
    return side ? std::to_string(side) + "x" + std::to_string(side) : "five provinces of 1500x1500";
}

void Register() {
    using thorn::bench::Row;
    const int32_t sides[] = {1024, 2048, 4096, 0};
    for (int32_t side : sides) {
        const std::string label = "export " + WorldName(side);
        benchmark::RegisterBenchmark((label + "/ours").c_str(), [side](benchmark::State& s) { Export(s, side); })
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((label + "/import").c_str(), [side](benchmark::State& s) { Import(s, side); })
            ->Unit(benchmark::kMillisecond);
        Row row;
        row.label = label;
        row.ours = {label + "/ours"};
        row.peerName = "its import";
        row.peer = {label + "/import"};
        row.target = thorn::bench::RatioAtMost(1.0);
        thorn::bench::AddRow(row);
        Row peak;
        peak.label = label + ", peak memory";
        peak.ours = {label + "/ours", "peak_bytes_per_pixel"};
        peak.unit = "B/px";
        thorn::bench::AddRow(peak);
    }
    Row growth;
    growth.label = "export, growth from 1024 to 4096";
    growth.ours = {"export " + WorldName(4096) + "/ours"};
    growth.peerName = "1024";
    growth.peer = {"export " + WorldName(1024) + "/ours"};
    growth.growth = 16;
    growth.unit = "";
    growth.target = thorn::bench::AtMost(1.15);
    thorn::bench::AddRow(growth);
}

}  // namespace

int main(int argc, char** argv) {
    Register();
    return thorn::bench::Main(argc, argv);
}
