#include "app/RunGuards.h"

#include <windows.h>

#include <sddl.h>

#include <cstdio>

#include "app/AppDialogs.h"
#include "app/CommandLine.h"
#include "db/MessageBox.h"
#include "record/RunLog.h"

namespace {

// The program's own names for it: one per machine, whichever the copy. In a
// private namespace bounded by the Administrators group only a process whose
// token holds that group (an elevated administrator) may create or open
// anything, so no other user can take the name first and block every run.
constexpr wchar_t kNamespace[] = L"Moravel.Dunmoor";
constexpr wchar_t kPrivateMutex[] = L"Moravel.Dunmoor\\ProvisioningRun";
// Where the system has no private namespaces (Wine).
constexpr wchar_t kGlobalMutex[] = L"Global\\Moravel.Dunmoor.ProvisioningRun";
constexpr char kAdministratorsOnly[] = "D:P(A;;GA;;;BA)(A;;GA;;;SY)";

HANDLE g_namespace = nullptr;
HANDLE g_run = nullptr;
const wchar_t* g_runMutex = kGlobalMutex;

enum class Namespace { Private, Unsupported, Failed };

// The namespace, created or opened (another run made it); held to the end.
Namespace EnterNamespace(SECURITY_ATTRIBUTES& attributes) {
    BYTE administrators[SECURITY_MAX_SID_SIZE] = {};
    DWORD size = sizeof administrators;
    if (!CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size)) {
        return Namespace::Failed;
    }
    SetLastError(ERROR_SUCCESS);
    HANDLE boundary = CreateBoundaryDescriptorW(kNamespace, 0);
    if (boundary == nullptr) {
        // Windows makes one unless memory runs out; Wine has none to make,
        // and says no error.
        const DWORD error = GetLastError();
        return error == ERROR_SUCCESS || error == ERROR_CALL_NOT_IMPLEMENTED
                   ? Namespace::Unsupported
                   : Namespace::Failed;
    }
    if (AddSIDToBoundaryDescriptor(&boundary, administrators)) {
        g_namespace = CreatePrivateNamespaceW(&attributes, boundary, kNamespace);
        if (g_namespace == nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
            g_namespace = OpenPrivateNamespaceW(boundary, kNamespace);
        }
    }
    DeleteBoundaryDescriptor(boundary);
    return g_namespace != nullptr ? Namespace::Private : Namespace::Failed;
}

// The mutex in the private namespace, or under the global name where there
// is none; null when neither can be had.
HANDLE OpenRunMutex() {
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, nullptr, FALSE};
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(
            kAdministratorsOnly, SDDL_REVISION_1, &attributes.lpSecurityDescriptor, nullptr)) {
        return nullptr;
    }
    HANDLE mutex = nullptr;
    switch (EnterNamespace(attributes)) {
    case Namespace::Private:
        g_runMutex = kPrivateMutex;
        mutex = CreateMutexW(&attributes, FALSE, kPrivateMutex);
        break;
    case Namespace::Unsupported:
        g_runMutex = kGlobalMutex;
        mutex = CreateMutexW(&attributes, FALSE, kGlobalMutex);
        break;
    case Namespace::Failed:
        // Never the global name instead: that one any user may take first.
        g_runMutex = kPrivateMutex;
        break;
    }
    LocalFree(attributes.lpSecurityDescriptor);
    return mutex;
}

} // namespace

bool TakeMachineRun(char (&note)[kRunNoteSize]) {
    note[0] = '\0';
    HANDLE mutex = OpenRunMutex();
    if (mutex == nullptr) {
        // It exists under a descriptor that keeps this process out, so it is
        // another's: nothing runs unless the machine is known to be free.
        snprintf(note, sizeof note, "The run mutex %ls cannot be opened (error %lu): nothing done",
                 g_runMutex, GetLastError());
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
                 "The previous run ended without releasing %ls; this run took it", g_runMutex);
        return true;
    default:
        CloseHandle(mutex);
        snprintf(note, sizeof note,
                 "Another run of Dunmoor is under way on this machine (%ls held): nothing done",
                 g_runMutex);
        return false;
    }
}

void ReleaseMachineRun() {
    if (g_run != nullptr) {
        ReleaseMutex(g_run);
        CloseHandle(g_run);
        g_run = nullptr;
    }
    if (g_namespace != nullptr) {
        ClosePrivateNamespace(g_namespace, 0);
        g_namespace = nullptr;
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
