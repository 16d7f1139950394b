// Who besides the administrators may change a file or a directory. The
// program runs elevated: whoever may change what it runs (its own code and
// scripts, the OpenSSL the Quenlor server starts) runs code with an
// administrator's rights.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One entry of a discretionary access control list, as the decision needs it.
struct AccessEntry {
    bool allow = true;        // an access-allowed entry; false: access-denied
    bool inheritOnly = false; // applies only to what is made inside a directory
    uint32_t mask = 0;        // the access rights, generic ones unmapped
    std::string sid;          // "S-1-5-32-544"
};

struct ObjectAccess {
    // False for an object without a DACL, which lets everyone in.
    bool hasDacl = true;
    std::vector<AccessEntry> entries;
};

constexpr const char* kEveryoneSid = "S-1-1-0";

// The SID of the first account or group, other than the administrators,
// SYSTEM and TrustedInstaller, that the entries let write, append to or take
// over the object (for a directory: add files or folders); empty when there
// is none. runningUser, when not empty, is trusted too: the caller names the
// running account only when it is an administrator. Entries that only pass
// on to a directory's new contents count for a directory (not for a file),
// those of CREATOR OWNER excepted; a right is not counted where an earlier
// deny entry of the same account or of Everyone takes it away.
std::string FirstOutsideWriter(const ObjectAccess& access, bool directory,
                               const std::string& runningUser);

// Windows: the same, read from path's descriptor.
struct OutsideWriter {
    enum Status { kNone, kFound, kMissing, kUnreadable } status = kNone;
    std::string account;     // kFound: "DOMAIN\name", or the SID where it has none
    unsigned long error = 0; // kUnreadable: the system's error code
};
OutsideWriter FindOutsideWriter(const char* path, bool directory);
