// Drives a packaged Zorvel.exe through Help > 最新版を確認 as a user would:
// starts it, answers the download question Yes, names the save path, and
// waits until the download is saved or the check shows a failure (its text
// goes to the output). For tests/release/release_test.sh.
// Usage: update_driver <Zorvel.exe> <save path>; exit 0 when saved.
#include <windows.h>
#include <dlgs.h>

#include <cstdio>
#include <set>
#include <string>

#include "ProcessWindow.h"
#include "app/resource.h"

namespace {

int Drive(const PROCESS_INFORMATION& zorvel, const wchar_t* savePath) {
    HWND main = nullptr;
    // Bounded waits: a stuck program fails the run instead of hanging it.
    for (DWORD start = GetTickCount(); !main && GetTickCount() - start < 60000; Sleep(100))
        main = WindowOf(zorvel.dwProcessId, L"ZorvelWindowClass");
    if (!main) return printf("no main window\n"), 1;
    PostMessageW(main, WM_COMMAND, ID_HELP_UPDATE_CHECK, 0);
    std::set<HWND> answered;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 120000; Sleep(100)) {
        if (GetFileAttributesW(savePath) != INVALID_FILE_ATTRIBUTES) return 0;
        HWND box = WindowOf(zorvel.dwProcessId, L"#32770", L"アップデート");
        if (box && !answered.count(box)) {
            wchar_t text[512] = L"";
            GetDlgItemTextW(box, 0xFFFF, text, 512);
            if (text[0] == L'\0') continue; // the box is still being made
            if (wcsncmp(text, L"最新版が公開されているようです", 15) != 0) {
                printf("the check says: %ls\n", text);
                return 1;
            }
            answered.insert(box);
            PostMessageW(box, WM_COMMAND, IDYES, 0);
        }
        HWND save = WindowOf(zorvel.dwProcessId, L"#32770", L"保存先を選択してください");
        if (save && !answered.count(save)) {
            answered.insert(save);
            SetDlgItemTextW(save, cmb13, savePath); // the file name box
            PostMessageW(save, WM_COMMAND, IDOK, 0);
        }
    }
    return printf("nothing saved in 2 minutes\n"), 1;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return printf("usage: update_driver <Zorvel.exe> <save path>\n"), 2;
    std::wstring line = L"\"" + std::wstring(argv[1]) + L"\"";
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION zorvel = {};
    if (!CreateProcessW(argv[1], &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &zorvel))
        return printf("cannot start %ls\n", argv[1]), 1;
    int result = Drive(zorvel, argv[2]);
    TerminateProcess(zorvel.hProcess, 0);
    WaitForSingleObject(zorvel.hProcess, 10000);
    CloseHandle(zorvel.hThread);
    CloseHandle(zorvel.hProcess);
    return result;
}
