#include "settings/Settings.h"

namespace {
const int kRemembered = 10; // Startup of 10 + d: "as at the last exit", which was d
}

int StartupDisplay(int startup) {
    if (startup >= kRemembered) return startup - kRemembered;
    return startup;
}

int StartupChoice(int startup) {
    return startup >= kRemembered ? 4 : startup;
}

int StartupFromChoice(int choice, int currentDisplay) {
    if (choice == 4) return kRemembered + currentDisplay;
    return choice;
}

int StartupAtExit(int startup, int currentDisplay) {
    return startup >= kRemembered ? kRemembered + currentDisplay : startup;
}

int CorrectStartup(int loaded) {
    if ((loaded >= 0 && loaded <= 3) || (loaded >= kRemembered && loaded <= kRemembered + 3)) return loaded;
    // A bare 4 means "as at the last exit" with nothing remembered yet.
    if (loaded == 4) return kRemembered + 2;
    return 2;
}
