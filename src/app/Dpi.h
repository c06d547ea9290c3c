// The display scale: the DPI a window or a monitor is shown at, sizes given
// for 96 DPI scaled to it, and the system's metrics and message font for it.
// The functions that know a window's own DPI are looked up at run time (older
// systems lack them); without them the system's DPI is used.
#pragma once

#include <windows.h>


// Sent to child windows after their top-level window took a new DPI
// (Windows 10; newer than the headers the program is built with).
const UINT kDpiChangedAfterParent = 0x02E3;

// The DPI window is shown at.
int WindowDpi(HWND window);
// The DPI of the monitor the rectangle lies on (mostly), before a window exists.
int MonitorDpi(const RECT& place);

// A size given for 96 DPI at dpi, and back.
inline int Scaled(int value, int dpi) { return MulDiv(value, dpi, USER_DEFAULT_SCREEN_DPI); }
inline int Unscaled(int value, int dpi) { return MulDiv(value, USER_DEFAULT_SCREEN_DPI, dpi); }

// The system's message font as it is meant to be shown at dpi.
LOGFONTW MessageFontFor(int dpi);
// The edge of a small icon (16 at 96 DPI) at dpi.
int SmallIconSize(int dpi);
