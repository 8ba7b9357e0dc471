#include "bitmap/Pix32_System.h"

#include <atomic>

#if defined(__x86_64__) || defined(__i386__)
#define THORN_CPU_X86 1
#endif

namespace {

std::atomic<thorn::VectorSet> limit{thorn::VectorSet::Avx2};

bool Allows(thorn::VectorSet set) { return thorn::ProcessorVectorSet() >= set && limit.load() >= set; }

}  // namespace

#ifdef THORN_CPU_X86
bool HasMMX() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("mmx") != 0;
}

thorn::VectorSet thorn::ProcessorVectorSet() {
    static const VectorSet best = [] {
        __builtin_cpu_init();
        // Each set counts only above the ones it builds on.
        const bool sse2 = __builtin_cpu_supports("sse2"), sse41 = sse2 & (__builtin_cpu_supports("sse4.1") != 0),
                   avx2 = sse41 & (__builtin_cpu_supports("avx2") != 0);
        return static_cast<VectorSet>(int{sse2} + int{sse41} + int{avx2});
    }();
    return best;
}
#else
bool HasMMX() { return false; }
thorn::VectorSet thorn::ProcessorVectorSet() { return VectorSet::Plain; }
#endif

thorn::VectorSet thorn::LimitVectorSet(VectorSet widest) { return limit.exchange(widest); }

bool thorn::HasSse2() { return Allows(VectorSet::Sse2); }
bool thorn::HasSse41() { return Allows(VectorSet::Sse41); }
bool thorn::HasAvx2() { return Allows(VectorSet::Avx2); }
