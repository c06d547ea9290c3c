#include "base/Run.h"

#include <utility>

namespace {

// Held by every run's work for its whole length: made once for the process,
// never re-made while a run might hold it.
struct WorkLock {
    WorkLock() { InitializeCriticalSection(&section); }
    CRITICAL_SECTION section;
};

CRITICAL_SECTION& TheWorkLock() {
    static WorkLock lock;
    return lock.section;
}

} // namespace

void CancelFlag::Set() {
    // The flag before the listener: one that starts listening meanwhile
    // finds the flag set and is told by CancelListening, so no cancel is
    // missed (a listener may be told twice).
    set_ = true;
    std::lock_guard<std::mutex> hold(lock_);
    if (listener_) listener_->Cancelled();
}

CancelListening::CancelListening(const CancelFlag& flag, CancelListener& listener) : flag_(flag) {
    std::lock_guard<std::mutex> hold(flag_.lock_);
    flag_.listener_ = &listener;
    if (flag_.set_) listener.Cancelled();
}

CancelListening::~CancelListening() {
    std::lock_guard<std::mutex> hold(flag_.lock_);
    flag_.listener_ = nullptr;
}

bool Run::Start(Work work, RunEvents& events, int priority) {
    Join();
    work_ = std::move(work);
    events_ = &events;
    cancel_.Clear();
    thread_.reset(CreateThread(nullptr, 0, Entry, this, CREATE_SUSPENDED, nullptr));
    if (!thread_) return false;
    SetThreadPriority(thread_.get(), priority);
    ResumeThread(thread_.get());
    return true;
}

void Run::Join() {
    if (!thread_) return;
    WaitForSingleObject(thread_.get(), INFINITE);
    thread_.reset();
    work_ = nullptr;
}

DWORD WINAPI Run::Entry(LPVOID self) {
    Run& run = *static_cast<Run*>(self);
    RunResult result;
    {
        ScopedCritSec hold(TheWorkLock());
        result = run.work_(run);
    }
    run.events_->Finished(result.wParam, result.lParam);
    return 0;
}
