#include "app/RunGuards.h"

#include <windows.h>

#include <cstdio>

#include "app/AppDialogs.h"
#include "app/CommandLine.h"
#include "db/MessageBox.h"
#include "record/RunLog.h"

namespace {

// The program's own name for it: one per machine, whichever the copy.
constexpr wchar_t kRunMutex[] = L"Global\\Moravel.Dunmoor.ProvisioningRun";

HANDLE g_run = nullptr;

} // namespace

bool TakeMachineRun(char (&note)[kRunNoteSize]) {
    note[0] = '\0';
    HANDLE mutex = CreateMutexW(nullptr, FALSE, kRunMutex);
    if (mutex == nullptr) {
        // It exists under a descriptor that keeps this process out, so it is
        // another's: nothing runs unless the machine is known to be free.
        snprintf(note, sizeof note, "The run mutex %ls cannot be opened (error %lu): nothing done",
                 kRunMutex, GetLastError());
        return false;
    }
    switch (WaitForSingleObject(mutex, 0)) {
    case WAIT_OBJECT_0:
        g_run = mutex;
        return true;
    case WAIT_ABANDONED:
        // Its holder was killed before it could release it: that run is gone.
        g_run = mutex;
        snprintf(note, sizeof note,
                 "The previous run ended without releasing %ls; this run took it", kRunMutex);
        return true;
    default:
        CloseHandle(mutex);
        snprintf(note, sizeof note,
                 "Another run of Dunmoor is under way on this machine (%ls held): nothing done",
                 kRunMutex);
        return false;
    }
}

void ReleaseMachineRun() {
    if (g_run != nullptr) {
        ReleaseMutex(g_run);
        CloseHandle(g_run);
        g_run = nullptr;
    }
}

int RefuseRun(const char* reason, unsigned stringId, const char* arguments, int status,
              const char* insert) {
    LogAndDebug(reason);
    // Nobody may be waited on by a deployment tool that asked for /q.
    if (HasWordSwitch(arguments, "/q")) {
        UseQuietMessages();
    }
    Messages().ShowError(stringId, BoxInserts{insert, nullptr});
    return status;
}
