// The one worker thread of a long operation (adding, deriving, renaming,
// undoing, the command-line batch; later thumbnails and the update check).
//
// Contract:
// - Start(work, events, priority) runs work on a new thread; false, with
//   nothing running, when no thread could be made.
// - The work runs holding the process's work lock (made once), so two runs
//   never overlap. It polls Cancelled() between items, reports progress with
//   Progress(), and what it returns goes to events.Finished() as the last
//   report, after the lock is released.
// - Cancel() asks the work to stop after its current item; the user-interface
//   thread calls it, the worker reads it. A step that may block (a network
//   read) listens to the flag and is ended by the cancel itself.
// - InProgress() holds from Start until Join(). Join() runs on the starter's
//   thread once the completion has been handled: it waits for the thread to
//   end and lets its handle go. The destructor joins.
// - One Run belongs to one starting thread.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>

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

// Told at once when a cancel flag is set, on the thread that sets it (the
// window's), so that a worker blocked in a call can be set free: Cancelled()
// may close what the worker waits on and signal it, nothing slower.
class CancelListener {
public:
    virtual void Cancelled() = 0;

protected:
    ~CancelListener() = default;
};

// A request to stop, set on one thread and polled on another. A step that
// can block listens to it meanwhile (CancelListening), so a cancel reaches it
// without waiting for the step to end.
class CancelFlag {
public:
    void Set();
    void Clear() { set_ = false; }
    bool IsSet() const { return set_; }

private:
    friend class CancelListening;
    std::atomic<bool> set_{false};
    mutable std::mutex lock_;                  // guards listener_ and every call of it
    mutable CancelListener* listener_ = nullptr;
};

// Listens to a flag for its own lifetime, one listener at a time per flag. A
// flag that is already set tells the listener at once. The destructor returns
// only after a Cancelled() in progress has ended, so the listener may go then.
class CancelListening {
public:
    CancelListening(const CancelFlag& flag, CancelListener& listener);
    ~CancelListening();
    CancelListening(const CancelListening&) = delete;
    CancelListening& operator=(const CancelListening&) = delete;

private:
    const CancelFlag& flag_;
};

// What a run's work hands to RunEvents::Finished.
struct RunResult {
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

class Run {
public:
    using Work = std::function<RunResult(Run& run)>;

    Run() = default;
    ~Run() { Join(); }
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

    bool Start(Work work, RunEvents& events, int priority = THREAD_PRIORITY_NORMAL);
    void Join();
    bool InProgress() const { return static_cast<bool>(thread_); }

    void Cancel() { cancel_.Set(); }
    bool Cancelled() const { return cancel_.IsSet(); }
    const CancelFlag& Cancellation() const { return cancel_; }
    void Progress(int done) { events_->Progress(done); }

private:
    static DWORD WINAPI Entry(LPVOID self);

    ScopedHandle thread_;
    Work work_;
    RunEvents* events_ = nullptr;
    CancelFlag cancel_;
};
