// The options dialog (resource 160): a tab control over four pages, General,
// Design, Advanced and Version, that edit a working copy of the settings.
// OK checks the new-name format, tells each page (WM_APP_OPTIONS_OK, in page
// order) to take what it takes only at OK, copies the working copy over the
// live settings and saves them; Cancel and the close box drop the copy.
// One dialog at a time, modal, on the user-interface thread.
#pragma once

#include <windows.h>

#include "settings/Settings.h"

enum OptionsPageIndex { kPageGeneral = 0, kPageDesign, kPageAdvanced, kPageVersion, kPageCount };

// Runs the dialog on startPage (0 General, 1 Design, anything else Version).
// 1 after OK, with the settings copied back and saved; 2 after Cancel.
int ShowOptionsDialog(HWND parent, int startPage);

// While the dialog is open: the settings its pages edit, and the pages.
Settings& OptionsWorkingCopy();
HWND OptionsPage(int index);
