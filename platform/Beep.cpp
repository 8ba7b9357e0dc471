#include "platform/Beep.h"

#include <utility>

namespace {

std::function<void(uint32_t)>& Sink() {
    static std::function<void(uint32_t)> sink;
    return sink;
}

}  // namespace

void MessageBeep(uint32_t type) {
    if (Sink()) Sink()(type);
}

void Beep() { MessageBeep(0); }

namespace thorn {

std::function<void(uint32_t type)> SetBeepSink(std::function<void(uint32_t type)> sink) {
    return std::exchange(Sink(), std::move(sink));
}

}  // namespace thorn
