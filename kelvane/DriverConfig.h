// What Kelvane.ini beside the DLL may set per engine: the driver names
// ([Drivers] MsSql=, MySql=, Oracle=; Windows defaults otherwise) and the
// administrator's extra connection attributes ([Options], same keys).
#pragma once

#include "ConnectionString.h"

struct DriverConfig {
    DriverNames names;
    ConnectionOptions options;
    // The engine's [Drivers] name is longer than its field holds: refused,
    // never used cut.
    bool msSqlNameTooLong;
    bool mySqlNameTooLong;
    bool oracleNameTooLong;
};

DriverConfig LoadDriverConfig();
