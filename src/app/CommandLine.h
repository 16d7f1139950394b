// The switches of an unattended create: /s server, /i user id, /p password,
// /w Windows authentication, /P port, /q no message boxes, /replace re-create
// an existing database, /check a dry run of the create; "/find" anywhere asks
// for the dialog; /log:<path> names the run log in either mode; "/?" as the
// whole text lists the switches.
#pragma once

#include <cstddef>
#include <string>

#include "common/KelvaneInterface.h"

constexpr int kWorkingCopySize = 260; // 259 characters and a NUL

// Returns 1 and fills params (dbType 2, valid 1, the switch values) for an
// unattended create, or 0 when "/find" occurs (params untouched). Longer
// argument texts are cut to the working copy (start-up refuses them first),
// longer values to their field.
int ParseCommandLine(const char* argumentText, ConnectionParams& params);

// Reads a decimal integer the way atoi does (leading white space, optional
// sign, digits up to the first other character, 0 without digits), clamped to
// the int range instead of overflowing.
int ParseLeadingInt(const char* text);

// Where the parser finds switch name in text: its value is [begin, end),
// from the first occurrence of the name up to the next blank. False when the
// name does not occur.
bool FindSwitchSpan(const char* text, const char* name, size_t& begin, size_t& end);

// True when the argument text (without its /log: word) fits the working
// copy whole; a longer one would have switches cut off, so it is refused.
bool FitsWorkingCopy(const char* argumentText);

// True when word (a switch such as "/replace") stands as a word of its own in
// the argument text, in any letter case: at the start or after a blank, and
// followed by a blank or the end. The whole text counts, so /q is seen also
// in a command line too long to run.
bool HasWordSwitch(const char* argumentText, const char* word);

// True when "/p" occurs in the working copy, as ParseCommandLine sees it: a
// password was given on the command line, even an empty one.
bool NamesPassword(const char* argumentText);

// The command line as given, its /log: word included, with "***" for the
// password value where the parser finds it (in the text without the /log:
// word, so never inside the log's path), for the run log.
std::string MaskCommandLine(const char* commandLine);

// Takes "/log:<path>" (a word of its own, in any letter case; a path in
// double quotes may hold blanks) out of argumentText, the word and the blanks
// around it leaving one blank, and gives its path. False when there is none.
bool TakeLogSwitch(std::string& argumentText, std::string& path);
