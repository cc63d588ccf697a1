// Marks a signal loop to be compiled twice on x86-64 Linux: for the baseline instruction set and
// for AVX2, whose vectors hold twice the samples. The loader picks the copy the processor runs,
// so one build serves every machine. Elsewhere the loop is compiled once, as usual.
#pragma once

#if defined(__x86_64__) && defined(__linux__) && defined(__GNUC__) && !defined(__clang__)
#define SCP_VECTOR_CLONES __attribute__((target_clones("arch=x86-64-v4", "avx2", "default")))
#else
#define SCP_VECTOR_CLONES
#endif
