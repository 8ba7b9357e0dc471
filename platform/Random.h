#pragma once

#include <cstdint>

// The class library's random generator: the seed advances as
// seed × 134775813 + 1 modulo 2^32 with every draw, and a draw for a range
// is range × seed / 2^32. The seed starts at 0, so a program that never
// seeds it draws the same numbers at every start.
extern uint32_t RandSeed;

// A number from 0 to range - 1; 0 when range is not positive.
int32_t Random(int32_t range);
// Seeds the generator from the clock.
void Randomize();
