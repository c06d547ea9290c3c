// One HTTP GET through WinINet that a cancel ends at once, whatever the
// server does.
//
// Contract:
// - Send() asks for the URL (never from a cache) and follows redirects (301,
//   302, 303, 307, 308) itself, at most 5, each only to http or https; a
//   relative Location is resolved against the URL that gave it. True when
//   the final reply's status is 2xx; any other status, a sixth redirect, a
//   Location that is not http or https, or no reply at all is false.
// - Read() waits for the next bytes of the body and gives what has arrived,
//   never more than capacity (at most 4,096); 0 bytes at the end of the body.
// - Waits are limited: connecting, sending and receiving the reply's head
//   take at most waitMilliseconds for each request of a redirect chain, and
//   each Read() waits at most that long for its first byte. The limit is
//   also set on every WinINet handle (Windows passes it down from the
//   session, Wine takes it only from the connection and the request, and
//   only before the request is sent), so WinINet gives up on its own too.
// - Threads: one worker calls everything. The cancel flag given at
//   construction may be set on any other thread (the window's): that thread
//   then closes the handles and ends the worker's wait, and every later call
//   fails. A handle is closed exactly once, by whichever thread comes first,
//   and never used after: every use and every close happens under one lock.
// - WinINet runs asynchronously, so the worker never blocks inside it (under
//   Wine a closed handle does not end a blocked receive; only the socket
//   giving does). What WinINet writes while an operation is under way lives
//   until WinINet closes the request (INTERNET_STATUS_HANDLE_CLOSING), which
//   may come after this object has gone.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <mutex>

#include "base/Run.h"
#include "base/ScopedWin.h"
#include "update/Internet.h"

// The parts of an absolute http:// or https:// URL.
struct UrlParts {
    wchar_t host[256];
    wchar_t path[1024];
    INTERNET_PORT port;
    bool secure;
};
// False for anything but http or https, or a part too long for its buffer.
bool SplitUrl(const wchar_t* url, UrlParts& parts);

struct PendingReply;

class HttpGet final : public CancelListener {
public:
    HttpGet(const wchar_t* agent, DWORD waitMilliseconds, const CancelFlag& cancel);
    ~HttpGet();
    HttpGet(const HttpGet&) = delete;
    HttpGet& operator=(const HttpGet&) = delete;

    bool Send(const UrlParts& url);
    bool Read(char* buffer, DWORD capacity, DWORD& got);
    // The reply's Content-Length, read as the text the server sent: known is
    // false when there is none. False when it is not a decimal number that
    // fits 32 bits (WinINet's number reading would wrap it).
    bool ContentLength(DWORD& length, bool& known);

    void Cancelled() override;

private:
    bool SendOnce(const UrlParts& url, DWORD& status);
    bool NextUrl(UrlParts& url);
    template <typename Call>
    DWORD OnRequest(Call call);
    bool Finish(DWORD started);
    void CloseRequest();

    DWORD wait_;
    ScopedHandle cancelled_; // set once the cancel has closed the handles
    std::mutex lock_;        // guards the handles, every use and every close
    bool closed_ = false;    // the cancel came: no handle is opened again
    ScopedInternet session_;
    ScopedInternet connection_;
    ScopedInternet request_;
    PendingReply* pending_ = nullptr; // the worker's hold on the request's reply
    CancelListening listening_;       // last: stops before the rest goes
};
