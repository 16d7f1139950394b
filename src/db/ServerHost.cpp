#include "db/ServerHost.h"

#include <cstring>

#include "common/AsciiCase.h"

namespace {

// The names of the local machine in every form a connection accepts.
constexpr const char* kLocalNames[] = {".", "(local)", "localhost", "127.0.0.1", "::1"};

} // namespace

void ServerHostPart(const char* server, char* host, size_t size) {
    if (size == 0) {
        return;
    }
    const char* begin = server;
    while (*begin == ' ') {
        ++begin;
    }
    size_t length = std::strcspn(begin, "\\,");
    while (length > 0 && begin[length - 1] == ' ') {
        --length;
    }
    if (length >= size) {
        length = size - 1;
    }
    std::memcpy(host, begin, length);
    host[length] = '\0';
}

bool NamesThisMachine(const char* server, const char* const* names, size_t count) {
    char host[256];
    ServerHostPart(server, host, sizeof host);
    if (host[0] == '\0') {
        return true;
    }
    for (const char* local : kLocalNames) {
        if (SameIgnoringCase(host, local)) {
            return true;
        }
    }
    for (size_t i = 0; i < count; ++i) {
        if (names[i] != nullptr && names[i][0] != '\0' && SameIgnoringCase(host, names[i])) {
            return true;
        }
    }
    return false;
}
