#include "app/CommandLine.h"

#include <climits>
#include <cstring>
#include <vector>

#include "app/CommandLineWords.h"
#include "common/AsciiCase.h"
#include "common/BoundedCopy.h"

namespace {

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

int ParseCommandLine(const char* argumentText, ConnectionParams& params) {
    char workingCopy[kWorkingCopySize] = {};
    CopyField(workingCopy, argumentText);
    if (strstr(workingCopy, "/find") != nullptr) {
        return 0;
    }
    UnattendedRequest request;
    ParseUnattended(workingCopy, params, request);
    return 1;
}

bool FindSwitchSpan(const char* text, const char* name, size_t& begin, size_t& end) {
    SwitchOccurrence found;
    if (!FindValueSwitch(text, name, 0, found)) {
        return false;
    }
    begin = found.value.begin;
    end = found.value.end;
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
    size_t begin = 0;
    size_t end = 0;
    return FindSwitchSpan(workingCopy, "/p", begin, end);
}

std::string MaskCommandLine(const char* commandLine) {
    // The text the parser reads, where the passwords are looked for.
    std::string parsed = commandLine;
    std::string path;
    size_t first = 0;
    size_t last = 0;
    const bool logged = TakeLogWord(parsed, path, first, last);
    // Back to the command line as given: past the one blank that stands for
    // it, the /log: word takes its own room again.
    auto givenAt = [&](size_t at) { return logged && at > first ? at - first - 1 + last : at; };
    std::string masked = commandLine;
    const std::vector<TextSpan> spans = PasswordSpans(parsed.c_str());
    // From the last, so that the earlier spans keep their places.
    for (auto span = spans.rbegin(); span != spans.rend(); ++span) {
        const size_t begin = givenAt(span->begin);
        masked.replace(begin, givenAt(span->end) - begin, "***");
    }
    return masked;
}

bool TakeLogSwitch(std::string& argumentText, std::string& path) {
    // One blank in its place: every value keeps the blank that ends it, and
    // the path takes no room of the working copy.
    size_t first = 0;
    size_t last = 0;
    return TakeLogWord(argumentText, path, first, last);
}
