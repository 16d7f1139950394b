// The unattended command line read into the connection record and the
// request: every value whole or refused, every word either understood or
// listed.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/CommandLineWords.h"
#include "common/AsciiCase.h"
#include "common/BoundedCopy.h"

namespace {

constexpr size_t kFieldLimit = kTextFieldSize - 1;

struct Engine {
    const char* name;
    int type;
    int defaultPort;
};

const Engine kEngines[] = {
    {"mssql", MsSql, 1433}, {"mysql", MySql, 3306}, {"oracle", Oracle, 1521}};

// The line as the parser reads it, and what it has taken from the line so far.
struct Reading {
    char text[kWorkingCopySize] = {};
    // Where the parser took a switch or its value: the words these lie in
    // are understood.
    std::vector<size_t> taken;
    // The connection switches given, such as " /s /P", which /patch refuses.
    std::string connection;
    // The value of every "/p", never shown.
    std::vector<TextSpan> passwords;
    UnattendedRequest& request;

    Reading(const char* argumentText, UnattendedRequest& target) : request(target) {
        CopyField(text, argumentText);
        passwords = PasswordSpans(text);
    }

    std::string Text(const TextSpan& span) const {
        return std::string(text + span.begin, span.end - span.begin);
    }

    // The text of span for a refusal or the ignored words: "***" for the part
    // that is a password ("/sdb/pX" is the server "db/pX" and the password
    // "X"). A value, like a password, runs to the end of its word, and a
    // word holds at most one password, so one part at most.
    std::string Shown(const TextSpan& span) const {
        for (const TextSpan& password : passwords) {
            const size_t from = std::max(span.begin, password.begin);
            const size_t to = std::min(span.end, password.end);
            if (from < to) {
                return Text({span.begin, from}) + "***" + Text({to, span.end});
            }
        }
        return Text(span);
    }

    void Refuse(const std::string& why) {
        request.refusal += (request.refusal.empty() ? "" : "; ") + why;
    }

    // A value switch such as "/s", or with word a valued word such as "/db:".
    bool Take(const char* name, SwitchOccurrence& found, bool word = false) {
        const bool given =
            word ? FindValuedWord(text, name, found) : FindValueSwitch(text, name, 0, found);
        if (given) {
            taken.push_back(found.at);
            // Right after the switch, in its own word, or in the next word.
            taken.push_back(found.value.begin);
            connection += std::string(" ") + name;
        }
        return given;
    }
};

std::string Quoted(const Reading& line, const TextSpan& value) {
    return "\"" + line.Shown(value) + "\"";
}

std::string TooLong(const char* name, const std::string& what, size_t length) {
    return std::string(name) + ": " + what + " takes " + std::to_string(length) + " bytes, " +
           std::to_string(kFieldLimit) + " at most";
}

// A text field gets its value whole, or stays empty; a secret is named by
// its length alone.
void TakeText(Reading& line, const char* name, const char* what, char (&field)[kTextFieldSize],
              bool secret = false) {
    memset(field, 0, sizeof field);
    SwitchOccurrence found;
    if (!line.Take(name, found)) {
        return;
    }
    const size_t length = found.value.end - found.value.begin;
    if (length > kFieldLimit) {
        const std::string shown = secret ? "" : " " + Quoted(line, found.value);
        line.Refuse(TooLong(name, std::string("the ") + what + shown, length));
        return;
    }
    CopyBounded(field, sizeof field, line.text + found.value.begin, length);
}

uint8_t TakeWindowsAuth(Reading& line) {
    SwitchOccurrence found;
    if (!line.Take("/w", found)) {
        return 0;
    }
    return ParseLeadingInt(line.Text(found.value).c_str()) > 0 ? 1 : 0;
}

int TakeEngine(Reading& line) {
    SwitchOccurrence found;
    if (!line.Take("/engine:", found, true)) {
        return MsSql;
    }
    const std::string value = line.Text(found.value);
    for (const Engine& engine : kEngines) {
        if (SameIgnoringCase(value.c_str(), engine.name)) {
            return engine.type;
        }
    }
    line.Refuse("/engine: " + Quoted(line, found.value) + " is not mssql, mysql or oracle");
    return 0;
}

// All decimal digits and within 1..65535, else 0.
int ReadPort(const std::string& text) {
    long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return 0;
        }
        value = value * 10 + (c - '0');
        if (value > 65535) {
            return 0;
        }
    }
    return static_cast<int>(value);
}

int TakePort(Reading& line, int dbType) {
    SwitchOccurrence found;
    if (!line.Take("/P", found)) {
        for (const Engine& engine : kEngines) {
            if (engine.type == dbType) {
                return engine.defaultPort;
            }
        }
        return 0;
    }
    const std::string text = line.Text(found.value);
    const int port = ReadPort(text);
    if (port == 0) {
        line.Refuse(text.empty() ? "/P: no port given (1-65535)"
                                 : "/P: " + Quoted(line, found.value) + " is not a port (1-65535)");
    }
    return port;
}

void TakeDatabaseName(Reading& line, UnattendedRequest& request) {
    SwitchOccurrence found;
    if (!line.Take("/db:", found, true)) {
        CopyField(request.databaseName, "Quenlor");
        return;
    }
    const std::string name = line.Text(found.value);
    if (name.empty()) {
        line.Refuse("/db: no database name given");
    } else if (name.size() > kFieldLimit) {
        line.Refuse(TooLong("/db", "the database name " + Quoted(line, found.value), name.size()));
    } else {
        CopyField(request.databaseName, name.c_str());
    }
}

void TakeFlags(const char* text, UnattendedRequest& request) {
    request.quiet = HasWordSwitch(text, "/q");
    request.replace = HasWordSwitch(text, "/replace");
    request.check = HasWordSwitch(text, "/check");
    request.patch = HasWordSwitch(text, "/patch");
    request.keep = HasWordSwitch(text, "/keep");
}

void ListIgnored(const Reading& line, UnattendedRequest& request) {
    for (const TextSpan& word : SplitWords(line.text)) {
        bool understood = IsFlagSwitch(line.Text(word));
        for (const size_t at : line.taken) {
            understood = understood || (at >= word.begin && at < word.end);
        }
        if (!understood) {
            request.ignored.push_back(line.Shown(word));
        }
    }
}

void RefuseCombinations(Reading& line, const UnattendedRequest& request) {
    if (request.keep && request.replace) {
        line.Refuse("/keep with /replace: a database is either kept or replaced");
    }
    if (request.patch && request.replace) {
        line.Refuse("/patch with /replace: a patch never re-creates the database");
    }
    if (request.patch && request.keep) {
        line.Refuse("/patch with /keep: /patch uses the saved settings, /keep saves new ones");
    }
    if (request.patch && !line.connection.empty()) {
        line.Refuse("/patch with" + line.connection + ": a patch connects with the saved settings");
    }
    // A run that may drop a database must say exactly what it wants.
    if (request.replace && !request.ignored.empty()) {
        std::string words;
        for (const std::string& word : request.ignored) {
            words += " " + word;
        }
        line.Refuse("/replace with words the program does not know:" + words);
    }
}

} // namespace

void ParseUnattended(const char* argumentText, ConnectionParams& params,
                     UnattendedRequest& request) {
    request = UnattendedRequest();
    Reading line(argumentText, request);
    if (!FitsWorkingCopy(argumentText)) {
        line.Refuse("the command line takes " + std::to_string(strlen(argumentText)) +
                    " characters, " + std::to_string(kWorkingCopySize - 1) + " at most");
    }
    params.valid = 1;
    TakeText(line, "/s", "server", params.server);
    TakeText(line, "/i", "user id", params.userId);
    TakeText(line, "/p", "password", params.password, true);
    params.windowsAuth = TakeWindowsAuth(line);
    request.dbType = TakeEngine(line);
    params.dbType = request.dbType;
    params.port = TakePort(line, request.dbType);
    TakeDatabaseName(line, request);
    TakeFlags(line.text, request);
    ListIgnored(line, request);
    RefuseCombinations(line, request);
}
