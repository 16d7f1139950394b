// Host builds run the portable core in tests, tools and benchmarks only; the
// program directory is whatever the test sets.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "common/BoundedCopy.h"
#include "platform/Platform.h"

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

bool PlatformDeleteFile(const char* path) {
    return std::remove(path) == 0;
}

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
    (void)fprintf(stderr, "%s\n", text);
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

// Hosts ask for no restriction, so none went missing.
FILE* PlatformCreateHeldFile(const char* path, HeldFile& hold, bool& unrestricted) {
    unrestricted = false;
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

namespace {

// What a descriptor opened with O_NOFOLLOW has reached.
LogFileState::Status Inspect(int fd, long long& size) {
    struct stat info = {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        return LogFileState::kUnopenable;
    }
    if (info.st_nlink > 1) {
        return LogFileState::kSecondName;
    }
    size = static_cast<long long>(info.st_size);
    return LogFileState::kOpened;
}

} // namespace

// O_APPEND: each write goes to the end whole.
FILE* PlatformOpenLogFile(const char* path, LogFileState& state) {
    state = LogFileState();
    const int fd = open(path, O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) {
        state.status = errno == ELOOP ? LogFileState::kLink : LogFileState::kUnopenable;
        return nullptr;
    }
    state.status = Inspect(fd, state.size);
    FILE* stream = state.status == LogFileState::kOpened ? fdopen(fd, "ab") : nullptr;
    if (stream == nullptr) {
        (void)close(fd);
        state.status =
            state.status == LogFileState::kOpened ? LogFileState::kUnopenable : state.status;
    }
    return stream;
}

// Hosts have no rename through a descriptor: the file is checked through one,
// then renamed by its path (only tests run here).
void PlatformRotateLogFile(const char* path, long long limit) {
    const int fd = open(path, O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        return;
    }
    long long size = 0;
    if (Inspect(fd, size) == LogFileState::kOpened && size > limit) {
        (void)std::rename(path, (std::string(path) + ".1").c_str());
    }
    (void)close(fd);
}

FILE* PlatformOpenForReading(const char* path, const char* mode) {
    return std::fopen(path, mode);
}
