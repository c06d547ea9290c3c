#include "app/WindowIdle.h"

#include "app/AddRuns.h"
#include "app/MainUi.h"

bool RunInProgress() {
    return g_ui.busy || g_ui.run.InProgress();
}

void CancelRun() {
    if (g_ui.run.InProgress()) g_ui.run.Cancel();
}

bool WindowIsIdle() {
    return !RunInProgress() && g_ui.modalSteps == 0;
}

ModalStep::ModalStep() {
    ++g_ui.modalSteps;
}

ModalStep::~ModalStep() {
    if (--g_ui.modalSteps == 0 && g_ui.window) PostMessageW(g_ui.window, WM_APP_IDLE, 0, 0);
}

void OnWindowIdle() {
    if (!WindowIsIdle()) return;
    if (g_ui.closePending) {
        g_ui.closePending = false;
        PostMessageW(g_ui.window, WM_CLOSE, 0, 0);
        return;
    }
    StartDeferredAdds();
}
