// The script runner reports the position after every batch, and a script of
// tens of thousands of batches runs each in a fraction of a millisecond. The
// control repaints itself synchronously on every new position, which under
// Wine costs milliseconds, so the bar is told only what the eye can follow: a
// position it does not show yet, at most four times a second, and the end of
// the range always. Between two paints the bar lags by less than a quarter of
// a second's worth of batches.
#include "db/ProgressBarWin32.h"

#include <commctrl.h>

namespace {

constexpr ULONGLONG kRepaintIntervalMs = 250;

} // namespace

void Win32ProgressBar::SetRange(int low, int high) {
    high_ = high;
    SendMessageA(control_, PBM_SETRANGE, 0, MAKELPARAM(low, high));
}

void Win32ProgressBar::SetPos(int position) {
    if (position == shown_) {
        return;
    }
    const ULONGLONG now = GetTickCount64();
    if (shown_ >= 0 && position < high_ && now - shownAt_ < kRepaintIntervalMs) {
        return;
    }
    shown_ = position;
    shownAt_ = now;
    SendMessageA(control_, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}
