// The main window: created from the loaded settings, saves them when closed.
#pragma once

#include <windows.h>

extern const wchar_t kMainWindowClass[];

bool RegisterMainWindowClass(HINSTANCE instance);

// Creates and shows the main window at the placement kept in g_settings.
HWND CreateMainWindow(HINSTANCE instance, int showCommand);
