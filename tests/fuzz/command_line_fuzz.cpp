// ParseCommandLine on arbitrary argument text, checked against a plain model
// of the switch rules, HasWordSwitch("/q") against the words between blanks,
// MaskCommandLine against the parser's own reading, and ParseLeadingInt
// against strtoll clamped to int.
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "FuzzCheck.h"
#include "app/CommandLine.h"

namespace {

constexpr unsigned char kSentinel = 0xA5;

int ReferenceLeadingInt(const char* text) {
    errno = 0;
    const long long value = std::strtoll(text, nullptr, 10);
    if (value > INT_MAX) {
        return INT_MAX;
    }
    if (value < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

// The value of a switch: from its first occurrence up to the next blank, cut
// to limit characters.
std::string ReferenceValue(const std::string& copy, const char* name, size_t limit) {
    const size_t at = copy.find(name);
    if (at == std::string::npos) {
        return "";
    }
    std::string value = copy.substr(at + std::strlen(name));
    value = value.substr(0, value.find(' '));
    return value.substr(0, limit);
}

// "/q" counts when it is one of the words the blanks separate.
bool ReferenceQuiet(const std::string& copy) {
    size_t start = 0;
    for (;;) {
        const size_t blank = copy.find(' ', start);
        const std::string word = copy.substr(start, blank - start);
        if (word == "/q" || word == "/Q") {
            return true;
        }
        if (blank == std::string::npos) {
            return false;
        }
        start = blank + 1;
    }
}

void CheckField(const char* field, const std::string& copy, const char* name) {
    FUZZ_CHECK(IsTerminatedField(field, kTextFieldSize));
    FUZZ_CHECK(ReferenceValue(copy, name, kTextFieldSize - 1) == field);
}

bool Untouched(const void* bytes, size_t n) { return ::Untouched(bytes, n, kSentinel); }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const char* argumentText = text.c_str(); // cut at the first NUL, as argv is

    FUZZ_CHECK(ParseLeadingInt(argumentText) == ReferenceLeadingInt(argumentText));

    ConnectionParams params;
    std::memset(&params, kSentinel, sizeof params);
    const std::string copy = std::string(argumentText).substr(0, kWorkingCopySize - 1);
    const int result = ParseCommandLine(argumentText, params);
    FUZZ_CHECK(HasWordSwitch(argumentText, "/q") == ReferenceQuiet(argumentText));

    // Read back as the program reads it, the masked command line gives the
    // parser "***" for the password, wherever the /log: word stands.
    std::string masked = MaskCommandLine(argumentText), parsed = argumentText, path;
    TakeLogSwitch(masked, path);
    TakeLogSwitch(parsed, path);
    if (parsed.find("/p") != std::string::npos) {
        FUZZ_CHECK(ReferenceValue(masked, "/p", kWorkingCopySize) == "***");
    }

    if (copy.find("/find") != std::string::npos) {
        FUZZ_CHECK(result == 0);
        FUZZ_CHECK(Untouched(&params, sizeof params));
        return 0;
    }
    FUZZ_CHECK(result == 1);
    FUZZ_CHECK(params.dbType == MsSql);
    FUZZ_CHECK(params.valid == 1);
    CheckField(params.server, copy, "/s");
    CheckField(params.userId, copy, "/i");
    CheckField(params.password, copy, "/p");

    const std::string port = ReferenceValue(copy, "/P", kWorkingCopySize);
    FUZZ_CHECK(params.port == (port.empty() ? 1433 : ReferenceLeadingInt(port.c_str())));
    const std::string auth = ReferenceValue(copy, "/w", kWorkingCopySize);
    FUZZ_CHECK(params.windowsAuth == (ReferenceLeadingInt(auth.c_str()) > 0 ? 1 : 0));

    // The parser owns only the switch fields; the rest of the record is the
    // caller's and must come back as it was.
    FUZZ_CHECK(Untouched(params.errorText, sizeof params.errorText));
    FUZZ_CHECK(Untouched(params.databaseName, sizeof params.databaseName));
    FUZZ_CHECK(Untouched(params.reserved, sizeof params.reserved));
    return 0;
}
