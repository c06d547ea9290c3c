// The seven list columns: creation from the settings, showing and hiding
// from the header menu, widths kept in the settings, the order read back at
// closing, and the sort arrow.
#pragma once

#include <windows.h>

#include "settings/Settings.h"

class ListColumns {
public:
    explicit ListColumns(Settings& settings) : settings_(settings) {}
    ListColumns(const ListColumns&) = delete;
    ListColumns& operator=(const ListColumns&) = delete;

    // The header menu's item for column index.
    static int MenuId(int index);

    void Create(HWND listView, HWND header);
    // Toggles the column whose menu item is menuId; false when none has it.
    bool ToggleByMenuId(int menuId);
    // Whether a header drag may resize column index (a hidden one may not).
    bool MayResize(int index) const;
    // Stores a column's new width into its setting after a drag.
    void StoreWidth(int index, int width);
    // Reads the display order back from the list view into the settings.
    void StoreOrder();
    // Puts the sort arrow on column (or none when column is -1).
    void SetSortArrow(int column, bool descending);
    int SortColumn() const { return sortColumn_; }
    bool Shown(int index) const { return slots_[index].shown; }

private:
    struct Slot {
        bool shown;
        int rememberedWidth; // the width before the column was last hidden
    };
    void SetWidth(int index, int width);

    Settings& settings_;
    HWND listView_ = nullptr;
    HWND header_ = nullptr;
    Slot slots_[kColumnCount] = {};
    int sortColumn_ = -1; // the column with the sort arrow
};
