// The four pages of the options dialog: child dialogs that fill their
// controls from the working copy when they open, store every change into it
// at once, and take the rest when WM_APP_OPTIONS_OK arrives.
#pragma once

#include <windows.h>

INT_PTR CALLBACK GeneralPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK DesignPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AdvancedPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK VersionPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
