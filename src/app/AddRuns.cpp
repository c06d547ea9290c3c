#include "app/AddRuns.h"

#include <commctrl.h>

#include <cwchar>
#include <utility>

#include "app/Fonts.h"
#include "app/MainUi.h"
#include "app/ProgramSettings.h"
#include "app/resource.h"
#include "app/StatusBar.h"
#include "app/Texts.h"
#include "app/Thumbnails.h"
#include "app/WindowIdle.h"
#include "base/HandOverBlock.h"
#include "base/Text.h"
#include "filelist/AddFiles.h"
#include "filelist/FileList.h"

namespace {

void FinishWorker() {
    g_ui.run.Join(); // it has posted its last message
    DestroyStatusProgress();
    SetStatusText(2, L"");
}

void EndRun() {
    g_ui.busy = false;
    OnWindowIdle();
}

bool IsFolderPath(const wchar_t* path) {
    DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Rows were added: their thumbnails follow as a run of their own when
// thumbnails are shown; otherwise the adding simply ends.
void OnFilesAdded(WPARAM firstRow) {
    SetStatusText(2, L"");
    g_ui.busy = false;
    if (!StartThumbnailsForNewRows(static_cast<int>(firstRow))) EndRun();
}

} // namespace

void StartFolderAdd(const wchar_t* folder, bool showCancelHint) {
    // A folder too long for any record it could hold is not walked.
    if (wcslen(folder) >= kMaxFolderUnits) return;
    std::wstring path = folder;
    WPARAM firstRow = static_cast<WPARAM>(Files().Count());
    g_ui.runEvents = PostedEvents(WM_APP_FOLDER_ADDED, nullptr);
    SetStatusText(1, LoadText(IDS_ADDING_FILES).c_str());
    if (showCancelHint) SetStatusText(2, LoadText(IDS_ESC_CANCELS).c_str());
    KindFilter kinds = KindsOf(g_settings);
    auto work = [path, firstRow, kinds](Run& run) {
        AddFolderOfEveryKind(Files(), path.c_str(), kinds, run.Cancellation());
        Files().SyncView();
        return RunResult{firstRow, 0};
    };
    if (!g_ui.run.Start(work, g_ui.runEvents)) {
        SetStatusText(1, L"");
        SetStatusText(2, L"");
        EndRun();
    }
}

void StartDropAdd(std::vector<std::wstring> paths) {
    if (paths.empty()) return;
    SetStatusText(1, LoadText(IDS_ADDING_FILES).c_str());
    SetStatusText(2, LoadText(IDS_ESC_CANCELS).c_str());
    g_ui.runEvents = PostedEvents(WM_APP_DROP_ADDED, CreateStatusProgress(static_cast<int>(paths.size())));
    WPARAM firstRow = static_cast<WPARAM>(Files().Count());
    auto work = [paths = std::move(paths), firstRow, kinds = KindsOf(g_settings)](Run& run) {
        AddPaths(Files(), paths, kinds, run);
        Files().SyncView();
        return RunResult{firstRow, 0};
    };
    if (!g_ui.run.Start(std::move(work), g_ui.runEvents)) {
        DestroyStatusProgress();
        SetStatusText(1, L"");
        SetStatusText(2, L"");
        EndRun();
    }
}

void OnDropFiles(HDROP drop) {
    std::vector<std::wstring> paths = DroppedPaths(drop);
    DragFinish(drop);
    if (!WindowIsIdle()) {
        g_ui.deferred.insert(g_ui.deferred.end(), paths.begin(), paths.end());
        return;
    }
    StartDropAdd(std::move(paths));
}

LRESULT OnCopyData(const COPYDATASTRUCT* data) {
    // Another process's block: a malformed one is ignored.
    std::wstring path;
    if (!ReadHandOverBlock(data, path)) return 0;
    if (!WindowIsIdle()) {
        g_ui.deferred.push_back(path);
        return 0;
    }

    int firstRow = Files().Count();
    g_ui.busy = true;
    SetStatusText(1, LoadText(IDS_ADDING_FILES).c_str());
    if (IsFolderPath(path.c_str())) {
        if (KindsOf(g_settings).Any()) {
            StartFolderAdd(path.c_str(), false);
            return 0;
        }
    } else if (KindsOf(g_settings).Accepts(path.c_str())) {
        Files().AddFileEntry(path.c_str());
    }
    PostMessageW(g_ui.window, WM_APP_FILES_ADDED, firstRow, 0);
    UpdateListStatus(true);
    return 0;
}

void StartDeferredAdds() {
    if (!WindowIsIdle() || g_ui.deferred.empty()) return;
    std::vector<std::wstring> paths = std::move(g_ui.deferred);
    g_ui.deferred.clear();
    StartDropAdd(std::move(paths));
}

void OnRunMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_APP_FOLDER_ADDED:
    case WM_APP_DROP_ADDED:
        FinishWorker();
        UpdateListStatus(true);
        OnFilesAdded(wParam);
        break;
    case WM_APP_BATCH_DONE: {
        FinishWorker();
        ApplyFonts();
        UpdateListStatus(false);
        SetStatusText(0, FormatText(IDS_RUN_DONE, static_cast<int>(lParam), static_cast<int>(wParam)).c_str());
        EndRun();
        break;
    }
    case WM_APP_UPDATE_DONE:
    case WM_APP_THUMBNAILS_DONE:
        FinishWorker();
        UpdateListStatus(false);
        if (message == WM_APP_UPDATE_DONE && wParam) SetStatusText(0, LoadText(IDS_UPDATE_DONE).c_str());
        if (message == WM_APP_THUMBNAILS_DONE) ShowThumbnailLimit();
        EndRun();
        break;
    case WM_APP_FILES_ADDED: OnFilesAdded(wParam); break;
    }
}
