#include "settings/Settings.h"

namespace {
const int kRemembered = 10; // Startup of 10 + d: "as at the last exit", which was d
}

int CorrectStartup(int loaded) {
    if ((loaded >= 0 && loaded <= 3) || (loaded >= kRemembered && loaded <= kRemembered + 3)) return loaded;
    // A bare 4 means "as at the last exit" with nothing remembered yet.
    if (loaded == 4) return kRemembered + 2;
    return 2;
}
