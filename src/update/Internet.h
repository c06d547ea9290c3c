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
