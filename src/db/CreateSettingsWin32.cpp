// The last step of a create: the Quenlor server's settings. The database is
// there whatever happens here; settings that cannot be saved are still a
// failure, since the Quenlor server would not find it.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/BoundedCopy.h"
#include "config/ServerConfig.h"
#include "config/UnfinishedCreate.h"
#include "db/CreateSteps.h"
#include "db/MessageBox.h"
#include "record/EventLog.h"
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

// The Quenlor server starts that program with its own rights.
void WarnOfOpenSslFolder(const OpenFolder& open) {
    if (open.path.empty()) {
        return;
    }
    ReportRunEvent(RunEvent::OpenToOthers, ("OpenSSL Path: " + open.path + " can be changed by " +
                                            open.account + ", and the Quenlor server runs it")
                                               .c_str());
    Messages().ShowNotice(NoticeKind::Warning, kStrOpenSslFolderOpen,
                          BoxInserts{open.path.c_str(), open.account.c_str()});
}

// "DB Info" is encrypted with the program's key, which the program carries:
// whoever reads the key can recover the password. The key's descriptor is
// the server installer's (the server's account must keep reading it), so
// the administrator is told rather than the key changed. The main dialog
// shows a box; an unattended run, which nobody watches, logs and reports it.
void WarnOfKeyReaders(const CreateRun& run) {
    std::vector<std::string> readers;
    long error = 0;
    if (!FindServerKeyReaders(readers, error)) {
        LogLine("Who may read HKEY_LOCAL_MACHINE\\%s could not be read: %s", kServerKey,
                SystemReason(error).c_str());
        return;
    }
    if (readers.empty()) {
        return;
    }
    std::string names;
    for (const std::string& reader : readers) {
        names += (names.empty() ? "" : ", ") + reader;
    }
    const std::string warning = std::string("Warning: HKEY_LOCAL_MACHINE\\") + kServerKey +
                                " (32-bit registry view) can be read by " + names +
                                ": the saved password can be recovered from \"DB Info\"";
    LogLine("%s", warning.c_str());
    ReportRunEvent(RunEvent::OpenToOthers, warning.c_str());
    if (run.existing == ExistingDatabase::Ask) {
        Messages().ShowNotice(NoticeKind::Warning, kStrPasswordReadable,
                              BoxInserts{names.c_str(), nullptr});
    }
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
    OpenFolder openSsl;
    const bool stored = SaveServerConfig(saved, run.dbType, &failure, &openSsl);
    SecureZeroMemory(&saved, sizeof saved);
    if (!stored) {
        ReportNotSaved(failure);
        Messages().ShowError(kStrSettingsNotSaved);
        return false;
    }
    LogLine("Settings saved in HKEY_LOCAL_MACHINE\\%s (32-bit registry view)", kServerKey);
    WarnOfOpenSslFolder(openSsl);
    WarnOfKeyReaders(run);
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
