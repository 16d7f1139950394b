// DUNMOOR_PASSWORD: the password of an unattended run, kept off the command
// line. It leaves the process's environment the first time it is read, so
// that nothing the run starts (the SQL Server Express installer and whatever
// that starts) inherits it.
#pragma once

#include <cstddef>

#include "platform/Platform.h"

constexpr char kPasswordVariable[] = "DUNMOOR_PASSWORD";

// The variable's length in bytes, 0 when it is not set; value receives it
// when it fits (else it stays empty, and the length says by how much it does
// not). The first call takes it out of the environment, the Windows one and
// the C runtime's copy, whether it fits or not; later calls give what that
// one read.
size_t ReadPasswordVariable(char (&value)[kPathSize]);

// Overwrites the kept copy (at the end of the run).
void ForgetPasswordVariable();
