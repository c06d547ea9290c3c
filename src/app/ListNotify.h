// Notifications of the list view and its header: cell texts and icons on
// demand, row colours, info tips, type-ahead, sorting, context menus.
#pragma once

#include <windows.h>

LRESULT OnListNotify(HWND window, NMHDR* header);

// Header notifications, which reach the list view (the header's parent):
// true when handled, with the answer in result.
bool OnHeaderNotify(NMHDR* header, LRESULT& result);
void ShowHeaderMenu(HWND window);

// Sorts by column in the shared direction, keeping selection and focus;
// refused while a run goes on.
void SortRows(int column);
