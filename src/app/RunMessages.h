// What a worker of the main window reports, turned into posted messages for
// the window's thread: progress to the run's progress bar (when it has one),
// the end as the run's completion message to the window.
#pragma once

#include <windows.h>

#include "base/Run.h"

class RunMessages final : public RunEvents {
public:
    // Set on the window's thread before the worker starts.
    void Aim(HWND window, UINT message, HWND progressBar) {
        window_ = window;
        message_ = message;
        progressBar_ = progressBar;
    }
    void Progress(int done) override;
    void Finished(WPARAM wParam, LPARAM lParam) override;

private:
    HWND window_ = nullptr;
    UINT message_ = 0;
    HWND progressBar_ = nullptr;
};
