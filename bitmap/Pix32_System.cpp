#include "bitmap/Pix32_System.h"

#if defined(__x86_64__) || defined(__i386__)
#define THORN_CPU_X86 1
#endif

#ifdef THORN_CPU_X86
bool HasMMX() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("mmx") != 0;
}

bool thorn::HasAvx2() {
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return has;
}

bool thorn::HasSse41() {
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("sse4.1") != 0;
    }();
    return has;
}
#else
bool HasMMX() { return false; }
bool thorn::HasAvx2() { return false; }
bool thorn::HasSse41() { return false; }
#endif
