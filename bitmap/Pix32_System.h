#pragma once

// What the processor offers the pixel arithmetic.

// True when the processor has the 64-bit integer vector instructions (MMX).
// The blend arithmetic does not depend on it: it always uses the vector
// variant, in plain code or in whatever wider instructions give the same
// lanes.
bool HasMMX();

namespace thorn {

// The instruction sets the pixel loops choose between, narrowest first.
enum class VectorSet { Plain, Sse2, Sse41, Avx2 };

// The widest set the processor has; it is asked once.
VectorSet ProcessorVectorSet();
// Keeps the pixel loops to sets no wider than the given one (as if the
// processor had no more), so that every path can be checked on one machine;
// answers the limit before. The processor's own set is never exceeded.
VectorSet LimitVectorSet(VectorSet widest);

// Whether the pixel loops may use these sets: the processor has them and no
// limit keeps them out.
bool HasSse2();
bool HasSse41();
bool HasAvx2();

}  // namespace thorn
