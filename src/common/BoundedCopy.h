// Copies into fixed-size text fields. Every copy stops at the destination's
// end and leaves it NUL-terminated; the source is read only up to its NUL or
// up to sourceSize bytes, whichever comes first.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdio>
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

// Formats into buffer (printf's convention, handed on to vsnprintf); false,
// and an empty buffer, when the text would be cut: a cut path or statement
// could name something else than the one meant.
// printf's convention, handed on to vsnprintf: what cert-dcl50-cpp warns of
// cannot happen here.
// NOLINTNEXTLINE(cert-dcl50-cpp)
inline bool FormatBounded(char* buffer, size_t size, const char* format, ...) {
    std::memset(buffer, 0, size);
    va_list args;
    va_start(args, format);
    const int written = std::vsnprintf(buffer, size, format, args);
    va_end(args);
    if (written < 0 || static_cast<size_t>(written) >= size) {
        buffer[0] = '\0';
        return false;
    }
    return true;
}
