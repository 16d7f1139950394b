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
    // The owner's SID; empty where it was not read. An owner may always
    // rewrite the DACL, so an owner from outside counts as one who may change
    // (and read) the object.
    std::string owner;
};

constexpr const char* kEveryoneSid = "S-1-1-0";

// The SID of the first account or group, other than the administrators,
// SYSTEM and TrustedInstaller, that owns the object or that the entries let
// write, append to or take over (for a directory: add files or folders);
// empty when there is none. runningUser, when not empty, is trusted too: the caller names the
// running account only when it is an administrator. Entries that only pass
// on to a directory's new contents count for a directory (not for a file),
// those of CREATOR OWNER excepted; a right is not counted where an earlier
// deny entry of the same account or of Everyone takes it away.
std::string FirstOutsideWriter(const ObjectAccess& access, bool directory,
                               const std::string& runningUser);

// The SIDs, in the order of their entries, of everyone but the administrators,
// SYSTEM and runningUser (when not empty) who may read a registry key's
// values: its owner from outside, and whoever an entry on the key itself
// grants querying values, reading, or rewriting its DACL or owner. Entries
// that only pass on to subkeys hold none of the key's values and do not count;
// deny entries are not weighed (a reader too many is named, never one too few).
std::vector<std::string> OutsideReaders(const ObjectAccess& access, const std::string& runningUser);

// Windows: the same, read from path's descriptor (its owner and DACL).
// kLink: the path is a reparse point (a symbolic link or a junction), which
// HoldFolder refuses to follow.
struct OutsideWriter {
    enum Status { kNone, kFound, kMissing, kUnreadable, kLink } status = kNone;
    std::string account;     // kFound: "DOMAIN\name", or the SID where it has none
    unsigned long error = 0; // kUnreadable: the system's error code
};
OutsideWriter FindOutsideWriter(const char* path, bool directory);

// The folder a log is written in: opened without following a link and held
// open, unshared for deletion, to the end of the process, so that neither it
// nor a folder above it can be renamed or replaced by a link while the run
// writes there. Its descriptor is read through that handle. Any status but
// kNone releases the folder again.
OutsideWriter HoldFolder(const char* directory);

// The accounts ("DOMAIN\name") besides the administrators and SYSTEM who may
// read the values of the registry key, as OutsideReaders decides; false, with
// the system's error, when its descriptor cannot be read.
bool FindOutsideReaders(void* registryKey, std::vector<std::string>& accounts,
                        unsigned long& error);
