#include "base/Run.h"

bool Run::Start(LPTHREAD_START_ROUTINE entry, int priority) {
    Join();
    thread_.reset(CreateThread(nullptr, 0, entry, nullptr, CREATE_SUSPENDED, nullptr));
    if (!thread_) return false;
    SetThreadPriority(thread_.get(), priority);
    ResumeThread(thread_.get());
    return true;
}

void Run::Join() {
    if (!thread_) return;
    WaitForSingleObject(thread_.get(), INFINITE);
    thread_.reset();
}
