// Saving the settings with the main window's own placement: its normal
// rectangle in screen coordinates, as the window is created with it.
#pragma once

#include <windows.h>

#include "settings/Settings.h"

// False when the file could not be written. The window's size is kept at
// 96 DPI: dpi is the one the window is laid out for.
bool SaveSettingsOfWindow(const Settings& settings, HWND mainWindow, int dpi);
