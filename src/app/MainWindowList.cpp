// The main window's list view: cell texts and icons on demand, row colours,
// info tips, type-ahead, sorting, the header's drags and the context menus.
#include "app/MainWindow.h"

#include <commctrl.h>

#include <cwchar>
#include <string>
#include <vector>

#include "app/ListViewRows.h"
#include "app/resource.h"
#include "filelist/ListPresentation.h"
#include "naming/Clashes.h"

namespace {

void CopyOut(const std::wstring& text, wchar_t* buffer, int capacity) {
    if (buffer == nullptr || capacity <= 0) return;
    // Display only: the control's buffer decides how much is shown.
    size_t length = text.size() < static_cast<size_t>(capacity) ? text.size() : capacity - 1;
    wmemcpy(buffer, text.c_str(), length);
    buffer[length] = L'\0';
}

} // namespace

void MainWindow::OnGetDispInfo(NMLVDISPINFOW* info) {
    LVITEMW& item = info->item;
    FileEntry entry;
    if (!files_.CopyEntry(item.iItem, entry)) {
        if (item.mask & LVIF_TEXT) CopyOut(L"", item.pszText, item.cchTextMax);
        return;
    }
    if (item.mask & LVIF_TEXT)
        CopyOut(CellText(entry, files_.Note(item.iItem), item.iSubItem, showSizeInKB_), item.pszText, item.cchTextMax);
    if (item.mask & LVIF_IMAGE) item.iImage = thumbnails_.Display() != 0 ? item.iItem : files_.FindTypeIcon(entry.typeName);
}

LRESULT MainWindow::OnCustomDraw(NMLVCUSTOMDRAW* draw) {
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
        FileEntry entry;
        if (!files_.CopyEntry(static_cast<int>(draw->nmcd.dwItemSpec), entry)) return CDRF_DODEFAULT;
        const ItemDesign& design = settings_.Design[DesignIndexForStatus(entry.status)];
        draw->clrText = design.TextColor;
        draw->clrTextBk = design.BackColor;
        SelectObject(draw->nmcd.hdc, fonts_.ForStatus(entry.status));
        return CDRF_NEWFONT;
    }
    default: return CDRF_DODEFAULT;
    }
}

void MainWindow::OnInfoTip(NMLVGETINFOTIPW* tip) {
    FileEntry entry;
    if (files_.CopyEntry(tip->iItem, entry))
        CopyOut(InfoTipText(entry, files_.Note(tip->iItem)), tip->pszText, tip->cchTextMax);
}

// The column searched by type-ahead: the sorted one when visible, else the
// first visible one in display order; -1 when none.
int MainWindow::TypeAheadColumn() const {
    int sorted = columns_.SortColumn();
    if (sorted >= 0 && SendMessageW(listView_, LVM_GETCOLUMNWIDTH, sorted, 0) != 0) return sorted;
    int order[kColumnCount];
    if (!SendMessageW(listView_, LVM_GETCOLUMNORDERARRAY, kColumnCount, reinterpret_cast<LPARAM>(order))) return -1;
    for (int column : order)
        if (SendMessageW(listView_, LVM_GETCOLUMNWIDTH, column, 0) != 0) return column;
    return -1;
}

LRESULT MainWindow::OnFindItem(NMLVFINDITEMW* find) {
    if (!(find->lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || find->lvfi.psz == nullptr) return -1;
    int column = TypeAheadColumn();
    if (column < 0) return -1;
    return FindRowByPrefix(files_, find->iStart, column, find->lvfi.psz, showSizeInKB_);
}

void MainWindow::ShowContextMenu(HMENU menu) {
    POINT cursor;
    GetCursorPos(&cursor);
    TrackPopupMenu(menu, TPM_LEFTBUTTON, cursor.x, cursor.y, 0, window_, nullptr);
}

void MainWindow::SortRows(int column) {
    if (runs_.InProgress() || column < 0 || column >= kColumnCount) return;
    int n = files_.Count();
    if (n > 0) {
        // The selection and the focus travel with the records. The view is
        // asked with its own search, not row by row, and a selection that
        // holds every row stays as it is: the view takes time for every row
        // whose state changes.
        int selected = static_cast<int>(SendMessageW(listView_, LVM_GETSELECTEDCOUNT, 0, 0));
        bool moveSelection = selected > 0 && selected < n;
        std::vector<char> marked = RowsInState(listView_, moveSelection ? n : 0, LVNI_SELECTED);
        for (int i = 0; i < n; ++i) files_.At(i).savedItemState = moveSelection && marked[i] ? LVIS_SELECTED : 0;
        int focus = static_cast<int>(SendMessageW(listView_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
        if (focus >= 0 && focus < n) {
            files_.At(focus).savedItemState |= LVIS_FOCUSED;
            SetRowState(listView_, focus, 0, LVIS_FOCUSED);
        }
        // Emptying the view drops a partial selection at once.
        if (moveSelection) SendMessageW(listView_, LVM_DELETEALLITEMS, 0, 0);

        SortByColumn(files_, column, sortDescending_);
        files_.SyncView();
        // Which of two equal proposals comes first may have changed.
        ForeseeClashes(files_, DiskCheck::Unsettled);

        int focused = -1;
        for (int i = 0; i < n; ++i) {
            UINT saved = files_.At(i).savedItemState;
            if (saved == 0) continue;
            SetRowState(listView_, i, saved, saved);
            if (saved & LVIS_FOCUSED) focused = i;
        }
        if (focused >= 0) SendMessageW(listView_, LVM_ENSUREVISIBLE, focused, FALSE);
        columns_.SetSortArrow(column, sortDescending_);
    }
    InvalidateRect(listView_, nullptr, FALSE);
    sortDescending_ = !sortDescending_;
}

bool MainWindow::OnHeaderNotify(NMHDR* header, LRESULT& result) {
    switch (header->code) {
    case HDN_BEGINTRACKW:
    case HDN_BEGINTRACKA:
        // A hidden column stays hidden: it cannot be dragged open.
        result = columns_.MayResize(reinterpret_cast<NMHEADERW*>(header)->iItem) ? FALSE : TRUE;
        return result == TRUE;
    case HDN_ENDTRACKW:
    case HDN_ENDTRACKA: {
        auto* item = reinterpret_cast<NMHEADERW*>(header);
        if (item->pitem && (item->pitem->mask & HDI_WIDTH)) columns_.StoreWidth(item->iItem, item->pitem->cxy);
        return false; // the list view still does its part
    }
    default: return false;
    }
}

LRESULT MainWindow::OnListNotify(NMHDR* header) {
    if (header->hwndFrom != listView_) return 0;
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
        ShowContextMenu(click->iItem >= 0 ? menus_.ItemPopup() : menus_.ListPopup());
        return 0;
    }
    case NM_DBLCLK: {
        auto* click = reinterpret_cast<NMITEMACTIVATE*>(header);
        if (click->iItem >= 0) OnCommand(ID_ITEM_OPEN_VIEWER);
        return 0;
    }
    default: return 0;
    }
}
