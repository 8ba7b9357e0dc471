#include "platform/ReadNesting.h"

namespace thorn {
namespace {

thread_local int depth = 0;

}  // namespace

ReadNesting::ReadNesting(const char* tooDeep) {
    if (depth >= kMaxReadNesting) throw EReadError(tooDeep);
    ++depth;
}

ReadNesting::~ReadNesting() { --depth; }

}  // namespace thorn
