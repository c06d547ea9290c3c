#include "update/HttpGet.h"

namespace {

void LimitWaits(HINTERNET handle, DWORD milliseconds) {
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
        InternetSetOptionW(handle, option, &milliseconds, sizeof(milliseconds));
}

} // namespace

bool HttpGet::Send(const wchar_t* agent, const wchar_t* host, INTERNET_PORT port, const wchar_t* path, bool secure,
                   DWORD waitMilliseconds) {
    internet_.reset(InternetOpenW(agent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!internet_) return false;
    LimitWaits(internet_.get(), waitMilliseconds);
    connection_.reset(InternetConnectW(internet_.get(), host, port, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection_) return false;
    LimitWaits(connection_.get(), waitMilliseconds);
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
                  INTERNET_FLAG_KEEP_CONNECTION | (secure ? INTERNET_FLAG_SECURE : 0);
    request_.reset(HttpOpenRequestW(connection_.get(), L"GET", path, nullptr, nullptr, nullptr, flags, 0));
    if (!request_) return false;
    LimitWaits(request_.get(), waitMilliseconds);
    // An error page is not what was asked for.
    return HttpSendRequestW(request_.get(), nullptr, 0, nullptr, 0) && IsSuccessStatus(request_.get());
}

bool SplitUrl(const wchar_t* url, UrlParts& parts) {
    parts = UrlParts{};
    URL_COMPONENTSW pieces = {};
    pieces.dwStructSize = sizeof(pieces);
    pieces.lpszHostName = parts.host;
    pieces.dwHostNameLength = sizeof(parts.host) / sizeof(parts.host[0]);
    pieces.lpszUrlPath = parts.path;
    pieces.dwUrlPathLength = sizeof(parts.path) / sizeof(parts.path[0]);
    if (!InternetCrackUrlW(url, 0, 0, &pieces)) return false;
    if (pieces.nScheme != INTERNET_SCHEME_HTTP && pieces.nScheme != INTERNET_SCHEME_HTTPS) return false;
    if (parts.host[0] == L'\0') return false;
    if (parts.path[0] == L'\0') wcscpy(parts.path, L"/");
    parts.port = pieces.nPort;
    parts.secure = pieces.nScheme == INTERNET_SCHEME_HTTPS;
    return true;
}
