#pragma once

// The music render's hot loops also come in a build for AVX2, used on processors that have
// it: x86-64 only, with GCC or Clang. Both builds give the same samples.
#if defined(__x86_64__) && defined(__GNUC__)
#define PLEMBY_HAS_AVX2_BUILD 1
#define PLEMBY_AVX2 __attribute__((target("avx2")))
#else
#define PLEMBY_HAS_AVX2_BUILD 0
#define PLEMBY_AVX2
#endif

// Whether the AVX2 builds run: by default where the processor has AVX2. Tests switch to the
// plain builds and back to compare them. Returns whether they now run.
bool UseVectorCode(bool on);
bool VectorCodeRuns();
