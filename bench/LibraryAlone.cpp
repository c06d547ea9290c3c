#include "LibraryAlone.h"

#include <windows.h>

#include <cstring>
#include <cwchar>

#include "BenchClock.h"
#include "contracts/UnrarRecords.h"
#include "base/ScopedWin.h"

namespace {

using AnyFunction = void (*)();

template <typename T>
T Export(HMODULE module, const char* name) {
    return reinterpret_cast<T>(reinterpret_cast<AnyFunction>(GetProcAddress(module, name)));
}

using SetUnicodeModeFn = BOOL(WINAPI*)(BOOL);
using CheckArchiveFn = BOOL(WINAPI*)(LPCSTR, int);
using OpenArchiveFn = HANDLE(WINAPI*)(HWND, LPCSTR, DWORD);
using CloseArchiveFn = int(WINAPI*)(HANDLE);
using FindFirstFn = int(WINAPI*)(HANDLE, LPCSTR, void*);
using FindNextFn = int(WINAPI*)(HANDLE, void*);
using GetFileNameFn = int(WINAPI*)(HANDLE, LPSTR, int);

std::string Utf8(const std::wstring& text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(n > 0 ? n : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &bytes[0], n, nullptr, nullptr);
    return bytes;
}

bool InFolder(const char* name) { return strchr(name, '\\') != nullptr || strchr(name, '/') != nullptr; }

} // namespace

double ArchiverAloneMs(const std::vector<std::wstring>& files, int& failures) {
    ScopedModule dll(LoadLibraryW(L"7-zip32.dll"));
    if (!dll) return -1;
    auto setUnicode = Export<SetUnicodeModeFn>(dll.get(), "SevenZipSetUnicodeMode");
    auto check = Export<CheckArchiveFn>(dll.get(), "SevenZipCheckArchive");
    auto open = Export<OpenArchiveFn>(dll.get(), "SevenZipOpenArchive");
    auto close = Export<CloseArchiveFn>(dll.get(), "SevenZipCloseArchive");
    auto findFirst = Export<FindFirstFn>(dll.get(), "SevenZipFindFirst");
    auto findNext = Export<FindNextFn>(dll.get(), "SevenZipFindNext");
    auto getName = Export<GetFileNameFn>(dll.get(), "SevenZipGetFileName");
    if (!setUnicode || !check || !open || !close || !findFirst || !findNext || !getName) return -1;
    setUnicode(TRUE);
    std::vector<std::string> paths;
    for (const std::wstring& file : files) paths.push_back(Utf8(file));
    std::vector<char> record(560), name(32768);
    const double start = Now();
    for (const std::string& path : paths) {
        bool found = false;
        if (check(path.c_str(), 1)) {
            if (HANDLE arc = open(nullptr, path.c_str(), 0)) {
                int step = findFirst(arc, "*", record.data());
                while (step == 0 && getName(arc, name.data(), int(name.size())) == 0) {
                    if ((found = InFolder(name.data()))) break;
                    step = findNext(arc, record.data());
                }
                close(arc);
            }
        }
        if (!found) ++failures;
    }
    return paths.empty() ? 0.0 : (Now() - start) * 1000.0 / paths.size();
}

double UnrarAloneMs(const std::vector<std::wstring>& files, int& failures) {
    ScopedModule dll(LoadLibraryW(L"unrar.dll"));
    if (!dll) return -1;
    auto open = Export<RarOpenArchiveExFn>(dll.get(), "RAROpenArchiveEx");
    auto close = Export<RarCloseArchiveFn>(dll.get(), "RARCloseArchive");
    auto readHeader = Export<RarReadHeaderExFn>(dll.get(), "RARReadHeaderEx");
    auto process = Export<RarProcessFileFn>(dll.get(), "RARProcessFile");
    if (!open || !close || !readHeader || !process) return -1;
    std::vector<RARHeaderDataEx> header(1); // 10 KB: not on the stack
    const double start = Now();
    for (const std::wstring& file : files) {
        bool found = false;
        RAROpenArchiveDataEx data = {};
        data.ArcNameW = const_cast<wchar_t*>(file.c_str());
        data.OpenMode = kRarOpenExtract;
        if (HANDLE arc = open(&data)) {
            while (data.OpenResult == 0 && readHeader(arc, header.data()) == 0) {
                if ((found = wcschr(header[0].FileNameW, L'\\') != nullptr)) break;
                process(arc, kRarSkip, nullptr, nullptr);
            }
            close(arc);
        }
        if (!found) ++failures;
    }
    return files.empty() ? 0.0 : (Now() - start) * 1000.0 / files.size();
}
