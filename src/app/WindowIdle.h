// When the main window is idle: no run in progress and no modal step (a
// dialog, a question, the shell's recycling) on the way. Drops, hand-overs
// and a close request that arrive while it is not idle wait, and are taken
// up as soon as it is.
#pragma once

#include <windows.h>

// Posted when a modal step ends, so the waiting work is taken up once the
// step's handler has returned.
const UINT WM_APP_IDLE = WM_APP + 8;

bool WindowIsIdle();

// Marks a modal step for its lifetime.
class ModalStep {
public:
    ModalStep();
    ~ModalStep();
    ModalStep(const ModalStep&) = delete;
    ModalStep& operator=(const ModalStep&) = delete;
};

// Takes up what waited: a pending close first (it ends everything), else the
// deferred drops and hand-overs. Does nothing unless the window is idle.
void OnWindowIdle();
