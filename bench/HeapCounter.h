#pragma once

#include <cstdint>

// Counts the bytes in use on the heap: the program that links HeapCounter.cpp
// has malloc, calloc, realloc and free replaced (over glibc's own) by
// counting versions.
namespace thorn::bench {

// Starts a measured run: the peak restarts from the bytes now in use, which
// are answered.
int64_t StartMeasuring();
// The highest count of bytes in use since StartMeasuring.
int64_t HeapPeak();
// The bytes in use now.
int64_t HeapInUse();

}  // namespace thorn::bench
