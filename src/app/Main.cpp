// Process entry: settings, the command line, and one of three ways to run:
// the main window, a hand-over to a running main window, or the command-line
// batch without a main window.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/dialogs/BatchDialog.h"
#include "app/MainWindow.h"
#include "base/FunctionCast.h"
#include "base/HandOverBlock.h"
#include "naming/NameFormat.h"
#include "rename/RenameLog.h"
#include "settings/ConfigFile.h"
#include "thumbnail/GdiPlusInit.h"

namespace {

HHOOK g_selectAllHook = nullptr;

// Ctrl+A selects the whole text of an edit box, in dialogs and message boxes too.
LRESULT CALLBACK SelectAllHook(int code, WPARAM wParam, LPARAM lParam) {
    auto* msg = reinterpret_cast<MSG*>(lParam);
    if (code >= 0 && msg->message == WM_KEYDOWN && msg->wParam == 'A' && (GetKeyState(VK_CONTROL) & 0x8000) &&
        !(GetKeyState(VK_SHIFT) & 0x8000) && !(GetKeyState(VK_MENU) & 0x8000)) {
        HWND focus = GetFocus();
        wchar_t className[16] = L"";
        if (focus && GetClassNameW(focus, className, 16) && lstrcmpiW(className, L"Edit") == 0) {
            SendMessageW(focus, EM_SETSEL, 0, -1);
            return 1;
        }
    }
    return CallNextHookEx(g_selectAllHook, code, wParam, lParam);
}

// Lets a second instance's WM_COPYDATA through where the system filters
// messages from lower-privileged senders (looked up: not every system has it).
void AllowCopyData() {
    using Filter = BOOL(WINAPI*)(UINT, DWORD);
    auto filter = LookUp<Filter>(GetModuleHandleW(L"user32.dll"), "ChangeWindowMessageFilter");
    if (filter) filter(WM_COPYDATA, 1 /* MSGFLT_ADD */);
}

int RunBatch(HINSTANCE instance, const CommandLine& line, const Settings& settings) {
    if (HasForbiddenChar(settings.Format)) {
        // Very silent shows nothing: a script is waiting, not a person.
        if (!line.verySilent) MessageBoxW(nullptr, kForbiddenInFormatMessage, kFormatCaption, MB_OK | MB_ICONERROR);
        return kBatchFormatRefused;
    }
    return RunBatchDialog(instance, line, settings);
}

// Each path goes to the running window in one synchronous send.
void HandOver(HWND running, const CommandLine& line) {
    for (const std::wstring& path : line.HandOverPaths()) {
        COPYDATASTRUCT data = HandOverBlockOf(path);
        SendMessageW(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    }
}

int RunWindow(HINSTANCE instance, int showCommand, const CommandLine& line, Settings& settings) {
    AllowCopyData();
    MainWindow window(settings);
    if (!window.Create(instance, showCommand)) return 0;
    CGDIPlusInit gdiplus;
    window.AddStartPaths(line.WindowPaths());
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        HACCEL accelerators = window.Accelerators();
        HWND handle = window.Window();
        if (accelerators && handle && TranslateAcceleratorW(handle, accelerators, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    // An archive's folder may hold a planted library: never search the
    // current directory for DLLs.
    SetDllDirectoryW(L"");
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);

    if (!MainWindow::RegisterWindowClass(instance)) return 1;
    g_selectAllHook = SetWindowsHookExW(WH_MSGFILTER, SelectAllHook, nullptr, GetCurrentThreadId());
    Settings settings;
    LoadSettings(settings);
    InitLogPath();

    CommandLine line = ParseCommandLine(SplitCommandLine(GetCommandLineW()));
    HWND running = line.showWindow && line.singleInstance ? FindWindowW(MainWindow::kClassName, nullptr) : nullptr;

    int result = 0;
    switch (line.Mode(running != nullptr)) {
    case StartMode::Batch: result = RunBatch(instance, line, settings); break;
    case StartMode::HandOver: HandOver(running, line); break;
    case StartMode::Window: result = RunWindow(instance, showCommand, line, settings); break;
    }
    if (g_selectAllHook) UnhookWindowsHookEx(g_selectAllHook);
    return result;
}
