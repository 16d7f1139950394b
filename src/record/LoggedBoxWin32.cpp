#include "record/LoggedBox.h"

#include <string>

#include "record/RunLog.h"
#include "platform/WideText.h"

namespace {

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
    LogUtf8(("Box \"" + WideToUtf8(caption) + "\": " + WideToUtf8(text)).c_str());
}

int ShowLoggedBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style) {
    LogBoxText(caption, text);
    const int answer = MessageBoxW(owner, text, caption, style);
    LogLine("Box answered: %s", ButtonName(answer));
    return answer;
}
