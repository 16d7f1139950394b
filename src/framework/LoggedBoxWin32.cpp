#include "framework/LoggedBox.h"

#include <string>

#include "framework/RunLog.h"

namespace {

std::string Utf8(const wchar_t* text) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(length > 0 ? static_cast<size_t>(length) : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &utf8[0], length, nullptr, nullptr);
    utf8.resize(utf8.size() - 1);
    return utf8;
}

const char* ButtonName(int answer) {
    switch (answer) {
    case IDOK:
        return "OK";
    case IDYES:
        return "Yes";
    case IDNO:
        return "No";
    case IDCANCEL:
        return "Cancel";
    default:
        return "none";
    }
}

} // namespace

void LogBoxText(const wchar_t* caption, const wchar_t* text) {
    LogUtf8(("Box \"" + Utf8(caption) + "\": " + Utf8(text)).c_str());
}

int ShowLoggedBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style) {
    LogBoxText(caption, text);
    const int answer = MessageBoxW(owner, text, caption, style);
    LogLine("Box answered: %s", ButtonName(answer));
    return answer;
}
