#include "filelist/RunState.h"

bool BatchMode = false;
std::atomic<bool> WorkActive{false};
std::atomic<bool> WorkerRunning{false};
CRITICAL_SECTION WorkLock;

namespace {
// Made once, before any worker can start, and never deleted: a lock made
// afresh for every run guards nothing.
struct WorkLockMaker {
    WorkLockMaker() { InitializeCriticalSection(&WorkLock); }
} g_workLockMaker;
} // namespace
std::atomic<int> ThumbnailSize{0};
