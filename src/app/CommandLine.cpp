#include "app/CommandLine.h"

#include <climits>
#include <cstring>

#include "common/BoundedCopy.h"

namespace {

using ValueBuffer = char[kWorkingCopySize];

// The text between the switch and the next blank, from the switch's first
// occurrence anywhere in the working copy; empty when the switch is absent.
void FindSwitchValue(const char* workingCopy, const char* name, ValueBuffer& value) {
    memset(value, 0, sizeof value);
    const char* found = strstr(workingCopy, name);
    if (found == nullptr) {
        return;
    }
    CopyBounded(value, sizeof value, found + strlen(name));
    char* blank = strchr(value, ' ');
    if (blank != nullptr) {
        *blank = '\0';
    }
}

bool IsAtoiSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithIgnoringCase(const char* text, const char* prefix) {
    for (; *prefix != '\0'; ++text, ++prefix) {
        if (LowerAscii(*text) != LowerAscii(*prefix)) {
            return false;
        }
    }
    return true;
}

} // namespace

int ParseLeadingInt(const char* text) {
    while (IsAtoiSpace(*text)) {
        ++text;
    }
    bool negative = false;
    if (*text == '+' || *text == '-') {
        negative = *text == '-';
        ++text;
    }
    long long value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) {
            value = static_cast<long long>(INT_MAX) + 1;
        }
    }
    if (negative) {
        return static_cast<int>(-value);
    }
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

int ParseCommandLine(const char* argumentText, ConnectionParams& params) {
    char workingCopy[kWorkingCopySize] = {};
    CopyField(workingCopy, argumentText);
    if (strstr(workingCopy, "/find") != nullptr) {
        return 0;
    }

    ValueBuffer server, userId, password, windowsAuthText, portText;
    FindSwitchValue(workingCopy, "/s", server);
    FindSwitchValue(workingCopy, "/i", userId);
    FindSwitchValue(workingCopy, "/p", password);
    FindSwitchValue(workingCopy, "/w", windowsAuthText);
    FindSwitchValue(workingCopy, "/P", portText);

    // A blank right after "/w" leaves the value empty, so only a number
    // written directly after the switch turns Windows authentication on.
    int windowsAuth = 0;
    if (windowsAuthText[0] != ' ' && ParseLeadingInt(windowsAuthText) > 0) {
        windowsAuth = 1;
    }

    params.valid = 1;
    params.windowsAuth = static_cast<uint8_t>(windowsAuth);
    params.dbType = MsSql;
    params.port = portText[0] != '\0' ? ParseLeadingInt(portText) : 1433;
    CopyField(params.password, password);
    CopyField(params.server, server);
    CopyField(params.userId, userId);
    return 1;
}

bool HasWordSwitch(const char* argumentText, const char* word) {
    char workingCopy[kWorkingCopySize] = {};
    CopyField(workingCopy, argumentText);
    const size_t length = strlen(word);
    for (const char* at = workingCopy; *at != '\0'; ++at) {
        const bool startsWord = at == workingCopy || at[-1] == ' ';
        if (!startsWord || !StartsWithIgnoringCase(at, word)) {
            continue;
        }
        if (at[length] == '\0' || at[length] == ' ') {
            return true;
        }
    }
    return false;
}

bool NamesPassword(const char* argumentText) {
    char workingCopy[kWorkingCopySize] = {};
    CopyField(workingCopy, argumentText);
    return strstr(workingCopy, "/p") != nullptr;
}

std::string MaskPassword(const char* argumentText) {
    std::string masked = argumentText;
    const size_t at = masked.find("/p");
    if (at != std::string::npos) {
        const size_t value = at + 2;
        const size_t end = masked.find(' ', value);
        masked.replace(value, (end == std::string::npos ? masked.size() : end) - value, "***");
    }
    return masked;
}

bool TakeLogSwitch(std::string& argumentText, std::string& path) {
    static const char kSwitch[] = "/log:";
    const size_t switchLength = sizeof kSwitch - 1;
    for (size_t at = 0; at < argumentText.size(); ++at) {
        const bool startsWord = at == 0 || argumentText[at - 1] == ' ';
        if (!startsWord || !StartsWithIgnoringCase(argumentText.c_str() + at, kSwitch)) {
            continue;
        }
        size_t begin = at + switchLength;
        size_t end = argumentText.find(' ', begin);
        if (begin < argumentText.size() && argumentText[begin] == '"') {
            end = argumentText.find('"', ++begin);
        }
        const size_t stop = end == std::string::npos ? argumentText.size() : end;
        path = argumentText.substr(begin, stop - begin);
        // Blanks in its place: the other switches never see a path, and
        // every value keeps the blank that ends it.
        const size_t wordEnd =
            stop < argumentText.size() && argumentText[stop] == '"' ? stop + 1 : stop;
        argumentText.replace(at, wordEnd - at, wordEnd - at, ' ');
        return true;
    }
    return false;
}
