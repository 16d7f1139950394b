#include "config/ServerConfig.h"

// The whole vocabulary of the server's key, in the server's own order. Only
// "DB Type", "TCP Port", "Max Connection", "OpenSSL Path" and "DB Info" are
// ours to write; the rest belong to the server and are left alone.
const char* const kServerValueNames[12] = {
    "DB Type",  "DB Conn String", "DB User ID",  "DB Password", "TCP Port", "Max Connection",
    "EXE Path", "OpenSSL Path",   "Pass Phrase", "Use SSL",     "DB Info",  nullptr,
};
