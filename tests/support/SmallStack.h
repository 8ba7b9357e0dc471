#pragma once

#include <cstddef>
#include <functional>

namespace thorn::test {

// The stack readers are given in the tests: an eighth of the main thread's.
// Whatever a stream holds, reading it must fit, in every build.
inline constexpr size_t kReaderStack = size_t{1} << 20;

// Runs body on a thread of its own whose stack is stackBytes large and
// rethrows there whatever body threw. A reader that nests deeper than its
// budget allows then crashes the test at once, in every build, rather than
// only where the main thread's larger stack happens to run out.
void RunWithStack(size_t stackBytes, const std::function<void()>& body);

}  // namespace thorn::test
