#include "app/ListViewSync.h"

#include <commctrl.h>
#include <shellapi.h>

#include "app/resource.h"
#include "app/Texts.h"
#include "app/ThumbnailStrip.h"

void ListViewSync::Create(HWND window, HWND listView, int iconSize) {
    window_ = window;
    listView_ = listView;
    SetIconSize(iconSize);
}

void ListViewSync::SetIconSize(int iconSize) {
    iconSize_ = iconSize;
    ScopedImageList icons(ImageList_Create(iconSize, iconSize, ILC_COLOR32 | ILC_MASK, 8, 8));
    ImageList_SetBkColor(icons.get(), CLR_NONE);
    SendMessageW(listView_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(icons.get()));
    icons_ = std::move(icons);
}

void ListViewSync::Release() {
    if (listView_) SendMessageW(listView_, LVM_SETIMAGELIST, LVSIL_SMALL, 0);
    icons_.reset();
    window_ = listView_ = nullptr;
}

void ListViewSync::CountChanged(int count) {
    if (listView_) SendMessageW(listView_, LVM_SETITEMCOUNT, count, LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
}

void ListViewSync::RemovingAll() {
    if (listView_) SendMessageW(listView_, LVM_DELETEALLITEMS, 0, 0);
    thumbnails_.Cleared();
}

void ListViewSync::RowsReordered(const std::vector<int>& order) {
    thumbnails_.FollowReorder(order);
}

void ListViewSync::RowsRemoved(const std::vector<char>& removed) {
    thumbnails_.FollowRemoval(removed);
}

void ListViewSync::OutOfMemory() {
    ShowOutOfMemory(window_);
    if (window_) PostMessageW(window_, WM_CLOSE, 0, 0);
}

// Called on the adding worker's thread; an image list takes that. Above the
// system's small icon size (a monitor of a higher DPI than the system's) the
// shell's large icon is drawn smaller, never the small one larger.
void ListViewSync::TypeAdded(int, const wchar_t* path) {
    if (!icons_) return;
    SHFILEINFOW info = {};
    SHGetFileInfoW(path, 0, &info, sizeof(info), SHGFI_ICON | (iconSize_ > GetSystemMetrics(SM_CXSMICON) ? SHGFI_LARGEICON : SHGFI_SMALLICON));
    ScopedIcon icon(info.hIcon);
    if (!icon || ImageList_AddIcon(icons_.get(), icon.get()) < 0)
        ImageList_AddIcon(icons_.get(), LoadIconW(nullptr, IDI_APPLICATION));
}

void ListViewSync::TypeIconsRebuilding() {
    if (!icons_) return;
    ImageList_RemoveAll(icons_.get());
    ImageList_SetBkColor(icons_.get(), CLR_NONE);
}

void ListViewSync::TypeIconsRebuilt() {
    if (listView_ && icons_)
        SendMessageW(listView_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(icons_.get()));
}

void ShowOutOfMemory(HWND owner) {
    MessageBoxW(owner, LoadText(IDS_OUT_OF_MEMORY).c_str(), LoadText(IDS_APP_NAME).c_str(), MB_OK | MB_ICONERROR);
}
