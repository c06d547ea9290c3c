// The save dialog of the update check: where the downloaded archive goes.
#pragma once

#include <windows.h>

// path holds the name the server suggests and receives the chosen path;
// false when none was chosen. A failing dialog shows its error code and
// empties path.
bool ChooseUpdateSavePath(HWND parent, wchar_t (&path)[MAX_PATH]);
