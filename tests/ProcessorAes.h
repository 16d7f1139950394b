// Whether the processor has the AES instructions (and SSE2, which the AES-NI
// path also uses), read by the tests themselves with CPUID (leaf 1: ECX bit
// 25, EDX bit 26) rather than asked of the program: a check of the program's
// that went wrong must fail its tests, not skip them.
#pragma once

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

inline bool ProcessorHasAes() {
#if defined(__x86_64__) || defined(__i386__)
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    return __get_cpuid(1, &eax, &ebx, &ecx, &edx) != 0 && (ecx & (1u << 25)) != 0 &&
           (edx & (1u << 26)) != 0;
#else
    return false;
#endif
}
