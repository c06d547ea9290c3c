// Zorvel.cfg: loading and saving the Settings record.
//
// The file is UTF-16LE with a byte-order mark, so Japanese face names and
// paths survive; it is read through the platform's profile functions (section
// and key names match without regard to case) and written whole in one pass
// into "Zorvel.cfg.tmp", which then replaces the old file atomically. A failed
// save leaves the previous file as it was. Neither direction reports failure
// to the user: missing or odd values fall back to their defaults.
#pragma once

#include <windows.h>

#include "settings/Settings.h"

// "<program folder>\Zorvel.cfg".
const wchar_t* ConfigFilePath();

// Fixes ConfigFilePath() and loads settings from it, using the primary
// screen's size for the default window position, the desktop's bounds and
// the system's DPI.
void LoadSettings(Settings& settings);

// Saves settings to ConfigFilePath() with the main window's placement (its
// normal rectangle in screen coordinates). False when the file could not be
// written (the old file is then unchanged) or there is no program folder.
bool SaveSettings(const Settings& settings, const WINDOWPLACEMENT& placement);

// The same, for an explicit file (null when there is none), record and screen or placement.
// The primary screen's size places a window without a saved position;
// every loaded geometry is bounded by the desktop (all monitors together;
// the primary screen when null): the window lies inside it and no column
// is wider than it. The window's size and the column widths are kept at 96
// DPI (the window shows them scaled); dpi is the screen's, which the bounds
// and the centring scale them to. Positions are the screen's pixels.
void LoadSettingsFrom(const wchar_t* path, Settings& settings, int screenWidth, int screenHeight,
                      const RECT* desktop = nullptr, int dpi = USER_DEFAULT_SCREEN_DPI);
bool SaveSettingsTo(const wchar_t* path, const Settings& settings, const WINDOWPLACEMENT& placement);
