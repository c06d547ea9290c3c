#include "update/UpdateCheck.h"

#include <cwchar>

#include "update/SaveName.h"
#include "update/UpdateServer.h"
#include "update/VersionFile.h"

namespace {

bool WantsDownload(UpdateDialogue& dialogue, const CancelFlag& cancel) {
    if (dialogue.Ask(UpdateQuestion::Download)) return true;
    return !cancel.IsSet() && dialogue.Ask(UpdateQuestion::DownloadDespiteBug);
}

} // namespace

bool CheckForUpdate(const UpdateJob& job, UpdateDialogue& dialogue, const CancelFlag& cancel) {
    wchar_t programPath[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, programPath, MAX_PATH);
    dialogue.Show(UpdateStatus::Checking);
    UpdateServer server;
    VersionFile published;
    int result = -1;
    if (length > 0 && length < MAX_PATH && ResolveUpdateServer(job.host.c_str(), job.versionUrl.c_str(), server)) {
        server.waitMilliseconds = job.waitMilliseconds;
        result = FetchLatestVersion(programPath, server, published, cancel);
    }
    if (cancel.IsSet()) return false;
    if (result < 0) {
        dialogue.Report(UpdateFailure::CheckFailed);
        return true;
    }
    if (result == 0) {
        if (job.reportWhenCurrent && dialogue.Ask(UpdateQuestion::ReportToAuthor)) dialogue.OpenHomePage();
        return true;
    }

    dialogue.Show(UpdateStatus::Found);
    bool wanted = WantsDownload(dialogue, cancel);
    if (cancel.IsSet()) return false;
    if (!wanted) return true;
    wchar_t savePath[MAX_PATH] = L"";
    if (!dialogue.ChooseSavePath(published.fileName, savePath) || cancel.IsSet()) return false;
    // The save dialog adds ".zip" only to a name without any extension. Its
    // overwrite question was about the name as typed, so a file at the name
    // with ".zip" added is never replaced.
    bool chosenAsZip = EndsWithZip(savePath);
    if (!AddZipExtension(savePath, MAX_PATH)) {
        dialogue.Report(UpdateFailure::DownloadFailed);
        return false;
    }
    dialogue.Show(UpdateStatus::Downloading);
    const uint8_t* expected = published.hasSha256 ? published.sha256 : nullptr;
    switch (DownloadUpdate(server, published.serverPath, savePath, chosenAsZip, expected, dialogue, cancel)) {
    case DownloadResult::Done: dialogue.Show(UpdateStatus::Done); return true;
    case DownloadResult::Cancelled: return false;
    case DownloadResult::Mismatch: dialogue.Report(UpdateFailure::DownloadMismatch); return false;
    case DownloadResult::Failed: break;
    }
    dialogue.Report(UpdateFailure::DownloadFailed);
    return false;
}
