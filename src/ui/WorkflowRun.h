// A workflow run beside its dialog: the statements, the scripts and the
// registry go to a worker thread, while the dialog's thread keeps painting,
// answering and showing the boxes the workflow asks for. The dialog's
// progress bar follows the run from a timer of the dialog.
#pragma once

#include <functional>
#include <memory>

#include "db/ProgressBarWin32.h"
#include "framework/Dialog.h"
#include "framework/WorkerThread.h"

class CWorkflowRun {
  public:
    // The dialog's timer that shows the bar's latest position.
    static constexpr UINT_PTR kProgressTimer = 1001;
    static constexpr UINT kProgressIntervalMs = 100;

    // Sets the range of the dialog's bar progressId to 0..100, then runs
    // work with that bar on the worker, and done on the dialog's thread once
    // the work has returned and the bar shows where it ended. False when no
    // worker could be started (nothing ran).
    bool Start(CDialog& dialog, int progressId, std::function<void(IProgressBar*)> work,
               std::function<void()> done);
    bool IsRunning() const { return m_worker.IsRunning(); }

    // From the dialog's WM_TIMER handler: true when the tick was the bar's.
    bool OnTimer(UINT_PTR eventId);

    // Until done has run, the dialog's thread handling its messages meanwhile
    // (for a close of the session that arrives during a run).
    void WaitUntilDone() { m_worker.WaitUntilDone(); }

  private:
    CDialog* m_dialog = nullptr;
    std::unique_ptr<Win32ProgressBar> m_bar;
    CWorkerThread m_worker;
};
