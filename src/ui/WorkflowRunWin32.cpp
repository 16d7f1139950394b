#include "ui/WorkflowRun.h"

bool CWorkflowRun::Start(CDialog& dialog, int progressId, std::function<void(IProgressBar*)> work,
                         std::function<void()> done) {
    m_dialog = &dialog;
    m_bar = std::make_unique<Win32ProgressBar>(dialog.GetDlgItem(progressId));
    m_bar->SetRange(0, 100);
    Win32ProgressBar* bar = m_bar.get();
    dialog.SetTimer(kProgressTimer, kProgressIntervalMs);
    const bool started = m_worker.Start([work = std::move(work), bar] { work(bar); },
                                        [this, done = std::move(done)] {
                                            m_dialog->KillTimer(kProgressTimer);
                                            m_bar->Show();
                                            done();
                                        });
    if (!started) {
        dialog.KillTimer(kProgressTimer);
    }
    return started;
}

bool CWorkflowRun::OnTimer(UINT_PTR eventId) {
    if (eventId != kProgressTimer) {
        return false;
    }
    if (m_bar != nullptr) {
        m_bar->Show();
    }
    return true;
}
