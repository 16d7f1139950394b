#include "security/FileAccess.h"

#include <algorithm>

namespace {

// Rights that change an object: for a file its data, for a directory its
// entries (FILE_WRITE_DATA is FILE_ADD_FILE there, FILE_APPEND_DATA is
// FILE_ADD_SUBDIRECTORY), and for both who may do so.
constexpr uint32_t kFileWriteData = 0x0002;
constexpr uint32_t kFileAppendData = 0x0004;
constexpr uint32_t kWriteDac = 0x00040000;
constexpr uint32_t kWriteOwner = 0x00080000;
constexpr uint32_t kChangingRights = kFileWriteData | kFileAppendData | kWriteDac | kWriteOwner;
constexpr uint32_t kGenericAll = 0x10000000;
constexpr uint32_t kGenericWrite = 0x40000000;
constexpr uint32_t kGenericRead = 0x80000000;
// KEY_QUERY_VALUE: the right that reads a key's values.
constexpr uint32_t kKeyQueryValue = 0x0001;

constexpr const char* kAdministratorsSid = "S-1-5-32-544";
constexpr const char* kSystemSid = "S-1-5-18";
constexpr const char* kTrusted[] = {
    kAdministratorsSid, kSystemSid,
    "S-1-5-80-956008885-3418522649-1831038044-1850242598-2063802358", // TrustedInstaller
};
constexpr const char* kCreatorOwnerSid = "S-1-3-0";

// The changing rights a mask grants, generic ones mapped as files map them.
uint32_t ChangingRights(uint32_t mask) {
    uint32_t rights = mask & kChangingRights;
    if ((mask & kGenericAll) != 0) {
        rights |= kChangingRights;
    }
    if ((mask & kGenericWrite) != 0) {
        rights |= kFileWriteData | kFileAppendData;
    }
    return rights;
}

bool TrustedAccount(const std::string& sid, const std::string& runningUser) {
    for (const char* trusted : kTrusted) {
        if (sid == trusted) {
            return true;
        }
    }
    return !runningUser.empty() && sid == runningUser;
}

bool Trusted(const AccessEntry& entry, const std::string& runningUser) {
    if (entry.inheritOnly && entry.sid == kCreatorOwnerSid) {
        return true; // becomes an entry for whoever creates something there
    }
    return TrustedAccount(entry.sid, runningUser);
}

// Reading a key's values, directly or by giving oneself the right to.
bool ReadsValues(uint32_t mask) {
    return (mask & (kKeyQueryValue | kWriteDac | kWriteOwner | kGenericRead | kGenericAll)) != 0;
}

// What earlier deny entries of the same kind take from this account.
uint32_t DeniedBefore(const std::vector<AccessEntry>& entries, size_t index) {
    uint32_t denied = 0;
    const AccessEntry& entry = entries[index];
    for (size_t i = 0; i < index; ++i) {
        const AccessEntry& earlier = entries[i];
        if (!earlier.allow && earlier.inheritOnly == entry.inheritOnly &&
            (earlier.sid == entry.sid || earlier.sid == kEveryoneSid)) {
            denied |= ChangingRights(earlier.mask);
        }
    }
    return denied;
}

} // namespace

std::string FirstOutsideWriter(const ObjectAccess& access, bool directory,
                               const std::string& runningUser) {
    if (!access.owner.empty() && !TrustedAccount(access.owner, runningUser)) {
        return access.owner;
    }
    if (!access.hasDacl) {
        return kEveryoneSid;
    }
    for (size_t i = 0; i < access.entries.size(); ++i) {
        const AccessEntry& entry = access.entries[i];
        if (!entry.allow || (entry.inheritOnly && !directory) || Trusted(entry, runningUser)) {
            continue;
        }
        if ((ChangingRights(entry.mask) & ~DeniedBefore(access.entries, i)) != 0) {
            return entry.sid;
        }
    }
    return std::string();
}

std::vector<std::string> OutsideReaders(const ObjectAccess& access,
                                        const std::string& runningUser) {
    std::vector<std::string> readers;
    auto add = [&readers, &runningUser](const std::string& sid) {
        const bool trusted = sid == kAdministratorsSid || sid == kSystemSid ||
                             (!runningUser.empty() && sid == runningUser);
        if (!trusted && std::find(readers.begin(), readers.end(), sid) == readers.end()) {
            readers.push_back(sid);
        }
    };
    if (!access.owner.empty()) {
        add(access.owner);
    }
    if (!access.hasDacl) {
        add(kEveryoneSid);
    }
    for (const AccessEntry& entry : access.entries) {
        if (entry.allow && !entry.inheritOnly && ReadsValues(entry.mask)) {
            add(entry.sid);
        }
    }
    return readers;
}
