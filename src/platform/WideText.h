// Conversions between the system's ANSI code page, the wide API and UTF-8
// (Windows builds).
#pragma once

#include <string>

std::wstring AnsiToWide(const char* text);
std::string WideToUtf8(const wchar_t* text);
