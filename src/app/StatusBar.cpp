#include "app/StatusBar.h"

#include <commctrl.h>

#include <cwchar>

#include "app/MainUi.h"
#include "app/resource.h"
#include "app/Texts.h"
#include "filelist/FileList.h"
#include "app/WindowIdle.h"

void CreateStatusBar(HWND window) {
    g_ui.statusBar = CreateWindowExW(0, STATUSCLASSNAMEW, nullptr,
                                     WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP | SBARS_TOOLTIPS | CCS_BOTTOM, 0, 0, 0,
                                     0, window, nullptr, GetModuleHandleW(nullptr), nullptr);
    RECT client;
    GetClientRect(window, &client);
    LayoutStatusBar(client.right);
    SetStatusText(0, LoadText(IDS_DROP_HERE).c_str());
    g_ui.progressBar = nullptr;
}

void LayoutStatusBar(int clientWidth) {
    int edges[3] = {clientWidth - clientWidth / 3, clientWidth - clientWidth / 6, clientWidth};
    SendMessageW(g_ui.statusBar, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
}

void SetStatusText(int part, const wchar_t* text) {
    SendMessageW(g_ui.statusBar, SB_SETTEXTW, part, reinterpret_cast<LPARAM>(text));
}

void UpdateListStatus(bool scrollToEnd) {
    Files().SyncView(); // rows added since the view was last told
    SetFocus(g_ui.listView);
    int count = static_cast<int>(SendMessageW(g_ui.listView, LVM_GETITEMCOUNT, 0, 0));
    if (scrollToEnd && count > 0) SendMessageW(g_ui.listView, LVM_ENSUREVISIBLE, count - 1, FALSE);
    SetStatusText(0, LoadText(IDS_DROP_HERE).c_str());
    SetStatusText(1, count > 0 ? FormatText(IDS_TOTAL_FILES, count).c_str() : L"");
    if (count > 0) SendMessageW(g_ui.listView, LVM_REDRAWITEMS, 0, count - 1);
    UpdateWindow(g_ui.listView);
}

void UpdateSelectionCounter() {
    int selected = static_cast<int>(SendMessageW(g_ui.listView, LVM_GETSELECTEDCOUNT, 0, 0));
    std::wstring text;
    if (selected > 0)
        text = FormatText(IDS_SELECTED_FILES, selected);
    else if (g_ui.run.InProgress())
        text = LoadText(IDS_ESC_CANCELS);
    SetStatusText(2, text.c_str());
}

HWND CreateStatusProgress(int range) {
    DestroyStatusProgress();
    RECT part;
    SendMessageW(g_ui.statusBar, SB_GETRECT, 0, reinterpret_cast<LPARAM>(&part));
    g_ui.progressBar = CreateWindowExW(0, PROGRESS_CLASSW, nullptr, WS_CHILD | WS_VISIBLE | PBS_SMOOTH, part.left,
                                       part.top, part.right - part.left, part.bottom - part.top, g_ui.statusBar,
                                       nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(g_ui.progressBar, PBM_SETRANGE32, 0, range);
    SendMessageW(g_ui.progressBar, PBM_SETSTEP, 1, 0);
    return g_ui.progressBar;
}

void DestroyStatusProgress() {
    // Windows are destroyed by the thread that made them: always this one.
    if (g_ui.progressBar != nullptr) {
        DestroyWindow(g_ui.progressBar);
        g_ui.progressBar = nullptr;
    }
}
