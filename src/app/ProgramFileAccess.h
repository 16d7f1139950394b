// The program's own files, checked at start. The program runs the code and
// the scripts of its directory with an administrator's rights, so whoever may
// write there (or into Kelvane.dll, Kelvane.ini, a .dat file or the installer
// in Support) runs code as the administrator the next time it starts.
#pragma once

// Reads the descriptors of programDirectory, its Kelvane.dll, Kelvane.ini and
// .dat files, Support and Support\SqlExpr.exe (those that are there), and for
// each that others may change writes a line to the run log;
// when there is any, reports the warning event and shows a warning box naming
// the first path and account (the quiet sink only logs it). The run goes on
// either way: existing installations may be laid out so.
void WarnOfOpenProgramFiles(const char* programDirectory);
