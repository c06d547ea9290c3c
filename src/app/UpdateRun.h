// Help > 最新版を確認 as a run of the main window: the update check on a
// worker, its questions as message boxes, its save dialog, and its status
// texts and progress in the window's status bar.
#pragma once

#include <windows.h>

#include <functional>

class RunController;
class StatusBar;

// finished: on the window's thread once the check has ended; true when an
// archive was downloaded.
void StartUpdateCheck(RunController& runs, HWND window, StatusBar& status, std::function<void(bool)> finished);
