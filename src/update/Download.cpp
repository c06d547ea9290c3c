#include "update/Download.h"

#include <cstring>
#include <string>

#include "base/ScopedWin.h"
#include "base/Text.h"
#include "update/HttpGet.h"
#include "update/Sha256.h"

namespace {

const DWORD kBlockBytes = 4096;
const ULONGLONG kReportMilliseconds = 100;

// Tells the bytes received, and the share of the length when the reply gave
// one, at most every 100 ms and once more with the final total: each report
// redraws the window, which costs more than reading a block.
class Reports {
public:
    Reports(DownloadEvents& events, DWORD length) : events_(events), length_(length), last_(GetTickCount64()) {}
    void Received(unsigned long long total) {
        if (GetTickCount64() - last_ >= kReportMilliseconds) Tell(total);
    }
    void Final(unsigned long long total) {
        if (total != told_) Tell(total);
    }

private:
    void Tell(unsigned long long total) {
        events_.Received(total);
        if (length_ > 0) events_.Percent(total >= length_ ? 100 : static_cast<int>(total * 100 / length_));
        told_ = total;
        last_ = GetTickCount64();
    }

    DownloadEvents& events_;
    DWORD length_;
    ULONGLONG last_;
    unsigned long long told_ = ~0ull;
};

// Reads the reply into file and hash; length 0 when the reply did not give one.
DownloadResult Receive(HttpGet& get, HANDLE file, DWORD length, Sha256& hash, DownloadEvents& events,
                       const CancelFlag& cancel) {
    char block[kBlockBytes];
    unsigned long long total = 0;
    Reports reports(events, length);
    for (;;) {
        DWORD got = 0;
        if (!get.Read(block, kBlockBytes, got)) return cancel.IsSet() ? DownloadResult::Cancelled : DownloadResult::Failed;
        if (got == 0) break;
        DWORD written = 0;
        if (!WriteFile(file, block, got, &written, nullptr) || written != got) return DownloadResult::Failed;
        hash.Add(block, got);
        total += got;
        reports.Received(total);
        if (cancel.IsSet()) return DownloadResult::Cancelled;
    }
    reports.Final(total);
    // A connection cut before the promised length is no finished download.
    if (total < length) return DownloadResult::Failed;
    return FlushFileBuffers(file) ? DownloadResult::Done : DownloadResult::Failed;
}

} // namespace

DownloadResult DownloadUpdate(const UpdateServer& server, const wchar_t* serverPath, const wchar_t* savePath,
                              bool replace, const uint8_t* expectedSha256, DownloadEvents& events,
                              const CancelFlag& cancel) {
    // Without a server path there is nothing to ask for (a GET of "" would
    // fetch the server's front page).
    if (serverPath[0] == L'\0') return DownloadResult::Failed;
    UrlParts url = {};
    if (!CopyText(url.host, server.host) || !CopyText(url.path, serverPath)) return DownloadResult::Failed;
    url.port = server.port;
    url.secure = server.secure;
    if (InternetAttemptConnect(0) != ERROR_SUCCESS) return DownloadResult::Failed;
    HttpGet get(L"Update", server.waitMilliseconds, cancel);
    DWORD length = 0;
    bool known = false;
    if (!get.Send(url) || !get.ContentLength(length, known))
        return cancel.IsSet() ? DownloadResult::Cancelled : DownloadResult::Failed;

    std::wstring temp = std::wstring(savePath) + L".tmp";
    DownloadResult result = DownloadResult::Failed;
    {
        ScopedFile file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                    nullptr));
        if (!file) return DownloadResult::Failed;
        Sha256 hash;
        result = Receive(get, file.get(), length, hash, events, cancel);
        uint8_t digest[kSha256Bytes];
        hash.Finish(digest);
        if (result == DownloadResult::Done && expectedSha256 && memcmp(digest, expectedSha256, kSha256Bytes) != 0)
            result = DownloadResult::Mismatch;
    }
    if (result == DownloadResult::Done &&
        !MoveFileExW(temp.c_str(), savePath, (replace ? MOVEFILE_REPLACE_EXISTING : 0) | MOVEFILE_WRITE_THROUGH))
        result = DownloadResult::Failed;
    if (result != DownloadResult::Done) DeleteFileW(temp.c_str());
    return result;
}
