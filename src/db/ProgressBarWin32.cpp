// The script runner reports the position after every batch, and a script of
// tens of thousands of batches runs each in a fraction of a millisecond. The
// control repaints itself on every new position, which under Wine costs
// milliseconds, so the worker that runs the batches never touches it: it
// stores the position, and the dialog's thread shows the latest one on a
// timer of its own (every 100 ms) and once more when the run has ended. A
// long batch thus finds the bar at the position reached before it, and the
// end of the range is always shown.
#include "db/ProgressBarWin32.h"

#include <commctrl.h>

void Win32ProgressBar::SetRange(int low, int high) {
    SendMessageA(control_, PBM_SETRANGE, 0, MAKELPARAM(low, high));
}

void Win32ProgressBar::SetPos(int position) {
    latest_.store(position, std::memory_order_relaxed);
}

void Win32ProgressBar::Show() {
    const int position = latest_.load(std::memory_order_relaxed);
    if (position < 0 || position == shown_) {
        return;
    }
    shown_ = position;
    SendMessageA(control_, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}
