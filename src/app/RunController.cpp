#include "app/RunController.h"

#include <utility>

#include "app/resource.h"
#include "app/StatusBar.h"
#include "app/Texts.h"
#include "base/Messages.h"

RunController::~RunController() {
    run_.Join();
}

void RunController::Bind(HWND window, Idle idle) {
    window_ = window;
    idle_ = std::move(idle);
}

bool RunController::Begin(Start start) {
    if (InProgress()) return false;
    if (start.statusText != 0) status_.SetText(1, LoadText(start.statusText));
    if (start.cancelHint) status_.SetText(2, LoadText(IDS_ESC_CANCELS));
    HWND progress = start.progress >= 0 ? status_.CreateProgress(start.progress) : nullptr;
    current_ = std::move(start);
    active_ = true;
    if (!current_.work) return true; // a step on this thread: Complete ends it
    messages_.Aim(window_, current_.message, progress);
    if (run_.Start(current_.work, messages_, current_.priority)) return true;
    active_ = false;
    ClearRunTexts(current_);
    current_ = Start{};
    OnIdle();
    return false;
}

void RunController::ClearRunTexts(const Start& start) {
    status_.DestroyProgress();
    if (start.statusText != 0) status_.SetText(1, L"");
    if (start.cancelHint) status_.SetText(2, L"");
}

void RunController::Complete(WPARAM wParam, LPARAM lParam) {
    if (window_) PostMessageW(window_, current_.message, wParam, lParam);
}

bool RunController::OnCompletion(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!active_ || message != current_.message) return false;
    run_.Join(); // the worker has posted its last message
    status_.DestroyProgress();
    status_.SetText(2, L"");
    active_ = false;
    auto finished = std::move(current_.finished);
    current_ = Start{};
    if (finished) finished(wParam, lParam);
    OnIdle();
    return true;
}

void RunController::Cancel() {
    if (run_.InProgress()) run_.Cancel();
}

void RunController::Defer(std::vector<std::wstring> paths) {
    deferred_.insert(deferred_.end(), paths.begin(), paths.end());
}

void RunController::DeferClose() {
    closePending_ = true;
    Cancel();
}

void RunController::OnIdle() {
    if (!IsIdle()) return;
    if (closePending_) {
        closePending_ = false;
        if (idle_.close) idle_.close();
        return;
    }
    if (idle_.catchUp) idle_.catchUp();
    if (deferred_.empty() || !idle_.addPaths) return;
    std::vector<std::wstring> paths = std::move(deferred_);
    deferred_.clear();
    idle_.addPaths(std::move(paths));
}

RunController::ModalStep::~ModalStep() {
    if (--runs_.modalSteps_ == 0 && runs_.window_) PostMessageW(runs_.window_, WM_APP_IDLE, 0, 0);
}
