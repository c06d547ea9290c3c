#include "app/Menus.h"
#include "app/Texts.h"

#include "app/Commands.h"
#include "app/MainUi.h"
#include "app/StatusBar.h"
#include "app/Thumbnails.h"

namespace {

// Pop-up resources; each pop-up is the first sub-menu of its resource.
const int kPopupResources[6] = {IDM_POPUP_UNDO,     IDM_POPUP_THUMBNAIL, IDM_POPUP_DERIVE,
                                IDM_POPUP_LIST,     IDM_POPUP_ITEM,      IDM_POPUP_HEADER};
const int kViewMenuIndex = 2;
const int kThumbnailMenuPosition = 4;

// The position of item id in menu, or -1. (The shell's lightweight utility
// library offers this too, but a plain walk needs nothing loaded.)
int MenuPosFromId(HMENU menu, UINT id) {
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i)
        if (GetMenuItemID(menu, i) == id) return i;
    return -1;
}

void CheckItem(HMENU menu, UINT id, bool checked) {
    CheckMenuItem(menu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void CheckThumbnailItems(HMENU menu) {
    const UINT items[4] = {kCmdThumbnailNone, kCmdThumbnailSmall, kCmdThumbnailNormal, kCmdThumbnailLarge};
    for (int i = 0; i < 4; ++i) CheckItem(menu, items[i], ThumbnailDisplay() == i);
}

// The rebuild items are offered only while thumbnails are shown.
void UpdateRebuildItems() {
    HMENU menu = g_ui.popupThumbnail;
    bool present = MenuPosFromId(menu, kCmdRebuildThumbnails) >= 0;
    if (ThumbnailDisplay() != 0 && !present) {
        InsertMenuW(menu, kCmdThumbnailNone, MF_BYCOMMAND | MF_STRING, kCmdRebuildAllThumbnails,
                    LoadText(IDS_REBUILD_ALL_THUMBNAILS).c_str());
        InsertMenuW(menu, kCmdThumbnailNone, MF_BYCOMMAND | MF_STRING, kCmdRebuildThumbnails,
                    LoadText(IDS_REBUILD_THUMBNAILS).c_str());
        InsertMenuW(menu, kCmdThumbnailNone, MF_BYCOMMAND | MF_SEPARATOR, 0, nullptr);
    } else if (ThumbnailDisplay() == 0 && present) {
        DeleteMenu(menu, kCmdRebuildAllThumbnails, MF_BYCOMMAND);
        DeleteMenu(menu, kCmdRebuildThumbnails, MF_BYCOMMAND);
        DeleteMenu(menu, 0, MF_BYPOSITION); // the separator, now first
    }
}

} // namespace

void LoadMenus(HWND window) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    g_ui.mainMenu = LoadMenuW(instance, MAKEINTRESOURCEW(IDM_MAIN));
    SetMenu(window, g_ui.mainMenu);
    HMENU* popups[6] = {&g_ui.popupUndo, &g_ui.popupThumbnail, &g_ui.popupDerive,
                        &g_ui.popupList, &g_ui.popupItem,      &g_ui.popupHeader};
    for (int i = 0; i < 6; ++i) {
        g_ui.loadedMenus[i] = LoadMenuW(instance, MAKEINTRESOURCEW(kPopupResources[i]));
        *popups[i] = g_ui.loadedMenus[i] ? GetSubMenu(g_ui.loadedMenus[i], 0) : nullptr;
    }
    HMENU view = GetSubMenu(g_ui.mainMenu, kViewMenuIndex);
    if (view && g_ui.popupThumbnail) {
        // The thumbnail pop-up is shared with the toolbar's drop-down, so the
        // view menu gets a copy of the handle, detached again at closing.
        int position = GetMenuItemCount(view) < kThumbnailMenuPosition ? -1 : kThumbnailMenuPosition;
        InsertMenuW(view, position, MF_BYPOSITION | MF_POPUP | MF_STRING,
                    reinterpret_cast<UINT_PTR>(g_ui.popupThumbnail), LoadText(IDS_THUMBNAIL_MENU).c_str());
    }
    g_ui.accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDA_MAIN));
}

void DestroyMenus() {
    HMENU view = g_ui.mainMenu ? GetSubMenu(g_ui.mainMenu, kViewMenuIndex) : nullptr;
    if (view) {
        // Detach the shared thumbnail pop-up so it is destroyed only once.
        int count = GetMenuItemCount(view);
        for (int i = 0; i < count; ++i)
            if (GetSubMenu(view, i) == g_ui.popupThumbnail) RemoveMenu(view, i, MF_BYPOSITION);
    }
    for (HMENU& menu : g_ui.loadedMenus) {
        if (menu) DestroyMenu(menu);
        menu = nullptr;
    }
    if (g_ui.mainMenu && g_ui.window) SetMenu(g_ui.window, nullptr);
    if (g_ui.mainMenu) DestroyMenu(g_ui.mainMenu);
    g_ui.mainMenu = nullptr;
    if (g_ui.accelerators) DestroyAcceleratorTable(g_ui.accelerators);
    g_ui.accelerators = nullptr;
}

void OnInitMenu(HMENU menu) {
    if (menu == g_ui.mainMenu || menu == g_ui.popupThumbnail) {
        CheckThumbnailItems(g_ui.popupThumbnail);
        if (menu == g_ui.mainMenu) {
            CheckItem(menu, kCmdAlwaysOnTop, g_ui.alwaysOnTop);
            CheckItem(menu, kCmdSizeInKB, g_ui.showSizeInKB);
        }
        UpdateRebuildItems();
    }
    if (menu == g_ui.popupHeader) {
        for (const ColumnSlot& slot : g_ui.columns) CheckItem(menu, slot.menuId, slot.shown);
        CheckItem(menu, kCmdColumnCurrentName, true);
        EnableMenuItem(menu, kCmdColumnCurrentName, MF_BYCOMMAND | MF_GRAYED);
    }
}

void OnMenuSelect(UINT id, UINT flags, HMENU menu) {
    wchar_t help[1024] = L"";
    // The column items share their numbers with other strings: no help for them.
    if (menu != g_ui.popupHeader && !(flags & MF_POPUP) && !(flags & MF_SEPARATOR) && id != 0)
        LoadStringW(GetModuleHandleW(nullptr), id, help, 1024);
    SetStatusText(0, help);
}
