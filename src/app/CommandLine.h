// The switches of an unattended run: /s server, /i user id, /p password,
// /w Windows authentication, /P port (each value right after its switch or,
// after a blank, as the next word); the words /q no message boxes, /replace
// re-create an existing database, /check a dry run of the create, /patch
// patch from the saved settings, /keep keep an existing database, and
// /engine:<mssql|mysql|oracle> and /db:<name>; "/find" anywhere asks for the
// dialog; /log:<path> names the run log in either mode; "/?" as the whole
// text lists the switches.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "common/KelvaneInterface.h"

constexpr int kWorkingCopySize = 260; // 259 characters and a NUL

// What an unattended command line asks for beyond the connection record.
struct UnattendedRequest {
    int dbType = MsSql;                     // /engine:, 0 when its value is refused
    char databaseName[kTextFieldSize] = {}; // /db:, "Quenlor" without it
    bool quiet = false;                     // /q
    bool replace = false;                   // /replace
    bool check = false;                     // /check
    bool patch = false;                     // /patch
    bool keep = false;                      // /keep
    // Words the program does not know, as given, except that the value of a
    // "/p" in one of them reads "***": it is most likely a password.
    std::vector<std::string> ignored;
    // Why the line is refused, for the run log and a box (reasons joined by
    // "; "; a value quoted in it shows "***" for the part that is a password);
    // empty when the line is accepted.
    std::string refusal;
};

// For a command line without "/find" (its /log: word already taken out):
// fills params (valid 1, windowsAuth, dbType, port, server, userId, password;
// databaseName, errorText and the fill bytes are not touched) and request.
// Never cuts a value: one that does not fit leaves its field empty (a port
// 0, an engine 0) and says why in refusal. A text longer than the working
// copy is read as far as the working copy holds it, and refused.
void ParseUnattended(const char* argumentText, ConnectionParams& params,
                     UnattendedRequest& request);

// Returns 0 when "/find" occurs (params untouched); otherwise fills params as
// ParseUnattended does and returns 1, whatever it would refuse (a value that
// does not fit stays empty). Longer argument texts are read up to the
// working copy's end (start-up refuses them first).
int ParseCommandLine(const char* argumentText, ConnectionParams& params);

// Reads a decimal integer the way atoi does (leading white space, optional
// sign, digits up to the first other character, 0 without digits), clamped to
// the int range instead of overflowing.
int ParseLeadingInt(const char* text);

// Where the parser finds the value of switch name in text: [begin, end),
// from its first occurrence that does not start a word switch (so "/patch"
// is not "/p") up to the next blank, or the next word when a blank follows
// the switch. False when the name does not occur so.
bool FindSwitchSpan(const char* text, const char* name, size_t& begin, size_t& end);

// True when the argument text (without its /log: word) fits the working
// copy whole; a longer one would have switches cut off, so it is refused.
bool FitsWorkingCopy(const char* argumentText);

// True when word (a switch such as "/replace") stands as a word of its own in
// the argument text, in any letter case: at the start or after a blank, and
// followed by a blank or the end. The whole text counts, so /q is seen also
// in a command line too long to run.
bool HasWordSwitch(const char* argumentText, const char* word);

// True when the parser finds "/p" in the working copy: a password was given
// on the command line, even an empty one.
bool NamesPassword(const char* argumentText);

// The command line as given, its /log: word included, with "***" for the
// value of every "/p" where the parser finds one (in the text without the
// /log: word, so never inside the log's path), for the run log.
std::string MaskCommandLine(const char* commandLine);

// Takes "/log:<path>" (a word of its own, in any letter case; a path in
// double quotes may hold blanks) out of argumentText, the word and the blanks
// around it leaving one blank, and gives its path. False when there is none.
bool TakeLogSwitch(std::string& argumentText, std::string& path);
