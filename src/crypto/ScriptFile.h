// Decryption of the encrypted script files into plain script files.
#pragma once

#include <cstdio>

constexpr int kDecryptFailed = -304;

// Where a plain script is written.
class IPlainScriptFile {
  public:
    virtual ~IPlainScriptFile() = default;
    // Makes the file anew: a stream for binary writing, or null when it
    // cannot be made (nothing is left then).
    virtual FILE* Create() = 0;
    // Removes whatever was written.
    virtual void Discard() = 0;
};

// Decrypts the open encrypted file input (opened "rb"; always closed here)
// into plain, closing the stream it made. Returns 0 when the plain file is
// complete, -304 on any failure, in which case no partial plain file is left
// behind.
int DecryptScriptFile(FILE* input, IPlainScriptFile& plain);

// The same into the file at plainPath, created or replaced ("wb").
int DecryptScriptFile(FILE* input, const char* plainPath);
