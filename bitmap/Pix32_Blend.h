#pragma once

#include <algorithm>
#include <cstdint>

#include "bitmap/Pix32.h"

// Mixing one colour into another. Every channel (alpha, red, green, blue)
// is mixed alike with an 8-bit weight w:
//     mix(f, b, w) = (f*w + b*(256 - w) + 128) >> 8
// which is exact in 16-bit lanes and always lands in 0..255. Weights and
// master alphas above 255 are taken as 255.

// The vector arithmetic is the one in use on every machine.
inline constexpr bool MMX_ACTIVE = true;

// Leaves the vector state for floating-point code; nothing to do here.
inline void EMMS() {}

namespace thorn::blend {

inline uint32_t Weight(uint32_t w) { return std::min<uint32_t>(w, 255); }

// mix() of all four channels, two at a time: each 16-bit field stays below
// 65536, so no carry crosses into its neighbour.
inline TColor32 Mix(TColor32 f, TColor32 b, uint32_t w) {
    uint32_t rest = 256 - w;
    uint32_t rb = ((f & 0x00FF00FFu) * w + (b & 0x00FF00FFu) * rest + 0x00800080u) >> 8 & 0x00FF00FFu;
    uint32_t ag = ((f >> 8 & 0x00FF00FFu) * w + (b >> 8 & 0x00FF00FFu) * rest + 0x00800080u) & 0xFF00FF00u;
    return rb | ag;
}

// The weight of a source pixel of alpha a under master alpha m.
inline uint32_t MasterWeight(uint32_t a, uint32_t m) { return (Weight(m) + 1) * a >> 8; }

}  // namespace thorn::blend

// X weighted by W plus Y weighted by the rest.
inline TColor32 CombineReg(TColor32 X, TColor32 Y, uint32_t W) { return thorn::blend::Mix(X, Y, thorn::blend::Weight(W)); }

inline void CombineMem(TColor32 F, TColor32& B, uint32_t W) {
    W = thorn::blend::Weight(W);
    if (W == 0) return;
    B = W == 255 ? F : thorn::blend::Mix(F, B, W);
}

// F over B, weighted by F's alpha.
inline TColor32 BlendReg(TColor32 F, TColor32 B) { return thorn::blend::Mix(F, B, F >> 24); }

inline void BlendMem(TColor32 F, TColor32& B) {
    uint32_t a = F >> 24;
    if (a == 0) return;
    B = a == 255 ? F : thorn::blend::Mix(F, B, a);
}

// F over B, weighted by F's alpha scaled by the master alpha M.
inline TColor32 BlendRegEx(TColor32 F, TColor32 B, uint32_t M) {
    uint32_t w = thorn::blend::MasterWeight(F >> 24, M);
    return w == 0 ? B : thorn::blend::Mix(F, B, w);
}

inline void BlendMemEx(TColor32 F, TColor32& B, uint32_t M) {
    uint32_t w = thorn::blend::MasterWeight(F >> 24, M);
    if (w != 0) B = thorn::blend::Mix(F, B, w);
}

// BlendMem and BlendMemEx over two runs of count pixels; nothing when
// count < 1. The runs may be the same run but must not overlap otherwise.
void BlendLine(const TColor32* Src, TColor32* Dst, int32_t Count);
void BlendLineEx(const TColor32* Src, TColor32* Dst, int32_t Count, uint32_t M);

// Per-channel operations (alpha, red, green, blue alike).
TColor32 ColorAdd(TColor32 C1, TColor32 C2);       // min(c1 + c2, 255)
TColor32 ColorSub(TColor32 C1, TColor32 C2);       // max(c1 - c2, 0)
TColor32 ColorModulate(TColor32 C1, TColor32 C2);  // (c1 * c2) >> 8
TColor32 ColorMax(TColor32 C1, TColor32 C2);
TColor32 ColorMin(TColor32 C1, TColor32 C2);
// Red, green and blue moved by amount and clamped; alpha kept.
TColor32 Lighten(TColor32 C, int32_t Amount);

namespace thorn::blend {

// The plain per-pixel runs the vector ones must match, kept for checking.
void BlendLineReference(const TColor32* src, TColor32* dst, int32_t count);
void BlendLineExReference(const TColor32* src, TColor32* dst, int32_t count, uint32_t m);

}  // namespace thorn::blend
