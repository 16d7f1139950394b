// The Quenlor key as every registry call of the program opens it.
#pragma once

#include <windows.h>

// Opens HKEY_LOCAL_MACHINE\Software\Moravel\Quenlor Server in the 32-bit view
// with access; null (and error, when given, the system's code) when it cannot.
HKEY OpenServerKey(REGSAM access, LONG* error = nullptr);
