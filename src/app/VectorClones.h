#pragma once

// Hot loops written for the vectoriser get an AVX2 build beside the baseline one on x86-64, chosen when the
// program starts; other targets build the plain loop only.
#if defined(__x86_64__) && defined(__GNUC__)
#define DAUBIX_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define DAUBIX_VECTOR_CLONES
#endif
