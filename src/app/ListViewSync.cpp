#include "app/ListViewSync.h"

#include <commctrl.h>

#include "app/MainUi.h"
#include "app/resource.h"
#include "app/Texts.h"

void ListViewSync::CountChanged(int count) {
    if (g_ui.listView)
        SendMessageW(g_ui.listView, LVM_SETITEMCOUNT, count, LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
}

void ListViewSync::RemovingAll() {
    if (g_ui.listView) SendMessageW(g_ui.listView, LVM_DELETEALLITEMS, 0, 0);
}

void ListViewSync::OutOfMemory() {
    ShowOutOfMemory(g_ui.window);
    if (g_ui.window) PostMessageW(g_ui.window, WM_CLOSE, 0, 0);
}

void ListViewSync::TypeIconsRebuilt() {
    if (g_ui.listView && g_ui.iconImages)
        SendMessageW(g_ui.listView, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(g_ui.iconImages.get()));
}

void ShowOutOfMemory(HWND owner) {
    MessageBoxW(owner, LoadText(IDS_OUT_OF_MEMORY).c_str(), LoadText(IDS_APP_NAME).c_str(), MB_OK | MB_ICONERROR);
}
