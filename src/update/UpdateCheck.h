// The update check: ask the update server for the latest version, compare it
// with the program's own, and download the published archive when the user
// wants it. Nothing is installed.
//
// Contract:
// - CheckForUpdate runs on a worker thread and talks to the user only
//   through its UpdateDialogue, in this order: Checking; then the failure,
//   the up-to-date question, or Found with the two download questions; a
//   chosen save path; Downloading with the download's events; Done or the
//   download failure (a hash mismatch is a failure of its own, so the user
//   learns why).
// - The cancel flag is read between the steps and after every downloaded
//   block, and a cancel ends a wait on the server at once (HttpGet); a
//   cancelled check shows nothing more.
// - The save dialog offers the server's file name made safe (SaveName.h);
//   a name it refuses fails the check like any other unusable version file,
//   before the user is asked anything. The chosen path gets ".zip" too.
#pragma once

#include <windows.h>

#include <string>

#include "base/Run.h"
#include "update/Download.h"

enum class UpdateStatus { Checking, Found, Downloading, Done };
enum class UpdateQuestion { Download, DownloadDespiteBug, ReportToAuthor };
// DownloadMismatch: the archive arrived whole but its SHA-256 is not the one
// the version file gives; it was deleted.
enum class UpdateFailure { CheckFailed, DownloadFailed, DownloadMismatch };

// How the check shows its state and asks; the window answers with its status
// bar, message boxes and the save dialog, a test with a script.
class UpdateDialogue : public DownloadEvents {
public:
    virtual void Show(UpdateStatus status) = 0;
    virtual bool Ask(UpdateQuestion question) = 0; // true for Yes
    virtual void Report(UpdateFailure failure) = 0;
    // suggestedName: the file name the server offers, made safe and ending
    // in ".zip" (at most 127 characters); the chosen path goes to path.
    // False when none was chosen.
    virtual bool ChooseSavePath(const wchar_t* suggestedName, wchar_t (&path)[MAX_PATH]) = 0;
    virtual void OpenHomePage() = 0;

protected:
    ~UpdateDialogue() = default;
};

struct UpdateJob {
    std::wstring host;       // the update server (string 40027)
    std::wstring versionUrl; // its version file (string 40028)
    bool reportWhenCurrent = true;
    // A server that stops answering for this long fails the check or the
    // download, so Cancel and closing never wait on it for ever.
    DWORD waitMilliseconds = 30000;
};

// False only when the check was cancelled, the save dialog was cancelled or
// the download failed.
bool CheckForUpdate(const UpdateJob& job, UpdateDialogue& dialogue, const CancelFlag& cancel);
