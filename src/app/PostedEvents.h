// A worker's reports turned into posted messages for the window's thread:
// progress to the status bar's progress bar (when there is one), the end as
// the run's completion message to the main window.
#pragma once

#include <windows.h>

#include "base/Run.h"

class PostedEvents final : public RunEvents {
public:
    // message: the completion message; progressBar may be null.
    PostedEvents(UINT message, HWND progressBar) : message_(message), progressBar_(progressBar) {}
    void Progress(int done) override;
    void Finished(WPARAM wParam, LPARAM lParam) override;

private:
    UINT message_;
    HWND progressBar_;
};
