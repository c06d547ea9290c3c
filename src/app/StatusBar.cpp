#include "app/StatusBar.h"

#include <commctrl.h>

void StatusBar::Create(HWND parent) {
    bar_ = CreateWindowExW(0, STATUSCLASSNAMEW, nullptr,
                           WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP | SBARS_TOOLTIPS | CCS_BOTTOM, 0, 0, 0, 0, parent,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
    RECT client;
    GetClientRect(parent, &client);
    Layout(client.right);
    progress_ = nullptr;
}

void StatusBar::Layout(int clientWidth) {
    int edges[3] = {clientWidth - clientWidth / 3, clientWidth - clientWidth / 6, clientWidth};
    SendMessageW(bar_, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
}

void StatusBar::SetText(int part, const wchar_t* text) {
    SendMessageW(bar_, SB_SETTEXTW, part, reinterpret_cast<LPARAM>(text));
}

HWND StatusBar::CreateProgress(int range) {
    DestroyProgress();
    RECT part;
    SendMessageW(bar_, SB_GETRECT, 0, reinterpret_cast<LPARAM>(&part));
    progress_ = CreateWindowExW(0, PROGRESS_CLASSW, nullptr, WS_CHILD | WS_VISIBLE | PBS_SMOOTH, part.left, part.top,
                                part.right - part.left, part.bottom - part.top, bar_, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    SendMessageW(progress_, PBM_SETRANGE32, 0, range);
    SendMessageW(progress_, PBM_SETSTEP, 1, 0);
    return progress_;
}

void StatusBar::DestroyProgress() {
    if (progress_ != nullptr) {
        DestroyWindow(progress_);
        progress_ = nullptr;
    }
}
