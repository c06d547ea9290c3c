// Row states of the list view that shows the file list. The view takes time
// for every row whose state it is asked about or changes (and a change of
// row -1 touches every row), so rows are found with its own search.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <vector>

inline void SetRowState(HWND listView, int row, UINT state, UINT mask) {
    LVITEMW item = {};
    item.state = state;
    item.stateMask = mask;
    SendMessageW(listView, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

// Marks the rows below count in a state (LVNI_SELECTED, say).
inline std::vector<char> RowsInState(HWND listView, int count, UINT state) {
    std::vector<char> rows(count, 0);
    for (int i = -1; (i = static_cast<int>(SendMessageW(listView, LVM_GETNEXTITEM, i, state))) >= 0 && i < count;)
        rows[i] = 1;
    return rows;
}
