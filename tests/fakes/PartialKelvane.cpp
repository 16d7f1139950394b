// A Kelvane.dll that exports ConnectDB only: the program must never call
// through the missing QueryExecuteDB.
#include <windows.h>

#include "common/KelvaneInterface.h"

extern "C" __declspec(dllexport) int __cdecl ConnectDB(ConnectionParams*) { return 1; }
