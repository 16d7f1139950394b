#include "app/UnattendedRun.h"

#include <windows.h>

#include <string>

#include "app/AppDialogs.h"
#include "app/PasswordVariable.h"
#include "app/RunGuards.h"
#include "common/BoundedCopy.h"
#include "db/DatabaseName.h"
#include "db/MessageBox.h"
#include "record/RunLog.h"
#include "record/RunSecrets.h"

namespace {

// The password of an unattended run from the environment, where deployment
// tools keep it off the command line (and so out of their logs and the
// process list). Refused, never cut, when longer than its field.
std::string TakePasswordFromEnvironment(ConnectionParams& params) {
    char value[kPathSize] = {};
    const size_t length = ReadPasswordVariable(value);
    if (length >= sizeof params.password) {
        SecureZeroMemory(value, sizeof value);
        return std::string(kPasswordVariable) + ": the password takes " + std::to_string(length) +
               " bytes, " + std::to_string(sizeof params.password - 1) + " at most";
    }
    if (length > 0) {
        CopyField(params.password, value);
        LogLine("Password taken from %s", kPasswordVariable);
    }
    SecureZeroMemory(value, sizeof value);
    return std::string();
}

std::string Refusal(const char* arguments, ConnectionParams& params,
                    const UnattendedRequest& request) {
    if (!request.refusal.empty()) {
        return request.refusal;
    }
    if (!request.patch && !IsAcceptedDatabaseName(request.databaseName)) {
        return std::string("/db: the name \"") + request.databaseName +
               "\" is not accepted (letters, digits and _ only, not a digit first)";
    }
    if (!request.patch && params.windowsAuth == 0 && !NamesPassword(arguments)) {
        return TakePasswordFromEnvironment(params);
    }
    return std::string();
}

} // namespace

const char* UnattendedModeName(const UnattendedRequest& request) {
    if (request.patch) {
        return request.check ? "unattended patch check (/patch /check)"
                             : "unattended patch (/patch)";
    }
    if (request.check) {
        return "unattended check (/check)";
    }
    return request.keep ? "unattended create or keep (/keep)" : "unattended create";
}

int CheckUnattendedRequest(const char* arguments, ConnectionParams& params,
                           const UnattendedRequest& request) {
    for (const std::string& word : request.ignored) {
        LogLine("Ignored: %s is no switch of this program", word.c_str());
    }
    const std::string refusal = Refusal(arguments, params, request);
    if (refusal.empty()) {
        CopyField(params.databaseName, request.databaseName);
        return -1;
    }
    SecureZeroMemory(params.password, sizeof params.password);
    return RefuseRun(("Command line refused: " + refusal + "; nothing done").c_str(),
                     kStrCommandLineRefused, arguments, kExitCommandLineRefused, refusal.c_str());
}

int RunUnattendedRequest(CWinApp& app, const ConnectionParams& params,
                         const UnattendedRequest& request) {
    if (request.patch) {
        return RunPatchDialog(app, request.check);
    }
    const ExistingDatabase existing = request.replace ? ExistingDatabase::Replace
                                      : request.keep  ? ExistingDatabase::KeepAndPatch
                                                      : ExistingDatabase::Keep;
    return RunCreateDialog(app, params, existing, request.check);
}
