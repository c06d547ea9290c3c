// Every dialog shows the system's message font, the font of the main
// window's list and toolbar, made for the dialog's DPI. The templates keep
// their own font for their layout (dialog units); the controls are given
// the message font when the dialog starts and again at a new DPI.
#pragma once

#include <windows.h>

#include "base/ScopedWin.h"

// Gives dialog and every control that shows the dialog's font (or none) the
// message font for dpi; font holds it for as long as the dialog lives.
void UseMessageFont(HWND dialog, int dpi, ScopedFont& font);
