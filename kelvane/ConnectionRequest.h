// What ConnectDB asks the driver for: the record's connection string, with
// Kelvane.ini's driver names and options, or the reason there is none.
#pragma once

#include "ConnectionString.h"
#include "common/KelvaneInterface.h"

// The record's connection string in out; on failure the reason is in
// errorText and nothing is to be sent.
bool BuildConnection(ConnectionParams* params, char (&out)[kConnectionStringSize]);
