#include "tools/Random.h"

namespace thorn::startdir {

uint64_t Random::Next() {
    state_ += 0x9E3779B97F4A7C15ull;
    uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

int Random::Below(int n) { return static_cast<int>(Next() % static_cast<uint64_t>(n)); }

uint32_t Hash(uint32_t a, uint32_t b, uint32_t c) {
    uint32_t h = a * 0x27D4EB2Du ^ (b + 0x165667B1u) * 0x85EBCA77u ^ (c + 0x61C88647u) * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

namespace {

// 3t^2 - 2t^3 with t and the result in 0..256.
int Smooth(int t) { return (3 * t * t * 256 - 2 * t * t * t) / 65536; }

int Lattice(int i, int j, int cells, uint32_t seed) {
    return static_cast<int>(Hash(static_cast<uint32_t>(i % cells), static_cast<uint32_t>(j % cells), seed) & 0xFF);
}

}  // namespace

int ValueNoise(int x, int y, int cell, int period, uint32_t seed) {
    const int cells = period / cell;
    const int i = x / cell, j = y / cell;
    const int fx = Smooth((x % cell) * 256 / cell), fy = Smooth((y % cell) * 256 / cell);
    const int v00 = Lattice(i, j, cells, seed), v10 = Lattice(i + 1, j, cells, seed);
    const int v01 = Lattice(i, j + 1, cells, seed), v11 = Lattice(i + 1, j + 1, cells, seed);
    const int top = v00 * 256 + (v10 - v00) * fx;
    const int bottom = v01 * 256 + (v11 - v01) * fx;
    return (top * 256 + (bottom - top) * fy) / 65536;
}

int FractalNoise(int x, int y, int period, uint32_t seed) {
    int sum = 0;
    int weight = 8, total = 0;
    for (int cell = 32; cell >= 4; cell /= 2) {
        sum += ValueNoise(x, y, cell, period, seed + static_cast<uint32_t>(cell)) * weight;
        total += weight;
        weight /= 2;
    }
    return sum / total;
}

}  // namespace thorn::startdir
