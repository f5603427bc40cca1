#include "music/vector_code.h"

#include <atomic>

namespace {
bool ProcessorHasAvx2() {
#if PLEMBY_HAS_AVX2_BUILD
    __builtin_cpu_init();  // called from a static initialiser: read the processor first
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

// Read by the music thread; changed only while no song plays.
std::atomic<bool> vectorCode{ProcessorHasAvx2()};
}  // namespace

bool UseVectorCode(bool on) {
    vectorCode.store(on && ProcessorHasAvx2(), std::memory_order_relaxed);
    return VectorCodeRuns();
}

bool VectorCodeRuns() { return vectorCode.load(std::memory_order_relaxed); }
