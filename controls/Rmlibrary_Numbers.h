#pragma once

#include <cstdint>

#include "platform/Types.h"

// Number and rectangle routines of the controls library.

inline bool IntInRange(int32_t value, int32_t min, int32_t max) { return min <= value && value <= max; }
inline bool CompInRange(int64_t value, int64_t min, int64_t max) { return min <= value && value <= max; }

// The larger (GreaterThan...) or smaller (LessThan...) of two numbers.
inline int32_t GreaterThanInt(int32_t a, int32_t b) { return a >= b ? a : b; }
inline int32_t LessThanInt(int32_t a, int32_t b) { return a < b ? a : b; }
inline double GreaterThanFloat(double a, double b) { return a >= b ? a : b; }
inline double LessThanFloat(double a, double b) { return a <= b ? a : b; }

// The rectangle's diagonal, rounded (halves to even), plus 2; 0 for a
// rectangle without width or height.
int32_t RectDiameter(const TRect& rect);
