// The seven list columns: creation from the settings, showing and hiding
// from the header menu, and the order read back at closing.
#pragma once

#include <windows.h>

void CreateListColumns();
// Toggles the column whose menu item is menuId; false when none has it.
bool ToggleColumnByMenuId(int menuId);
// Whether a header drag may resize column index (a hidden one may not).
bool ColumnMayResize(int index);
// Stores a column's new width into its setting after a drag.
void StoreColumnWidth(int index, int width);
// Reads the display order back from the list view into the settings.
void StoreColumnOrder();
// Puts the sort arrow on column (or none when column is -1).
void SetSortArrow(int column, bool descending);
