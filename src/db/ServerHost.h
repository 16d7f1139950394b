// Whether the server a create names is this machine: only then do files
// under this machine's SQL Server data directory belong to it.
#pragma once

#include <cstddef>

// The host part of server: what stands before an instance ("\") or a port
// (","), without blanks at either end. host receives at most size - 1 bytes.
void ServerHostPart(const char* server, char* host, size_t size);

// True when the host part of server is empty, ".", "(local)", "localhost",
// "127.0.0.1" or "::1", or one of names (this computer's NetBIOS and DNS
// names), in any letter case.
bool NamesThisMachine(const char* server, const char* const* names, size_t count);

// The same with this computer's own names, as the system gives them.
bool ServerIsThisMachine(const char* server);
