// The main window's adding: a chosen folder, a drop, a second instance's
// hand-over and the command line's files; the thumbnails of the added rows
// follow as a run of their own.
#include "app/MainWindow.h"

#include <shellapi.h>

#include <cwchar>
#include <utility>

#include "app/resource.h"
#include "app/Texts.h"
#include "base/HandOverBlock.h"
#include "base/Messages.h"
#include "filelist/AddFiles.h"

namespace {

bool IsFolderPath(const wchar_t* path) {
    DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

void MainWindow::OnFilesAdded(WPARAM firstRow, LPARAM passedOver) {
    if (passedOver > 0) notice_ = FormatText(IDS_KINDS_SKIPPED, static_cast<int>(passedOver));
    UpdateListStatus(true);
    thumbnails_.StartForNewRows(static_cast<int>(firstRow));
}

void MainWindow::StartFolderAdd(const wchar_t* folder, bool showCancelHint) {
    // A folder too long for any record it could hold is not walked.
    if (wcslen(folder) >= kMaxFolderUnits) return;
    std::wstring path = folder;
    WPARAM firstRow = static_cast<WPARAM>(files_.Count());
    RunController::Start start;
    start.message = WM_APP_FOLDER_ADDED;
    start.statusText = IDS_ADDING_FILES;
    start.cancelHint = showCancelHint;
    start.work = [path, firstRow, kinds = KindsOf(settings_), &files = files_](Run& run) {
        AddFolderOfEveryKind(files, path.c_str(), kinds, run.Cancellation());
        files.SyncView();
        return RunResult{firstRow, 0};
    };
    start.finished = [this](WPARAM first, LPARAM passedOver) { OnFilesAdded(first, passedOver); };
    runs_.Begin(std::move(start));
}

void MainWindow::StartDropAdd(std::vector<std::wstring> paths) {
    if (paths.empty()) return;
    notice_.clear();
    WPARAM firstRow = static_cast<WPARAM>(files_.Count());
    RunController::Start start;
    start.message = WM_APP_DROP_ADDED;
    start.statusText = IDS_ADDING_FILES;
    start.cancelHint = true;
    start.progress = static_cast<int>(paths.size());
    start.work = [paths = std::move(paths), firstRow, kinds = KindsOf(settings_), &files = files_](Run& run) {
        int passedOver = AddPaths(files, paths, kinds, run);
        files.SyncView();
        return RunResult{firstRow, passedOver};
    };
    start.finished = [this](WPARAM first, LPARAM passedOver) { OnFilesAdded(first, passedOver); };
    runs_.Begin(std::move(start));
}

void MainWindow::OnDropFiles(HDROP drop) {
    std::vector<std::wstring> paths = DroppedPaths(drop);
    DragFinish(drop);
    if (!runs_.IsIdle()) {
        runs_.Defer(std::move(paths));
        return;
    }
    StartDropAdd(std::move(paths));
}

LRESULT MainWindow::OnCopyData(const COPYDATASTRUCT* data) {
    // Another process's block: a malformed one is ignored.
    std::wstring path;
    if (!ReadHandOverBlock(data, path)) return 0;
    if (!runs_.IsIdle()) {
        runs_.Defer({path});
        return 0;
    }
    KindFilter kinds = KindsOf(settings_);
    if (IsFolderPath(path.c_str()) && kinds.Any()) {
        StartFolderAdd(path.c_str(), false);
        return 0;
    }
    // A file (or a folder when no kind is on) is added on this thread.
    WPARAM firstRow = static_cast<WPARAM>(files_.Count());
    RunController::Start start;
    start.message = WM_APP_FILES_ADDED;
    start.statusText = IDS_ADDING_FILES;
    start.finished = [this](WPARAM first, LPARAM passedOver) { OnFilesAdded(first, passedOver); };
    if (!runs_.Begin(std::move(start))) return 0;
    int passedOver = 0;
    if (!IsFolderPath(path.c_str())) {
        if (kinds.Accepts(path.c_str())) files_.AddFileEntry(path.c_str());
        else if (ArchiveKindOf(path.c_str())) passedOver = 1;
    }
    runs_.Complete(firstRow, passedOver);
    return 0;
}

void MainWindow::AddStartPaths(const std::vector<std::wstring>& paths) {
    if (paths.empty()) return;
    RunController::Start start;
    start.message = WM_APP_FILES_ADDED;
    start.finished = [this](WPARAM first, LPARAM passedOver) { OnFilesAdded(first, passedOver); };
    if (!runs_.Begin(std::move(start))) return;
    CancelFlag never;
    int passedOver = 0;
    for (const std::wstring& path : paths) passedOver += AddPath(files_, path.c_str(), KindsOf(settings_), never);
    runs_.Complete(0, passedOver);
    UpdateListStatus(true);
}
