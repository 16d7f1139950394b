#include "app/PasswordVariable.h"

#include <windows.h>

#include <cstdlib>

#include "common/BoundedCopy.h"

namespace {

char g_value[kPathSize] = {};
size_t g_length = 0;
bool g_taken = false;

void Take() {
    g_taken = true;
    const DWORD length = GetEnvironmentVariableA(kPasswordVariable, g_value, sizeof g_value);
    // Too long for the buffer, the call gives the size it needs, its NUL
    // included; the text is not kept then.
    g_length = length < sizeof g_value ? length : length - 1;
    if (g_length >= sizeof g_value) {
        SecureZeroMemory(g_value, sizeof g_value);
    }
    // The C runtime keeps a copy of its own, which _putenv_s updates together
    // with the process's environment block.
    (void)_putenv_s(kPasswordVariable, "");
    SetEnvironmentVariableA(kPasswordVariable, nullptr);
}

} // namespace

size_t ReadPasswordVariable(char (&value)[kPathSize]) {
    if (!g_taken) {
        Take();
    }
    CopyField(value, g_length < sizeof g_value ? g_value : "");
    return g_length;
}

void ForgetPasswordVariable() {
    SecureZeroMemory(g_value, sizeof g_value);
    g_length = 0;
}
