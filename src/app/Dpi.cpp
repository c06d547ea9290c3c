#include "app/Dpi.h"

#include "base/FunctionCast.h"

namespace {

HMODULE User32() {
    return GetModuleHandleW(L"user32.dll");
}

int SystemDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : USER_DEFAULT_SCREEN_DPI;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

} // namespace

int WindowDpi(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpi = LookUp<GetDpiForWindowFn>(User32(), "GetDpiForWindow");
    UINT dpi = getDpi && window ? getDpi(window) : 0;
    return dpi > 0 ? static_cast<int>(dpi) : SystemDpi();
}

int MonitorDpi(const RECT& place) {
    using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static HMODULE shcore = LoadLibraryW(L"shcore.dll"); // kept: asked for every window made
    static const auto getDpi = LookUp<GetDpiForMonitorFn>(shcore, "GetDpiForMonitor");
    UINT x = 0, y = 0;
    HMONITOR monitor = MonitorFromRect(&place, MONITOR_DEFAULTTONEAREST);
    if (getDpi && monitor && SUCCEEDED(getDpi(monitor, 0 /* MDT_EFFECTIVE_DPI */, &x, &y)) && y > 0)
        return static_cast<int>(y);
    return SystemDpi();
}

LOGFONTW MessageFontFor(int dpi) {
    using ForDpiFn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
    static const auto forDpi = LookUp<ForDpiFn>(User32(), "SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    if (forDpi && forDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, static_cast<UINT>(dpi)))
        return metrics.lfMessageFont;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    // Given for the system's DPI: brought to this one.
    metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, dpi, SystemDpi());
    return metrics.lfMessageFont;
}

int SmallIconSize(int dpi) {
    using ForDpiFn = int(WINAPI*)(int, UINT);
    static const auto forDpi = LookUp<ForDpiFn>(User32(), "GetSystemMetricsForDpi");
    int size = forDpi ? forDpi(SM_CXSMICON, static_cast<UINT>(dpi)) : 0;
    return size > 0 ? size : Scaled(16, dpi);
}
