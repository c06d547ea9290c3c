#include "base/Paths.h"

#include <windows.h>

#include <cwchar>

std::wstring DirectoryOfPath(const wchar_t* path) {
    const wchar_t* cut = wcsrchr(path, L'\\');
    if (cut == nullptr) cut = wcsrchr(path, L'/');
    if (cut == nullptr) return path;
    return std::wstring(path, cut);
}

std::wstring WithTrailingSeparator(const wchar_t* path) {
    wchar_t separator = wcschr(path, L'\\') ? L'\\' : L'/';
    std::wstring result = path;
    if (result.empty() || result.back() != separator) result += separator;
    return result;
}

bool IsBlankPath(const wchar_t* path) {
    if (path == nullptr) return true;
    for (; *path; ++path)
        if (*path != L' ' && *path != L'\t') return false;
    return true;
}

bool IsFullPath(const wchar_t* path) {
    if (path == nullptr) return false;
    bool letter = (path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z');
    if (letter && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/')) return true;
    return path[0] == L'\\' && path[1] == L'\\';
}

std::wstring AbsolutePath(const wchar_t* path) {
    if (IsBlankPath(path)) return std::wstring();
    DWORD needed = GetFullPathNameW(path, 0, nullptr, nullptr);
    if (needed == 0) return std::wstring();
    std::wstring full(needed, L'\0');
    DWORD length = GetFullPathNameW(path, needed, &full[0], nullptr);
    if (length == 0 || length >= needed) return std::wstring();
    full.resize(length);
    return full;
}
