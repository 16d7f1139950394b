#include "framework/SafeDllSearch.h"

#include <windows.h>

#include <cstdio>

namespace {

using SetSearchPathModeFn = BOOL(WINAPI*)(DWORD);

void ReportRefused(const char* step) {
    char message[128] = {};
    (void)snprintf(message, sizeof message, "DLL search: %s was refused (error %lu)", step,
                   GetLastError());
    OutputDebugStringA(message);
}

} // namespace

void MakeDllSearchSafe() {
    // An empty string removes the current directory; unlike
    // SetDefaultDllDirectories it keeps PATH, where the maker's library may
    // find its database client.
    if (!SetDllDirectoryW(L"")) {
        ReportRefused("SetDllDirectoryW(\"\")");
    }
    // SearchPath then looks in the current directory only after the system
    // directories, and nothing in the process can turn that back. Resolved at
    // run time: the entry point is missing from older systems' kernel32.
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const auto setMode = reinterpret_cast<SetSearchPathModeFn>(reinterpret_cast<void*>(
        kernel != nullptr ? GetProcAddress(kernel, "SetSearchPathMode") : nullptr));
    if (setMode == nullptr) {
        OutputDebugStringA("DLL search: SetSearchPathMode is not available");
    } else if (!setMode(BASE_SEARCH_PATH_ENABLE_SAFE_SEARCHMODE | BASE_SEARCH_PATH_PERMANENT)) {
        ReportRefused("SetSearchPathMode");
    }
}
