#include "tools/SampleWorlds.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "tools/Random.h"

namespace thorn::startdir {

namespace {

constexpr int kSea = 0;
constexpr int kGreen = 1;
constexpr int kFirstProvince = 2;

constexpr int kCoastMargin = 6;           // open sea along every edge
constexpr int kNoisePeriod = 4096;        // larger than any world: no visible repeat
constexpr int kMinProvincePixels = 600;   // well above what makes a small piece
constexpr int kMinProvinceSide = 8;
constexpr int kMinOtherPixels = 150;      // smaller sea and green pockets are filled
constexpr int kOwnProvincePixels = 1500;  // a stray part this big becomes a province of its own
constexpr int kMaxProvinces = 99;

struct Point {
    int x, y;
};

std::vector<bool> LandMask(const WorldPlan& plan) {
    std::vector<bool> land(static_cast<size_t>(plan.width) * plan.height, false);
    const int coastCell = plan.width <= 400 ? 32 : 64;  // bays and capes in scale with the world
    for (int y = kCoastMargin; y < plan.height - kCoastMargin; ++y)
        for (int x = kCoastMargin; x < plan.width - kCoastMargin; ++x) {
            int64_t best = INT32_MIN;
            for (const LandBlob& b : plan.land) {
                const int64_t dx = x - b.x, dy = y - b.y;
                const int64_t d = dx * dx * 1024 / (int64_t{b.rx} * b.rx) + dy * dy * 1024 / (int64_t{b.ry} * b.ry);
                best = std::max(best, 1024 - d);
            }
            const int noise = (ValueNoise(x, y, coastCell, kNoisePeriod, plan.seed) * 2 +
                               FractalNoise(x, y, kNoisePeriod, plan.seed + 1)) / 3 - 128;
            land[static_cast<size_t>(y) * plan.width + x] = best + noise * 7 > 0;
        }
    return land;
}

std::vector<Point> PlaceSeeds(const WorldPlan& plan, const std::vector<bool>& land, Random& random) {
    const int64_t area = std::count(land.begin(), land.end(), true);
    int minDist = static_cast<int>(std::sqrt(static_cast<double>(area) / plan.regions) * 0.75);
    std::vector<Point> seeds;
    int failures = 0;
    while (static_cast<int>(seeds.size()) < plan.regions) {
        const Point p{random.Below(plan.width), random.Below(plan.height)};
        bool fits = land[static_cast<size_t>(p.y) * plan.width + p.x];
        for (const Point& s : seeds)
            if (fits && int64_t{s.x - p.x} * (s.x - p.x) + int64_t{s.y - p.y} * (s.y - p.y) < int64_t{minDist} * minDist)
                fits = false;
        if (fits) {
            seeds.push_back(p);
            failures = 0;
        } else if (++failures == 2000) {
            minDist = minDist * 9 / 10;
            failures = 0;
        }
    }
    return seeds;
}

// Every land pixel joins the nearest seed, measured from a point moved by
// noise so the borders wander instead of running straight.
std::vector<int> AssignRegions(const WorldPlan& plan, const std::vector<bool>& land, const std::vector<Point>& seeds,
                               const std::vector<int>& seedRegion) {
    std::vector<int> region(land.size(), kSea);
    for (int y = 0; y < plan.height; ++y)
        for (int x = 0; x < plan.width; ++x) {
            const size_t i = static_cast<size_t>(y) * plan.width + x;
            if (!land[i]) continue;
            const int wx = x + (ValueNoise(x, y, 32, kNoisePeriod, plan.seed + 11) - 128) * plan.warp / 128;
            const int wy = y + (ValueNoise(x, y, 32, kNoisePeriod, plan.seed + 12) - 128) * plan.warp / 128;
            int64_t best = INT64_MAX;
            for (size_t s = 0; s < seeds.size(); ++s) {
                const int64_t dx = wx - seeds[s].x, dy = wy - seeds[s].y;
                if (dx * dx + dy * dy < best) {
                    best = dx * dx + dy * dy;
                    region[i] = seedRegion[s];
                }
            }
        }
    return region;
}

struct Component {
    int region;
    int size = 0;
    int minX, minY, maxX, maxY;
};

// Four-connected parts of equal region; component index per pixel.
std::vector<Component> Label(const std::vector<int>& region, int width, int height, std::vector<int>& comp) {
    std::vector<Component> parts;
    comp.assign(region.size(), -1);
    std::vector<size_t> stack;
    for (size_t start = 0; start < region.size(); ++start) {
        if (comp[start] != -1) continue;
        const int id = static_cast<int>(parts.size());
        Component c{region[start], 0, width, height, -1, -1};
        comp[start] = id;
        stack.push_back(start);
        while (!stack.empty()) {
            const size_t i = stack.back();
            stack.pop_back();
            const int x = static_cast<int>(i % width), y = static_cast<int>(i / width);
            ++c.size;
            c.minX = std::min(c.minX, x), c.maxX = std::max(c.maxX, x);
            c.minY = std::min(c.minY, y), c.maxY = std::max(c.maxY, y);
            const auto visit = [&](int nx, int ny) {
                if (nx < 0 || ny < 0 || nx >= width || ny >= height) return;
                const size_t n = static_cast<size_t>(ny) * width + nx;
                if (comp[n] == -1 && region[n] == c.region) {
                    comp[n] = id;
                    stack.push_back(n);
                }
            };
            visit(x - 1, y), visit(x + 1, y), visit(x, y - 1), visit(x, y + 1);
        }
        parts.push_back(c);
    }
    return parts;
}

// One clean-up pass: a province must be one piece of fair size, sea and green
// pockets must not be crumbs. A part that fails joins the region it borders
// most (so an islet sinks into the sea), or becomes a province of its own
// when it is big. Answers whether anything changed.
bool CleanUpPass(std::vector<int>& region, int width, int height, int& nextRegion) {
    std::vector<int> comp;
    const std::vector<Component> parts = Label(region, width, height, comp);

    std::map<int, int> largest;  // province region -> its largest part
    for (size_t c = 0; c < parts.size(); ++c) {
        if (parts[c].region < kFirstProvince) continue;
        auto [it, added] = largest.emplace(parts[c].region, static_cast<int>(c));
        if (!added && parts[c].size > parts[it->second].size) it->second = static_cast<int>(c);
    }

    int provinces = static_cast<int>(largest.size());
    std::map<int, int> newRegion;                    // part -> region it takes
    // Dissolving part -> region -> border pixels, counting first the borders
    // with parts that stay, so two crumbs never just swap their regions.
    struct Votes {
        std::map<int, int> staying, any;
    };
    std::map<int, Votes> neighbourVotes;
    for (size_t c = 0; c < parts.size(); ++c) {
        const Component& p = parts[c];
        const bool thick = p.maxX - p.minX + 1 >= kMinProvinceSide && p.maxY - p.minY + 1 >= kMinProvinceSide;
        if (p.region < kFirstProvince) {
            if (p.size < kMinOtherPixels) neighbourVotes[static_cast<int>(c)];
        } else if (largest[p.region] == static_cast<int>(c)) {
            if (p.size < kMinProvincePixels || !thick) neighbourVotes[static_cast<int>(c)];
        } else if (p.size >= kOwnProvincePixels && thick && provinces < kMaxProvinces) {
            newRegion[static_cast<int>(c)] = nextRegion++;
            ++provinces;
        } else {
            neighbourVotes[static_cast<int>(c)];
        }
    }
    if (newRegion.empty() && neighbourVotes.empty()) return false;

    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const size_t i = static_cast<size_t>(y) * width + x;
            auto votes = neighbourVotes.find(comp[i]);
            if (votes == neighbourVotes.end()) continue;
            const auto vote = [&](int nx, int ny) {
                if (nx < 0 || ny < 0 || nx >= width || ny >= height) return;
                const size_t n = static_cast<size_t>(ny) * width + nx;
                if (comp[n] == comp[i]) return;
                ++votes->second.any[region[n]];
                if (!neighbourVotes.contains(comp[n])) ++votes->second.staying[region[n]];
            };
            vote(x - 1, y), vote(x + 1, y), vote(x, y - 1), vote(x, y + 1);
        }
    for (const auto& [c, votes] : neighbourVotes) {
        int best = -1, bestCount = 0;
        for (const auto& [r, count] : votes.staying.empty() ? votes.any : votes.staying)
            if (count > bestCount) best = r, bestCount = count;  // ties keep the lower region
        if (best >= 0) newRegion[c] = best;
    }
    bool changed = false;
    for (size_t i = 0; i < region.size(); ++i) {
        auto it = newRegion.find(comp[i]);
        if (it != newRegion.end() && region[i] != it->second) {
            region[i] = it->second;
            changed = true;
        }
    }
    return changed;
}

Rgb Hsv(int h, int s, int v) {
    const int sector = h / 60, rem = (h % 60) * 255 / 60;
    const auto u8 = [](int x) { return static_cast<uint8_t>(x); };
    const int p = v * (255 - s) / 255;
    const int q = v * (255 - s * rem / 255) / 255;
    const int t = v * (255 - s * (255 - rem) / 255) / 255;
    switch (sector) {
    case 0: return {u8(v), u8(t), u8(p)};
    case 1: return {u8(q), u8(v), u8(p)};
    case 2: return {u8(p), u8(v), u8(t)};
    case 3: return {u8(p), u8(q), u8(v)};
    case 4: return {u8(t), u8(p), u8(v)};
    default: return {u8(v), u8(p), u8(q)};
    }
}

}  // namespace

// Hues 47 steps apart on a wheel of 250 usable degrees (47 and 250 share no
// factor, so 250 of them differ), leaving out the greens and blues a designer
// would mistake for free land or sea; saturation and brightness varied,
// brightness below 255 so a province never takes a reserved colour.
Rgb ProvinceColour(int k) {
    int hue = (k * 47 + 15) % 250;  // 0..89 reds to yellows, then 150..209 and 260..359
    if (hue >= 90) hue += 60;
    if (hue >= 210) hue += 50;
    return Hsv(hue, 100 + (k * 3 % 5) * 25, 150 + (k * 7 % 4) * 25);
}

std::vector<WorldPlan> SampleWorldPlans() {
    return {
        {"worlds/small_isles.bmp", 320, 240, 11, 11, 1, 8, false,
         {{85, 125, 60, 75}, {230, 75, 62, 48}, {235, 185, 56, 38}}},
        {"worlds/twin_kingdoms.bmp", 640, 480, 23, 29, 3, 14, true,
         {{185, 235, 140, 180}, {250, 130, 70, 60}, {470, 260, 125, 165}, {565, 70, 46, 32}}},
        {"worlds/great_continent.bmp", 1024, 768, 37, 80, 8, 20, true,
         {{370, 390, 280, 230},
          {590, 300, 210, 170},
          {790, 590, 170, 120},
          {115, 160, 72, 96},
          {905, 130, 66, 56},
          {150, 630, 86, 66}}},
    };
}

World MakeWorld(const WorldPlan& plan) {
    Random random(plan.seed);
    const std::vector<bool> land = LandMask(plan);
    const std::vector<Point> seeds = PlaceSeeds(plan, land, random);

    // Which seeds grow green land: a fixed shuffle picks them.
    std::vector<int> order(seeds.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
    for (size_t i = order.size(); i > 1; --i) std::swap(order[i - 1], order[random.Below(static_cast<int>(i))]);
    std::vector<int> seedRegion(seeds.size());
    int nextRegion = kFirstProvince;
    for (size_t i = 0; i < order.size(); ++i)
        seedRegion[order[i]] = static_cast<int>(i) < plan.greenRegions ? kGreen : nextRegion++;

    std::vector<int> region = AssignRegions(plan, land, seeds, seedRegion);
    for (int pass = 0; pass < 40 && CleanUpPass(region, plan.width, plan.height, nextRegion); ++pass) {
    }

    // Provinces numbered in reading order of their first pixel.
    World world{plan.width, plan.height, std::vector<uint8_t>(region.size()), {kSeaColour, kGreenLandColour}, 0};
    std::map<int, int> index;
    for (size_t i = 0; i < region.size(); ++i) {
        int r = region[i];
        if (r >= kFirstProvince) {
            auto [it, added] = index.emplace(r, kFirstProvince + world.provinces);
            if (added) world.palette.push_back(ProvinceColour(world.provinces++));
            r = it->second;
        }
        world.indices[i] = static_cast<uint8_t>(r);
    }
    return world;
}

}  // namespace thorn::startdir
