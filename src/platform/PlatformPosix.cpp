// Host builds run the portable core in tests, tools and benchmarks only; the
// program directory is whatever the test sets.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "common/BoundedCopy.h"
#include "platform/Platform.h"
#include "record/RunSecrets.h"

namespace {
char g_programDirectory[kPathSize] = ".";
}

void SetProgramDirectoryForTesting(const char* directory) {
    CopyField(g_programDirectory, directory);
}

void GetProgramDirectory(char (&directory)[kPathSize]) {
    memset(directory, 0, sizeof directory);
    CopyField(directory, g_programDirectory);
}

bool PlatformDeleteFile(const char* path) { return std::remove(path) == 0; }

// A second name first, which fails where newPath exists, then the old one goes.
MoveAside PlatformMoveAside(const char* path, const char* newPath) {
    if (link(path, newPath) != 0) {
        return errno == ENOENT ? MoveAside::Missing : MoveAside::Refused;
    }
    if (unlink(path) != 0) {
        (void)unlink(newPath); // the file keeps its old name
        return MoveAside::Refused;
    }
    return MoveAside::Moved;
}

void PlatformDebugOutput(const char* text) {
    (void)fprintf(stderr, "%s\n", MaskRunSecrets(text).c_str());
}

void PlatformSecureZero(void* data, size_t size) {
    volatile unsigned char* bytes = static_cast<volatile unsigned char*>(data);
    while (size-- > 0) {
        *bytes++ = 0;
    }
}

std::string PlatformAnsiToUtf8(const char* text) {
    return text;
}

// Hosts have no delete-on-close: the hold only marks the file as one that
// must go, and releasing it removes the file by its path.
namespace {
char g_heldMark;
}

FILE* PlatformCreateHeldFile(const char* path, HeldFile& hold) {
    FILE* file = std::fopen(path, "wb");
    hold = file != nullptr ? &g_heldMark : nullptr;
    return file;
}

void PlatformReleaseHeldFile(HeldFile& hold, const char* path) {
    if (hold != nullptr) {
        (void)std::remove(path); // gone either way: removed, or never made
        hold = nullptr;
    }
}

// O_APPEND: each write goes to the end whole.
FILE* PlatformOpenForAppending(const char* path) {
    return std::fopen(path, "ab");
}

FILE* PlatformOpenForReading(const char* path, const char* mode) {
    return std::fopen(path, mode);
}
