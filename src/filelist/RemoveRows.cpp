#include "filelist/RemoveRows.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cwchar>
#include <new>
#include <string>

#include "filelist/FileList.h"

namespace {

bool IsSelected(HWND listView, int row) {
    return SendMessageW(listView, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED;
}

int ViewCount(HWND listView) {
    return static_cast<int>(SendMessageW(listView, LVM_GETITEMCOUNT, 0, 0));
}

// Visits rows from 0; a removed row's index is examined again, since the
// next row has moved into it.
template <typename Remove>
void RemoveRowsWhere(FileList& list, HWND listView, Remove shouldRemove) {
    for (int row = 0; row < ViewCount(listView);) {
        if (shouldRemove(row) && list.RemoveEntry(row)) continue;
        ++row;
    }
}

} // namespace

void RemoveSelected(FileList& list, HWND listView) {
    RemoveRowsWhere(list, listView, [&](int row) { return IsSelected(listView, row); });
}

void RemoveErrors(FileList& list, HWND listView) {
    RemoveRowsWhere(list, listView, [&](int row) { return IsErrorStatus(list.At(row).status); });
}

bool ClearList(FileList& list, HWND window) {
    if (MessageBoxW(window, L"リストをすべてクリアしますか?", L"リストクリアの確認", MB_YESNO | MB_ICONQUESTION) != IDYES)
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
        for (int row = 0; row < ViewCount(listView); ++row) {
            if (!IsSelected(listView, row)) continue;
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

    wchar_t question[400];
    const wchar_t* caption;
    if (selected == 1) {
        swprintf(question, 400, L"'%ls' をごみ箱に移しますか?", list.At(first).fullPath);
        caption = L"ファイルの削除の確認";
    } else {
        swprintf(question, 400, L"これら %d 個のファイルをごみ箱に移しますか?", selected);
        caption = L"複数ファイルの削除の確認";
    }

    // A topmost window would hide the question and the shell's progress.
    if (keepOnTop) SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    bool aborted = true;
    if (MessageBoxW(window, question, caption, MB_YESNO | MB_ICONQUESTION) == IDYES) {
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
