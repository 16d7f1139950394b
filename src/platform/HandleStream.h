// A C stream over a Windows file handle (Windows builds).
#pragma once

#include <cstdio>

// The stream owns handle (a HANDLE) from here on; flags are _open_osfhandle's,
// mode fdopen's. Null when no stream can be made: the handle is closed then.
FILE* StreamOverHandle(void* handle, int flags, const char* mode);
