// Process entry: settings, the main window and the message loop.
#include <windows.h>
#include <commctrl.h>

#include "app/MainWindow.h"
#include "rename/RenameLog.h"
#include "settings/ConfigFile.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    // An archive's folder may hold a planted library: never search the
    // current directory for DLLs.
    SetDllDirectoryW(L"");

    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_COOL_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    if (!RegisterMainWindowClass(instance)) return 1;
    LoadSettings();
    InitLogPath();

    if (CreateMainWindow(instance, showCommand) == nullptr) return 1;

    HWND window = FindWindowW(kMainWindowClass, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        HACCEL accelerators = MainAccelerators();
        if (accelerators && window && IsWindow(window) && TranslateAcceleratorW(window, accelerators, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
