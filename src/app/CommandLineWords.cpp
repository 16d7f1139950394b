#include "app/CommandLineWords.h"

#include <cstring>

#include "common/AsciiCase.h"

namespace {

const char* const kFlagSwitches[] = {"/q", "/replace", "/check", "/patch", "/keep"};
const char* const kValuedSwitches[] = {"/engine:", "/db:"};

size_t WordEnd(const char* text, size_t from) {
    const char* blank = strchr(text + from, ' ');
    return blank != nullptr ? static_cast<size_t>(blank - text) : strlen(text);
}

bool SameWord(const char* text, size_t length, const char* word) {
    return strlen(word) == length && StartsWithIgnoringCase(text, word);
}

// The value of a switch whose name ends at from.
TextSpan ValueAfter(const char* text, size_t from) {
    if (text[from] != ' ') {
        return {from, WordEnd(text, from)};
    }
    // "/s dbhost": the next word, unless it is a switch of its own (then
    // "/s /q" still means an empty server, not the server "/q").
    size_t next = from;
    while (text[next] == ' ') {
        ++next;
    }
    if (text[next] == '\0' || text[next] == '/') {
        return {from, from};
    }
    return {next, WordEnd(text, next)};
}

} // namespace

size_t WordSwitchAt(const char* text, size_t at) {
    if (at > 0 && text[at - 1] != ' ') {
        return 0;
    }
    const size_t length = WordEnd(text, at) - at;
    for (const char* flag : kFlagSwitches) {
        if (SameWord(text + at, length, flag)) {
            return length;
        }
    }
    for (const char* prefix : kValuedSwitches) {
        if (StartsWithIgnoringCase(text + at, prefix)) {
            return length;
        }
    }
    return 0;
}

bool IsFlagSwitch(const std::string& word) {
    for (const char* flag : kFlagSwitches) {
        if (SameWord(word.c_str(), word.size(), flag)) {
            return true;
        }
    }
    return false;
}

bool FindValueSwitch(const char* text, const char* name, size_t from, SwitchOccurrence& found) {
    if (from > strlen(text)) {
        return false;
    }
    for (const char* hit = strstr(text + from, name); hit != nullptr; hit = strstr(hit + 1, name)) {
        const auto at = static_cast<size_t>(hit - text);
        if (WordSwitchAt(text, at) == 0) {
            found.at = at;
            found.value = ValueAfter(text, at + strlen(name));
            return true;
        }
    }
    return false;
}

bool FindValuedWord(const char* text, const char* prefix, SwitchOccurrence& found) {
    for (const TextSpan& word : SplitWords(text)) {
        if (StartsWithIgnoringCase(text + word.begin, prefix)) {
            found.at = word.begin;
            found.value = {word.begin + strlen(prefix), word.end};
            return true;
        }
    }
    return false;
}

std::vector<TextSpan> SplitWords(const char* text) {
    std::vector<TextSpan> words;
    for (size_t at = 0; text[at] != '\0';) {
        if (text[at] == ' ') {
            ++at;
            continue;
        }
        const size_t end = WordEnd(text, at);
        words.push_back({at, end});
        at = end;
    }
    return words;
}

std::vector<TextSpan> PasswordSpans(const char* text) {
    std::vector<TextSpan> spans;
    SwitchOccurrence found;
    for (size_t from = 0; FindValueSwitch(text, "/p", from, found);) {
        spans.push_back(found.value);
        // On past this value: a "/p" inside it is part of this password.
        from = found.value.end > found.at + 2 ? found.value.end : found.at + 2;
    }
    return spans;
}
