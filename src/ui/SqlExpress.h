// SQL Server Express: running its installer from the program's Support folder
// and finding the TCP port of the local instance it installs.
#pragma once

// The named instance the installer creates, and where it keeps its port.
constexpr const char* kSqlExpressInstance = "QNServer";
constexpr const char* kSqlExpressPortKey =
    "SOFTWARE\\Microsoft\\Microsoft SQL Server\\QNSERVER\\MSSQLServer\\SuperSocketNetLib\\Tcp";
constexpr const char* kSqlExpressPortValue = "TcpPort";
constexpr int kDefaultSqlServerPort = 1433;

// Starts applicationPath (a full path, the application name) and blocks until
// the process has ended, checking once a second (so at least one second). The
// command line is the path in double quotes, then a blank and the arguments
// when there are any; its environment is this process's without
// DUNMOOR_PASSWORD. Nonzero when the process was started, 0 when it could
// not be.
int RunAndWait(const char* applicationPath, const char* arguments);

// Runs "<programDirectory>\Support\SqlExpr.exe" for the local instance with
// Support as the current directory, then makes programDirectory current again.
// The installer's result is not examined.
void RunSqlExpressInstaller(const char* programDirectory);

// The local instance's "TcpPort" read as a decimal number, from the 64-bit
// registry view, else the 32-bit one; 1433 when neither holds the value, 0 when
// the value holds no digits.
int GetSqlExpressPort();
