#pragma once

// The music render's hot loops also come in a build for AVX2, picked when the program starts
// on a processor that has it: x86-64 only, with GCC or Clang.
#if defined(__x86_64__) && defined(__GNUC__)
#define PLEMBY_HAS_AVX2_BUILD 1
// A function compiled twice, for AVX2 and for the baseline; the loader picks one.
#define PLEMBY_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define PLEMBY_HAS_AVX2_BUILD 0
#define PLEMBY_VECTOR_CLONES
#endif
