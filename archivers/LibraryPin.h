// Our libraries keep themselves loaded once loaded.
//
// Callers load and free a library for every archive. Each fresh load of the
// static runtime costs milliseconds and takes a thread-local slot it never
// gives back (about a thousand loads exhaust them), so the first load pins
// the library: later loads only count references.
#pragma once

#include <windows.h>

inline void PinThisLibrary(HINSTANCE instance) {
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCWSTR>(instance), &self);
}
