// The start-up check. The program runs the code and the scripts of its
// directory with an administrator's rights, so whoever may write there (or
// into Kelvane.dll, Kelvane.ini, a .dat file or the installer in Support)
// would run code as the administrator; and a run log in a folder that others
// may change would let them choose a file the program writes, deletes or
// renames. Such a start is refused before anything is loaded, deleted or
// connected.
#pragma once

#include <string>
#include <vector>

// A path others than the administrators, SYSTEM, TrustedInstaller and the
// running account may change (or own), and who; for a descriptor that cannot
// be read, the account says so (ASCII, for the box: "ismeretlen (hiba: 5)").
struct OpenPath {
    std::string path;
    std::string account;
};

// The run log as the check left it.
struct LogCheck {
    // The start must stop: the log's folder may be changed by others (box
    // 126), or the folder or the file is a link or the file has a second name
    // (box 129); nothing has been written there.
    bool refused = false;
    unsigned stringId = 0;
    OpenPath where;
    std::string reason; // for the debugger output, the event and another log
};

// Opens the run log at logPath (made a full path) once its folder has passed
// the check; the folder stays held for the run, so that it cannot be swapped
// for a link. A folder that does not exist leaves the run without a log, as
// an unwritable file does; neither is a refusal. behindAnother: the log of a
// run that another run already writes (OpenRunLogBehindAnother).
LogCheck OpenCheckedRunLog(const char* logPath, bool behindAnother);

// The descriptors of programDirectory, its Kelvane.dll, Kelvane.ini and .dat
// files, Support and Support\SqlExpr.exe (those that are there): each that
// others may change, or whose descriptor cannot be read. Nothing is changed.
std::vector<OpenPath> FindOpenProgramFiles(const char* programDirectory);

// A start the check refused: every finding, and the log's reason, on the
// debugger output and in the run log (when it is open), in one event 1004
// (an error), and in one box unless /q is among the words of arguments: the
// first program file's (125), else the log's. Returns the exit status, 1.
int RefuseUnsafeStart(const std::vector<OpenPath>& files, const LogCheck& log,
                      const char* arguments);
