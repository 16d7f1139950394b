// The argument text the application object receives.
#pragma once

// The command line after the program's own name (quoted or not), with the
// blanks and control characters that follow it skipped. A command line of
// blanks only gives an empty text.
const char* SkipProgramName(const char* commandLine);
