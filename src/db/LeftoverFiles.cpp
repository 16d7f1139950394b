#include "db/LeftoverFiles.h"

#include <cstdio>
#include <cstring>
#include <ctime>

#include "common/BoundedCopy.h"
#include "record/RunLog.h"

namespace {

// Where Microsoft SQL Server keeps the files of a database by default.
constexpr const char* kLeftoverDataFile =
    "C:\\Program Files\\Microsoft SQL Server\\MSSQL.1\\MSSQL\\Data\\%s.mdf";
constexpr const char* kLeftoverLogFile =
    "C:\\Program Files\\Microsoft SQL Server\\MSSQL.1\\MSSQL\\Data\\%s_log.ldf";

// A name that could reach outside the data directory once put into a path.
bool IsSafeFileName(const char* name) {
    return std::strpbrk(name, "\\/:") == nullptr && std::strstr(name, "..") == nullptr;
}

// "YYYYMMDD-HHMMSS" of now, local time; false when the clock cannot be read.
bool Stamp(char (&stamp)[16]) {
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    return local != nullptr && std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", local) != 0;
}

void MoveOneAside(const char* format, const char* name, const char* stamp,
                  CreationOutcome& outcome) {
    char path[kPathSize];
    char kept[kPathSize];
    if (!FormatBounded(path, sizeof path, format, name) ||
        !FormatBounded(kept, sizeof kept, "%s.kept-%s", path, stamp)) {
        LogLine("Leftover data file of %s left alone: its path is too long", name);
        return;
    }
    switch (PlatformMoveAside(path, kept)) {
    case MoveAside::Moved: {
        char message[2 * kPathSize + 48];
        std::snprintf(message, sizeof message, "Leftover data file moved aside: %s is now %s", path,
                      kept);
        LogAndDebug(message);
        CopyField(outcome.kept[outcome.keptCount++], kept);
        break;
    }
    case MoveAside::Refused:
        LogLine("Leftover data file %s could not be moved aside: it stays as it is", path);
        break;
    case MoveAside::Missing:
        break;
    }
}

} // namespace

void MoveLeftoverFilesAside(const char* name, CreationOutcome& outcome) {
    char stamp[16] = {};
    if (!IsSafeFileName(name) || !Stamp(stamp)) {
        return;
    }
    MoveOneAside(kLeftoverDataFile, name, stamp, outcome);
    MoveOneAside(kLeftoverLogFile, name, stamp, outcome);
}
