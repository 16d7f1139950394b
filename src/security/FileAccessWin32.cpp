// The descriptors of files and directories, read for FirstOutsideWriter.
#include "security/FileAccess.h"

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

namespace {

std::string SidText(PSID sid) {
    char* text = nullptr;
    if (!ConvertSidToStringSidA(sid, &text)) {
        return std::string();
    }
    std::string result(text);
    LocalFree(text);
    return result;
}

// The running account's SID when it is an administrator, as an elevated run
// is: its own entries (made for the creator of a folder) are no opening.
std::string AdministratorRunning() {
    BYTE administrators[SECURITY_MAX_SID_SIZE] = {};
    DWORD size = sizeof administrators;
    BOOL member = FALSE;
    if (!CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size) ||
        !CheckTokenMembership(nullptr, administrators, &member) || !member) {
        return std::string();
    }
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        return std::string();
    }
    union {
        TOKEN_USER user;
        BYTE bytes[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    } buffer = {};
    DWORD length = 0;
    const BOOL known = GetTokenInformation(token, TokenUser, &buffer, sizeof buffer, &length);
    CloseHandle(token);
    return known ? SidText(buffer.user.User.Sid) : std::string();
}

// "DOMAIN\name" of a SID, else the SID itself.
std::string AccountName(const std::string& sidText) {
    PSID sid = nullptr;
    if (!ConvertStringSidToSidA(sidText.c_str(), &sid)) {
        return sidText;
    }
    char name[256] = {};
    char domain[256] = {};
    DWORD nameSize = sizeof name;
    DWORD domainSize = sizeof domain;
    SID_NAME_USE use = SidTypeUnknown;
    std::string result = sidText;
    if (LookupAccountSidA(nullptr, sid, name, &nameSize, domain, &domainSize, &use)) {
        result = domain[0] != '\0' ? std::string(domain) + "\\" + name : std::string(name);
    }
    LocalFree(sid);
    return result;
}

// The allow and deny entries of a DACL (the only kinds files carry).
void ReadEntries(ACL& dacl, ObjectAccess& access) {
    for (DWORD i = 0; i < dacl.AceCount; ++i) {
        void* ace = nullptr;
        if (!GetAce(&dacl, i, &ace)) {
            continue;
        }
        const auto* header = static_cast<const ACE_HEADER*>(ace);
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE &&
            header->AceType != ACCESS_DENIED_ACE_TYPE) {
            continue;
        }
        // Both kinds share one layout: the header, the mask, the SID.
        auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
        AccessEntry entry;
        entry.allow = header->AceType == ACCESS_ALLOWED_ACE_TYPE;
        entry.inheritOnly = (header->AceFlags & INHERIT_ONLY_ACE) != 0;
        entry.mask = allowed->Mask;
        entry.sid = SidText(&allowed->SidStart);
        access.entries.push_back(entry);
    }
}

// The owner and the entries of a descriptor read with both; frees it.
ObjectAccess TakeAccess(PSECURITY_DESCRIPTOR descriptor, PSID owner, PACL dacl) {
    ObjectAccess access;
    access.hasDacl = dacl != nullptr;
    if (dacl != nullptr) {
        ReadEntries(*dacl, access);
    }
    if (owner != nullptr) {
        access.owner = SidText(owner);
    }
    LocalFree(descriptor);
    return access;
}

OutsideWriter Judge(const ObjectAccess& access, bool directory) {
    OutsideWriter result;
    const std::string writer = FirstOutsideWriter(access, directory, AdministratorRunning());
    if (!writer.empty()) {
        result.status = OutsideWriter::kFound;
        result.account = AccountName(writer);
    }
    return result;
}

OutsideWriter Failed(DWORD error) {
    OutsideWriter result;
    const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    result.status = missing ? OutsideWriter::kMissing : OutsideWriter::kUnreadable;
    result.error = error;
    return result;
}

constexpr SECURITY_INFORMATION kOwnerAndDacl =
    OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;

// A run holds the folder of its log; they stay held until the process ends,
// when the system closes them.
HANDLE g_heldFolders[4] = {};

bool KeepHeld(HANDLE folder) {
    for (HANDLE& slot : g_heldFolders) {
        if (slot == nullptr) {
            slot = folder;
            return true;
        }
    }
    return false;
}

// Opened without following it, a link (a junction, a symbolic link) shows
// as a reparse point.
bool IsLink(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION info = {};
    return GetFileInformationByHandle(file, &info) &&
           (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

} // namespace

OutsideWriter FindOutsideWriter(const char* path, bool directory) {
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const DWORD error = GetNamedSecurityInfoA(path, SE_FILE_OBJECT, kOwnerAndDacl, &owner, nullptr,
                                              &dacl, nullptr, &descriptor);
    if (error != ERROR_SUCCESS) {
        return Failed(error);
    }
    return Judge(TakeAccess(descriptor, owner, dacl), directory);
}

OutsideWriter HoldFolder(const char* directory) {
    // No FILE_SHARE_DELETE: nobody may rename or delete the folder while it is
    // held, and Windows renames no folder above one that is open.
    HANDLE folder = CreateFileA(directory, READ_CONTROL | FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (folder == INVALID_HANDLE_VALUE) {
        return Failed(GetLastError());
    }
    OutsideWriter result;
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (IsLink(folder)) {
        result.status = OutsideWriter::kLink;
    } else if (const DWORD error = GetSecurityInfo(folder, SE_FILE_OBJECT, kOwnerAndDacl, &owner,
                                                   nullptr, &dacl, nullptr, &descriptor)) {
        result = Failed(error);
    } else {
        result = Judge(TakeAccess(descriptor, owner, dacl), true);
    }
    if (result.status != OutsideWriter::kNone || !KeepHeld(folder)) {
        CloseHandle(folder);
    }
    return result;
}

bool FindOutsideReaders(void* registryKey, std::vector<std::string>& accounts,
                        unsigned long& error) {
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    error = GetSecurityInfo(static_cast<HKEY>(registryKey), SE_REGISTRY_KEY, kOwnerAndDacl, &owner,
                            nullptr, &dacl, nullptr, &descriptor);
    if (error != ERROR_SUCCESS) {
        return false;
    }
    accounts.clear();
    for (const std::string& sid :
         OutsideReaders(TakeAccess(descriptor, owner, dacl), AdministratorRunning())) {
        accounts.push_back(AccountName(sid));
    }
    return true;
}
