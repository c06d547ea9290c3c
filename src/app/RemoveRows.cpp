#include "app/RemoveRows.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cwchar>
#include <new>
#include <string>
#include <vector>

#include "app/ListViewRows.h"
#include "app/ListViewSync.h"
#include "app/resource.h"
#include "app/Texts.h"
#include "filelist/FileList.h"

namespace {

// Removes the marked rows in one pass over the array; the selection and the
// focus of the rows that stay move with them.
void RemoveMarkedRows(FileList& list, HWND listView, const std::vector<char>& remove,
                      const std::vector<char>& selected) {
    const int n = static_cast<int>(remove.size());
    int focused = static_cast<int>(SendMessageW(listView, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    // Emptying the view drops its selection at once; clearing the selection
    // of a scattered set of rows takes the view time for every row.
    SendMessageW(listView, LVM_DELETEALLITEMS, 0, 0);
    list.RemoveRows(remove);
    InvalidateRect(listView, nullptr, FALSE);
    int focusedRow = -1;
    for (int i = 0, row = 0; i < n; ++i) {
        if (remove[i]) continue;
        UINT state = (selected[i] ? LVIS_SELECTED : 0) | (i == focused ? LVIS_FOCUSED : 0);
        if (state) SetRowState(listView, row, state, state);
        if (i == focused) focusedRow = row;
        ++row;
    }
    if (focusedRow >= 0) SendMessageW(listView, LVM_ENSUREVISIBLE, focusedRow, FALSE);
}

} // namespace

void RemoveSelected(FileList& list, HWND listView) {
    std::vector<char> selected = RowsInState(listView, list.Count(), LVNI_SELECTED);
    RemoveMarkedRows(list, listView, selected, selected);
}

void RemoveErrors(FileList& list, HWND listView) {
    std::vector<char> errors(list.Count(), 0);
    for (int row = 0; row < list.Count(); ++row) errors[row] = IsErrorStatus(list.At(row).status);
    RemoveMarkedRows(list, listView, errors, RowsInState(listView, list.Count(), LVNI_SELECTED));
}

bool ClearList(FileList& list, HWND window) {
    if (MessageBoxW(window, LoadText(IDS_CONFIRM_CLEAR).c_str(), LoadText(IDS_CONFIRM_CLEAR_CAPTION).c_str(),
                    MB_YESNO | MB_ICONQUESTION) != IDYES)
        return false;
    // One step for the whole list: removing row 0 again and again would move
    // the rest of the array once per row.
    list.RemoveAll();
    return true;
}

void RecycleSelected(FileList& list, HWND window, HWND listView, bool keepOnTop) {
    // The shell's path list: every path followed by a terminator, and one more at the end.
    std::wstring paths;
    int selected = 0;
    int first = -1;
    try {
        std::vector<char> marked = RowsInState(listView, list.Count(), LVNI_SELECTED);
        for (int row = 0; row < list.Count(); ++row) {
            if (!marked[row]) continue;
            paths.append(list.At(row).fullPath);
            paths.push_back(L'\0');
            if (first < 0) first = row;
            ++selected;
        }
        paths.push_back(L'\0');
    } catch (const std::bad_alloc&) {
        ShowOutOfMemory(window);
        return;
    }
    if (selected == 0) return;

    std::wstring question = selected == 1 ? FormatText(IDS_CONFIRM_RECYCLE_ONE, list.At(first).fullPath)
                                          : FormatText(IDS_CONFIRM_RECYCLE_MANY, selected);
    std::wstring caption = LoadText(selected == 1 ? IDS_CONFIRM_RECYCLE_ONE_CAPTION : IDS_CONFIRM_RECYCLE_MANY_CAPTION);

    // A topmost window would hide the question and the shell's progress.
    if (keepOnTop) SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    bool aborted = true;
    if (MessageBoxW(window, question.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES) {
        SHFILEOPSTRUCTW operation = {};
        operation.hwnd = window;
        operation.wFunc = FO_DELETE;
        operation.pFrom = paths.c_str();
        operation.fFlags = FOF_FILESONLY | FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_MULTIDESTFILES;
        // Only an abort keeps the rows; the shell reports its own errors.
        SHFileOperationW(&operation);
        aborted = operation.fAnyOperationsAborted != FALSE;
    }
    if (keepOnTop) SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(window);

    if (!aborted) RemoveSelected(list, listView);
}
