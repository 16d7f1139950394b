// The last step of a create: the Quenlor server's settings. The database is
// there whatever happens here; settings that cannot be saved are still a
// failure, since the Quenlor server would not find it.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "common/BoundedCopy.h"
#include "config/ServerConfig.h"
#include "config/UnfinishedCreate.h"
#include "db/CreateSteps.h"
#include "db/MessageBox.h"
#include "record/RunLog.h"

namespace {

// Which key, which view, which value and why, for the log and the debugger.
void ReportNotSaved(const SaveFailure& failure) {
    const bool value = failure.value != nullptr;
    const std::string reason =
        std::string("Settings not saved: HKEY_LOCAL_MACHINE\\") + kServerKey +
        " (32-bit registry view), " +
        (value ? std::string("value \"") + failure.value + "\"" : std::string("the key itself")) +
        ": " + SystemReason(failure.error);
    LogAndDebug(reason.c_str());
}

} // namespace

std::string SystemReason(long error) {
    char why[256] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   static_cast<DWORD>(error), 0, why, sizeof why - 1, nullptr);
    why[strcspn(why, "\r\n")] = '\0';
    char text[320];
    snprintf(text, sizeof text, "%s (error %ld)", why, error);
    return text;
}

bool SaveSettings(const CreateRun& run) {
    const ConnectionParams& params = *run.params;
    SavedConnection saved;
    memset(&saved, 0, sizeof saved);
    CopyBounded(saved.userId, sizeof saved.userId, params.userId, sizeof params.userId);
    CopyBounded(saved.password, sizeof saved.password, params.password, sizeof params.password);
    CopyBounded(saved.server, sizeof saved.server, params.server, sizeof params.server);
    CopyField(saved.databaseName, run.name);
    saved.port = params.port;
    saved.valid = 1;
    saved.windowsAuth = params.windowsAuth;
    SaveFailure failure;
    const bool stored = SaveServerConfig(saved, run.dbType, &failure);
    SecureZeroMemory(&saved, sizeof saved);
    if (!stored) {
        ReportNotSaved(failure);
        Messages().ShowError(kStrSettingsNotSaved);
        return false;
    }
    LogLine("Settings saved in HKEY_LOCAL_MACHINE\\%s (32-bit registry view)", kServerKey);
    return true;
}

bool RecordRun(CreateRun& run) {
    long error = 0;
    if (RecordUnfinishedCreate(DescribeCreate(run.dbType, *run.params, run.name), error)) {
        LogLine("Recorded in HKEY_LOCAL_MACHINE\\%s (32-bit registry view), value \"%s\": this "
                "run makes database %s",
                kServerKey, kUnfinishedCreateValue, run.name);
        return true;
    }
    run.reason = "the record of this create could not be written: " + SystemReason(error);
    LogAndDebug(("Create stopped before its first change: " + run.reason).c_str());
    Messages().ShowError(kStrKeyNotWritable);
    return false;
}

void ClearRunRecord() {
    long error = 0;
    if (!ClearUnfinishedCreate(error)) {
        // Only a later create of this very database could take it for
        // unfinished; the administrator should know.
        LogAndDebug(("The record of this create could not be cleared from HKEY_LOCAL_MACHINE\\" +
                     std::string(kServerKey) + ", value \"" + kUnfinishedCreateValue +
                     "\": " + SystemReason(error) + "; delete the value by hand")
                        .c_str());
    }
}
