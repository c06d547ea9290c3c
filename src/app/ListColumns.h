// The seven list columns: creation from the settings, showing and hiding
// from the header menu, widths kept in the settings, the order read back at
// closing, and the sort arrow.
//
// The settings keep widths at 96 DPI, so a Zorvel.cfg means the same on
// every display; the list view is given them scaled to the window's DPI.
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

    void Create(HWND listView, HWND header, int dpi);
    // The widths again, for a window now shown at dpi.
    void SetDpi(int dpi);
    // Toggles the column whose menu item is menuId; false when none has it.
    bool ToggleByMenuId(int menuId);
    // Whether a header drag may resize column index (a hidden one may not).
    bool MayResize(int index) const;
    // Stores a column's new width (pixels) into its setting after a drag.
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
        int rememberedWidth; // the width before the column was last hidden (96 DPI)
    };
    // Gives the list view a width kept at 96 DPI (0 hides; below 0 is the
    // list view's own automatic width).
    void SetWidth(int index, int width);

    Settings& settings_;
    HWND listView_ = nullptr;
    HWND header_ = nullptr;
    int dpi_ = 96;
    Slot slots_[kColumnCount] = {};
    int sortColumn_ = -1; // the column with the sort arrow
};
