// What a start checks before it does anything: that no other run of the
// program is under way on the machine, and that its command line reaches the
// parser whole. A refused start changes nothing.
#pragma once

#include <cstddef>

constexpr size_t kRunNoteSize = 160;

// The machine-wide hold of a run, a mutex that also a start from another
// session finds, in a private namespace that only administrators may enter
// (where the system has none, as under Wine, under a global name). False
// when another run holds it (or it cannot be opened), with the reason in
// note; one left abandoned by a process that was killed is taken, and note
// says so. Otherwise note stays empty.
bool TakeMachineRun(char (&note)[kRunNoteSize]);
// At the very end of the run.
void ReleaseMachineRun();

// A refused start: reason (ANSI) to the debugger output and the run log, then
// the box of string stringId (insert as its %1), or with /q among the words
// of arguments only its text on the debugger output. Returns status.
int RefuseRun(const char* reason, unsigned stringId, const char* arguments, int status,
              const char* insert = nullptr);
