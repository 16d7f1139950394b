// A failed property aborts the run with the rule that broke, so libFuzzer
// keeps the input as a crash artifact like any sanitizer finding.
#pragma once

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition);  \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

// True when the field of n bytes holds a NUL, so it reads as a C string
// that ends inside the field.
inline bool IsTerminatedField(const char* field, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        if (field[i] == '\0') {
            return true;
        }
    }
    return false;
}

// True when all n bytes still hold the sentinel they were filled with.
inline bool Untouched(const void* bytes, size_t n, unsigned char sentinel) {
    const unsigned char* p = static_cast<const unsigned char*>(bytes);
    for (size_t i = 0; i < n; ++i) {
        if (p[i] != sentinel) {
            return false;
        }
    }
    return true;
}
