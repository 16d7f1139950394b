#include "AnsiText.h"

#include <climits>
#include <cstring>

std::vector<SQLWCHAR> WidenAnsi(const char* text) {
    size_t length = strlen(text);
    std::vector<SQLWCHAR> wide(1, 0);
    if (length == 0 || length > static_cast<size_t>(INT_MAX - 1)) {
        return wide;
    }
    int count = MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0);
    if (count <= 0) {
        return wide;
    }
    wide.assign(static_cast<size_t>(count) + 1, 0);
    MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length),
                        reinterpret_cast<wchar_t*>(wide.data()), count);
    return wide;
}

void NarrowToAnsi(const SQLWCHAR* text, int length, char* out, size_t outSize) {
    if (outSize == 0) {
        return;
    }
    out[0] = '\0';
    if (length < 0) {
        length = static_cast<int>(wcslen(reinterpret_cast<const wchar_t*>(text)));
    }
    if (length == 0) {
        return;
    }
    int capacity = static_cast<int>(outSize > INT_MAX ? INT_MAX : outSize) - 1;
    // A message longer than the buffer is cut: convert into a buffer of its
    // own and copy the part that fits, so no character is split by the API.
    std::vector<char> whole(static_cast<size_t>(length) * 2 + 1, '\0');
    int written =
        WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const wchar_t*>(text), length, whole.data(),
                            static_cast<int>(whole.size()) - 1, nullptr, nullptr);
    if (written <= 0) {
        return;
    }
    size_t n = static_cast<size_t>(written < capacity ? written : capacity);
    memcpy(out, whole.data(), n);
    out[n] = '\0';
}

bool HoldsLeadByte(const char* text, size_t size, UINT codePage) {
    for (size_t i = 0; i < size && text[i] != '\0'; ++i) {
        if (IsDBCSLeadByteEx(codePage, static_cast<BYTE>(text[i]))) {
            return true;
        }
    }
    return false;
}
