// "OpenSSL Path" of the Quenlor server's key: the program the server starts
// with its own rights. A path the server's installer or the administrator
// chose is theirs; the default is only a default.
#pragma once

#include <windows.h>

constexpr const char* kDefaultOpenSslPath = "C:\\OpenSSL\\bin\\openssl.exe";

// Keeps a value that is already there (whatever it holds) and writes the
// default, REG_SZ of 27 bytes, only where there is none; readKey (null when
// the key could not be opened for reading) tells which. The run log says
// which, and warns when the folder of the path that stays, or the program
// itself, may be changed by others than the administrators and SYSTEM, or
// when the folder is missing (whoever may create it then chooses the
// program). Returns the result of the write, ERROR_SUCCESS when nothing was
// written.
LONG SaveOpenSslPath(HKEY writeKey, HKEY readKey, const char* valueName);
