// Owning wrapper for WinINet handles (internet service, connection, request,
// opened URL): each is closed when its scope ends, innermost first.
#pragma once

#include <windows.h>
#include <wininet.h>

#include "base/ScopedWin.h"

struct InternetHandleTraits {
    static HINTERNET invalid() { return nullptr; }
    static void close(HINTERNET h) { InternetCloseHandle(h); }
};
using ScopedInternet = UniqueHandle<HINTERNET, InternetHandleTraits>;

// A numeric header of an HTTP reply (status code, Content-Length); false
// when the reply has none.
inline bool QueryNumber(HINTERNET request, DWORD header, DWORD& value) {
    DWORD size = sizeof(value);
    return HttpQueryInfoW(request, header | HTTP_QUERY_FLAG_NUMBER, &value, &size, nullptr) != FALSE;
}

// A reply the server meant as the document asked for (2xx), not an error page.
inline bool IsSuccessStatus(HINTERNET request) {
    DWORD status = 0;
    return QueryNumber(request, HTTP_QUERY_STATUS_CODE, status) && status >= 200 && status <= 299;
}
