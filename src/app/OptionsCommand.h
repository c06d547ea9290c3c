// The main window's Options and About commands: the options dialog, and then
// its settings applied to the window (fonts, colours, thumbnail sizes and
// spacing).
#pragma once

#include <windows.h>

// startPage: 0 the General page (Options), 3 the Version page (About).
void OpenOptions(HWND window, int startPage);
