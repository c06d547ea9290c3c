#include "app/MainWindow.h"

#include "app/Version.h"
#include "app/resource.h"
#include "filelist/FileList.h"
#include "settings/ConfigFile.h"

const wchar_t kMainWindowClass[] = L"ZorvelWindowClass";

namespace {

const wchar_t kTitle[] = L"Zorvel Ver." ZORVEL_VERSION_WTEXT;

void OnClose(HWND window) {
    ShowWindow(window, SW_HIDE);
    SaveSettings(window);
    DestroyWindow(window);
}

void OnDestroy() {
    Files().AttachViews(nullptr, nullptr, nullptr, nullptr);
    Files().Release();
    PostQuitMessage(0);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE: OnClose(window); return 0;
    case WM_DESTROY: OnDestroy(); return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

bool RegisterMainWindowClass(HINSTANCE instance) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = MainWindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_ZORVEL));
    wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_ZORVEL), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kMainWindowClass;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CreateMainWindow(HINSTANCE instance, int showCommand) {
    const Settings& s = g_settings;
    HWND window = CreateWindowExW(0, kMainWindowClass, kTitle, WS_OVERLAPPEDWINDOW, s.Left, s.Top, s.Width,
                                  s.Height, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return nullptr;
    Files().AttachViews(window, nullptr, nullptr, nullptr);
    ShowWindow(window, s.Maximized ? SW_SHOWMAXIMIZED : showCommand);
    UpdateWindow(window);
    return window;
}
