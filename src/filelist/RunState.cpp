#include "filelist/RunState.h"

bool BatchMode = false;
std::atomic<int> ThumbnailSize{0};
