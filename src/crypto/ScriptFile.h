// Decryption of the encrypted script files into plain script files.
#pragma once

#include <cstdio>

constexpr int kDecryptFailed = -304;

// Decrypts the open encrypted file input (opened "rb"; always closed here)
// into plainPath. Returns 0 when the plain file is complete, -304 on any
// failure, in which case no partial plain file is left behind.
int DecryptScriptFile(FILE* input, const char* plainPath);
