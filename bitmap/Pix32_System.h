#pragma once

// What the processor offers the pixel arithmetic.

// True when the processor has the 64-bit integer vector instructions (MMX).
// The blend arithmetic does not depend on it: it always uses the vector
// variant, in plain code or in whatever wider instructions give the same
// lanes.
bool HasMMX();

namespace thorn {

// Whether the wider vector instructions that the pixel loops use when they
// can are there; the processor is asked once.
bool HasAvx2();
bool HasSse41();

}  // namespace thorn
