#include "update/UpdateServer.h"

#include <cwchar>

#include "base/Text.h"

namespace {

// The variable's value when it is set and not empty; false otherwise, or
// when it does not fit.
template <size_t N>
bool ReadVariable(const wchar_t* name, wchar_t (&value)[N], bool& tooLong) {
    DWORD length = GetEnvironmentVariableW(name, value, N);
    tooLong = length >= N;
    return length > 0 && !tooLong;
}

// "name" or "name:port".
bool SplitHost(const wchar_t* text, UpdateServer& server) {
    const wchar_t* colon = wcschr(text, L':');
    size_t nameLength = colon ? static_cast<size_t>(colon - text) : wcslen(text);
    if (nameLength == 0 || nameLength >= 255) return false;
    wmemcpy(server.host, text, nameLength);
    server.host[nameLength] = L'\0';
    server.port = 0; // the scheme's
    if (!colon) return true;
    unsigned long port = 0;
    const wchar_t* digit = colon + 1;
    for (; *digit >= L'0' && *digit <= L'9' && port <= 65535; ++digit) port = port * 10 + (*digit - L'0');
    if (digit == colon + 1 || *digit != L'\0' || port == 0 || port > 65535) return false;
    server.port = static_cast<INTERNET_PORT>(port);
    return true;
}

} // namespace

bool ResolveUpdateServer(const wchar_t* host, const wchar_t* versionUrl, UpdateServer& server) {
    server = UpdateServer{};
    wchar_t hostOverride[300];
    bool tooLong = false;
    if (ReadVariable(L"ZORVEL_UPDATE_HOST", hostOverride, tooLong)) host = hostOverride;
    if (tooLong || !SplitHost(host, server)) return false;
    wchar_t urlOverride[600];
    if (ReadVariable(L"ZORVEL_UPDATE_URL", urlOverride, tooLong)) versionUrl = urlOverride;
    if (tooLong || versionUrl[0] == L'\0' || !CopyText(server.versionUrl, versionUrl)) return false;
    server.secure = _wcsnicmp(versionUrl, L"https://", 8) == 0;
    if (server.port == 0) server.port = server.secure ? INTERNET_DEFAULT_HTTPS_PORT : INTERNET_DEFAULT_HTTP_PORT;
    return true;
}
