// Functions looked up at run time (GetProcAddress) as their real type. The
// cast goes through a plain function-pointer type, so the compiler does not
// warn about casting FARPROC to a stdcall function of another signature.
#pragma once

#include <windows.h>

template <typename Function>
Function FunctionCast(FARPROC found) {
    using AnyFunction = void (*)();
    return reinterpret_cast<Function>(reinterpret_cast<AnyFunction>(found));
}

// module's export name as Function; null when module is null or lacks it.
template <typename Function>
Function LookUp(HMODULE module, const char* name) {
    return module ? FunctionCast<Function>(GetProcAddress(module, name)) : nullptr;
}
