// How the workflows name their connection and their outcome in the run log.
#pragma once

#include <string>

#include "common/KelvaneInterface.h"

// "MS SQL Server", "MySQL", "Oracle", or "engine <n>".
std::string EngineName(int dbType);

// "database <name> on <server>[:<port>] (<engine>)".
std::string DatabaseOn(const ConnectionParams& params, int dbType, const char* database);

// One line: what the workflow does, the engine, server, port, database, user
// and the kind of authentication. Never the password.
void LogConnection(const char* action, const ConnectionParams& params, int dbType,
                   const char* database);
