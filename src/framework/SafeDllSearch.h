// The process's search for DLLs and programs, made safe before anything is
// loaded: the program runs elevated, and a DLL of a known name put into
// whatever directory is current would otherwise run with its rights.
#pragma once

// Takes the current directory out of the DLL search (the program's own
// directory, the system directories and PATH stay) and makes the safe search
// mode of SearchPath permanent for the process. A step the system refuses is
// not fatal; the debugger output names it.
void MakeDllSearchSafe();
