// "OpenSSL Path" of the Quenlor server's key: the program the server starts
// with its own rights. A path the server's installer or the administrator
// chose is theirs; the default is only a default.
#pragma once

#include <windows.h>

#include "config/ServerConfig.h"

constexpr const char* kDefaultOpenSslPath = "C:\\OpenSSL\\bin\\openssl.exe";

// The folders of the default, made where missing with their own descriptor:
// Administrators and SYSTEM full control, Users read and execute, nothing
// inherited from C:\ (where on a default Windows every user may create a
// folder, and whoever made C:\OpenSSL first would choose the program).
constexpr const char* kDefaultOpenSslFolders[] = {"C:\\OpenSSL", "C:\\OpenSSL\\bin"};

// Keeps a value that is already there (whatever it holds) and writes the
// default, REG_SZ of 27 bytes, only where there is none; readKey (null when
// the key could not be opened for reading) tells which. With the default, its
// folders are made where missing (kDefaultOpenSslFolders). The run log says
// which, and warns when the folder of the path that stays, or the program
// itself, may be changed by others than the administrators and SYSTEM (then
// also in open), or when the folder is missing (whoever may create it then
// chooses the program). Returns the result of the write, ERROR_SUCCESS when
// nothing was written.
LONG SaveOpenSslPath(HKEY writeKey, HKEY readKey, const char* valueName, OpenFolder& open);
