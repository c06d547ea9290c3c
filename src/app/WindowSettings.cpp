#include "app/WindowSettings.h"

#include "app/Dpi.h"
#include "settings/ConfigFile.h"

bool SaveSettingsOfWindow(const Settings& settings, HWND mainWindow, int dpi) {
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    if (!GetWindowPlacement(mainWindow, &placement)) return false;
    // The placement's normal position is in workspace coordinates, which a
    // taskbar at the top or left shifts; Left and Top are screen coordinates,
    // as the window is created with them. A normal window's own rectangle is
    // exact; otherwise the normal position moves by the work area's origin.
    RECT& normal = placement.rcNormalPosition;
    if (!IsZoomed(mainWindow) && !IsIconic(mainWindow)) {
        GetWindowRect(mainWindow, &normal);
    } else {
        MONITORINFO monitor = {};
        monitor.cbSize = sizeof(monitor);
        if (GetMonitorInfoW(MonitorFromRect(&normal, MONITOR_DEFAULTTONEAREST), &monitor))
            OffsetRect(&normal, monitor.rcWork.left - monitor.rcMonitor.left, monitor.rcWork.top - monitor.rcMonitor.top);
    }
    // The size is kept at 96 DPI, the position as it is on the screen.
    normal.right = normal.left + Unscaled(normal.right - normal.left, dpi);
    normal.bottom = normal.top + Unscaled(normal.bottom - normal.top, dpi);
    return SaveSettings(settings, placement);
}
