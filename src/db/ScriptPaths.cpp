#include "db/ScriptPaths.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "crypto/ScriptFile.h"
#include "record/RunLog.h"

namespace {

// Said once a run: every later file meets the same file system.
void ReportUnrestrictedOnce(const char* path) {
    static bool reported = false;
    if (reported) {
        return;
    }
    reported = true;
    char message[kPathSize + 128] = {};
    snprintf(message, sizeof message,
             "%s: the access restriction could not be applied (only the administrators, "
             "SYSTEM and the user were to open it)",
             path);
    LogAndDebug(message);
}

class HeldPlainFile : public IPlainScriptFile {
  public:
    explicit HeldPlainFile(ScriptPaths& paths) : paths_(paths) {}
    FILE* Create() override {
        bool unrestricted = false;
        FILE* file = PlatformCreateHeldFile(paths_.plain, paths_.heldPlain, unrestricted);
        if (unrestricted) {
            ReportUnrestrictedOnce(paths_.plain);
        }
        return file;
    }
    void Discard() override { PlatformReleaseHeldFile(paths_.heldPlain, paths_.plain); }

  private:
    ScriptPaths& paths_;
};

} // namespace

ScriptPaths::~ScriptPaths() {
    PlatformReleaseHeldFile(heldPlain, plain);
}

void FormatScriptPath(char (&path)[kPathSize], const char* directory, const char* fileName) {
    memset(path, 0, sizeof path);
    int n = snprintf(path, sizeof path, "%s\\%s", directory, fileName);
    if (n < 0 || static_cast<size_t>(n) >= sizeof path) {
        memset(path, 0, sizeof path);
    }
}

void FormScriptPaths(ScriptPaths& paths, const char* directory, const ScriptFilePair& pair) {
    FormatScriptPath(paths.encrypted, directory, pair.encrypted);
    FormatScriptPath(paths.plain, directory, pair.plain);
}

Decryption DecryptIfPresent(ScriptPaths& paths) {
    if (paths.encrypted[0] == '\0' || paths.plain[0] == '\0') {
        return Decryption::Missing;
    }
    FILE* input = fopen(paths.encrypted, "rb");
    if (input == nullptr) {
        return errno == ENOENT ? Decryption::Missing : Decryption::Unreadable;
    }
    HeldPlainFile plain(paths);
    return DecryptScriptFile(input, plain) == 0 ? Decryption::Done : Decryption::Failed;
}

size_t DeleteLeftoverPlainScripts(const char* directory, const char* (&deleted)[kScriptCount]) {
    size_t count = 0;
    for (const ScriptFilePair* pair : kAllScripts) {
        char path[kPathSize];
        FormatScriptPath(path, directory, pair->plain);
        if (path[0] != '\0' && PlatformDeleteFile(path)) {
            deleted[count++] = pair->plain;
        }
    }
    return count;
}
