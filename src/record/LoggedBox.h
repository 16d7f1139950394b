// Every message box the program shows, with its caption, text and the button
// pressed, is also written to the run log.
#pragma once

#include <windows.h>

// MessageBoxW, and its caption, text and answer in the run log.
int ShowLoggedBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style);

// For a box that nobody sees (unattended and quiet): what it would have said.
void LogBoxText(const wchar_t* caption, const wchar_t* text);
