// The one worker thread of a long operation (adding, deriving, renaming,
// undoing, the command-line batch; later thumbnails and the update check).
//
// Contract:
// - Start(entry, priority) starts entry on a new thread; false, with nothing
//   running, when no thread could be made.
// - The worker holds WorkLock (made once for the process) for its whole run,
//   so two workers never overlap; it reports only through its job's
//   RunEvents (which the window turns into posted messages), Finished last.
// - Join() runs on the starter's thread once the completion message has been
//   handled: it waits for the thread to end and lets its handle go.
// - One Run belongs to one starting thread; the destructor joins.
#pragma once

#include <windows.h>

#include <utility>

#include "base/ScopedWin.h"

// What a worker reports, from its own thread; Finished is its last call.
// The window's implementation posts both on as messages.
class RunEvents {
public:
    virtual void Progress(int done) = 0;
    virtual void Finished(WPARAM wParam, LPARAM lParam) = 0;

protected:
    ~RunEvents() = default;
};

class Run {
public:
    Run() = default;
    ~Run() { Join(); }
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;
    Run& operator=(Run&& other) noexcept {
        if (this != &other) {
            Join();
            thread_ = std::move(other.thread_);
        }
        return *this;
    }

    bool Start(LPTHREAD_START_ROUTINE entry, int priority = THREAD_PRIORITY_NORMAL);
    void Join();
    bool Started() const { return static_cast<bool>(thread_); }

private:
    ScopedHandle thread_;
};
