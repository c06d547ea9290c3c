#include "filelist/Paths.h"

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
