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
// code is 1. Then discovery through each route on at most 1,000 archives of
// each kind, small and realistic (see CompareRoutes). The folder is removed
// at the end.
//
//   wine build/bench/derive_bench.exe [count]   (default 10000)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "LibraryAlone.h"
#include "RarBuilder.h"
#include "archive/ArcDll.h"
#include "archive/OptionalLibrary.h"
#include "TestFiles.h"
#include "naming/FolderDiscovery.h"
#include "base/Paths.h"
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

// Milliseconds of discovery per archive over files.
double PerArchive(const std::vector<std::wstring>& files, const NamingOptions& options, int& failures) {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    for (const std::wstring& file : files) {
        wchar_t folder[260];
        if (DiscoverFolderName(file.c_str(), options, folder) != 0) ++failures;
    }
    QueryPerformanceCounter(&end);
    return files.empty() ? 0.0 : Seconds(start, end) * 1000.0 / files.size();
}

// count copies of source in dir, named prefixN.extension; with link, hard
// links where the file system has them (the realistic archives are megabytes
// each; every one is still opened by its own name).
std::vector<std::wstring> Copies(const TempDir& dir, const std::wstring& source, const std::wstring& prefix,
                                 const std::wstring& extension, int count, bool link = false) {
    std::vector<std::wstring> files;
    for (int i = 0; i < count; ++i) {
        files.push_back(dir / (prefix + std::to_wstring(i) + extension));
        if (!(link && CreateHardLinkW(files.back().c_str(), source.c_str(), nullptr)) &&
            !CopyFileW(source.c_str(), files.back().c_str(), FALSE))
            files.pop_back();
    }
    return files;
}

std::wstring BuildFolder(const wchar_t* name) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return DirectoryOfPath(DirectoryOfPath(self).c_str()) + L"\\" + name;
}

// A folder entry, then 200 photographs of a few dozen KiB each, stored, in a
// folder with a Japanese name: RAR 4 names in code page 932 with the Unicode
// form beside them, as packers write them, RAR 5 names in UTF-8.
std::vector<RarMember> Photos(bool rar5) {
    const std::string folder = rar5 ? "\xe5\x86\x99\xe7\x9c\x9f" : "\x8e\xca\x90\x5e";
    std::vector<RarMember> members(1);
    members[0].name = folder;
    members[0].directory = true;
    if (!rar5) members[0].unicodeName = L"\u5199\u771f";
    for (int i = 0; i < 200; ++i) {
        RarMember m;
        const std::string file = "IMG_" + std::to_string(1000 + i) + ".jpg";
        m.name = folder + (rar5 ? "/" : "\\") + file;
        if (!rar5) m.unicodeName = L"\u5199\u771f\\" + std::wstring(file.begin(), file.end());
        m.data = Bytes(40000 + (i * 7919) % 80000, static_cast<uint32_t>(i));
        members.push_back(std::move(m));
    }
    return members;
}

enum class Library { None, Archiver, Unrar };
struct Route {
    const char* label;
    std::vector<std::wstring> files;
    bool use7zip;
    Library library;
};

constexpr int kRounds = 3;

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[v.size() / 2];
}

// Times every route kRounds times, round by round, so that load from
// elsewhere on the machine falls on all routes alike, then prints one line
// per route: the median time per archive, its ratio to the built-in ZIP
// reader on the small archives, and the library's own share.
void TimeRoutes(const std::vector<Route>& routes, int count, double& zipBuiltIn, int& failures) {
    std::vector<std::vector<double>> ms(routes.size()), alone(routes.size());  // one per round
    for (int round = 0; round < kRounds; ++round) {
        for (size_t i = 0; i < routes.size(); ++i) {
            const Route& route = routes[i];
            if (route.files.size() != static_cast<size_t>(count)) continue;
            NamingOptions options;
            options.use7zip32 = route.use7zip;
            ms[i].push_back(PerArchive(route.files, options, failures));
            if (route.library == Library::Archiver) alone[i].push_back(ArchiverAloneMs(route.files, failures));
            if (route.library == Library::Unrar) alone[i].push_back(UnrarAloneMs(route.files, failures));
        }
    }
    for (size_t i = 0; i < routes.size(); ++i) {
        if (ms[i].empty()) {
            printf("%-26s no archives (see the README: build/fixtures, build/bench-archives)\n", routes[i].label);
            continue;
        }
        const double median = Median(ms[i]), library = Median(alone[i]);
        if (zipBuiltIn == 0) zipBuiltIn = median;
        printf("%-26s %.3f ms per archive, %4.1f x the built-in ZIP reader", routes[i].label, median,
               median / zipBuiltIn);
        if (library >= 0) printf(" (library alone %.3f ms)", library);
        printf("\n");
    }
}

// Discovery per archive through each route, with the libraries we ship: the
// small archives of the tests, then realistic ones of 200 photographs. The
// small 7z, CAB and LZH archives are copies of the test fixtures
// (build/fixtures); the 200-member 7z is made by
// scripts/make-bench-archives.sh (7zz, LZMA2, compressed header); the RAR
// and ZIP ones are written here.
int CompareRoutes(int count) {
    TempDir dir;
    SetDllDirectoryW(BuildFolder(L"bin").c_str());
    ForgetMissingLibraries();
    std::vector<std::wstring> zips, rars;
    for (int i = 0; i < count; ++i) {
        zips.push_back(dir / (L"z" + std::to_wstring(i) + L".zip"));
        WriteZip(zips.back(), Members(i));
        RarMember readme, member;
        readme.name = "readme.txt";
        readme.data = "read me";
        member.name = "Folder " + std::to_string(i) + "\\a.jpg";
        member.data = std::string(200, 'j');
        rars.push_back(dir / (L"r" + std::to_wstring(i) + L".rar"));
        WriteBytes(rars.back(), BuildRar4({readme, member}));
    }
    const std::wstring fixtures = BuildFolder(L"fixtures"), rar4 = dir / L"photos4.rar", rar5 = dir / L"photos5.rar";
    WriteBytes(rar4, BuildRar4(Photos(false)));
    WriteBytes(rar5, BuildRar5(Photos(true)));
    std::vector<Route> small = {
        {"zip, built-in reader", zips, false, Library::None},
        {"zip, 7-zip32.dll", zips, true, Library::Archiver},
        {"7z, 7-zip32.dll", Copies(dir, fixtures + L"\\photos.7z", L"s", L".7z", count), true, Library::Archiver},
        {"cab, 7-zip32.dll", Copies(dir, fixtures + L"\\photos.cab", L"c", L".cab", count), true, Library::Archiver},
        {"lzh, 7-zip32.dll", Copies(dir, fixtures + L"\\photos.lzh", L"l", L".lzh", count), true, Library::Archiver},
        {"rar, unrar.dll", rars, true, Library::Unrar},
    };
    std::vector<Route> realistic = {
        {"7z 200 photos, 7-zip32.dll",
         Copies(dir, BuildFolder(L"bench-archives") + L"\\photos200.7z", L"p", L".7z", count, true), true,
         Library::Archiver},
        {"rar4 200 photos, unrar.dll", Copies(dir, rar4, L"q", L".rar", count, true), true, Library::Unrar},
        {"rar5 200 photos, unrar.dll", Copies(dir, rar5, L"v", L".rar", count, true), true, Library::Unrar},
    };
    double zipBuiltIn = 0;
    int failures = 0;
    printf("small archives (the tests' fixtures):\n");
    TimeRoutes(small, count, zipBuiltIn, failures);
    printf("realistic archives (200 photographs each):\n");
    TimeRoutes(realistic, count, zipBuiltIn, failures);
    SetDllDirectoryW(nullptr);
    if (failures > 0) printf("%d archives gave no folder\n", failures);
    return failures == 0 ? 0 : 1;
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

    NamingOptions options; // ZIP archives through 7-zip32.dll first, as by default
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
    for (int i = 0; i < count; ++i) DeriveNewName(list, i, options);
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
    int routes = CompareRoutes(count < 1000 ? count : 1000);
    return wrong == 0 && unreadable == 0 && routes == 0 ? 0 : 1;
}
