// Which database names the create accepts; the letters are the ANSI code
// page's, as the system tells them.
#include <windows.h>

#include <cstring>

#include "db/DatabaseName.h"

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsNameCharacter(char c) {
    return c == '_' || IsDigit(c) || IsCharAlphaA(c) != FALSE;
}

} // namespace

bool IsAcceptedDatabaseName(const char* name) {
    const size_t length = strnlen(name, kTextFieldSize);
    if (length == 0 || length >= kTextFieldSize || IsDigit(name[0])) {
        return false;
    }
    for (size_t i = 0; i < length; ++i) {
        if (!IsNameCharacter(name[i])) {
            return false;
        }
    }
    return true;
}
