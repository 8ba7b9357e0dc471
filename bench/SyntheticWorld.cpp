#include "SyntheticWorld.h"

#include <algorithm>
#include <cmath>
#include <map>

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

}  // namespace

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

const TBitmap32& SharedWorld(int32_t side) {
    static std::map<int32_t, std::unique_ptr<TBitmap32>> worlds;
    auto& world = worlds[side];
    if (!world) world = MakeWorld(side);
    return *world;
}

std::unique_ptr<TBitmap32> CopyOf(const TBitmap32& world) {
    auto copy = std::make_unique<TBitmap32>();
    copy->Assign(world);
    return copy;
}

}  // namespace thorn::bench
