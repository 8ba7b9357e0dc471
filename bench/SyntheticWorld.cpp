#include "SyntheticWorld.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>

#include "tools/BmpWriter.h"

namespace thorn::bench {
namespace {

struct Lcg {
    uint32_t state;
    uint32_t Next() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
    int32_t Below(int32_t n) { return static_cast<int32_t>(Next() % static_cast<uint32_t>(n)); }
};

constexpr double kPi = 3.14159265358979;

}  // namespace

TColor32 ProvinceColour(int32_t cell) { return 0xFF800000u | static_cast<uint32_t>(cell * 613 + 17) << 4; }

std::unique_ptr<TBitmap32> MakeWorld(int32_t width, int32_t height, uint32_t variant) {
    auto world = std::make_unique<TBitmap32>();
    world->SetSize(width, height);
    const int32_t margin = std::min(width, height) / 20;
    const int32_t innerW = width - 2 * margin, innerH = height - 2 * margin;
    const double cw = innerW / 9.0, ch = innerH / 11.0;
    const double ax = cw / 7.0, ay = ch / 7.0;
    const double phase = 0.9 * variant;
    const double lakeRadius = std::min(cw, ch) * 0.45;
    for (int32_t y = 0; y < height; ++y) {
        TColor32* row = world->ScanLine(y);
        for (int32_t x = 0; x < width; ++x) {
            if (x < margin || y < margin || x >= width - margin || y >= height - margin) {
                row[x] = kOcean;
                continue;
            }
            const double dx = x - width / 2.0, dy = y - height / 2.0;
            if (dx * dx + dy * dy < lakeRadius * lakeRadius) {
                row[x] = kGreen;
                continue;
            }
            const double u = (x - margin) + ax * std::sin(2 * kPi * y / (height / 3.0) + phase);
            const double v = (y - margin) + ay * std::sin(2 * kPi * x / (width / 2.5) + phase);
            const int32_t cx = std::clamp(static_cast<int32_t>(u / cw), 0, 8);
            const int32_t cy = std::clamp(static_cast<int32_t>(v / ch), 0, 10);
            row[x] = ProvinceColour(cx * 11 + cy);
        }
    }
    // Speckles where a row crosses from one province into another.
    Lcg random{static_cast<uint32_t>(height) + 7919u * variant};
    auto isProvince = [](TColor32 c) { return c != kOcean && c != kGreen && (c & 0x00800000u); };
    int placed = 0;
    for (int attempt = 0; placed < 1200 && attempt < 100000; ++attempt) {
        const int32_t y = margin + random.Below(innerH - 2);
        int32_t x = margin + random.Below(innerW / 2);
        const TColor32 from = world->GetPixel(x, y);
        if (!isProvince(from)) continue;
        while (x < width - margin - 12 && world->GetPixel(x + 1, y) == from) ++x;
        const TColor32 to = world->GetPixel(x + 1, y);
        if (!isProvince(to) || to == from) continue;
        const int32_t pixels = 3 + random.Below(8);
        const int32_t h = pixels > 4 ? 2 : 1, w = (pixels + h - 1) / h;
        const TColor32 mid = 0xFF000000u | ((from & 0xFEFEFE) + (to & 0xFEFEFE)) / 2;
        const TColor32 colour = (mid & 0xFFFFF000u) | 0x400u | static_cast<uint32_t>(placed);  // its own colour
        world->FillRect(x + 1 - w / 2, y, x + 1 - w / 2 + w, y + h, colour);
        ++placed;
    }
    return world;
}

const TBitmap32& SharedWorld(int32_t side) {
    static std::map<int32_t, std::unique_ptr<TBitmap32>> worlds;
    auto& world = worlds[side];
    if (!world) world = MakeWorld(side, side);
    return *world;
}

std::unique_ptr<TBitmap32> CopyOf(const TBitmap32& world) {
    auto copy = std::make_unique<TBitmap32>();
    copy->Assign(world);
    return copy;
}

std::unique_ptr<TBitmap32> MakeNoisyWorld(int32_t side) {
    const TBitmap32& clean = SharedWorld(side);
    std::unique_ptr<TBitmap32> world = CopyOf(clean);
    auto mix = [](TColor32 a, TColor32 b) { return 0xFF000000u | ((a & 0xFEFEFE) + (b & 0xFEFEFE)) / 2; };
    for (int32_t y = 0; y + 1 < side; ++y)
        for (int32_t x = 0; x + 1 < side; ++x) {
            const TColor32 c = clean.GetPixel(x, y);
            const TColor32 right = clean.GetPixel(x + 1, y), below = clean.GetPixel(x, y + 1);
            if (right != c)
                world->SetPixel(x, y, mix(c, right));
            else if (below != c)
                world->SetPixel(x, y, mix(c, below));
        }
    Lcg random{static_cast<uint32_t>(side) * 31u};
    for (int64_t i = 0, n = int64_t{side} * side / 80; i < n; ++i) {
        const int32_t x = random.Below(side), y = random.Below(side);
        const TColor32 c = world->GetPixel(x, y);
        world->SetPixel(x, y, c ^ (1u + static_cast<uint32_t>(random.Below(7))) << (8 * random.Below(3)));
    }
    return world;
}

std::unique_ptr<TBitmap32> MakeIslands(int32_t side) {
    auto picture = std::make_unique<TBitmap32>();
    picture->SetSize(side, side);
    picture->Clear(kOcean);
    Lcg random{static_cast<uint32_t>(side) * 17u};
    const int32_t radius = std::max(3, side / 60);
    for (int island = 0; island < 700; ++island) {
        const int32_t cx = random.Below(side), cy = random.Below(side);
        const int32_t r = radius / 2 + random.Below(radius);
        const int32_t lake = island % 5 == 0 ? r / 3 : 0;
        for (int32_t y = std::max(0, cy - r); y <= std::min(side - 1, cy + r); ++y)
            for (int32_t x = std::max(0, cx - r); x <= std::min(side - 1, cx + r); ++x) {
                const int32_t d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
                if (d2 <= r * r) picture->SetPixel(x, y, d2 < lake * lake ? kOcean : kIslandLand);
            }
    }
    return picture;
}

void SaveBmp24(const TBitmap32& picture, const std::filesystem::path& file) {
    startdir::Raster raster(picture.Width(), picture.Height(), {});
    for (int32_t y = 0; y < picture.Height(); ++y)
        for (int32_t x = 0; x < picture.Width(); ++x) {
            const TColor32 c = picture.GetPixel(x, y);
            raster.Set(x, y, {static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c)});
        }
    const std::vector<uint8_t> bytes = startdir::EncodeBmp24(raster);
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + file.string());
}

const std::filesystem::path& ScratchFolder() {
    struct Folder {
        std::filesystem::path path;
        Folder() {
            path = std::filesystem::temp_directory_path() / ("thorn-bench-" + std::to_string(getpid()));
            std::filesystem::create_directories(path);
        }
        ~Folder() {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    };
    static const Folder folder;
    return folder.path;
}

}  // namespace thorn::bench
