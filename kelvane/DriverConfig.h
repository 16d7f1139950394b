// Driver names: the Windows defaults, overridden per engine by Kelvane.ini
// beside the DLL ([Drivers] MsSql=, MySql=, Oracle=).
#pragma once

#include "ConnectionString.h"

DriverNames LoadDriverNames();
