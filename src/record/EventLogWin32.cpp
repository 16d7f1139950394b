#include "record/EventLog.h"

#include <windows.h>

#include <string>

#include "DunmoorEvents.h"
#include "record/RunLog.h"
#include "record/RunSecrets.h"
#include "platform/WideText.h"

namespace {

constexpr wchar_t kSource[] = L"Dunmoor";
constexpr wchar_t kSourceKey[] =
    L"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\Dunmoor";

struct EventKind {
    DWORD id;
    WORD type;
};

EventKind KindOf(RunEvent event) {
    switch (event) {
    case RunEvent::CreateSucceeded:
        return {MSG_CREATE_SUCCEEDED, EVENTLOG_INFORMATION_TYPE};
    case RunEvent::CreateFailed:
        return {MSG_CREATE_FAILED, EVENTLOG_ERROR_TYPE};
    case RunEvent::DatabaseKept:
        return {MSG_DATABASE_KEPT, EVENTLOG_WARNING_TYPE};
    case RunEvent::CreatedWithRefusedBatches:
        return {MSG_CREATED_WITH_REFUSED_BATCHES, EVENTLOG_WARNING_TYPE};
    case RunEvent::PatchSucceeded:
        return {MSG_PATCH_SUCCEEDED, EVENTLOG_INFORMATION_TYPE};
    case RunEvent::OpenToOthers:
        return {MSG_OPEN_TO_OTHERS, EVENTLOG_ERROR_TYPE};
    case RunEvent::PatchFailed:
        break;
    }
    return {MSG_PATCH_FAILED, EVENTLOG_ERROR_TYPE};
}

// The Event Viewer finds the texts through the source's EventMessageFile:
// this program, whose message table is compiled in. The elevated program
// (re)registers the source when it is missing or names a file that is gone,
// as when the program directory moved.
void RegisterSource() {
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH - 1);
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kSourceKey, 0, nullptr, 0, KEY_READ | KEY_WRITE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return; // not elevated: the event still goes, without its text
    }
    wchar_t named[MAX_PATH] = {};
    DWORD size = sizeof named - sizeof named[0];
    const bool present = RegQueryValueExW(key, L"EventMessageFile", nullptr, nullptr,
                                          reinterpret_cast<BYTE*>(named), &size) == ERROR_SUCCESS;
    if (!present || GetFileAttributesW(named) == INVALID_FILE_ATTRIBUTES) {
        const DWORD types = EVENTLOG_ERROR_TYPE | EVENTLOG_WARNING_TYPE | EVENTLOG_INFORMATION_TYPE;
        RegSetValueExW(key, L"EventMessageFile", 0, REG_EXPAND_SZ,
                       reinterpret_cast<const BYTE*>(program),
                       static_cast<DWORD>((wcslen(program) + 1) * sizeof(wchar_t)));
        RegSetValueExW(key, L"TypesSupported", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&types),
                       sizeof types);
    }
    RegCloseKey(key);
}

} // namespace

void ReportOutcome(RunEvent event, const char* summary) {
    LogLine("Outcome: %s", summary);
    ReportRunEvent(event, summary);
}

void ReportRunEvent(RunEvent event, const char* summary) {
    static bool registered = false;
    if (!registered) {
        RegisterSource();
        registered = true;
    }
    HANDLE source = RegisterEventSourceW(nullptr, kSource);
    if (source == nullptr) {
        LogLine("The Application event log refused the event (error %lu)", GetLastError());
        return;
    }
    // The event says what the log's outcome line says, masked as it is.
    const std::wstring line = AnsiToWide(MaskRunSecrets(summary).c_str());
    const std::wstring log =
        AnsiToWide(MaskRunSecrets(RunLogPath()[0] != '\0' ? RunLogPath() : "(none)").c_str());
    LPCWSTR strings[] = {line.c_str(), log.c_str()};
    const EventKind kind = KindOf(event);
    ReportEventW(source, kind.type, 0, kind.id, nullptr, 2, 0, strings, nullptr);
    DeregisterEventSource(source);
}
