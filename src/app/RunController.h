// The main window's one run at a time, and what waits for the window to be
// idle.
//
// A run is a worker (adding a folder or a drop, deriving, renaming, undoing,
// thumbnails, the update check) or a step on the window's thread (adding
// chosen files, a handed-over file). It is in progress from Begin until its
// completion message has been handled: the worker ends by posting the
// message (through RunEvents::Finished), a step by calling Complete. The
// controller then joins the worker, removes its progress bar and clears the
// cancel hint, and calls the run's completion handler on the window's
// thread; a handler may begin the next run (thumbnails for added rows).
//
// The window is idle when no run is in progress and no modal step (a
// command's dialog or question, see ModalStep) is on the way. Drops and
// hand-overs that arrive meanwhile are deferred, and so is a close request;
// when the window becomes idle again, a pending close is taken up first,
// then the deferred paths, as one drop.
//
// Everything here runs on the window's thread.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "app/RunMessages.h"
#include "base/Run.h"

class StatusBar;

class RunController {
public:
    struct Start {
        UINT message = 0;        // the run's completion message
        UINT statusText = 0;     // status part 1 while it runs; 0: as it is
        bool cancelHint = false; // "Escで中止します" in part 2 while it runs
        int progress = -1;       // a progress bar over part 0 with range 0..progress; -1: none
        int priority = THREAD_PRIORITY_NORMAL;
        Run::Work work;          // empty: a step on the window's thread, ended by Complete
        std::function<void(WPARAM, LPARAM)> finished; // the completion handler
    };
    // What idleness takes up.
    struct Idle {
        std::function<void()> close;                           // a close request that waited
        std::function<void(std::vector<std::wstring>)> addPaths; // drops and hand-overs that waited
        std::function<void()> catchUp; // what the window put off while busy (icons for a new DPI)
    };

    explicit RunController(StatusBar& status) : status_(status) {}
    ~RunController();
    RunController(const RunController&) = delete;
    RunController& operator=(const RunController&) = delete;

    void Bind(HWND window, Idle idle);

    // False, with nothing started and the status texts as they were, when
    // another run is in progress or no thread could be made.
    bool Begin(Start start);
    // Ends a step on the window's thread: its completion message is posted.
    void Complete(WPARAM wParam, LPARAM lParam);
    // A completion message: true when it was the run's (and it was handled).
    bool OnCompletion(UINT message, WPARAM wParam, LPARAM lParam);

    bool InProgress() const { return active_ || busy_ > 0; }
    bool WorkerRunning() const { return run_.InProgress(); }
    // Asks the worker, if any, to stop after its current item.
    void Cancel();
    // The worker's cancel flag, for what the window's thread must also end
    // (an update check's open request).
    Run& CurrentRun() { return run_; }

    bool IsIdle() const { return !InProgress() && modalSteps_ == 0; }
    // A drop or hand-over that cannot start now waits for idleness.
    void Defer(std::vector<std::wstring> paths);
    bool HasDeferred() const { return !deferred_.empty(); }
    // A close request while not idle: the run is cancelled and the close waits.
    void DeferClose();
    // WM_APP_IDLE and the end of every run: takes up what waited, when idle.
    void OnIdle();

    // A command, a dialog or a question on the window's thread: what arrives
    // meanwhile waits until it is over (its end posts WM_APP_IDLE).
    class ModalStep {
    public:
        explicit ModalStep(RunController& runs) : runs_(runs) { ++runs_.modalSteps_; }
        ~ModalStep();
        ModalStep(const ModalStep&) = delete;
        ModalStep& operator=(const ModalStep&) = delete;

    private:
        RunController& runs_;
    };
    // Work on the window's thread that no command may interrupt (removing,
    // recycling): the window counts as running meanwhile.
    class Busy {
    public:
        explicit Busy(RunController& runs) : runs_(runs) { ++runs_.busy_; }
        ~Busy() { --runs_.busy_; }
        Busy(const Busy&) = delete;
        Busy& operator=(const Busy&) = delete;

    private:
        RunController& runs_;
    };

private:
    void ClearRunTexts(const Start& start);

    StatusBar& status_;
    HWND window_ = nullptr;
    Idle idle_;
    Run run_;
    RunMessages messages_; // what the worker reports, posted to this thread
    Start current_;
    bool active_ = false;     // a run is in progress until its completion is handled
    int busy_ = 0;
    int modalSteps_ = 0;
    std::vector<std::wstring> deferred_;
    bool closePending_ = false;
};
