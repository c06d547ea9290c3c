// The program's settings: loaded by the process entry before any window
// exists, read and written on the window's thread only. Runs take copies of
// what they need when they start.
#pragma once

#include <windows.h>

#include "settings/Settings.h"

extern Settings g_settings;

// Saves g_settings with the main window's placement; false when the file
// could not be written.
bool SaveProgramSettings(HWND mainWindow);
