#pragma once

#include "platform/Classes.h"

namespace thorn {

// How deep the readers of one thread may nest their recursion, all of them
// together: the components of a form stream, the items of its collections,
// and the nodes of a path tree's node stream, whose components hold form
// streams of their own, and so on. A hostile stream that nests one reader
// in another cannot start the count again, so it is refused long before
// the stack runs low, in every build. What is counted is what recurses: an
// empty collection or a binary property holding plain bytes costs no
// level, so a stream can always be written as it was read and read back.
inline constexpr int kMaxReadNesting = 256;

// One level of that nesting while it lives.
class ReadNesting {
public:
    // Throws EReadError(tooDeep) when every level is taken.
    explicit ReadNesting(const char* tooDeep);
    ~ReadNesting();
    ReadNesting(const ReadNesting&) = delete;
    ReadNesting& operator=(const ReadNesting&) = delete;
};

}  // namespace thorn
