// Copies into fixed-size text fields. Every copy stops at the destination's
// end and leaves it NUL-terminated; the source is read only up to its NUL or
// up to sourceSize bytes, whichever comes first.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>

inline void CopyBounded(char* dest, size_t destSize, const char* source,
                        size_t sourceSize = static_cast<size_t>(-1)) {
    if (destSize == 0) {
        return;
    }
    size_t n = 0;
    while (n + 1 < destSize && n < sourceSize && source[n] != '\0') {
        dest[n] = source[n];
        ++n;
    }
    dest[n] = '\0';
}

template <size_t N> inline void CopyField(char (&dest)[N], const char* source) {
    CopyBounded(dest, N, source);
}

// A record field's text, read only up to the field's end: a field filled
// carelessly may lack its NUL.
template <size_t N> std::string FieldText(const char (&field)[N]) {
    size_t n = 0;
    while (n < N && field[n] != '\0') {
        ++n;
    }
    return std::string(field, n);
}
