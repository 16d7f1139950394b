// The administrator's extra attributes of a connection string, per engine
// ([Options] of Kelvane.ini), and which of them the library takes. Portable:
// no ODBC or Windows headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The library's buffer for one connection string, its NUL included.
constexpr size_t kConnectionStringSize = 1024;

// ODBC attributes the administrator adds per engine, appended as given after
// the ones built from the record ("Encrypt=Optional;TrustServerCertificate=Yes").
// As large as the whole string: an options text that had to be cut on reading
// can never fit, so it is refused, never sent cut.
constexpr size_t kOptionsSize = kConnectionStringSize;
struct ConnectionOptions {
    char msSql[kOptionsSize];
    char mySql[kOptionsSize];
    char oracle[kOptionsSize];
};

// The first attribute of an options text that the library writes itself
// (under its own name or a driver's other name for it), as the library spells
// it ("OPTION" for " option =3"), or null when there is none. Names are
// compared without case and without the blanks around them; a braced value is
// one value, whatever ';' it holds. Every engine's attributes count for every
// engine: which of two equal attributes a driver takes is its own choice (the
// MariaDB driver takes the last, so an OPTION= would turn multi-statement
// batches off), and none of them is the administrator's to set.
const char* ReservedAttributeIn(const std::string& options);

// The first attribute of an options text that the engine's allow list lacks,
// as written there without the blanks around it, or "" when every one is on
// it. The list holds what a site may need (encryption and certificate trust,
// timeouts, the application's name) under the names the engine's drivers
// take, compared without letter case; everything else (a file the driver
// would write, a plug-in folder, a statement run at connect) is refused.
std::string AttributeNotAllowedIn(int32_t dbType, const std::string& options);
