// This computer's names, for telling a local server from another machine's.
#include <windows.h>

#include "db/ServerHost.h"

namespace {

constexpr DWORD kNameSize = 256;

void ComputerName(COMPUTER_NAME_FORMAT format, char (&name)[kNameSize]) {
    DWORD size = kNameSize - 1;
    if (!GetComputerNameExA(format, name, &size)) {
        name[0] = '\0';
    }
}

} // namespace

bool ServerIsThisMachine(const char* server) {
    char netBios[kNameSize] = {};
    char dnsHost[kNameSize] = {};
    char dnsFull[kNameSize] = {};
    ComputerName(ComputerNameNetBIOS, netBios);
    ComputerName(ComputerNameDnsHostname, dnsHost);
    ComputerName(ComputerNameDnsFullyQualified, dnsFull);
    const char* names[] = {netBios, dnsHost, dnsFull};
    return NamesThisMachine(server, names, sizeof names / sizeof names[0]);
}
