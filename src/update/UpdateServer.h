// Where the update check asks: the server's host (and port) for the download
// and the full address of the version file. The program's own values come
// from its string table; ZORVEL_UPDATE_HOST ("name" or "name:port") and
// ZORVEL_UPDATE_URL replace them when set, so tests and mirrors can point
// the check elsewhere. The download uses the version file's scheme: the
// program's own address is https, so plain http is only ever asked for
// through ZORVEL_UPDATE_URL.
#pragma once

#include <windows.h>
#include <wininet.h>

struct UpdateServer {
    wchar_t host[255];       // at most 254 characters
    INTERNET_PORT port;      // the scheme's (443, 80) unless the host names another
    bool secure;             // https: the version file's scheme, used for the download too
    wchar_t versionUrl[519]; // at most 518 characters
    DWORD waitMilliseconds;  // how long a connection, a send or a receive may stall
};

// Fills server from host and versionUrl, or from the environment where it
// overrides them. False when a value is too long for its buffer, the host is
// empty, or a port is not a number from 1 to 65535: the check then fails
// instead of asking some other server.
bool ResolveUpdateServer(const wchar_t* host, const wchar_t* versionUrl, UpdateServer& server);
