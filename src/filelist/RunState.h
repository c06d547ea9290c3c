// Process-wide state shared by the main window and the worker threads.
#pragma once

#include <atomic>

// Set once at start when the program renames command-line files without a
// main window: adding then stores only the path and message boxes have no owner.
extern bool BatchMode;

// 0 none, 1 small, 2 normal, 3 large: the list shows thumbnails when not 0.
extern std::atomic<int> ThumbnailSize;
