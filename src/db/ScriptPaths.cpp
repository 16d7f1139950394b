#include "db/ScriptPaths.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "crypto/ScriptFile.h"
#include "db/ScriptPieces.h"
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

bool HoldsControlCharacter(const char* text, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if ((c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f') || c == 0x7F) {
            return true;
        }
    }
    return false;
}

} // namespace

bool ReadsAsScript(const char* plainPath) {
    ScriptFile script(plainPath, "rb");
    if (script.file == nullptr) {
        return false;
    }
    PieceReader reader(script.file);
    bool separatorSeen = false;
    // A control character since the last separator: damage once another
    // separator follows it.
    bool pending = false;
    const char* text = nullptr;
    size_t length = 0;
    while (reader.Next(text, length)) {
        if (IsSeparator(text, TextLength(text, length))) {
            if (pending) {
                return false;
            }
            separatorSeen = true;
            pending = HoldsControlCharacter(text, length);
        } else {
            pending = pending || HoldsControlCharacter(text, length);
        }
    }
    return separatorSeen && !std::ferror(script.file);
}

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
    if (DecryptScriptFile(input, plain) != 0) {
        return Decryption::Failed;
    }
    if (!ReadsAsScript(paths.plain)) {
        plain.Discard();
        return Decryption::Damaged;
    }
    return Decryption::Done;
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
