// Downloading the published archive from the update server.
//
// Contract:
// - One HTTP GET (HttpGet: redirects, waits, cancel) of the server path from
//   the update server's host and port, always answered by the server (no
//   cache), read as the bytes arrive on the calling thread.
// - Only a 2xx reply with no Content-Length or a decimal one that fits 32
//   bits is saved. The bytes go to "<save path>.tmp", which becomes the save
//   path once every byte has arrived, replacing a file there only when
//   replace is true; a failed or cancelled download removes it and leaves an
//   existing file at the save path as it was.
// - With an expected SHA-256, the received bytes are hashed as they arrive;
//   a download whose hash differs is a Mismatch: the ".tmp" is deleted and
//   nothing reaches the save path.
// - A reply shorter than its Content-Length is a failure. A reply without
//   Content-Length ends when the server ends it.
// - A cancel ends the download at once, even while it waits on the server.
#pragma once

#include <cstdint>

#include "base/Run.h"
#include "update/UpdateServer.h"

// What a download tells while it runs, from the downloading thread: at most
// every 100 ms while bytes arrive, and once more with the final total when
// the reply has ended.
class DownloadEvents {
public:
    // The bytes received so far.
    virtual void Received(unsigned long long total) = 0;
    // With each Received when the reply gave its length: 0..100.
    virtual void Percent(int percent) = 0;

protected:
    ~DownloadEvents() = default;
};

enum class DownloadResult { Done, Failed, Mismatch, Cancelled };

// expectedSha256: the archive's 32-byte hash, or null when none was published.
DownloadResult DownloadUpdate(const UpdateServer& server, const wchar_t* serverPath, const wchar_t* savePath,
                              bool replace, const uint8_t* expectedSha256, DownloadEvents& events,
                              const CancelFlag& cancel);
