// The options dialog (resource 160): a tab control over four pages, General,
// Design, Advanced and Version, that edit a working copy of the settings.
// OK checks the new-name format, tells each page (WM_APP_OPTIONS_OK, in page
// order) to take what it takes only at OK and copies the working copy over
// the settings; Cancel and the close box drop the copy. Modal, on
// the window's thread.
#pragma once

#include <windows.h>

#include "settings/Settings.h"

enum OptionsPageIndex { kPageGeneral = 0, kPageDesign, kPageAdvanced, kPageVersion, kPageCount };

// Runs the dialog on startPage over settings; true after OK, with the
// settings replaced (the caller saves them).
bool ShowOptionsDialog(HWND parent, int startPage, Settings& settings);

// For whoever drives an open dialog: its page windows and the working copy
// they edit.
HWND OptionsPageOf(HWND dialog, int index);
Settings& OptionsWorkingCopyOf(HWND dialog);
// The design page's eyedropper square of the text colour (0) or the
// background colour (1), in the page's client coordinates.
RECT EyedropperSquareOf(HWND designPage, int colour);
