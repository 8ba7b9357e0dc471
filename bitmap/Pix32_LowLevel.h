#pragma once

#include <cstdint>

#include "platform/Graphics.h"

// Word-level helpers under the bitmap library: clamping, whole-word fills and
// copies, ordering and clipping of spans and shifts. The rounding
// multiply-divide MulDiv is the platform's (platform/Graphics.h), which the
// text code shares.

// 0..255.
constexpr int32_t Clamp(int32_t value) { return value < 0 ? 0 : value > 255 ? 255 : value; }

// Writes count words of value; nothing when count < 1. A run of
// kStreamBytes or more is written past the caches.
void FillLongword(uint32_t* dest, int64_t count, uint32_t value);

// Copies count words forward (lowest address first); nothing when the two
// addresses are the same. Overlapping runs are copied as if through a buffer.
void MoveLongword(const uint32_t* source, uint32_t* dest, int64_t count);
// Blocks of this many bytes or more do not stay in the processor's caches:
// they are written past them, since fetching the destination into the
// caches first would only cost time.
inline constexpr int64_t kStreamBytes = int64_t{16} << 20;
// Copies count words between runs that do not overlap, writing past the
// caches.
void StreamLongword(const uint32_t* source, uint32_t* dest, int64_t count);
// Writes count words of value past the caches; nothing when count < 1.
void StreamFillLongword(uint32_t* dest, int64_t count, uint32_t value);
// Ends a block written past the caches: its words are in memory for every
// reader from here on. Once a block, not once a row, which would stall.
void StreamFence();

inline void Swap(int32_t& a, int32_t& b) {
    int32_t t = a;
    a = b;
    b = t;
}

inline void TestSwap(int32_t& a, int32_t& b) {
    if (a > b) Swap(a, b);
}

// Orders a and b, clamps them to 0..size-1 and answers whether any of the
// span is left.
inline bool TestClip(int32_t& a, int32_t& b, int32_t size) {
    TestSwap(a, b);
    if (a < 0) a = 0;
    if (b >= size) b = size - 1;
    return b >= a;
}

constexpr int32_t Constrain(int32_t value, int32_t lo, int32_t hi) { return value < lo ? lo : value > hi ? hi : value; }

// Arithmetic shifts to the right (towards minus infinity).
constexpr int32_t SAR_4(int32_t v) { return v >> 4; }
constexpr int32_t SAR_8(int32_t v) { return v >> 8; }
constexpr int32_t SAR_9(int32_t v) { return v >> 9; }
constexpr int32_t SAR_12(int32_t v) { return v >> 12; }
constexpr int32_t SAR_13(int32_t v) { return v >> 13; }
constexpr int32_t SAR_14(int32_t v) { return v >> 14; }
constexpr int32_t SAR_16(int32_t v) { return v >> 16; }

// Red and blue exchanged, alpha 255; no system-colour lookup.
constexpr uint32_t ColorSwap(TColor color) {
    uint32_t c = static_cast<uint32_t>(color);
    return 0xFF000000u | (c & 0x0000FF00u) | (c & 0xFFu) << 16 | (c >> 16 & 0xFFu);
}
