// Held files on Windows. They are made with delete-on-close, so the system
// removes them when the last handle closes, also when the process is killed
// or crashes; and with a descriptor that lets in only the administrators, the
// system and the process's own user, whatever the directory would pass on.
#include <windows.h>

#include <aclapi.h>
#include <fcntl.h>
#include <io.h>
#include <sddl.h>

#include <cstdio>
#include <cstring>

#include "platform/HandleStream.h"
#include "platform/Platform.h"

namespace {

constexpr size_t kSidTextSize = 192;

// "S-1-5-..." of the process's user; false when the token does not tell.
bool ProcessUserSid(char (&text)[kSidTextSize]) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        return false;
    }
    union {
        TOKEN_USER user;
        BYTE bytes[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    } buffer;
    DWORD size = 0;
    const BOOL known = GetTokenInformation(token, TokenUser, &buffer, sizeof buffer, &size);
    CloseHandle(token);
    char* sid = nullptr;
    if (!known || !ConvertSidToStringSidA(buffer.user.User.Sid, &sid)) {
        return false;
    }
    const bool fits = strlen(sid) < sizeof text;
    lstrcpynA(text, sid, sizeof text);
    LocalFree(sid);
    return fits;
}

// Full access for BUILTIN\Administrators, SYSTEM and the process's user,
// protected from inherited entries. Null when it cannot be built; else freed
// with LocalFree.
PSECURITY_DESCRIPTOR RestrictedDescriptor() {
    char user[kSidTextSize] = {};
    if (!ProcessUserSid(user)) {
        return nullptr;
    }
    char sddl[kSidTextSize + 64] = {};
    snprintf(sddl, sizeof sddl, "D:P(A;;FA;;;BA)(A;;FA;;;SY)(A;;FA;;;%s)", user);
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor,
                                                              nullptr)) {
        return nullptr;
    }
    return descriptor;
}

// A file system without descriptors (Wine maps them onto Unix modes) hands
// back one of its own making: not protected, other entries.
bool KeptRestriction(HANDLE file) {
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(file, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                        nullptr, &descriptor) != ERROR_SUCCESS) {
        return false;
    }
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    const bool kept = GetSecurityDescriptorControl(descriptor, &control, &revision) &&
                      (control & SE_DACL_PROTECTED) != 0 && dacl != nullptr && dacl->AceCount == 3;
    LocalFree(descriptor);
    return kept;
}

// Only this handle may delete the file (no FILE_SHARE_DELETE): a second
// start of the program cannot take the file away in the middle of a run.
HANDLE CreateHeld(const char* path, bool& unrestricted) {
    PSECURITY_DESCRIPTOR descriptor = RestrictedDescriptor();
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, descriptor, FALSE};
    // An existing file would keep its own descriptor: it goes first.
    DeleteFileA(path);
    HANDLE file =
        CreateFileA(path, GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_READ, &attributes,
                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    unrestricted =
        file != INVALID_HANDLE_VALUE && (descriptor == nullptr || !KeptRestriction(file));
    if (descriptor != nullptr) {
        LocalFree(descriptor);
    }
    return file;
}

} // namespace

// A C stream that owns handle; without one the handle is closed here.
FILE* StreamOverHandle(void* handle, int flags, const char* mode) {
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), flags);
    if (fd == -1) {
        CloseHandle(handle);
        return nullptr;
    }
    FILE* stream = _fdopen(fd, mode);
    if (stream == nullptr) {
        _close(fd);
    }
    return stream;
}

FILE* PlatformCreateHeldFile(const char* path, HeldFile& hold, bool& unrestricted) {
    hold = nullptr;
    HANDLE held = CreateHeld(path, unrestricted);
    if (held == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    // The writer gets a handle of its own, so closing it keeps the file.
    HANDLE writer = nullptr;
    FILE* stream = nullptr;
    if (DuplicateHandle(GetCurrentProcess(), held, GetCurrentProcess(), &writer, 0, FALSE,
                        DUPLICATE_SAME_ACCESS)) {
        stream = StreamOverHandle(writer, _O_WRONLY | _O_BINARY, "wb");
    }
    if (stream == nullptr) {
        CloseHandle(held);
        return nullptr;
    }
    hold = held;
    return stream;
}

void PlatformReleaseHeldFile(HeldFile& hold, const char*) {
    if (hold != nullptr) {
        CloseHandle(hold);
        hold = nullptr;
    }
}

// fopen cannot open a held file: its handle has DELETE access, which every
// other open must share.
FILE* PlatformOpenForReading(const char* path, const char* mode) {
    HANDLE file =
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    const int translation = strchr(mode, 'b') != nullptr ? _O_BINARY : _O_TEXT;
    return StreamOverHandle(file, _O_RDONLY | translation, mode);
}
