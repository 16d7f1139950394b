// DUNMOOR_PASSWORD: the password of an unattended run, kept off the command
// line. It leaves the process's environment the first time it is read, so
// that nothing the run starts (the SQL Server Express installer and whatever
// that starts) inherits it.
#pragma once

#include "platform/Platform.h"

constexpr char kPasswordVariable[] = "DUNMOOR_PASSWORD";

// The variable into value; false when it is not set or does not fit (then
// value is empty). The first call takes it out of the environment, the
// Windows one and the C runtime's copy, whether it fits or not; later calls
// give what that one read.
bool ReadPasswordVariable(char (&value)[kPathSize]);

// Overwrites the kept copy (at the end of the run).
void ForgetPasswordVariable();
