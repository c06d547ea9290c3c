#include "archive/LibraryVersion.h"

#include <windows.h>

#include <cwchar>
#include <new>
#include <vector>

#include "archive/ArchiveKinds.h"
#include "base/ScopedWin.h"

namespace {

// The file the program would load under this name; empty when none loads.
// A version lookup by the bare name would search otherwise (Wine's ignores
// the folder set with SetDllDirectoryW), and a library only in the current
// folder, which the program removes from the search, is not one it uses.
std::wstring LoadedPath(const wchar_t* fileName) {
    ScopedModule module(LoadLibraryW(fileName));
    if (!module) return std::wstring();
    std::wstring path(32768, L'\0');
    DWORD length = GetModuleFileNameW(module.get(), &path[0], static_cast<DWORD>(path.size()));
    path.resize(length < path.size() ? length : 0);
    return path;
}

} // namespace

std::wstring LibraryVersionText(const wchar_t* fileName) {
    std::wstring path = LoadedPath(fileName);
    if (path.empty()) return L"------------";
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) return L"OK          ";

    std::vector<BYTE> block;
    try {
        block.assign(size, 0);
    } catch (const std::bad_alloc&) {
        return L"---------";
    }
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data()) ||
        !VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize) || fixed == nullptr ||
        fixedSize < sizeof(VS_FIXEDFILEINFO))
        return L"---------";

    wchar_t text[48];
    swprintf(text, 48, L"%ld.%02lu.%ld.%02lu", static_cast<long>(HIWORD(fixed->dwFileVersionMS)),
             static_cast<unsigned long>(LOWORD(fixed->dwFileVersionMS)), static_cast<long>(HIWORD(fixed->dwFileVersionLS)),
             static_cast<unsigned long>(LOWORD(fixed->dwFileVersionLS)));
    return text;
}

std::wstring ArchiverLibraryList() {
    std::wstring list;
    for (const ArchiverLibrary* library : kOptionalLibraries) {
        const wchar_t* name = library->file;
        std::wstring version = LibraryVersionText(name);
        wchar_t line[80];
        swprintf(line, 80, L"%-16ls\t%-12ls\r\n", name, version.c_str());
        list += line;
    }
    return list;
}
