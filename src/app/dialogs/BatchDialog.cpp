#include "app/dialogs/BatchDialog.h"

#include <commctrl.h>
#include <shlwapi.h>

#include <atomic>
#include <cwchar>
#include <memory>
#include <string>

#include "app/CommandLine.h"
#include "app/dialogs/DialogObject.h"
#include "app/ListViewSync.h"
#include "app/resource.h"
#include "app/Texts.h"
#include "base/Messages.h"
#include "base/Run.h"
#include "base/ScopedWin.h"
#include "filelist/AddFiles.h"
#include "filelist/FileList.h"
#include "naming/Clashes.h"
#include "naming/NameFormat.h"
#include "rename/RenameEntry.h"
#include "rename/RenameLog.h"

namespace {

// Without a window only memory that ran out is worth saying.
class BatchListObserver final : public FileListObserver {
public:
    void OutOfMemory() override { ShowOutOfMemory(nullptr); }
};

// The last-write time read from the file itself; the directory entry's when
// the file cannot be opened.
void FillLastWriteTime(FileEntry& entry) {
    ScopedFile file(CreateFileW(entry.fullPath, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (file && GetFileTime(file.get(), nullptr, nullptr, &entry.lastWriteTime)) return;
    WIN32_FIND_DATAW data;
    ScopedFind find(FindFirstFileW(entry.fullPath, &data));
    if (find) entry.lastWriteTime = data.ftLastWriteTime;
}

// The dialog and its run. The worker reports the file it starts on through
// the run (a posted WM_APP_RUN_PROGRESS, which the dialog shows) and ends by
// posting WM_CLOSE with the count renamed; any other close is a cancel.
class BatchDialog final : public DialogObject<BatchDialog>, private RunEvents {
public:
    BatchDialog(const CommandLine& line, const Settings& settings) : line_(line), settings_(settings) {}
    ~BatchDialog() { run_.Join(); } // a run still going ends first

    // Runs the dialog's message loop; the batch's exit code.
    int Execute(HINSTANCE instance) {
        HWND dialog = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_BATCH), nullptr, DialogProc,
                                         reinterpret_cast<LPARAM>(this));
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

    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM) {
        switch (message) {
        case WM_INITDIALOG: return TRUE;
        case WM_APP_START_BATCH: Start(); return TRUE;
        case WM_APP_RUN_PROGRESS: ShowProgress(static_cast<int>(wParam)); return TRUE;
        case WM_COMMAND:
            // Only the button cancels; Esc does not.
            if (LOWORD(wParam) == IDC_BATCH_CANCEL) run_.Cancel();
            return TRUE;
        case WM_CLOSE:
            // Only the worker's own close ends the batch; any other is a cancel.
            if (finished_) Finish(static_cast<int>(wParam));
            else run_.Cancel();
            return TRUE;
        default: return FALSE;
        }
    }

private:
    friend class DialogObject<BatchDialog>;

    // From the worker: the file with this number (from 1) is next.
    void Progress(int done) override { PostMessageW(dialog_, WM_APP_RUN_PROGRESS, static_cast<WPARAM>(done), 0); }
    void Finished(WPARAM renamed, LPARAM) override {
        finished_ = true;
        PostMessageW(dialog_, WM_CLOSE, renamed, 0);
    }

    RunResult RenameAll(Run& run) {
        int renamed = 0;
        for (int i = 0; i < count_; ++i) {
            if (!silent_) {
                run.Progress(i + 1);
                if (run.Cancelled()) break; // cancelled: this file is left alone
            }
            // The same move and log line as a rename from the window.
            if (RenameEntry(files_, i, options_)) ++renamed;
        }
        return {static_cast<WPARAM>(renamed), 0};
    }

    void Start() {
        files_.Attach(&observer_);
        // Paths and times only: no shell queries, and every path is renamed as given.
        files_.SetOptions({false, true});
        options_ = RenameOptions::From(settings_);
        CancelFlag never;
        for (const std::wstring& path : line_.BatchPaths())
            passedOver_ += AddPath(files_, path.c_str(), KindsOf(settings_), never);
        // The file itself is opened for its time only when the format shows it.
        bool showsTime = wcsstr(options_.naming.format, L"%date") != nullptr ||
                         wcsstr(options_.naming.format, L"%time") != nullptr;
        for (int i = 0; i < files_.Count(); ++i) {
            if (showsTime) FillLastWriteTime(files_.At(i));
            DeriveNewName(files_, i, options_.naming);
        }
        ForeseeClashes(files_, DiskCheck::Unsettled);

        silent_ = line_.silent || line_.verySilent;
        verySilent_ = line_.verySilent;
        count_ = files_.Count();
        journal_ = std::make_unique<RunJournal>(HistorySource::CommandLine, count_);
        options_.journal = journal_.get();
        finished_ = false;
        if (!silent_) {
            HWND bar = GetDlgItem(dialog_, IDC_BATCH_PROGRESS);
            SendMessageW(bar, PBM_SETRANGE32, 0, count_);
            SendMessageW(bar, PBM_SETSTEP, 1, 0);
            ShowWindow(dialog_, SW_SHOW);
            SetWindowTextW(dialog_, LoadText(IDS_BATCH_RENAMING).c_str());
        }
        if (!run_.Start([this](Run& run) { return RenameAll(run); }, *this)) {
            finished_ = true;
            PostMessageW(dialog_, WM_CLOSE, 0, 0);
        }
    }

    void ShowProgress(int done) {
        SendDlgItemMessageW(dialog_, IDC_BATCH_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(done), 0);
        FileEntry entry;
        if (files_.CopyEntry(done - 1, entry)) PathSetDlgItemPathW(dialog_, IDC_BATCH_PATH, entry.fullPath);
    }

    void Finish(int renamed) {
        run_.Join();
        if (!silent_) ShowWindow(dialog_, SW_HIDE);
        TrimLogToMaxLine(options_.maxLine);
        if (!verySilent_) {
            std::wstring report =
                renamed < 1 ? LoadText(IDS_BATCH_ALL_FAILED) : FormatText(IDS_BATCH_DONE, count_, renamed);
            report += Details();
            MessageBoxW(nullptr, report.c_str(), LoadText(IDS_BATCH_DONE_CAPTION).c_str(), MB_OK);
        }
        files_.Attach(nullptr);
        files_.Release();
        DestroyWindow(dialog_);
        PostQuitMessage(renamed > 0 && renamed == count_ ? kBatchAllRenamed : kBatchNotAllRenamed);
    }

    // The report's lines under its first: the clashes foreseen, the files not
    // renamed with the reason (at most ten), and the archives of kinds
    // switched off that were passed over.
    std::wstring Details() {
        std::wstring lines;
        int clashes = 0, listed = 0, unlisted = 0;
        FileEntry entry;
        for (int i = 0; i < files_.Count(); ++i) {
            if (!files_.CopyEntry(i, entry) || entry.status == kStatusRenamed) continue;
            if (entry.status == kStatusTargetExists || entry.status == kStatusSameAsOther) ++clashes;
            if (listed == kListedFailures) {
                ++unlisted;
                continue;
            }
            RowNote note = files_.Note(i);
            const wchar_t* why = entry.status == kStatusRenameFailed && note.reason != FailureReason::None
                                     ? ReasonText(note.reason)
                                     : StatusText(entry.status);
            lines += L"\n" + FormatText(IDS_BATCH_FAILED_FILE, entry.fullPath, why);
            ++listed;
        }
        if (unlisted > 0) lines += L"\n" + FormatText(IDS_BATCH_MORE_FAILED, unlisted);
        if (clashes > 0) lines = L"\n" + FormatText(IDS_BATCH_CLASHES, clashes) + lines;
        if (passedOver_ > 0) lines += L"\n" + FormatText(IDS_KINDS_SKIPPED, passedOver_);
        return lines.empty() ? lines : L"\n" + lines;
    }

    static const int kListedFailures = 10;

    const CommandLine& line_;
    const Settings& settings_;
    FileList files_;
    BatchListObserver observer_;
    RenameOptions options_;
    std::unique_ptr<RunJournal> journal_; // the history of this run
    int passedOver_ = 0;
    bool silent_ = false; // silent or very silent: nothing shown while renaming
    bool verySilent_ = false;
    int count_ = 0;
    std::atomic<bool> finished_{false};
    Run run_;
};

} // namespace

int RunBatchDialog(HINSTANCE instance, const CommandLine& line, const Settings& settings) {
    BatchDialog dialog(line, settings); // outlives its window; joins a run still going
    return dialog.Execute(instance);
}
