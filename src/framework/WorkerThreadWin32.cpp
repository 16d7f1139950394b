#include "framework/WorkerThread.h"

#include "framework/UiThread.h"

CWorkerThread::~CWorkerThread() {
    // The owner never ends while its work runs; should it, the work must not
    // outlive what it works on.
    WaitUntilDone();
}

bool CWorkerThread::Start(std::function<void()> work, std::function<void()> done) {
    if (m_running) {
        return false;
    }
    BindUiThread();
    m_work = std::move(work);
    m_done = std::move(done);
    m_running = true;
    m_thread = CreateThread(nullptr, 0, &CWorkerThread::ThreadMain, this, 0, nullptr);
    if (m_thread == nullptr) {
        m_running = false;
        return false;
    }
    return true;
}

DWORD WINAPI CWorkerThread::ThreadMain(LPVOID param) {
    auto* self = static_cast<CWorkerThread*>(param);
    self->m_work();
    // The thread's last act: the rest happens on the user-interface thread,
    // which finds the thread ended or ending.
    PostToUiThread([self] { self->Release(); });
    return 0;
}

void CWorkerThread::Release() {
    WaitForSingleObject(m_thread, INFINITE);
    CloseHandle(m_thread);
    m_thread = nullptr;
    m_running = false;
    std::function<void()> done = std::move(m_done);
    m_work = nullptr;
    done();
}

void CWorkerThread::WaitUntilDone() {
    while (m_running) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_ALLINPUT);
        MSG message;
        while (m_running && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}
