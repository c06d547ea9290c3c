#include "app/UpdateRun.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <climits>
#include <string>

#include "app/dialogs/UpdateSaveDialog.h"
#include "app/resource.h"
#include "app/RunController.h"
#include "app/StatusBar.h"
#include "app/Texts.h"
#include "base/Messages.h"
#include "base/ScopedWin.h"
#include "base/Text.h"
#include "update/UpdateCheck.h"

namespace {

// Runs on the worker's thread. Status texts are sent, not posted: the
// status bar copies them before the call returns.
class WindowDialogue final : public UpdateDialogue {
public:
    WindowDialogue(HWND window, HWND statusBar, Run& run) : window_(window), statusBar_(statusBar), run_(run) {}

    void Show(UpdateStatus status) override {
        static const UINT kTexts[] = {IDS_UPDATE_CHECKING, IDS_UPDATE_FOUND, IDS_UPDATE_DOWNLOADING, IDS_UPDATE_DONE};
        SetPart(1, LoadText(kTexts[static_cast<int>(status)]));
        downloaded_ = status == UpdateStatus::Done;
    }
    void Received(unsigned long long total) override {
        SetPart(2, FormatText(IDS_UPDATE_RECEIVED, static_cast<int>(total > INT_MAX ? INT_MAX : total)));
    }
    void Percent(int percent) override { run_.Progress(percent); }
    bool Downloaded() const { return downloaded_; }
    bool Ask(UpdateQuestion question) override {
        static const UINT kTexts[] = {IDS_UPDATE_ASK_DOWNLOAD, IDS_UPDATE_ASK_DESPITE_BUG, IDS_UPDATE_ASK_REPORT};
        return Box(kTexts[static_cast<int>(question)], MB_YESNO | MB_ICONQUESTION) == IDYES;
    }
    void Report(UpdateFailure failure) override {
        static const UINT kTexts[] = {IDS_UPDATE_CHECK_FAILED, IDS_UPDATE_DOWNLOAD_FAILED, IDS_UPDATE_DOWNLOAD_MISMATCH};
        Box(kTexts[static_cast<int>(failure)], MB_OK | MB_ICONERROR);
    }
    bool ChooseSavePath(const wchar_t* suggestedName, wchar_t (&path)[MAX_PATH]) override {
        CopyText(path, suggestedName); // at most 127 characters
        return ChooseUpdateSavePath(window_, path);
    }
    void OpenHomePage() override {
        ShellExecuteW(window_, L"open", LoadText(IDS_HOME_PAGE).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    }

private:
    void SetPart(int part, const std::wstring& text) {
        SendMessageW(statusBar_, SB_SETTEXTW, part, reinterpret_cast<LPARAM>(text.c_str()));
    }
    int Box(UINT text, UINT style) {
        return MessageBoxW(window_, LoadText(text).c_str(), LoadText(IDS_UPDATE_CAPTION).c_str(), style);
    }

    HWND window_;
    HWND statusBar_;
    Run& run_;
    bool downloaded_ = false;
};

} // namespace

void StartUpdateCheck(RunController& runs, HWND window, StatusBar& status, std::function<void(bool)> finished) {
    UpdateJob job;
    job.host = LoadText(IDS_UPDATE_HOST);
    job.versionUrl = LoadText(IDS_UPDATE_VERSION_URL);
    job.reportWhenCurrent = true;
    RunController::Start start;
    start.message = WM_APP_UPDATE_DONE;
    // The bar runs 0..100 when the download's length is known and stays at 0 otherwise.
    start.progress = 100;
    HWND statusBar = status.Handle();
    start.work = [job, window, statusBar](Run& run) {
        ScopedCoInit com; // the save dialog and the shell need it on this thread
        WindowDialogue dialogue(window, statusBar, run);
        bool downloaded = CheckForUpdate(job, dialogue, run.Cancellation()) && dialogue.Downloaded();
        return RunResult{downloaded ? 1u : 0u, 0};
    };
    start.finished = [finished = std::move(finished)](WPARAM downloaded, LPARAM) { finished(downloaded != 0); };
    runs.Begin(std::move(start));
}
