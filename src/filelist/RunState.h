// Process-wide run state shared by the main window and the worker threads.
//
// Only one long operation runs at a time. Whoever starts it sets WorkActive
// (and, for a worker thread, WorkerRunning); the worker polls WorkActive
// between items and stops when it is cleared (Cancel clears it). The worker
// (base/Run.h) holds WorkLock, made once for the process, for its whole run,
// so workers never overlap; the user-interface thread never takes WorkLock
// and refuses commands while a run is in progress instead.
#pragma once

#include <windows.h>

#include <atomic>

// Set once at start when the program renames command-line files without a
// main window: adding then stores only the path and message boxes have no owner.
extern bool BatchMode;
extern std::atomic<bool> WorkActive;
extern std::atomic<bool> WorkerRunning;
extern CRITICAL_SECTION WorkLock;

// A run is in progress from its start until its completion message has
// been handled, cancelled or not: no other run may start meanwhile.
inline bool RunInProgress() { return WorkActive || WorkerRunning; }

// 0 none, 1 small, 2 normal, 3 large: the list shows thumbnails when not 0.
extern std::atomic<int> ThumbnailSize;
