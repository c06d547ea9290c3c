// When the main window is idle: no run in progress and no modal step (a
// dialog, a question, the shell's recycling) on the way. Drops, hand-overs
// and a close request that arrive while it is not idle wait, and are taken
// up as soon as it is.
#pragma once

#include <windows.h>

#include "base/Messages.h"

// A modal step's end posts WM_APP_IDLE, so the waiting work is taken up once
// the step's handler has returned.

bool WindowIsIdle();

// A run is in progress from its start until its completion message has
// been handled, cancelled or not: no other run may start meanwhile.
bool RunInProgress();

// Asks the worker of the run in progress, if any, to stop after its current item.
void CancelRun();

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
