// The main window's commands: menus, accelerators and toolbar buttons.
#include "app/MainWindow.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <cwchar>
#include <memory>
#include <string>

#include "app/dialogs/EditNameDialog.h"
#include "app/dialogs/FileDialogs.h"
#include "app/dialogs/HistoryDialog.h"
#include "app/dialogs/OptionsDialog.h"
#include "app/ListViewRows.h"
#include "app/RemoveRows.h"
#include "app/resource.h"
#include "app/Texts.h"
#include "app/UpdateRun.h"
#include "base/Messages.h"
#include "base/Text.h"
#include "naming/NameFormat.h"
#include "rename/EntryBatch.h"
#include "rename/RenameEntry.h"

namespace {

// The per-row runs: which operation, over which rows, with which text.
struct EntryCommand {
    int id;
    EntryOperation operation;
    bool allRows;
    bool checkFormat;
    UINT text; // the status text while it runs
};

const EntryCommand kEntryCommands[] = {
    {ID_RENAME_ALL, RenameEntry, true, true, IDS_RENAMING},
    {ID_RENAME_SELECTED, RenameEntry, false, true, IDS_RENAMING},
    {ID_UNDO_ALL, UndoRename, true, false, IDS_UNDOING},
    {ID_UNDO_SELECTED, UndoRename, false, false, IDS_UNDOING},
    {ID_DERIVE_ALL, DeriveEntry, true, true, IDS_DERIVING},
    {ID_DERIVE_SELECTED, DeriveEntry, false, true, IDS_DERIVING},
};

// Commands that need at least one row.
bool ActsOnRows(int id) {
    switch (id) {
    case ID_EDIT_SELECT_ALL: case ID_EDIT_DESELECT: case ID_EDIT_INVERT_SELECTION: case ID_ITEM_OPEN_VIEWER:
    case ID_ITEM_COPY_FULL_PATH: case ID_ITEM_COPY_NAME: case ID_ITEM_PROPERTIES: case ID_EDIT_REMOVE:
    case ID_EDIT_RECYCLE: case ID_EDIT_REMOVE_ERRORS: case ID_EDIT_CLEAR: case ID_EDIT_NEW_NAME: return true;
    default: return false;
    }
}

} // namespace

int MainWindow::RowCount() const {
    return static_cast<int>(SendMessageW(listView_, LVM_GETITEMCOUNT, 0, 0));
}

int MainWindow::FocusedRow() const {
    return static_cast<int>(SendMessageW(listView_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

void MainWindow::OnCommand(int id) {
    if (id == ID_CANCEL) {
        runs_.Cancel();
        return;
    }
    if (int command = Toolbar::CommandOfButton(id)) id = command;
    // Exit is a close, and a close during a run cancels it and ends the
    // window once the run has ended.
    if (id == ID_FILE_EXIT) {
        PostMessageW(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
        return;
    }
    // Only Cancel and Exit while a run goes on, and until its completion is handled.
    if (runs_.InProgress()) return;
    notice_.clear();
    // Dialogs and questions of a command run their own message loops: what
    // arrives meanwhile waits until the command is done.
    RunController::ModalStep step(runs_);
    if (ActsOnRows(id) && RowCount() == 0) return;
    if (columns_.ToggleByMenuId(id)) return;
    if (StartEntryRun(id)) return;

    switch (id) {
    case ID_FILE_OPEN: OpenFiles(); break;
    case ID_FILE_OPEN_FOLDER: OpenFolder(); break;
    case ID_EDIT_SELECT_ALL: SetRowState(listView_, -1, LVIS_SELECTED, LVIS_SELECTED); break;
    case ID_EDIT_DESELECT: SetRowState(listView_, -1, 0, LVIS_SELECTED); break;
    case ID_EDIT_INVERT_SELECTION: InvertSelection(); break;
    case ID_VIEW_TOPMOST: ToggleAlwaysOnTop(); break;
    case ID_VIEW_SIZE_KB:
        showSizeInKB_ = !showSizeInKB_;
        InvalidateRect(listView_, nullptr, FALSE);
        break;
    case ID_ITEM_OPEN_VIEWER: OpenInViewer(); break;
    case ID_ITEM_COPY_FULL_PATH: CopyToClipboard(true); break;
    case ID_ITEM_COPY_NAME: CopyToClipboard(false); break;
    case ID_ITEM_PROPERTIES: ShowProperties(); break;
    case ID_HELP_HOME_PAGE: OpenHomePage(); break;
    case ID_HELP_UPDATE_CHECK:
        StartUpdateCheck(runs_, window_, status_, [this](bool downloaded) {
            UpdateListStatus(false);
            // The completion resets part 1, so part 0 keeps saying so.
            if (downloaded) status_.SetText(0, LoadText(IDS_UPDATE_DONE));
        });
        break;
    case ID_THUMBNAIL_NONE: case ID_THUMBNAIL_SMALL: case ID_THUMBNAIL_NORMAL: case ID_THUMBNAIL_LARGE:
        thumbnails_.SetSize(id - ID_THUMBNAIL_NONE);
        break;
    case ID_THUMBNAIL_REBUILD_ALL: thumbnails_.Rebuild(false); break;
    case ID_THUMBNAIL_REBUILD_SELECTED: thumbnails_.Rebuild(true); break;
    case ID_EDIT_REMOVE: RemoveSelectedRows(); break;
    case ID_EDIT_REMOVE_ERRORS:
        RemoveErrors(files_, listView_);
        LookAgainAtClashes();
        UpdateListStatus(false);
        break;
    case ID_RENAME_HISTORY: ShowHistory(); break;
    case ID_EDIT_CLEAR:
        ClearList(files_, window_);
        UpdateListStatus(false);
        break;
    case ID_EDIT_RECYCLE: Recycle(); break;
    case ID_EDIT_NEW_NAME: EditFocusedName(); break;
    case ID_TOOLS_OPTIONS: OpenOptions(kPageGeneral); break;
    case ID_HELP_VERSION: OpenOptions(kPageVersion); break;
    default: break;
    }
}

bool MainWindow::StartEntryRun(int id) {
    const EntryCommand* command = nullptr;
    for (const EntryCommand& c : kEntryCommands)
        if (c.id == id) command = &c;
    if (command == nullptr) return false;
    int rows = RowCount();
    if (rows == 0) return true;
    if (command->checkFormat && HasForbiddenChar(settings_.Format)) {
        MessageBoxW(window_, kForbiddenInFormatMessage, kFormatCaption, MB_OK | MB_ICONERROR);
        return true;
    }
    EntryBatch job;
    job.operation = command->operation;
    job.options = RenameOptions::From(settings_);
    job.rowCount = rows;
    job.selectedCount = static_cast<int>(SendMessageW(listView_, LVM_GETSELECTEDCOUNT, 0, 0));
    job.selectedOnly = !command->allRows && job.selectedCount > 0;
    // Moves change the disk under every proposal; a rename run records what it moved.
    job.lookAtEveryTarget = command->operation != DeriveEntry;
    std::shared_ptr<RunJournal> journal;
    if (command->operation == RenameEntry) {
        journal = std::make_shared<RunJournal>(HistorySource::Window, job.selectedOnly ? job.selectedCount : rows);
        job.options.journal = journal.get();
    }
    job.selected.assign(rows, false);
    if (job.selectedOnly)
        for (int i = -1; (i = static_cast<int>(SendMessageW(listView_, LVM_GETNEXTITEM, i, LVNI_SELECTED))) >= 0;)
            job.selected[i] = true;

    RunController::Start start;
    start.message = WM_APP_BATCH_DONE;
    start.statusText = command->text;
    start.cancelHint = true;
    start.progress = job.selectedOnly ? job.selectedCount : rows;
    start.priority = THREAD_PRIORITY_HIGHEST;
    start.work = [job = std::move(job), &files = files_, journal](Run& run) { return RunEntryBatch(job, files, run); };
    start.finished = [this, journal](WPARAM succeeded, LPARAM rowsInRun) {
        fonts_.Apply(settings_, listView_, header_, dpi_);
        UpdateListStatus(false);
        std::wstring text = FormatText(IDS_RUN_DONE, static_cast<int>(rowsInRun), static_cast<int>(succeeded));
        // What could not be written down is said once, with the run's end.
        if (journal && journal->logFailed) text += LoadText(IDS_RUN_LOG_FAILED);
        if (journal && journal->history.Failed()) text += LoadText(IDS_RUN_HISTORY_FAILED);
        status_.SetText(0, text);
    };
    runs_.Begin(std::move(start));
    return true;
}

void MainWindow::OpenFiles() {
    KindFilter kinds = KindsOf(settings_);
    if (!kinds.Any()) return;
    WPARAM firstRow = static_cast<WPARAM>(files_.Count());
    RunController::Start start;
    start.message = WM_APP_FILES_ADDED;
    start.statusText = IDS_ADDING_FILES;
    start.finished = [this](WPARAM first, LPARAM passedOver) { OnFilesAdded(first, passedOver); };
    if (!runs_.Begin(std::move(start))) return;
    OpenFilesDialog(window_, files_, kinds);
    runs_.Complete(firstRow, 0);
}

void MainWindow::OpenFolder() {
    if (!KindsOf(settings_).Any()) return;
    std::wstring folder;
    if (BrowseFolderDialog(window_, folder)) StartFolderAdd(folder.c_str(), true);
}

void MainWindow::InvertSelection() {
    int count = RowCount();
    for (int i = 0; i < count; ++i) {
        UINT selected = static_cast<UINT>(SendMessageW(listView_, LVM_GETITEMSTATE, i, LVIS_SELECTED));
        SetRowState(listView_, i, selected ? 0 : LVIS_SELECTED, LVIS_SELECTED);
    }
}

void MainWindow::ToggleAlwaysOnTop() {
    alwaysOnTop_ = !alwaysOnTop_;
    SetWindowPos(window_, alwaysOnTop_ ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

// Asks for the viewer program; false when none was chosen.
bool MainWindow::ChooseViewer() {
    wchar_t path[MAX_PATH];
    return ChooseViewerDialog(window_, IDS_VIEWER_FILTER, path) && CopyText(settings_.Path, path);
}

void MainWindow::OpenInViewer() {
    if (settings_.Path[0] == L'\0' && !ChooseViewer()) return;
    int row = FocusedRow();
    FileEntry entry;
    if (row < 0 || !files_.CopyEntry(row, entry)) return;
    std::wstring parameters = std::wstring(L"\"") + entry.fullPath + L"\"";
    ShellExecuteW(window_, nullptr, settings_.Path, parameters.c_str(), nullptr, SW_SHOW);
    SendMessageW(listView_, LVM_ENSUREVISIBLE, row, FALSE);
}

void MainWindow::CopyToClipboard(bool fullPath) {
    int row = FocusedRow();
    FileEntry entry;
    if (row < 0 || !files_.CopyEntry(row, entry)) return;
    const wchar_t* text = fullPath ? entry.fullPath : entry.name;
    size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
    if (!OpenClipboard(window_)) return;
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

void MainWindow::ShowProperties() {
    int row = FocusedRow();
    FileEntry entry;
    if (row < 0 || !files_.CopyEntry(row, entry)) return;
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_INVOKEIDLIST | SEE_MASK_FLAG_NO_UI;
    info.hwnd = window_;
    info.lpVerb = L"properties";
    info.lpFile = entry.fullPath;
    info.nShow = SW_SHOW;
    ShellExecuteExW(&info);
}

void MainWindow::OpenHomePage() {
    wchar_t address[128] = L"";
    if (LoadStringW(GetModuleHandleW(nullptr), IDS_HOME_PAGE, address, 128) > 0)
        ShellExecuteW(window_, L"open", address, nullptr, nullptr, SW_SHOWNORMAL);
}

void MainWindow::EditFocusedName() {
    int row = FocusedRow();
    if (row < 0) return;
    if (EditNewName(window_, files_, row, NamingOptions::From(settings_)) == 1) LookAgainAtClashes(row);
    UpdateListStatus(false);
}

void MainWindow::RemoveSelectedRows() {
    RunController::Busy busy(runs_);
    RemoveSelected(files_, listView_);
    LookAgainAtClashes();
    UpdateListStatus(false);
}

void MainWindow::Recycle() {
    RunController::Busy busy(runs_);
    RecycleSelected(files_, window_, listView_, alwaysOnTop_);
    LookAgainAtClashes();
    UpdateListStatus(false);
}

void MainWindow::OpenOptions(int startPage) {
    if (optionsOpen_) return;
    int pixelsBefore = thumbnails_.Pixels(thumbnails_.Display());
    // OK saves at once: with the columns as they are shown, not as loaded.
    columns_.StoreOrder();
    optionsOpen_ = true;
    bool confirmed = ShowOptionsDialog(window_, startPage, settings_);
    optionsOpen_ = false;
    if (confirmed) {
        // OK saves at once, so a later crash loses nothing confirmed.
        SaveSettingsNow();
        fonts_.Apply(settings_, listView_, header_, dpi_);
        COLORREF back = settings_.Design[kDesignDefault].BackColor;
        SendMessageW(listView_, LVM_SETBKCOLOR, 0, back);
        SendMessageW(listView_, LVM_SETTEXTBKCOLOR, 0, back);
        files_.SetOptions({true, settings_.AllowDuplicate});
        thumbnails_.ApplyOptions(pixelsBefore);
    }
    UpdateListStatus(false);
}

void MainWindow::ShowHistory() {
    ShowHistoryDialog(window_, [this](const std::vector<HistoryMove>& restored) { ApplyRestored(restored); });
    LookAgainAtClashes();
    UpdateListStatus(false);
}

void MainWindow::ApplyRestored(const std::vector<HistoryMove>& restored) {
    FileEntry entry;
    for (const HistoryMove& move : restored) {
        for (int row = 0; row < files_.Count(); ++row) {
            if (!files_.CopyEntry(row, entry) ||
                CompareStringOrdinal(entry.fullPath, -1, move.to.c_str(), -1, TRUE) != CSTR_EQUAL)
                continue;
            if (!CopyText(entry.fullPath, move.from.c_str())) continue;
            CopyText(entry.name, PathFindFileNameW(move.from.c_str()));
            entry.newName[0] = entry.newFullPath[0] = entry.undoName[0] = entry.undoPath[0] = L'\0';
            entry.status = kStatusNone;
            files_.StoreEntry(row, entry);
        }
    }
}
