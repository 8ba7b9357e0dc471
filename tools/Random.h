#pragma once

#include <cstdint>

// Random numbers and noise for the start-folder generator. Everything here is
// integer arithmetic with a fixed sequence, so the generator writes the same
// bytes on every machine, compiler and build type.
namespace thorn::startdir {

// SplitMix64: a tiny generator whose sequence is fully defined by its seed.
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}

    uint64_t Next();
    // 0 .. n-1 (n > 0).
    int Below(int n);

private:
    uint64_t state_;
};

// A well-mixed 32-bit hash of three numbers.
uint32_t Hash(uint32_t a, uint32_t b, uint32_t c);

// Smooth value noise in 0..255 at (x, y) for x, y >= 0: random values on a
// lattice of `cell` pixels, blended with a smooth curve between them. The
// pattern repeats every `period` pixels in both directions (a multiple of
// cell), so a tile as wide as the period joins seamlessly with itself.
int ValueNoise(int x, int y, int cell, int period, uint32_t seed);

// Several octaves of value noise (cells 32, 16, 8 and 4 pixels, each half the
// weight of the one before), in 0..255, repeating every `period` pixels (a
// multiple of 32).
int FractalNoise(int x, int y, int period, uint32_t seed);

}  // namespace thorn::startdir
