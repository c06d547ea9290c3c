#include "app/ListColumns.h"

#include <commctrl.h>

#include <string>

#include "app/Dpi.h"
#include "app/resource.h"
#include "app/Texts.h"

namespace {

struct ColumnDefinition {
    UINT title; // string id
    int format;
    int menuId;
    int defaultWidth; // when it comes back without a remembered width
};

const ColumnDefinition kColumns[kColumnCount] = {
    {IDS_COLUMN_CURRENT_NAME, LVCFMT_LEFT, ID_COLUMN_NAME, 180},
    {IDS_COLUMN_NEW_NAME, LVCFMT_LEFT, ID_COLUMN_NEW_NAME, 220},
    {IDS_COLUMN_STATUS, LVCFMT_LEFT, ID_COLUMN_STATUS, 220},
    {IDS_COLUMN_DIRECTORY, LVCFMT_LEFT, ID_COLUMN_DIRECTORY, 220},
    {IDS_COLUMN_SIZE, LVCFMT_RIGHT, ID_COLUMN_SIZE, 100},
    {IDS_COLUMN_TYPE, LVCFMT_LEFT, ID_COLUMN_TYPE, 130},
    {IDS_COLUMN_LAST_MODIFIED, LVCFMT_LEFT, ID_COLUMN_MODIFIED, 130},
};

} // namespace

int ListColumns::MenuId(int index) {
    return kColumns[index].menuId;
}

void ListColumns::SetWidth(int index, int width) {
    SendMessageW(listView_, LVM_SETCOLUMNWIDTH, index, width > 0 ? Scaled(width, dpi_) : width);
}

void ListColumns::Create(HWND listView, HWND header, int dpi) {
    listView_ = listView;
    header_ = header;
    dpi_ = dpi;
    for (int i = 0; i < kColumnCount; ++i) {
        slots_[i] = {settings_.ColumnWidth[i] != 0, settings_.ColumnWidth[i]};
        LVCOLUMNW column = {};
        column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.fmt = kColumns[i].format;
        std::wstring title = LoadText(kColumns[i].title);
        column.pszText = &title[0];
        column.cx = 0;
        column.iSubItem = i;
        SendMessageW(listView_, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
    for (int i = 0; i < kColumnCount; ++i) SetWidth(i, settings_.ColumnWidth[i]);
    SendMessageW(listView_, LVM_SETCOLUMNORDERARRAY, kColumnCount, reinterpret_cast<LPARAM>(settings_.Order));
}

void ListColumns::SetDpi(int dpi) {
    dpi_ = dpi;
    for (int i = 0; i < kColumnCount; ++i)
        if (slots_[i].shown) SetWidth(i, settings_.ColumnWidth[i]);
}

bool ListColumns::ToggleByMenuId(int menuId) {
    for (int index = 0; index < kColumnCount; ++index) {
        if (kColumns[index].menuId != menuId) continue;
        if (index == kColCurrentName) return true; // can never be hidden
        Slot& slot = slots_[index];
        if (slot.shown) {
            slot.rememberedWidth =
                Unscaled(static_cast<int>(SendMessageW(listView_, LVM_GETCOLUMNWIDTH, index, 0)), dpi_);
            settings_.ColumnWidth[index] = 0;
            slot.shown = false;
            SetWidth(index, 0);
        } else {
            int width = slot.rememberedWidth != 0 ? slot.rememberedWidth : kColumns[index].defaultWidth;
            settings_.ColumnWidth[index] = width;
            slot.shown = true;
            SetWidth(index, width);
        }
        return true;
    }
    return false;
}

bool ListColumns::MayResize(int index) const {
    if (index < 0 || index >= kColumnCount) return false;
    return SendMessageW(listView_, LVM_GETCOLUMNWIDTH, index, 0) != 0;
}

void ListColumns::StoreWidth(int index, int width) {
    if (index < 0 || index >= kColumnCount) return;
    settings_.ColumnWidth[index] = Unscaled(width, dpi_);
    slots_[index].shown = width != 0;
}

void ListColumns::StoreOrder() {
    int order[kColumnCount];
    if (SendMessageW(listView_, LVM_GETCOLUMNORDERARRAY, kColumnCount, reinterpret_cast<LPARAM>(order)))
        for (int i = 0; i < kColumnCount; ++i) settings_.Order[i] = order[i];
}

void ListColumns::SetSortArrow(int column, bool descending) {
    for (int i = 0; i < kColumnCount; ++i) {
        HDITEMW item = {};
        item.mask = HDI_FORMAT;
        SendMessageW(header_, HDM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (i == column) item.fmt |= descending ? HDF_SORTDOWN : HDF_SORTUP;
        SendMessageW(header_, HDM_SETITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
    sortColumn_ = column;
}
