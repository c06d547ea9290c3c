#include "app/ListNotify.h"

#include <commctrl.h>

#include <cwchar>
#include <string>
#include <vector>

#include "app/Commands.h"
#include "app/Fonts.h"
#include "app/ListColumns.h"
#include "app/ListViewRows.h"
#include "app/MainUi.h"
#include "app/ProgramSettings.h"
#include "app/StatusBar.h"
#include "app/Thumbnails.h"
#include "app/WindowIdle.h"
#include "filelist/FileList.h"
#include "filelist/ListPresentation.h"

namespace {

void CopyOut(const std::wstring& text, wchar_t* buffer, int capacity) {
    if (buffer == nullptr || capacity <= 0) return;
    // Display only: the control's buffer decides how much is shown.
    size_t length = text.size() < static_cast<size_t>(capacity) ? text.size() : capacity - 1;
    wmemcpy(buffer, text.c_str(), length);
    buffer[length] = L'\0';
}

void OnGetDispInfo(NMLVDISPINFOW* info) {
    LVITEMW& item = info->item;
    FileEntry entry;
    if (!Files().CopyEntry(item.iItem, entry)) {
        if (item.mask & LVIF_TEXT) CopyOut(L"", item.pszText, item.cchTextMax);
        return;
    }
    if (item.mask & LVIF_TEXT) CopyOut(CellText(entry, item.iSubItem, g_ui.showSizeInKB), item.pszText, item.cchTextMax);
    if (item.mask & LVIF_IMAGE)
        item.iImage = ThumbnailDisplay() != 0 ? item.iItem : Files().FindTypeIcon(entry.typeName);
}

LRESULT OnCustomDraw(NMLVCUSTOMDRAW* draw) {
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
        FileEntry entry;
        if (!Files().CopyEntry(static_cast<int>(draw->nmcd.dwItemSpec), entry)) return CDRF_DODEFAULT;
        const ItemDesign& design = g_settings.Design[DesignIndexForStatus(entry.status)];
        draw->clrText = design.TextColor;
        draw->clrTextBk = design.BackColor;
        SelectObject(draw->nmcd.hdc, DesignFontForStatus(entry.status));
        return CDRF_NEWFONT;
    }
    default: return CDRF_DODEFAULT;
    }
}

void OnInfoTip(NMLVGETINFOTIPW* tip) {
    FileEntry entry;
    if (Files().CopyEntry(tip->iItem, entry)) CopyOut(InfoTipText(entry), tip->pszText, tip->cchTextMax);
}

// The column searched by type-ahead: the sorted one when visible, else the
// first visible one in display order; -1 when none.
int TypeAheadColumn() {
    if (g_ui.sortColumn >= 0 && SendMessageW(g_ui.listView, LVM_GETCOLUMNWIDTH, g_ui.sortColumn, 0) != 0)
        return g_ui.sortColumn;
    int order[kColumnCount];
    if (!SendMessageW(g_ui.listView, LVM_GETCOLUMNORDERARRAY, kColumnCount, reinterpret_cast<LPARAM>(order)))
        return -1;
    for (int column : order)
        if (SendMessageW(g_ui.listView, LVM_GETCOLUMNWIDTH, column, 0) != 0) return column;
    return -1;
}

LRESULT OnFindItem(NMLVFINDITEMW* find) {
    if (!(find->lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || find->lvfi.psz == nullptr) return -1;
    int column = TypeAheadColumn();
    if (column < 0) return -1;
    return FindRowByPrefix(Files(), find->iStart, column, find->lvfi.psz, g_ui.showSizeInKB);
}

void ShowContextMenu(HWND window, HMENU menu) {
    POINT cursor;
    GetCursorPos(&cursor);
    TrackPopupMenu(menu, TPM_LEFTBUTTON, cursor.x, cursor.y, 0, window, nullptr);
}

} // namespace

void SortRows(int column) {
    if (RunInProgress() || column < 0 || column >= kColumnCount) return;
    FileList& list = Files();
    int n = list.Count();
    if (n > 0) {
        // The selection and the focus travel with the records. The view is
        // asked with its own search, not row by row, and a selection that
        // holds every row stays as it is: the view takes time for every row
        // whose state changes.
        int selected = static_cast<int>(SendMessageW(g_ui.listView, LVM_GETSELECTEDCOUNT, 0, 0));
        bool moveSelection = selected > 0 && selected < n;
        std::vector<char> marked = RowsInState(g_ui.listView, moveSelection ? n : 0, LVNI_SELECTED);
        for (int i = 0; i < n; ++i) list.At(i).savedItemState = moveSelection && marked[i] ? LVIS_SELECTED : 0;
        int focus = static_cast<int>(SendMessageW(g_ui.listView, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
        if (focus >= 0 && focus < n) {
            list.At(focus).savedItemState |= LVIS_FOCUSED;
            SetRowState(g_ui.listView, focus, 0, LVIS_FOCUSED);
        }
        // Emptying the view drops a partial selection at once.
        if (moveSelection) SendMessageW(g_ui.listView, LVM_DELETEALLITEMS, 0, 0);

        SortByColumn(list, column, g_ui.sortDescending);
        list.SyncView();

        int focused = -1;
        for (int i = 0; i < n; ++i) {
            UINT saved = list.At(i).savedItemState;
            if (saved == 0) continue;
            SetRowState(g_ui.listView, i, saved, saved);
            if (saved & LVIS_FOCUSED) focused = i;
        }
        if (focused >= 0) SendMessageW(g_ui.listView, LVM_ENSUREVISIBLE, focused, FALSE);
        SetSortArrow(column, g_ui.sortDescending);
    }
    InvalidateRect(g_ui.listView, nullptr, FALSE);
    g_ui.sortDescending = !g_ui.sortDescending;
}

bool OnHeaderNotify(NMHDR* header, LRESULT& result) {
    switch (header->code) {
    case HDN_BEGINTRACKW:
    case HDN_BEGINTRACKA:
        // A hidden column stays hidden: it cannot be dragged open.
        result = ColumnMayResize(reinterpret_cast<NMHEADERW*>(header)->iItem) ? FALSE : TRUE;
        return result == TRUE;
    case HDN_ENDTRACKW:
    case HDN_ENDTRACKA: {
        auto* item = reinterpret_cast<NMHEADERW*>(header);
        if (item->pitem && (item->pitem->mask & HDI_WIDTH)) StoreColumnWidth(item->iItem, item->pitem->cxy);
        return false; // the list view still does its part
    }
    default: return false;
    }
}

void ShowHeaderMenu(HWND window) {
    ShowContextMenu(window, g_ui.popupHeader);
}

LRESULT OnListNotify(HWND window, NMHDR* header) {
    if (header->idFrom != kListViewId || header->hwndFrom != g_ui.listView) return 0;
    switch (header->code) {
    case LVN_GETDISPINFOW: OnGetDispInfo(reinterpret_cast<NMLVDISPINFOW*>(header)); return 0;
    case NM_CUSTOMDRAW: return OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(header));
    case LVN_GETINFOTIPW: OnInfoTip(reinterpret_cast<NMLVGETINFOTIPW*>(header)); return 0;
    case LVN_ODFINDITEMW: return OnFindItem(reinterpret_cast<NMLVFINDITEMW*>(header));
    case LVN_ITEMCHANGED:
    case LVN_ODSTATECHANGED: UpdateSelectionCounter(); return 0;
    case LVN_COLUMNCLICK: SortRows(reinterpret_cast<NMLISTVIEW*>(header)->iSubItem); return 0;
    case NM_RCLICK: {
        auto* click = reinterpret_cast<NMITEMACTIVATE*>(header);
        ShowContextMenu(window, click->iItem >= 0 ? g_ui.popupItem : g_ui.popupList);
        return 0;
    }
    case NM_DBLCLK: {
        auto* click = reinterpret_cast<NMITEMACTIVATE*>(header);
        if (click->iItem >= 0) OnCommand(window, kCmdViewer);
        return 0;
    }
    default: return 0;
    }
}
