// Starting the adding workers from the window, and the completion messages
// of every run. A drop or hand-over that arrives while a run goes on waits
// for the run to end: it is neither lost nor run alongside.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

void StartFolderAdd(const wchar_t* folder, bool showCancelHint);
void StartDropAdd(std::vector<std::wstring> paths);
// WM_DROPFILES on the list view.
void OnDropFiles(HDROP drop);
// WM_COPYDATA: a path handed over by a second instance.
LRESULT OnCopyData(const COPYDATASTRUCT* data);
// The completion messages of the runs (base/Messages.h).
void OnRunMessage(UINT message, WPARAM wParam, LPARAM lParam);

// Runs drops and hand-overs that waited until the window became idle.
void StartDeferredAdds();
