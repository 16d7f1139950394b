// The common-controls progress bar behind IProgressBar, for a run on a worker
// thread: the worker only remembers the position it reached, and the dialog's
// thread shows it (see the source for when).
#pragma once

#include <windows.h>

#include <atomic>

#include "db/ProgressBar.h"

class Win32ProgressBar final : public IProgressBar {
  public:
    explicit Win32ProgressBar(HWND control) : control_(control) {}

    // On the dialog's thread, before the run: PBM_SETRANGE with low and high
    // packed into the second parameter.
    void SetRange(int low, int high) override;
    // On any thread: remembers the position; it never waits for a paint.
    void SetPos(int position) override;

    // On the dialog's thread: shows the latest position remembered, when the
    // control does not show it yet.
    void Show();

  private:
    HWND control_;
    std::atomic<int> latest_{-1};
    int shown_ = -1;
};
