#include "app/PasswordVariable.h"

#include <windows.h>

#include <cstdlib>

#include "common/BoundedCopy.h"

namespace {

char g_value[kPathSize] = {};
bool g_fits = false;
bool g_taken = false;

void Take() {
    g_taken = true;
    const DWORD length = GetEnvironmentVariableA(kPasswordVariable, g_value, sizeof g_value);
    g_fits = length > 0 && length < sizeof g_value;
    if (!g_fits) {
        SecureZeroMemory(g_value, sizeof g_value);
    }
    // The C runtime keeps a copy of its own, which _putenv_s updates together
    // with the process's environment block.
    (void)_putenv_s(kPasswordVariable, "");
    SetEnvironmentVariableA(kPasswordVariable, nullptr);
}

} // namespace

bool ReadPasswordVariable(char (&value)[kPathSize]) {
    if (!g_taken) {
        Take();
    }
    CopyField(value, g_fits ? g_value : "");
    return g_fits;
}

void ForgetPasswordVariable() {
    SecureZeroMemory(g_value, sizeof g_value);
    g_fits = false;
}
