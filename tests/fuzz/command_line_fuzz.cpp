// ParseCommandLine and ParseUnattended on arbitrary argument text, checked
// against a plain model of the switch rules (no value ever cut: one too long
// is refused), HasWordSwitch("/q") against the words between blanks,
// MaskCommandLine against the parser's own reading, and ParseLeadingInt
// against strtoll clamped to int.
#include <cctype>
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

// "/patch" and the other word switches: words of their own, in any case.
bool StartsWordSwitch(const std::string& copy, size_t at) {
    std::string word = copy.substr(at, copy.find(' ', at) - at);
    for (char& c : word) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return (at == 0 || copy[at - 1] == ' ') &&
           (word == "/q" || word == "/replace" || word == "/check" || word == "/patch" ||
            word == "/keep" || word.rfind("/engine:", 0) == 0 || word.rfind("/db:", 0) == 0);
}

// The value of a switch: from its first occurrence that starts no word switch
// up to the next blank; after a blank, the next word unless it starts a switch.
std::string ReferenceValue(const std::string& copy, const char* name, bool* given = nullptr) {
    size_t at = copy.find(name);
    while (at != std::string::npos && StartsWordSwitch(copy, at)) {
        at = copy.find(name, at + 1);
    }
    if (given != nullptr) {
        *given = at != std::string::npos;
    }
    size_t from = at == std::string::npos ? copy.size() : at + std::strlen(name);
    if (from < copy.size() && copy[from] == ' ') {
        const size_t next = copy.find_first_not_of(' ', from);
        from = next == std::string::npos || copy[next] == '/' ? copy.size() : next;
    }
    return copy.substr(from, copy.find(' ', from) - from);
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

// The value whole, or (too long for the field) an empty field and a refusal.
void CheckField(const char* field, const std::string& copy, const char* name,
                const UnattendedRequest& request) {
    FUZZ_CHECK(IsTerminatedField(field, kTextFieldSize));
    const std::string value = ReferenceValue(copy, name);
    FUZZ_CHECK(value.size() < kTextFieldSize ? value == field : *field == '\0');
    FUZZ_CHECK(value.size() < kTextFieldSize || !request.refusal.empty());
}

bool Untouched(const void* bytes, size_t n) {
    return ::Untouched(bytes, n, kSentinel);
}

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
    bool named = false;
    ReferenceValue(parsed, "/p", &named);
    if (named) {
        FUZZ_CHECK(ReferenceValue(masked, "/p") == "***");
    }

    if (copy.find("/find") != std::string::npos) {
        FUZZ_CHECK(result == 0);
        FUZZ_CHECK(Untouched(&params, sizeof params));
        return 0;
    }
    FUZZ_CHECK(result == 1);
    // ParseCommandLine reads as ParseUnattended does, the refusal aside.
    ConnectionParams same;
    std::memcpy(&same, &params, sizeof same);
    UnattendedRequest request;
    ParseUnattended(copy.c_str(), same, request);
    FUZZ_CHECK(std::memcmp(&same, &params, sizeof same) == 0);
    FUZZ_CHECK(params.dbType == request.dbType && params.dbType >= 0 && params.dbType <= Oracle);
    FUZZ_CHECK(params.dbType != 0 || !request.refusal.empty());
    FUZZ_CHECK(params.valid == 1);
    CheckField(params.server, copy, "/s", request);
    CheckField(params.userId, copy, "/i", request);
    CheckField(params.password, copy, "/p", request);
    FUZZ_CHECK(IsTerminatedField(request.databaseName, kTextFieldSize));
    FUZZ_CHECK(!request.replace || request.ignored.empty() || !request.refusal.empty());

    bool given = false;
    const std::string port = ReferenceValue(copy, "/P", &given);
    // All decimal digits and within 1..65535; overflow clamps to INT_MAX.
    const int number = port.find_first_not_of("0123456789") == std::string::npos
                           ? ReferenceLeadingInt(port.c_str())
                           : 0;
    const int defaultPort[] = {0, 3306, 1433, 1521};
    FUZZ_CHECK(params.port ==
               (given ? (number <= 65535 ? number : 0) : defaultPort[params.dbType]));
    FUZZ_CHECK(params.port != 0 || !request.refusal.empty());
    const std::string auth = ReferenceValue(copy, "/w");
    FUZZ_CHECK(params.windowsAuth == (ReferenceLeadingInt(auth.c_str()) > 0 ? 1 : 0));

    // The parser owns only the switch fields; the rest of the record is the
    // caller's and must come back as it was.
    FUZZ_CHECK(Untouched(params.errorText, sizeof params.errorText));
    FUZZ_CHECK(Untouched(params.databaseName, sizeof params.databaseName));
    FUZZ_CHECK(Untouched(params.reserved, sizeof params.reserved));
    return 0;
}
