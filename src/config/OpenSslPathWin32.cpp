#include "config/OpenSslPathWin32.h"

#include <sddl.h>

#include <cstring>
#include <string>

#include "common/BoundedCopy.h"
#include "record/RunLog.h"
#include "security/FileAccess.h"

namespace {

constexpr DWORD kTextRoom = 1024;

// The first that others may change is the one the box names.
void Note(OpenFolder& open, const std::string& path, const std::string& account) {
    if (open.path.empty()) {
        open.path = path;
        open.account = account;
    }
}

// The warnings for one path: its folder (missing, or open to others) and the
// program itself.
void WarnOfOpenPath(const char* path, OpenFolder& open) {
    char folder[kTextRoom] = {};
    CopyField(folder, path);
    char* slash = std::strrchr(folder, '\\');
    if (slash == nullptr) {
        LogLine("Warning: OpenSSL Path %s is no full path: the program it names is not known",
                path);
        return;
    }
    *slash = '\0';
    const OutsideWriter inFolder = FindOutsideWriter(folder, true);
    if (inFolder.status == OutsideWriter::kMissing) {
        LogLine("Warning: OpenSSL Path: the folder %s does not exist; whoever may create it "
                "chooses the program the Quenlor server starts",
                folder);
    } else if (inFolder.status == OutsideWriter::kFound) {
        LogLine("Warning: OpenSSL Path: the folder %s can be changed by %s", folder,
                inFolder.account.c_str());
        Note(open, folder, inFolder.account);
    } else if (inFolder.status == OutsideWriter::kUnreadable) {
        LogLine("OpenSSL Path: who may change the folder %s could not be read (error %lu)", folder,
                inFolder.error);
    }
    const OutsideWriter program = FindOutsideWriter(path, false);
    if (program.status == OutsideWriter::kFound) {
        LogLine("Warning: OpenSSL Path: %s can be changed by %s", path, program.account.c_str());
        Note(open, path, program.account);
    }
}

bool CreateProtectedFolder(const char* folder) {
    // 0x1200A9: read and execute (list, traverse) for files and folders alike.
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(
            "D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)", SDDL_REVISION_1,
            &descriptor, nullptr)) {
        return false;
    }
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, descriptor, FALSE};
    const bool made = CreateDirectoryA(folder, &attributes) != 0;
    LocalFree(descriptor);
    return made;
}

// Each missing folder of the default is made. One already there that others
// may change gets nothing made inside it (its owner could put another folder
// in the place of what is made) and is warned about: C:\OpenSSL here, the
// program's own folder by WarnOfOpenPath.
void ProvideDefaultFolders(OpenFolder& open) {
    for (const char* folder : kDefaultOpenSslFolders) {
        const OutsideWriter writer = FindOutsideWriter(folder, true);
        if (writer.status == OutsideWriter::kNone) {
            continue;
        }
        if (writer.status != OutsideWriter::kMissing) {
            if (writer.status == OutsideWriter::kFound && folder == kDefaultOpenSslFolders[0]) {
                LogLine("Warning: OpenSSL Path: the folder %s can be changed by %s", folder,
                        writer.account.c_str());
                Note(open, folder, writer.account);
            }
            return;
        }
        if (!CreateProtectedFolder(folder)) {
            LogLine("OpenSSL Path: the folder %s could not be made (error %lu)", folder,
                    GetLastError());
            return;
        }
        LogLine("OpenSSL Path: the folder %s made, for the administrators and SYSTEM to change",
                folder);
    }
}

// A value of text as the server would use it: REG_EXPAND_SZ expanded.
std::string UsablePath(const char* text, DWORD type) {
    if (type != REG_EXPAND_SZ) {
        return text;
    }
    char expanded[kTextRoom] = {};
    const DWORD length = ExpandEnvironmentStringsA(text, expanded, sizeof expanded);
    return length > 0 && length <= sizeof expanded ? expanded : text;
}

void ReportKept(HKEY readKey, const char* valueName, DWORD type, DWORD size, OpenFolder& open) {
    char text[kTextRoom + 1] = {};
    DWORD room = kTextRoom;
    const bool isText = type == REG_SZ || type == REG_EXPAND_SZ;
    if (!isText || size > kTextRoom ||
        RegQueryValueExA(readKey, valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(text),
                         &room) != ERROR_SUCCESS) {
        LogLine("OpenSSL Path kept as it was (not a text this program reads: type %lu, %lu bytes)",
                type, size);
        return;
    }
    LogLine("OpenSSL Path kept: %s", text);
    if (text[0] != '\0') {
        WarnOfOpenPath(UsablePath(text, type).c_str(), open);
    }
}

} // namespace

LONG SaveOpenSslPath(HKEY writeKey, HKEY readKey, const char* valueName, OpenFolder& open) {
    if (readKey == nullptr) {
        LogLine("OpenSSL Path left as it is: the key could not be read, so a value there "
                "cannot be told from none");
        return ERROR_SUCCESS;
    }
    DWORD type = REG_NONE;
    DWORD size = 0;
    const LONG found = RegQueryValueExA(readKey, valueName, nullptr, &type, nullptr, &size);
    if (found == ERROR_SUCCESS || found == ERROR_MORE_DATA) {
        ReportKept(readKey, valueName, type, size, open);
        return ERROR_SUCCESS;
    }
    if (found != ERROR_FILE_NOT_FOUND) {
        LogLine("OpenSSL Path left as it is: it could not be read (error %ld)", found);
        return ERROR_SUCCESS;
    }
    char path[256] = {};
    CopyField(path, kDefaultOpenSslPath);
    const DWORD length = static_cast<DWORD>(std::strlen(path) + 1);
    const LONG written =
        RegSetValueExA(writeKey, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(path), length);
    if (written == ERROR_SUCCESS) {
        LogLine("OpenSSL Path: none there, the default %s written", path);
        ProvideDefaultFolders(open);
        WarnOfOpenPath(path, open);
    }
    return written;
}
