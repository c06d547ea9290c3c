// The main window: rebar and toolbar, the virtual list view, the status bar,
// menus and accelerators; command dispatch and the runs' completion
// messages; closing saves the settings.
#pragma once

#include <windows.h>

extern const wchar_t kMainWindowClass[];

bool RegisterMainWindowClass(HINSTANCE instance);

// Creates and shows the main window at the placement kept in g_settings.
HWND CreateMainWindow(HINSTANCE instance, int showCommand);

// The accelerator table for the message loop (null before creation).
HACCEL MainAccelerators();
