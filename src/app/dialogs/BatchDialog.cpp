#include "app/dialogs/BatchDialog.h"

#include <commctrl.h>
#include <shlwapi.h>

#include <atomic>
#include <cwchar>
#include <string>

#include "app/CommandLine.h"
#include "app/ListViewSync.h"
#include "app/ProgramSettings.h"
#include "app/resource.h"
#include "app/Texts.h"
#include "base/Run.h"
#include "base/ScopedWin.h"
#include "filelist/AddFiles.h"
#include "filelist/FileList.h"
#include "naming/NameFormat.h"
#include "rename/RenameEntry.h"
#include "rename/RenameLog.h"

namespace {

// The batch's run and what the window's thread knows of it. The worker
// reports the file it starts on through the progress bar and ends by posting
// WM_CLOSE with the count renamed; any other close is a cancel.
class BatchRun final : public RunEvents {
public:
    const CommandLine* line = nullptr;
    HWND dialog = nullptr;
    HWND progressBar = nullptr; // null in the silent modes
    bool silent = false;        // silent or very silent: nothing shown while renaming
    bool verySilent = false;
    int count = 0;
    RenameOptions options; // the settings' copy for this run
    std::atomic<bool> finished{false};
    Run run;

    void Progress(int done) override {
        if (progressBar) PostMessageW(progressBar, PBM_SETPOS, static_cast<WPARAM>(done), 0);
    }
    void Finished(WPARAM renamed, LPARAM) override {
        finished = true;
        PostMessageW(dialog, WM_CLOSE, renamed, 0);
    }
};

// The dialog's run, kept with the dialog from WM_INITDIALOG on.
BatchRun& BatchOf(HWND dialog) {
    return *reinterpret_cast<BatchRun*>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
}


// Without a window only memory that ran out is worth saying.
class BatchListObserver final : public FileListObserver {
public:
    void CountChanged(int) override {}
    void RemovingAll() override {}
    void OutOfMemory() override { ShowOutOfMemory(nullptr); }
    void TypeIconsRebuilt() override {}
};

BatchListObserver g_listObserver;

// The last-write time read from the file itself; the directory entry's when
// the file cannot be opened.
void FillLastWriteTime(FileEntry& entry) {
    ScopedFile file(CreateFileW(entry.fullPath, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (file && GetFileTime(file.get(), nullptr, nullptr, &entry.lastWriteTime)) return;
    WIN32_FIND_DATAW data;
    ScopedFind find(FindFirstFileW(entry.fullPath, &data));
    if (find) entry.lastWriteTime = data.ftLastWriteTime;
}

RunResult RenameAll(const BatchRun& batch, Run& run) {
    int renamed = 0;
    FileList& list = Files();
    for (int i = 0; i < batch.count; ++i) {
        const FileEntry& e = list.At(i);
        if (!batch.silent) {
            PathSetDlgItemPathW(batch.dialog, IDC_BATCH_PATH, e.fullPath);
            run.Progress(i + 1);
            if (run.Cancelled()) break; // cancelled: this file is left alone
        }
        // The same move and log line as a rename from the window.
        if (RenameEntry(list, i, batch.options)) ++renamed;
    }
    return {static_cast<WPARAM>(renamed), 0};
}

void StartBatch(HWND dialog) {
    BatchRun& batch = BatchOf(dialog);
    const CommandLine* line = batch.line;
    FileList& list = Files();
    list.Attach(&g_listObserver);
    // Paths and times only: no shell queries, and every path is renamed as given.
    list.SetOptions({false, true});
    batch.options = RenameOptions::From(g_settings);
    CancelFlag never;
    for (const std::wstring& path : line->BatchPaths()) AddPath(list, path.c_str(), KindsOf(g_settings), never);
    // The file itself is opened for its time only when the format shows it.
    bool showsTime = wcsstr(g_settings.Format, L"%date") != nullptr || wcsstr(g_settings.Format, L"%time") != nullptr;
    for (int i = 0; i < list.Count(); ++i) {
        if (showsTime) FillLastWriteTime(list.At(i));
        DeriveNewName(list, i, batch.options.naming);
    }

    batch.dialog = dialog;
    batch.silent = line->silent || line->verySilent;
    batch.verySilent = line->verySilent;
    batch.count = list.Count();
    batch.progressBar = nullptr;
    batch.finished = false;
    if (!batch.silent) {
        batch.progressBar = GetDlgItem(dialog, IDC_BATCH_PROGRESS);
        SendMessageW(batch.progressBar, PBM_SETRANGE32, 0, batch.count);
        SendMessageW(batch.progressBar, PBM_SETSTEP, 1, 0);
        ShowWindow(dialog, SW_SHOW);
        SetWindowTextW(dialog, LoadText(IDS_BATCH_RENAMING).c_str());
    }
    if (!batch.run.Start([&batch](Run& run) { return RenameAll(batch, run); }, batch)) {
        batch.finished = true;
        PostMessageW(dialog, WM_CLOSE, 0, 0);
    }
}

void FinishBatch(HWND dialog, int renamed) {
    BatchRun& batch = BatchOf(dialog);
    batch.run.Join();
    if (!batch.silent) ShowWindow(dialog, SW_HIDE);
    TrimLogToMaxLine(batch.options.maxLine);
    if (!batch.verySilent) {
        std::wstring report =
            renamed < 1 ? LoadText(IDS_BATCH_ALL_FAILED) : FormatText(IDS_BATCH_DONE, batch.count, renamed);
        MessageBoxW(nullptr, report.c_str(), LoadText(IDS_BATCH_DONE_CAPTION).c_str(), MB_OK);
    }
    Files().Release();
    DestroyWindow(dialog);
    PostQuitMessage(renamed > 0 && renamed == batch.count ? kBatchAllRenamed : kBatchNotAllRenamed);
}

INT_PTR CALLBACK BatchDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: SetWindowLongPtrW(dialog, GWLP_USERDATA, lParam); return TRUE;
    case WM_APP_START_BATCH: StartBatch(dialog); return TRUE;
    case WM_COMMAND:
        // Only the button cancels; Esc does not.
        if (LOWORD(wParam) == IDC_BATCH_CANCEL) BatchOf(dialog).run.Cancel();
        return TRUE;
    case WM_CLOSE:
        // Only the worker's own close ends the batch; any other is a cancel.
        if (BatchOf(dialog).finished) FinishBatch(dialog, static_cast<int>(wParam));
        else BatchOf(dialog).run.Cancel();
        return TRUE;
    default: return FALSE;
    }
}

} // namespace

int RunBatchDialog(HINSTANCE instance, const CommandLine& line) {
    BatchRun batch; // outlives the dialog; its destructor joins a run still going
    batch.line = &line;
    HWND dialog = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_BATCH), nullptr, BatchDialogProc,
                                     reinterpret_cast<LPARAM>(&batch));
    if (dialog == nullptr) return kBatchNotAllRenamed;
    SendMessageW(dialog, WM_APP_START_BATCH, 0, 0);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (IsWindow(dialog) && IsDialogMessageW(dialog, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
