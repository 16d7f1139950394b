#include "app/CommandLine.h"

#include <climits>
#include <cstring>

#include "common/AsciiCase.h"
#include "common/BoundedCopy.h"

namespace {

using ValueBuffer = char[kWorkingCopySize];

// The text between the switch and the next blank, from the switch's first
// occurrence anywhere in the working copy; empty when the switch is absent.
void FindSwitchValue(const char* workingCopy, const char* name, ValueBuffer& value) {
    memset(value, 0, sizeof value);
    size_t begin = 0;
    size_t end = 0;
    if (FindSwitchSpan(workingCopy, name, begin, end)) {
        CopyBounded(value, sizeof value, workingCopy + begin, end - begin);
    }
}

bool IsAtoiSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Where the first "/log:" word stands: [begin, end) of the word (its closing
// quote included) and the path it names.
bool FindLogWord(const std::string& text, size_t& begin, size_t& end, std::string& path) {
    static const char kSwitch[] = "/log:";
    for (size_t at = 0; at < text.size(); ++at) {
        const bool startsWord = at == 0 || text[at - 1] == ' ';
        if (!startsWord || !StartsWithIgnoringCase(text.c_str() + at, kSwitch)) {
            continue;
        }
        size_t from = at + sizeof kSwitch - 1;
        size_t stop = text.find(' ', from);
        if (from < text.size() && text[from] == '"') {
            stop = text.find('"', ++from);
        }
        stop = stop == std::string::npos ? text.size() : stop;
        path = text.substr(from, stop - from);
        begin = at;
        end = stop < text.size() && text[stop] == '"' ? stop + 1 : stop;
        return true;
    }
    return false;
}

// Takes the first "/log:" word out of text: the word and the blanks around
// it, [first, last) of the text as it was, leave one blank.
bool TakeLogWord(std::string& text, std::string& path, size_t& first, size_t& last) {
    if (!FindLogWord(text, first, last, path)) {
        return false;
    }
    while (first > 0 && text[first - 1] == ' ') {
        --first;
    }
    while (last < text.size() && text[last] == ' ') {
        ++last;
    }
    text.replace(first, last - first, " ");
    return true;
}

} // namespace

bool FindSwitchSpan(const char* text, const char* name, size_t& begin, size_t& end) {
    const char* found = strstr(text, name);
    if (found == nullptr) {
        return false;
    }
    begin = static_cast<size_t>(found - text) + strlen(name);
    const char* blank = strchr(text + begin, ' ');
    end = blank != nullptr ? static_cast<size_t>(blank - text) : strlen(text);
    return true;
}

bool FitsWorkingCopy(const char* argumentText) {
    return strlen(argumentText) < static_cast<size_t>(kWorkingCopySize);
}

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
    const size_t length = strlen(word);
    for (const char* at = argumentText; *at != '\0'; ++at) {
        const bool startsWord = at == argumentText || at[-1] == ' ';
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

std::string MaskCommandLine(const char* commandLine) {
    // The text the parser reads, where the password is looked for.
    std::string parsed = commandLine;
    std::string path;
    size_t first = 0;
    size_t last = 0;
    const bool logged = TakeLogWord(parsed, path, first, last);
    size_t begin = 0;
    size_t end = 0;
    std::string masked = commandLine;
    if (!FindSwitchSpan(parsed.c_str(), "/p", begin, end)) {
        return masked;
    }
    // Back to the command line as given: past the one blank that stands for
    // it, the /log: word takes its own room again.
    auto givenAt = [&](size_t at) { return logged && at > first ? at - first - 1 + last : at; };
    masked.replace(givenAt(begin), givenAt(end) - givenAt(begin), "***");
    return masked;
}

bool TakeLogSwitch(std::string& argumentText, std::string& path) {
    // One blank in its place: every value keeps the blank that ends it, and
    // the path takes no room of the working copy.
    size_t first = 0;
    size_t last = 0;
    return TakeLogWord(argumentText, path, first, last);
}
