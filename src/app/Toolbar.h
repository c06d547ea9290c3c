// The rebar and its flat toolbar of ten buttons.
#pragma once

#include <windows.h>

void CreateRebarAndToolbar(HWND window);
// Toolbar notifications: drop-down menus and tooltip texts. True when handled.
bool OnToolbarNotify(HWND window, NMHDR* header, LRESULT& result);
// Maps a toolbar button id to its command (0 for the drop-down buttons).
int CommandOfButton(int buttonId);
