#include "db/ProgressBarWin32.h"

#include <commctrl.h>

void Win32ProgressBar::SetRange(int low, int high) {
    SendMessageA(control_, PBM_SETRANGE, 0, MAKELPARAM(low, high));
}

void Win32ProgressBar::SetPos(int position) {
    SendMessageA(control_, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}
