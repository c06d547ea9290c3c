#include "app/dialogs/BatchDialog.h"

#include <commctrl.h>
#include <shlwapi.h>

#include <atomic>
#include <cwchar>
#include <string>

#include "app/CommandLine.h"
#include "app/ListViewSync.h"
#include "app/resource.h"
#include "app/Texts.h"
#include "base/Run.h"
#include "base/ScopedWin.h"
#include "filelist/AddFiles.h"
#include "filelist/FileList.h"
#include "filelist/RunState.h"
#include "naming/NameFormat.h"
#include "rename/RenameEntry.h"
#include "rename/RenameLog.h"

namespace {

struct BatchRenameJob {
    HWND dialog;
    HWND progressBar; // null in the silent modes
    bool silent;      // silent or very silent: nothing shown while renaming
    bool verySilent;
    int count;
    std::atomic<bool> finished{false};
};

BatchRenameJob g_job;
Run g_run;

// Without a window only memory that ran out is worth saying.
class BatchListObserver final : public FileListObserver {
public:
    void CountChanged(int) override {}
    bool RemovingRow(int) override { return true; }
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

DWORD WINAPI BatchRenameWorker(LPVOID) {
    int renamed = 0;
    {
        ScopedCritSec hold(WorkLock);
        FileList& list = Files();
        for (int i = 0; i < g_job.count; ++i) {
            const FileEntry& e = list.At(i);
            if (!g_job.silent) {
                PathSetDlgItemPathW(g_job.dialog, IDC_BATCH_PATH, e.fullPath);
                if (g_job.progressBar) PostMessageW(g_job.progressBar, PBM_SETPOS, i + 1, 0);
                if (!WorkActive) break; // cancelled: this file is left alone
            }
            // The same move and log line as a rename from the window.
            if (RenameEntry(list, i)) ++renamed;
        }
    }
    g_job.finished = true;
    PostMessageW(g_job.dialog, WM_CLOSE, renamed, 0);
    return 0;
}

void StartBatch(HWND dialog) {
    const auto* line = reinterpret_cast<const CommandLine*>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
    WorkActive = true;
    FileList& list = Files();
    list.Attach(&g_listObserver, nullptr, nullptr);
    for (size_t i = 1; i < line->args.size(); ++i) AddPath(list, line->args[i].c_str());
    // The file itself is opened for its time only when the format shows it.
    bool showsTime = wcsstr(g_settings.Format, L"%date") != nullptr || wcsstr(g_settings.Format, L"%time") != nullptr;
    for (int i = 0; i < list.Count(); ++i) {
        if (showsTime) FillLastWriteTime(list.At(i));
        DeriveNewName(list, i);
    }

    g_job.dialog = dialog;
    g_job.silent = line->silent || line->verySilent;
    g_job.verySilent = line->verySilent;
    g_job.count = list.Count();
    g_job.progressBar = nullptr;
    g_job.finished = false;
    if (!g_job.silent) {
        g_job.progressBar = GetDlgItem(dialog, IDC_BATCH_PROGRESS);
        SendMessageW(g_job.progressBar, PBM_SETRANGE32, 0, g_job.count);
        SendMessageW(g_job.progressBar, PBM_SETSTEP, 1, 0);
        ShowWindow(dialog, SW_SHOW);
        SetWindowTextW(dialog, LoadText(IDS_BATCH_RENAMING).c_str());
    }
    if (!g_run.Start(BatchRenameWorker)) {
        g_job.finished = true;
        PostMessageW(dialog, WM_CLOSE, 0, 0);
    }
}

void FinishBatch(HWND dialog, int renamed) {
    WorkActive = false;
    g_run.Join();
    if (!g_job.silent) ShowWindow(dialog, SW_HIDE);
    TrimLogToMaxLine();
    if (!g_job.verySilent) {
        std::wstring report =
            renamed < 1 ? LoadText(IDS_BATCH_ALL_FAILED) : FormatText(IDS_BATCH_DONE, g_job.count, renamed);
        MessageBoxW(nullptr, report.c_str(), LoadText(IDS_BATCH_DONE_CAPTION).c_str(), MB_OK);
    }
    Files().Release();
    DestroyWindow(dialog);
    PostQuitMessage(0);
}

INT_PTR CALLBACK BatchDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: SetWindowLongPtrW(dialog, GWLP_USERDATA, lParam); return TRUE;
    case WM_APP_START_BATCH: StartBatch(dialog); return TRUE;
    case WM_COMMAND:
        // Only the button cancels; Esc does not.
        if (LOWORD(wParam) == IDC_BATCH_CANCEL) WorkActive = false;
        return TRUE;
    case WM_CLOSE:
        // Only the worker's own close ends the batch; any other is a cancel.
        if (g_job.finished) FinishBatch(dialog, static_cast<int>(wParam));
        else WorkActive = false;
        return TRUE;
    default: return FALSE;
    }
}

} // namespace

HWND CreateBatchDialog(HINSTANCE instance, const CommandLine& line) {
    HWND dialog = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_BATCH), nullptr, BatchDialogProc,
                                     reinterpret_cast<LPARAM>(&line));
    if (dialog != nullptr) SendMessageW(dialog, WM_APP_START_BATCH, 0, 0);
    return dialog;
}
