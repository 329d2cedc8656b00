// TI_TARGET_CLONES: compiles a function for AVX-512 (x86-64-v4), for AVX2 and
// for the baseline, the processor picking one when the program loads, with
// everything it calls inlined so that the loops inside vectorise for each.
//
// Only for integer passes (or float passes without contraction, which the
// build forbids everywhere): every version must give the same bytes. Where
// the compiler can't combine the two attributes (clang) or the target isn't
// x86-64, the function is compiled once, for the baseline.
#pragma once

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define TI_TARGET_CLONES [[gnu::target_clones("arch=x86-64-v4", "avx2", "default"), gnu::flatten]]
#else
#define TI_TARGET_CLONES
#endif
