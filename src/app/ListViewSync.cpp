#include "app/ListViewSync.h"

#include <commctrl.h>
#include <shellapi.h>

#include "app/MainUi.h"
#include "app/resource.h"
#include "app/Texts.h"
#include "app/Thumbnails.h"

void ListViewSync::CountChanged(int count) {
    if (g_ui.listView)
        SendMessageW(g_ui.listView, LVM_SETITEMCOUNT, count, LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
}

void ListViewSync::RemovingAll() {
    if (g_ui.listView) SendMessageW(g_ui.listView, LVM_DELETEALLITEMS, 0, 0);
    PicturesCleared();
}

void ListViewSync::RowsReordered(const std::vector<int>& order) {
    PicturesFollowReorder(order);
}

void ListViewSync::RowsRemoved(const std::vector<char>& removed) {
    PicturesFollowRemoval(removed);
}

void ListViewSync::TypeAdded(int, const wchar_t* path) {
    HIMAGELIST icons = g_ui.iconImages.get();
    if (icons == nullptr) return;
    SHFILEINFOW info = {};
    SHGetFileInfoW(path, 0, &info, sizeof(info), SHGFI_ICON | SHGFI_SMALLICON);
    ScopedIcon icon(info.hIcon);
    if (!icon || ImageList_AddIcon(icons, icon.get()) < 0) ImageList_AddIcon(icons, LoadIconW(nullptr, IDI_APPLICATION));
}

void ListViewSync::TypeIconsRebuilding() {
    if (!g_ui.iconImages) return;
    ImageList_RemoveAll(g_ui.iconImages.get());
    ImageList_SetBkColor(g_ui.iconImages.get(), CLR_NONE);
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
