#include "bitmap/Pix32_System.h"

bool HasMMX() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_cpu_init();
    return __builtin_cpu_supports("mmx");
#else
    return false;
#endif
}
