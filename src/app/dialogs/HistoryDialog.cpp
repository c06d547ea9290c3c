#include "app/dialogs/HistoryDialog.h"

#include <commctrl.h>
#include <shlwapi.h>

#include <algorithm>
#include <string>
#include <utility>

#include "app/dialogs/DialogObject.h"
#include "app/resource.h"
#include "app/Texts.h"

namespace {

class HistoryDialog final : public DialogObject<HistoryDialog> {
public:
    explicit HistoryDialog(std::function<void(const std::vector<HistoryMove>&)> restored)
        : restored_(std::move(restored)) {}

    void Show(HWND parent) {
        DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_HISTORY), parent, DialogProc,
                        reinterpret_cast<LPARAM>(this));
    }

    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
        case WM_INITDIALOG: OnInit(); return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDC_HISTORY_UNDO) UndoSelected();
            if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog_, IDCANCEL);
            return TRUE;
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            if (header->idFrom == IDC_HISTORY_RUNS && header->code == LVN_ITEMCHANGED) EnableUndo();
            return FALSE;
        }
        default: return FALSE;
        }
    }

private:
    static const int kColumnCount = 5, kNameColumn = 3;

    HWND Runs() const { return GetDlgItem(dialog_, IDC_HISTORY_RUNS); }
    int Selected() const {
        return static_cast<int>(SendMessageW(Runs(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    }

    void OnInit() {
        static const UINT kTitles[kColumnCount] = {IDS_HISTORY_TIME, IDS_HISTORY_SOURCE, IDS_HISTORY_FILES,
                                                    IDS_HISTORY_FIRST_NAME, IDS_HISTORY_STATE};
        SendMessageW(Runs(), LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
        for (int i = 0; i < kColumnCount; ++i) {
            std::wstring title = LoadText(kTitles[i]);
            LVCOLUMNW column = {};
            column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
            column.pszText = &title[0];
            column.iSubItem = i;
            SendMessageW(Runs(), LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
        }
        Fill(0);
    }

    void SetCell(int row, int column, const std::wstring& text) {
        LVITEMW item = {};
        item.iSubItem = column;
        item.pszText = const_cast<wchar_t*>(text.c_str());
        SendMessageW(Runs(), LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    }

    // The runs, newest first, with row selected.
    void Fill(int selected) {
        runs_ = ReadHistory();
        SendMessageW(Runs(), LVM_DELETEALLITEMS, 0, 0);
        for (int i = 0; i < static_cast<int>(runs_.size()); ++i) {
            const HistoryEntry& run = runs_[i];
            LVITEMW item = {};
            item.mask = LVIF_TEXT;
            item.iItem = i;
            item.pszText = const_cast<wchar_t*>(run.time.c_str());
            SendMessageW(Runs(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
            SetCell(i, 1, LoadText(run.source == HistorySource::Window ? IDS_HISTORY_WINDOW : IDS_HISTORY_COMMAND_LINE));
            SetCell(i, 2, std::to_wstring(run.files));
            SetCell(i, 3, run.moves.empty() ? L"" : PathFindFileNameW(run.moves.front().to.c_str()));
            SetCell(i, 4, run.undone ? LoadText(IDS_HISTORY_UNDONE) : L"");
        }
        if (selected >= 0 && selected < static_cast<int>(runs_.size())) {
            LVITEMW state = {};
            state.state = state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
            SendMessageW(Runs(), LVM_SETITEMSTATE, selected, reinterpret_cast<LPARAM>(&state));
        }
        SizeColumns();
        EnableUndo();
    }

    // The widest of a column's title and texts, in the list's font, with
    // the list's margins.
    int ColumnWidth(int column) const {
        HWND list = Runs();
        HDC dc = GetDC(list);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)));
        auto width = [dc](const std::wstring& text) {
            SIZE extent = {};
            GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
            return static_cast<int>(extent.cx);
        };
        wchar_t title[64] = L"";
        LVCOLUMNW header = {};
        header.mask = LVCF_TEXT;
        header.pszText = title;
        header.cchTextMax = 64;
        SendMessageW(list, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&header));
        int widest = width(title);
        int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        for (int row = 0; row < rows; ++row) {
            wchar_t text[MAX_PATH] = L"";
            LVITEMW item = {};
            item.iSubItem = column;
            item.pszText = text;
            item.cchTextMax = MAX_PATH;
            SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
            widest = std::max(widest, width(text));
        }
        SelectObject(dc, old);
        ReleaseDC(list, dc);
        return widest + Scaled(16, WindowDpi(list));
    }

    // Each column as wide as its title and its texts; the first new name
    // takes the room that is left.
    void SizeColumns() {
        int used = 0;
        for (int column = 0; column < kColumnCount; ++column) {
            if (column == kNameColumn) continue;
            int width = ColumnWidth(column);
            SendMessageW(Runs(), LVM_SETCOLUMNWIDTH, column, width);
            used += width;
        }
        RECT client;
        GetClientRect(Runs(), &client);
        SendMessageW(Runs(), LVM_SETCOLUMNWIDTH, kNameColumn,
                     std::max(ColumnWidth(kNameColumn), static_cast<int>(client.right) - used));
    }

    void EnableUndo() {
        int row = Selected();
        bool possible = row >= 0 && row < static_cast<int>(runs_.size()) && !runs_[row].undone;
        EnableWindow(GetDlgItem(dialog_, IDC_HISTORY_UNDO), possible);
    }

    void UndoSelected() {
        int row = Selected();
        if (row < 0 || row >= static_cast<int>(runs_.size()) || runs_[row].undone) return;
        HistoryUndo undo = UndoHistoryRun(runs_[row].id);
        if (restored_ && !undo.restored.empty()) restored_(undo.restored);
        std::wstring text = FormatText(IDS_HISTORY_RESTORED, static_cast<int>(undo.restored.size()));
        if (!undo.skipped.empty()) {
            text += L"\n\n" + LoadText(IDS_HISTORY_SKIPPED);
            for (const SkippedMove& skipped : undo.skipped)
                text += L"\n" + FormatText(IDS_HISTORY_SKIPPED_FILE, skipped.path.c_str(), ReasonText(skipped.reason));
        }
        if (undo.found && !undo.marked) text += L"\n\n" + LoadText(IDS_HISTORY_NOT_MARKED);
        MessageBoxW(dialog_, text.c_str(), LoadText(IDS_APP_NAME).c_str(), MB_OK | MB_ICONINFORMATION);
        Fill(row);
    }

    std::function<void(const std::vector<HistoryMove>&)> restored_;
    std::vector<HistoryEntry> runs_;
};

} // namespace

void ShowHistoryDialog(HWND parent, std::function<void(const std::vector<HistoryMove>&)> restored) {
    HistoryDialog dialog(std::move(restored));
    dialog.Show(parent);
}
