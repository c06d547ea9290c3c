// Downloading the published archive from the update server.
//
// Contract:
// - One HTTP GET of the server path from the update server's host and port,
//   always answered by the server (no cache), read in blocks of at most
//   4,096 bytes on the calling thread.
// - Only a 2xx reply is saved. The bytes go to "<save path>.tmp", which
//   replaces the save path once every byte has arrived; a failed or
//   cancelled download removes it and leaves an existing file at the save
//   path as it was.
// - A reply shorter than its Content-Length is a failure. A reply without
//   Content-Length ends when the server ends it.
// - The cancel flag is read after each block: the download stops after the
//   block it has.
#pragma once

#include "base/Run.h"
#include "update/UpdateServer.h"

// What a download tells while it runs, from the downloading thread.
class DownloadEvents {
public:
    // After each block: the bytes received so far.
    virtual void Received(unsigned long long total) = 0;
    // After each block when the reply gave its length: 0..100.
    virtual void Percent(int percent) = 0;

protected:
    ~DownloadEvents() = default;
};

enum class DownloadResult { Done, Failed, Cancelled };

DownloadResult DownloadUpdate(const UpdateServer& server, const wchar_t* serverPath, const wchar_t* savePath,
                              DownloadEvents& events, const CancelFlag& cancel);
