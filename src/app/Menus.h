// The window menu, the pop-up menus (list background, list row, thumbnail
// size, column header, derive and undo drop-downs) and the accelerators.
#pragma once

#include <windows.h>

#include "settings/Settings.h"

class StatusBar;

// What the menus show checked when they open.
struct MenuState {
    int thumbnailDisplay;     // 0 none .. 3 large
    bool alwaysOnTop;
    bool sizeInKB;
    bool columnShown[kColumnCount];
};

class MainMenus {
public:
    MainMenus() = default;
    MainMenus(const MainMenus&) = delete;
    MainMenus& operator=(const MainMenus&) = delete;

    // Loads them all and gives the window its menu.
    void Load(HWND window);
    void Destroy(HWND window);

    // WM_INITMENU: check marks, and the rebuild items only while thumbnails are shown.
    void OnInit(HMENU menu, const MenuState& state);
    // WM_MENUSELECT: status part 0 shows the help text of the highlighted item.
    void OnSelect(UINT id, UINT flags, HMENU menu, StatusBar& status) const;

    HMENU Main() const { return main_; }
    HMENU ListPopup() const { return list_; }
    HMENU ItemPopup() const { return item_; }
    HMENU ThumbnailPopup() const { return thumbnail_; }
    HMENU HeaderPopup() const { return header_; }
    HMENU DerivePopup() const { return derive_; }
    HMENU UndoPopup() const { return undo_; }
    HACCEL Accelerators() const { return accelerators_; }

private:
    void UpdateRebuildItems(int thumbnailDisplay);

    HMENU main_ = nullptr;
    HMENU loaded_[6] = {}; // the pop-up resources, destroyed at closing
    HMENU undo_ = nullptr, thumbnail_ = nullptr, derive_ = nullptr, list_ = nullptr, item_ = nullptr, header_ = nullptr;
    HACCEL accelerators_ = nullptr;
};
