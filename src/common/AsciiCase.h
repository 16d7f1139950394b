// Letter case of ASCII only: switches, host names and ODBC attribute names
// are compared so, whatever the ANSI code page makes of other bytes.
#pragma once

inline char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// True when text begins with prefix, in any ASCII letter case.
inline bool StartsWithIgnoringCase(const char* text, const char* prefix) {
    for (; *prefix != '\0'; ++text, ++prefix) {
        if (LowerAscii(*text) != LowerAscii(*prefix)) {
            return false;
        }
    }
    return true;
}

// True when both texts are the same, in any ASCII letter case.
inline bool SameIgnoringCase(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        if (LowerAscii(*a) != LowerAscii(*b)) {
            return false;
        }
    }
    return *a == *b;
}
