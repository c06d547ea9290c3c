// Deriving new names against the cost of merely touching each archive.
//
// Makes `count` small ZIP archives in a temporary folder (a root file, then a
// folder with a few members), then measures
//   floor:  for each file, open it, read its last 64 KiB (the whole file when
//           smaller) and its first 4 KiB, close it: the least I/O any reader
//           of the central directory and a local header needs;
//   derive: DeriveNewName for every entry of a FileList holding the files,
//           with the default settings (Use7zip32 on);
// and prints one line ending in the ratio derive / floor. Every entry must
// end ready with the folder's name, else the errors are listed and the exit
// code is 1. The folder is removed at the end.
//
//   wine build/bench/derive_bench.exe [count]   (default 10000)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "TestFiles.h"
#include "ZipBuilder.h"
#include "base/ScopedWin.h"
#include "filelist/FileList.h"
#include "naming/NameFormat.h"
#include "settings/ConfigFile.h"
#include "settings/Settings.h"

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / frequency.QuadPart;
}

std::string Bytes(size_t size, uint32_t seed) {
    std::string s(size, '\0');
    for (char& c : s) {
        seed = seed * 1664525u + 1013904223u;
        c = static_cast<char>(seed >> 24);
    }
    return s;
}

std::vector<ZipMember> Members(int i) {
    const std::string folder = "Folder " + std::to_string(i);
    std::vector<ZipMember> members(4);
    members[0].name = "readme.txt";
    members[0].data = "Photographs of folder " + std::to_string(i) + ".\r\n";
    members[0].externalAttributes = 0x20;
    members[1].name = folder + "/";
    members[1].externalAttributes = 0x10;
    members[2].name = folder + "/a.jpg";
    members[2].data = Bytes(1500, static_cast<uint32_t>(i));
    members[2].externalAttributes = 0x20;
    members[3].name = folder + "/b.jpg";
    members[3].data = std::string(3000, 'b') + Bytes(500, static_cast<uint32_t>(i) + 1);
    members[3].method = 8;
    members[3].externalAttributes = 0x20;
    return members;
}

// The floor for one file; false when it could not be opened or read.
bool TouchEnds(const std::wstring& path, std::vector<char>& buffer) {
    ScopedFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size)) return false;
    const LONGLONG tail = std::min<LONGLONG>(size.QuadPart, 65536);
    const LONGLONG head = std::min<LONGLONG>(size.QuadPart, 4096);
    LARGE_INTEGER at;
    at.QuadPart = size.QuadPart - tail;
    DWORD got = 0;
    if (!SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN) ||
        !ReadFile(file.get(), buffer.data(), static_cast<DWORD>(tail), &got, nullptr) || got != tail)
        return false;
    at.QuadPart = 0;
    return SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN) &&
           ReadFile(file.get(), buffer.data(), static_cast<DWORD>(head), &got, nullptr) && got == head;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    int count = argc > 1 ? _wtoi(argv[1]) : 10000;
    if (count <= 0) count = 10000;

    TempDir dir; // removed with everything in it when wmain returns
    std::vector<std::wstring> paths;
    paths.reserve(count);
    for (int i = 0; i < count; ++i) {
        paths.push_back(dir / (L"Archive " + std::to_wstring(i) + L".zip"));
        if (!WriteZip(paths.back(), Members(i))) {
            fwprintf(stderr, L"cannot write %ls\n", paths.back().c_str());
            return 1;
        }
    }

    LoadSettingsFrom(nullptr, g_settings, 1280, 1024);
    g_settings.Use7zip32 = true;
    FileList list;
    for (const std::wstring& path : paths) {
        if (!list.AddFileEntry(path.c_str())) {
            fwprintf(stderr, L"cannot list %ls\n", path.c_str());
            return 1;
        }
    }

    std::vector<char> buffer(65536);
    int unreadable = 0;
    LARGE_INTEGER start, touched, derived;
    QueryPerformanceCounter(&start);
    for (const std::wstring& path : paths) {
        if (!TouchEnds(path, buffer)) ++unreadable;
    }
    QueryPerformanceCounter(&touched);
    for (int i = 0; i < count; ++i) DeriveNewName(list, i);
    QueryPerformanceCounter(&derived);

    int wrong = 0;
    for (int i = 0; i < count; ++i) {
        const FileEntry& e = list.At(i);
        const std::wstring expected = L"Folder " + std::to_wstring(i) + L".zip";
        if (e.status == kStatusReady && expected == e.newName) continue;
        if (++wrong <= 10) fwprintf(stderr, L"%ls: status %d, new name \"%ls\"\n", e.fullPath, e.status, e.newName);
    }
    if (wrong > 10) fwprintf(stderr, L"... %d entries wrong in all\n", wrong);
    if (unreadable > 0) fwprintf(stderr, L"%d files could not be read for the floor\n", unreadable);

    const double floor = Seconds(start, touched), derive = Seconds(touched, derived);
    printf("%d archives: floor %.3f s, derive %.3f s, ratio %.2f\n", count, floor, derive,
           floor > 0 ? derive / floor : 0.0);
    return wrong == 0 && unreadable == 0 ? 0 : 1;
}
