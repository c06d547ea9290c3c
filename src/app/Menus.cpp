#include "app/Menus.h"

#include "app/ListColumns.h"
#include "app/resource.h"
#include "app/StatusBar.h"
#include "app/Texts.h"

namespace {

// Pop-up resources; each pop-up is the first sub-menu of its resource.
const int kPopupResources[6] = {IDM_POPUP_UNDO, IDM_POPUP_THUMBNAIL, IDM_POPUP_DERIVE,
                                IDM_POPUP_LIST, IDM_POPUP_ITEM,      IDM_POPUP_HEADER};
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

} // namespace

void MainMenus::Load(HWND window) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    main_ = LoadMenuW(instance, MAKEINTRESOURCEW(IDM_MAIN));
    SetMenu(window, main_);
    HMENU* popups[6] = {&undo_, &thumbnail_, &derive_, &list_, &item_, &header_};
    for (int i = 0; i < 6; ++i) {
        loaded_[i] = LoadMenuW(instance, MAKEINTRESOURCEW(kPopupResources[i]));
        *popups[i] = loaded_[i] ? GetSubMenu(loaded_[i], 0) : nullptr;
    }
    HMENU view = GetSubMenu(main_, kViewMenuIndex);
    if (view && thumbnail_) {
        // The thumbnail pop-up is shared with the toolbar's drop-down, so the
        // view menu gets a copy of the handle, detached again at closing.
        int position = GetMenuItemCount(view) < kThumbnailMenuPosition ? -1 : kThumbnailMenuPosition;
        InsertMenuW(view, position, MF_BYPOSITION | MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(thumbnail_),
                    LoadText(IDS_THUMBNAIL_MENU).c_str());
    }
    accelerators_ = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDA_MAIN));
}

void MainMenus::Destroy(HWND window) {
    HMENU view = main_ ? GetSubMenu(main_, kViewMenuIndex) : nullptr;
    if (view) {
        // Detach the shared thumbnail pop-up so it is destroyed only once.
        int count = GetMenuItemCount(view);
        for (int i = 0; i < count; ++i)
            if (GetSubMenu(view, i) == thumbnail_) RemoveMenu(view, i, MF_BYPOSITION);
    }
    for (HMENU& menu : loaded_) {
        if (menu) DestroyMenu(menu);
        menu = nullptr;
    }
    undo_ = thumbnail_ = derive_ = list_ = item_ = header_ = nullptr;
    if (main_ && window) SetMenu(window, nullptr);
    if (main_) DestroyMenu(main_);
    main_ = nullptr;
    if (accelerators_) DestroyAcceleratorTable(accelerators_);
    accelerators_ = nullptr;
}

// The rebuild items are offered only while thumbnails are shown.
void MainMenus::UpdateRebuildItems(int thumbnailDisplay) {
    bool present = MenuPosFromId(thumbnail_, ID_THUMBNAIL_REBUILD_SELECTED) >= 0;
    if (thumbnailDisplay != 0 && !present) {
        InsertMenuW(thumbnail_, ID_THUMBNAIL_NONE, MF_BYCOMMAND | MF_STRING, ID_THUMBNAIL_REBUILD_ALL,
                    LoadText(IDS_REBUILD_ALL_THUMBNAILS).c_str());
        InsertMenuW(thumbnail_, ID_THUMBNAIL_NONE, MF_BYCOMMAND | MF_STRING, ID_THUMBNAIL_REBUILD_SELECTED,
                    LoadText(IDS_REBUILD_THUMBNAILS).c_str());
        InsertMenuW(thumbnail_, ID_THUMBNAIL_NONE, MF_BYCOMMAND | MF_SEPARATOR, 0, nullptr);
    } else if (thumbnailDisplay == 0 && present) {
        DeleteMenu(thumbnail_, ID_THUMBNAIL_REBUILD_ALL, MF_BYCOMMAND);
        DeleteMenu(thumbnail_, ID_THUMBNAIL_REBUILD_SELECTED, MF_BYCOMMAND);
        DeleteMenu(thumbnail_, 0, MF_BYPOSITION); // the separator, now first
    }
}

void MainMenus::OnInit(HMENU menu, const MenuState& state) {
    if (menu == main_ || menu == thumbnail_) {
        const UINT sizes[4] = {ID_THUMBNAIL_NONE, ID_THUMBNAIL_SMALL, ID_THUMBNAIL_NORMAL, ID_THUMBNAIL_LARGE};
        for (int i = 0; i < 4; ++i) CheckItem(thumbnail_, sizes[i], state.thumbnailDisplay == i);
        if (menu == main_) {
            CheckItem(menu, ID_VIEW_TOPMOST, state.alwaysOnTop);
            CheckItem(menu, ID_VIEW_SIZE_KB, state.sizeInKB);
        }
        UpdateRebuildItems(state.thumbnailDisplay);
    }
    if (menu == header_) {
        for (int i = 0; i < kColumnCount; ++i) CheckItem(menu, ListColumns::MenuId(i), state.columnShown[i]);
        CheckItem(menu, ID_COLUMN_NAME, true);
        EnableMenuItem(menu, ID_COLUMN_NAME, MF_BYCOMMAND | MF_GRAYED);
    }
}

void MainMenus::OnSelect(UINT id, UINT flags, HMENU menu, StatusBar& status) const {
    wchar_t help[1024] = L"";
    // The column items share their numbers with other strings: no help for them.
    if (menu != header_ && !(flags & MF_POPUP) && !(flags & MF_SEPARATOR) && id != 0)
        LoadStringW(GetModuleHandleW(nullptr), id, help, 1024);
    status.SetText(0, help);
}
