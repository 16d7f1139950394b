// One piece of work on a thread of its own, beside a dialog that keeps
// handling its messages. The work's end is handed back to the dialog's
// thread (see UiThread.h), so everything the dialog does with the result runs
// there.
#pragma once

#include <windows.h>

#include <functional>

class CWorkerThread {
  public:
    CWorkerThread() = default;
    ~CWorkerThread();
    CWorkerThread(const CWorkerThread&) = delete;
    CWorkerThread& operator=(const CWorkerThread&) = delete;

    // Called on the user-interface thread: runs work on a new thread, then
    // done on the user-interface thread once work has returned. False (and
    // nothing runs) when no thread could be started.
    bool Start(std::function<void()> work, std::function<void()> done);

    // From Start until done has run.
    bool IsRunning() const { return m_running; }

    // Waits until done has run, while the calling (user-interface) thread
    // keeps handling its messages, so the boxes the work asks for still show.
    void WaitUntilDone();

  private:
    static DWORD WINAPI ThreadMain(LPVOID self);
    void Release();

    std::function<void()> m_work;
    std::function<void()> m_done;
    HANDLE m_thread = nullptr;
    bool m_running = false;
};
