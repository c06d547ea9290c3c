#include "app/ListColumns.h"

#include <commctrl.h>

#include <string>

#include "app/Commands.h"
#include "app/MainUi.h"
#include "app/ProgramSettings.h"
#include "app/Texts.h"

namespace {

struct ColumnDefinition {
    UINT title; // string id
    int format;
    int menuId;
    int defaultWidth;
};

const ColumnDefinition kColumns[kColumnCount] = {
    {IDS_COLUMN_CURRENT_NAME, LVCFMT_LEFT, kCmdColumnCurrentName, 180},
    {IDS_COLUMN_NEW_NAME, LVCFMT_LEFT, kCmdColumnNewName, 220},
    {IDS_COLUMN_STATUS, LVCFMT_LEFT, kCmdColumnStatus, 220},
    {IDS_COLUMN_DIRECTORY, LVCFMT_LEFT, kCmdColumnDirectory, 220},
    {IDS_COLUMN_SIZE, LVCFMT_RIGHT, kCmdColumnSize, 100},
    {IDS_COLUMN_TYPE, LVCFMT_LEFT, kCmdColumnType, 130},
    {IDS_COLUMN_LAST_MODIFIED, LVCFMT_LEFT, kCmdColumnLastModified, 130},
};

int& WidthSetting(int index) {
    return g_settings.ColumnWidth[index];
}

void SetColumnWidth(int index, int width) {
    SendMessageW(g_ui.listView, LVM_SETCOLUMNWIDTH, index, width);
}

} // namespace

void CreateListColumns() {
    for (int i = 0; i < kColumnCount; ++i) {
        ColumnSlot& slot = g_ui.columns[i];
        slot = {i, kColumns[i].menuId, false, WidthSetting(i), kColumns[i].defaultWidth};
        LVCOLUMNW column = {};
        column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.fmt = kColumns[i].format;
        std::wstring title = LoadText(kColumns[i].title);
        column.pszText = &title[0];
        column.cx = 0;
        column.iSubItem = i;
        SendMessageW(g_ui.listView, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
        slot.shown = WidthSetting(i) != 0;
    }
    for (int i = 0; i < kColumnCount; ++i) SetColumnWidth(i, WidthSetting(i));
    SendMessageW(g_ui.listView, LVM_SETCOLUMNORDERARRAY, kColumnCount, reinterpret_cast<LPARAM>(g_settings.Order));
}

bool ToggleColumnByMenuId(int menuId) {
    for (ColumnSlot& slot : g_ui.columns) {
        if (slot.menuId != menuId) continue;
        if (slot.index == kColCurrentName) return true; // can never be hidden
        if (slot.shown) {
            slot.rememberedWidth = static_cast<int>(SendMessageW(g_ui.listView, LVM_GETCOLUMNWIDTH, slot.index, 0));
            WidthSetting(slot.index) = 0;
            slot.shown = false;
            SetColumnWidth(slot.index, 0);
        } else {
            int width = slot.rememberedWidth != 0 ? slot.rememberedWidth : slot.defaultWidth;
            WidthSetting(slot.index) = width;
            slot.shown = true;
            SetColumnWidth(slot.index, width);
        }
        return true;
    }
    return false;
}

bool ColumnMayResize(int index) {
    if (index < 0 || index >= kColumnCount) return false;
    return SendMessageW(g_ui.listView, LVM_GETCOLUMNWIDTH, index, 0) != 0;
}

void StoreColumnWidth(int index, int width) {
    if (index < 0 || index >= kColumnCount) return;
    WidthSetting(index) = width;
    g_ui.columns[index].shown = width != 0;
}

void StoreColumnOrder() {
    int order[kColumnCount];
    if (SendMessageW(g_ui.listView, LVM_GETCOLUMNORDERARRAY, kColumnCount, reinterpret_cast<LPARAM>(order)))
        for (int i = 0; i < kColumnCount; ++i) g_settings.Order[i] = order[i];
}

void SetSortArrow(int column, bool descending) {
    for (int i = 0; i < kColumnCount; ++i) {
        HDITEMW item = {};
        item.mask = HDI_FORMAT;
        SendMessageW(g_ui.header, HDM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (i == column) item.fmt |= descending ? HDF_SORTDOWN : HDF_SORTUP;
        SendMessageW(g_ui.header, HDM_SETITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
    g_ui.sortColumn = column;
}
