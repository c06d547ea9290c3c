// Finds the windows of another process, as the tests that start Zorvel.exe
// look for its main window and its message boxes.
#pragma once

#include <windows.h>

// A top-level window of the process with this class (and caption, unless null).
inline HWND WindowOf(DWORD pid, const wchar_t* className, const wchar_t* caption = nullptr) {
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, className, caption)) != nullptr;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == pid) return w;
    }
    return nullptr;
}
