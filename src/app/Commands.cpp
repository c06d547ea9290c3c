#include "app/Commands.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cwchar>
#include <string>

#include "app/AddRuns.h"
#include "app/ProgramSettings.h"
#include "app/dialogs/EditNameDialog.h"
#include "app/dialogs/FileDialogs.h"
#include "app/ListColumns.h"
#include "app/ListViewRows.h"
#include "app/MainUi.h"
#include "app/OptionsCommand.h"
#include "app/RemoveRows.h"
#include "app/StatusBar.h"
#include "app/Texts.h"
#include "app/Thumbnails.h"
#include "app/Toolbar.h"
#include "app/UpdateRun.h"
#include "app/WindowIdle.h"
#include "base/Text.h"
#include "filelist/AddFiles.h"
#include "filelist/FileList.h"
#include "naming/NameFormat.h"
#include "rename/EntryBatch.h"
#include "rename/RenameEntry.h"

namespace {

int RowCount() {
    return static_cast<int>(SendMessageW(g_ui.listView, LVM_GETITEMCOUNT, 0, 0));
}

int FocusedRow() {
    return static_cast<int>(SendMessageW(g_ui.listView, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

void SetRowState(int row, UINT state, UINT mask) {
    SetRowState(g_ui.listView, row, state, mask);
}

void OpenFiles(HWND window) {
    if (!KindsOf(g_settings).Any()) return;
    int firstRow = Files().Count();
    g_ui.busy = true;
    SetStatusText(1, LoadText(IDS_ADDING_FILES).c_str());
    if (OpenFilesDialog(window, Files())) {
        PostMessageW(window, WM_APP_FILES_ADDED, firstRow, 0);
        UpdateListStatus(true);
    } else {
        g_ui.busy = false;
        SetStatusText(1, L"");
    }
}

void OpenFolder(HWND window) {
    if (!KindsOf(g_settings).Any()) return;
    std::wstring folder;
    if (BrowseFolderDialog(window, folder)) StartFolderAdd(folder.c_str(), true);
}

void InvertSelection() {
    int count = RowCount();
    for (int i = 0; i < count; ++i) {
        UINT selected = static_cast<UINT>(SendMessageW(g_ui.listView, LVM_GETITEMSTATE, i, LVIS_SELECTED));
        SetRowState(i, selected ? 0 : LVIS_SELECTED, LVIS_SELECTED);
    }
}

void ToggleAlwaysOnTop(HWND window) {
    g_ui.alwaysOnTop = !g_ui.alwaysOnTop;
    SetWindowPos(window, g_ui.alwaysOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

// Asks for the viewer program; false when none was chosen.
bool ChooseViewer(HWND window) {
    wchar_t path[MAX_PATH];
    return ChooseViewerDialog(window, IDS_VIEWER_FILTER, path) && CopyText(g_settings.Path, path);
}

void OpenInViewer(HWND window) {
    if (g_settings.Path[0] == L'\0' && !ChooseViewer(window)) return;
    int row = FocusedRow();
    FileEntry entry;
    if (row < 0 || !Files().CopyEntry(row, entry)) return;
    std::wstring parameters = std::wstring(L"\"") + entry.fullPath + L"\"";
    ShellExecuteW(window, nullptr, g_settings.Path, parameters.c_str(), nullptr, SW_SHOW);
    SendMessageW(g_ui.listView, LVM_ENSUREVISIBLE, row, FALSE);
}

void CopyToClipboard(HWND window, bool fullPath) {
    int row = FocusedRow();
    FileEntry entry;
    if (row < 0 || !Files().CopyEntry(row, entry)) return;
    const wchar_t* text = fullPath ? entry.fullPath : entry.name;
    size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
    if (!OpenClipboard(window)) return;
    EmptyClipboard();
    ScopedGlobal memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (memory) {
        void* locked = GlobalLock(memory.get());
        if (locked) {
            memcpy(locked, text, bytes);
            GlobalUnlock(memory.get());
            // The clipboard owns the memory once it accepts it.
            if (SetClipboardData(CF_UNICODETEXT, memory.get())) memory.release();
        }
    }
    CloseClipboard();
}

void ShowProperties(HWND window) {
    int row = FocusedRow();
    FileEntry entry;
    if (row < 0 || !Files().CopyEntry(row, entry)) return;
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_INVOKEIDLIST | SEE_MASK_FLAG_NO_UI;
    info.hwnd = window;
    info.lpVerb = L"properties";
    info.lpFile = entry.fullPath;
    info.nShow = SW_SHOW;
    ShellExecuteExW(&info);
}

void OpenHomePage(HWND window) {
    wchar_t address[128] = L"";
    if (LoadStringW(GetModuleHandleW(nullptr), IDS_HOME_PAGE, address, 128) > 0)
        ShellExecuteW(window, L"open", address, nullptr, nullptr, SW_SHOWNORMAL);
}

void EditFocusedName(HWND window) {
    int row = FocusedRow();
    if (row < 0) return;
    EditNewName(window, Files(), row);
    UpdateListStatus(false);
}

void Recycle(HWND window) {
    g_ui.busy = true;
    RecycleSelected(Files(), window, g_ui.listView, g_ui.alwaysOnTop);
    g_ui.busy = false;
    UpdateListStatus(false);
}

struct BatchCommand {
    int id;
    EntryOperation operation;
    bool allRows;
    bool checkFormat;
    UINT text; // the status text while it runs
};

const BatchCommand kBatchCommands[] = {
    {kCmdRenameAll, RenameEntry, true, true, IDS_RENAMING},
    {kCmdRenameSelected, RenameEntry, false, true, IDS_RENAMING},
    {kCmdUndoAll, UndoRename, true, false, IDS_UNDOING},
    {kCmdUndoSelected, UndoRename, false, false, IDS_UNDOING},
    {kCmdDeriveAll, DeriveEntry, true, true, IDS_DERIVING},
    {kCmdDeriveSelected, DeriveEntry, false, true, IDS_DERIVING},
};

bool StartBatch(HWND window, int id) {
    const BatchCommand* command = nullptr;
    for (const BatchCommand& c : kBatchCommands)
        if (c.id == id) command = &c;
    if (command == nullptr) return false;
    int rows = RowCount();
    if (rows == 0) return true;
    if (command->checkFormat && HasForbiddenChar(g_settings.Format)) {
        MessageBoxW(window, kForbiddenInFormatMessage, kFormatCaption, MB_OK | MB_ICONERROR);
        return true;
    }
    SetStatusText(1, LoadText(command->text).c_str());
    SetStatusText(2, LoadText(IDS_ESC_CANCELS).c_str());

    EntryBatch job;
    job.operation = command->operation;
    job.options = RenameOptions::From(g_settings);
    job.rowCount = rows;
    job.selectedCount = static_cast<int>(SendMessageW(g_ui.listView, LVM_GETSELECTEDCOUNT, 0, 0));
    job.selectedOnly = !command->allRows && job.selectedCount > 0;
    job.selected.assign(rows, false);
    if (job.selectedOnly)
        for (int i = -1; (i = static_cast<int>(SendMessageW(g_ui.listView, LVM_GETNEXTITEM, i, LVNI_SELECTED))) >= 0;)
            job.selected[i] = true;
    g_ui.runEvents = PostedEvents(WM_APP_BATCH_DONE, CreateStatusProgress(job.selectedOnly ? job.selectedCount : rows));
    auto work = [job = std::move(job)](Run& run) { return RunEntryBatch(job, Files(), run); };
    if (!g_ui.run.Start(std::move(work), g_ui.runEvents, THREAD_PRIORITY_HIGHEST)) {
        DestroyStatusProgress();
        SetStatusText(1, L"");
        SetStatusText(2, L"");
    }
    return true;
}

// Commands that need at least one row.
bool ActsOnRows(int id) {
    switch (id) {
    case kCmdSelectAll: case kCmdDeselect: case kCmdInvertSelection: case kCmdViewer: case kCmdCopyFullPath:
    case kCmdCopyName: case kCmdProperties: case kCmdRemove: case kCmdRecycle: case kCmdRemoveErrors:
    case kCmdClear: case kCmdEditName: return true;
    default: return false;
    }
}

} // namespace

void OnCommand(HWND window, int id) {
    if (id == kCmdCancel) {
        CancelRun();
        return;
    }
    // Only Cancel while a run goes on, and until its completion is handled.
    if (RunInProgress()) return;
    // Dialogs and questions of a command run their own message loops: what
    // arrives meanwhile waits until the command is done.
    ModalStep step;
    if (int mapped = CommandOfButton(id)) id = mapped;
    if (ActsOnRows(id) && RowCount() == 0) return;
    if (ToggleColumnByMenuId(id)) return;
    if (StartBatch(window, id)) return;

    switch (id) {
    case kCmdOpenFile: OpenFiles(window); break;
    case kCmdOpenFolder: OpenFolder(window); break;
    case kCmdExit: PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); break;
    case kCmdSelectAll: SetRowState(-1, LVIS_SELECTED, LVIS_SELECTED); break;
    case kCmdDeselect: SetRowState(-1, 0, LVIS_SELECTED); break;
    case kCmdInvertSelection: InvertSelection(); break;
    case kCmdAlwaysOnTop: ToggleAlwaysOnTop(window); break;
    case kCmdSizeInKB:
        g_ui.showSizeInKB = !g_ui.showSizeInKB;
        InvalidateRect(g_ui.listView, nullptr, FALSE);
        break;
    case kCmdViewer: OpenInViewer(window); break;
    case kCmdCopyFullPath: CopyToClipboard(window, true); break;
    case kCmdCopyName: CopyToClipboard(window, false); break;
    case kCmdProperties: ShowProperties(window); break;
    case kCmdHomePage: OpenHomePage(window); break;
    case kCmdUpdateCheck: StartUpdateCheck(); break;
    case kCmdThumbnailNone: case kCmdThumbnailSmall: case kCmdThumbnailNormal: case kCmdThumbnailLarge:
        SetThumbnailSize(id - kCmdThumbnailNone);
        break;
    case kCmdRebuildAllThumbnails: RebuildThumbnails(false); break;
    case kCmdRebuildThumbnails: RebuildThumbnails(true); break;
    case kCmdRemove:
        g_ui.busy = true;
        RemoveSelected(Files(), g_ui.listView);
        UpdateListStatus(false);
        g_ui.busy = false;
        break;
    case kCmdRemoveErrors:
        RemoveErrors(Files(), g_ui.listView);
        UpdateListStatus(false);
        break;
    case kCmdClear:
        ClearList(Files(), window);
        UpdateListStatus(false);
        break;
    case kCmdRecycle: Recycle(window); break;
    case kCmdEditName: EditFocusedName(window); break;
    case kCmdOptions: OpenOptions(window, 0); break;
    case kCmdVersionInfo: OpenOptions(window, 3); break;
    default: break; // commands of features still to come do nothing yet
    }
}
