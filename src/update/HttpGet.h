// One HTTP GET through WinINet, its handles held for as long as the reply
// is read: the session, the connection and the request.
//
// Contract:
// - Send() connects to host:port, asks for path (never from a cache) and
//   returns true when the reply's status is 2xx; any other status, or no
//   reply at all, is false.
// - A connection attempt, a send or a receive that stalls for longer than
//   waitMilliseconds fails. The limit is set on every handle: Windows passes
//   it down from the session, Wine takes it only from the connection and
//   the request, and only before the request is sent.
#pragma once

#include <windows.h>
#include <wininet.h>

#include "update/Internet.h"

class HttpGet {
public:
    bool Send(const wchar_t* agent, const wchar_t* host, INTERNET_PORT port, const wchar_t* path, bool secure,
              DWORD waitMilliseconds);
    HINTERNET Request() const { return request_.get(); }

private:
    ScopedInternet internet_;
    ScopedInternet connection_;
    ScopedInternet request_;
};

// The parts of an absolute http:// or https:// URL; false for anything else
// or a part too long for its buffer.
struct UrlParts {
    wchar_t host[256];
    wchar_t path[1024];
    INTERNET_PORT port;
    bool secure;
};
bool SplitUrl(const wchar_t* url, UrlParts& parts);
