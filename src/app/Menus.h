// The window menu, the pop-up menus and the accelerators.
#pragma once

#include <windows.h>

void LoadMenus(HWND window);
void DestroyMenus();
void OnInitMenu(HMENU menu);
// Status part 0 shows the help text of the highlighted item.
void OnMenuSelect(UINT id, UINT flags, HMENU menu);
