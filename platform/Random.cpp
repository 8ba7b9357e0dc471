#include "platform/Random.h"

#include <ctime>

uint32_t RandSeed = 0;

int32_t Random(int32_t range) {
    RandSeed = RandSeed * 134'775'813u + 1;
    if (range <= 0) return 0;
    return static_cast<int32_t>((uint64_t{RandSeed} * static_cast<uint32_t>(range)) >> 32);
}

void Randomize() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    RandSeed = static_cast<uint32_t>(now.tv_sec) * 1'000'003u ^ static_cast<uint32_t>(now.tv_nsec);
}
