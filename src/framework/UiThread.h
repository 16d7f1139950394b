// Work that a worker thread hands to the user-interface thread: a box to
// show, the end of a run to act on. One mechanism for all of it: a hidden
// window of the user-interface thread receives one private message with the
// task and runs it there.
#pragma once

#include <functional>

// Makes the calling thread the user-interface thread (once; later calls from
// the same thread do nothing). Dialogs call it before they start a worker.
void BindUiThread();

// Runs task on the user-interface thread and returns when it has run: at
// once when called there (or when no thread is bound), else by sending the
// task, so the caller waits, for instance for a box's answer.
void RunOnUiThread(const std::function<void()>& task);

// Queues task for the user-interface thread without waiting; false when
// there is no such thread to queue it on.
bool PostToUiThread(std::function<void()> task);
