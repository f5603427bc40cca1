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

CodeBuild BestBuild(CodeBuild wanted) {
    if (wanted == CodeBuild::AVX2 && !ProcessorHasAvx2()) return CodeBuild::BASELINE;
    return wanted;
}

// Read by the music thread; changed only while no song plays.
std::atomic<CodeBuild> codeBuild{BestBuild(CodeBuild::AVX2)};
}  // namespace

CodeBuild UseCodeBuild(CodeBuild wanted) {
    codeBuild.store(BestBuild(wanted), std::memory_order_relaxed);
    return CodeBuildRuns();
}

CodeBuild CodeBuildRuns() { return codeBuild.load(std::memory_order_relaxed); }

bool UseVectorCode(bool on) {
    return UseCodeBuild(on ? CodeBuild::AVX2 : CodeBuild::BASELINE) == CodeBuild::AVX2;
}

bool VectorCodeRuns() { return CodeBuildRuns() == CodeBuild::AVX2; }
