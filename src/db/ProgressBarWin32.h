// The common-controls progress bar behind IProgressBar.
#pragma once

#include <windows.h>

#include "db/ProgressBar.h"

class Win32ProgressBar final : public IProgressBar {
  public:
    explicit Win32ProgressBar(HWND control) : control_(control) {}

    // PBM_SETRANGE with low and high packed into the second parameter; set
    // through here, so that the end of the range is always shown.
    void SetRange(int low, int high) override;
    // PBM_SETPOS, sent synchronously so the bar moves before the next batch;
    // see the source for which positions reach the control.
    void SetPos(int position) override;

  private:
    HWND control_;
    int high_ = 0;
    int shown_ = -1;
    ULONGLONG shownAt_ = 0;
};
