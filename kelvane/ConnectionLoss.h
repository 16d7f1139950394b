// Which failures mean the connection itself is gone, not only the statement.
// Portable: a pure rule over one diagnostic record, testable without ODBC.
#pragma once

#include <cstdint>

// One diagnostic record of a failed statement on a connection to engine
// dbType: sqlState is its five-character SQLSTATE, nativeError the engine's
// own error number.
// - SQLSTATE class 08 (connection exception) on every engine.
// - MySQL: the client errors 2006 (server gone away), 2013 (lost during a
//   query) and 2055 (lost, with a system error) under HY000, as some driver
//   versions report them instead of 08S01. On other engines those numbers are
//   ordinary statement errors (ORA-02006, ORA-02055).
// - Oracle: ORA-03113 (end of file on the communication channel), ORA-03114
//   (not connected) and ORA-03135 (connection lost contact), under whatever
//   state the driver maps them to.
bool IsConnectionLoss(int32_t dbType, const char* sqlState, int32_t nativeError);
