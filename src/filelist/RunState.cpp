#include "filelist/RunState.h"

bool BatchMode = false;
std::atomic<bool> WorkActive{false};
std::atomic<bool> WorkerRunning{false};
CRITICAL_SECTION WorkLock;
std::atomic<int> ThumbnailSize{0};
