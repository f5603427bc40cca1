#pragma once

// The music render's hot loops come in up to three builds. The portable one is plain C++ that
// any compiler makes. The baseline one is vector code that every processor of the family runs:
// SSE2 on x86-64 (elsewhere it is the portable one). The AVX2 one is used on processors that
// have it: x86-64 only, with GCC or Clang. All builds give the same samples.
#if defined(__x86_64__) && defined(__GNUC__)
#define PLEMBY_HAS_AVX2_BUILD 1
#define PLEMBY_AVX2 __attribute__((target("avx2")))
#else
#define PLEMBY_HAS_AVX2_BUILD 0
#define PLEMBY_AVX2
#endif

#if defined(__SSE2__)
#define PLEMBY_HAS_SSE2_BUILD 1
#else
#define PLEMBY_HAS_SSE2_BUILD 0
#endif

enum class CodeBuild { PORTABLE, BASELINE, AVX2 };

// Runs the highest build up to the one wanted that this processor has, and returns it. By
// default the best one runs; tests and benchmarks switch between them to compare.
CodeBuild UseCodeBuild(CodeBuild wanted);
CodeBuild CodeBuildRuns();

// The AVX2 build where the processor has it (on), or the baseline build (off). Returns whether
// the AVX2 build now runs.
bool UseVectorCode(bool on);
bool VectorCodeRuns();
