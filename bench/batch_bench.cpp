// Zorvel.exe /verysilent (with our archiver libraries beside it) on a folder
// of ZIP archives, beside the floor of the
// same work done directly in this process: open and read each archive's
// directory, move the file, append one log line.
//
//   wine build/bench/batch_bench.exe [count]   (default 10000)
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "BenchClock.h"
#include "TestFiles.h"
#include "ZipBuilder.h"
#include "base/ScopedWin.h"
#include "base/Paths.h"

namespace {

std::wstring Name(int i) {
    wchar_t name[32];
    swprintf(name, 32, L"a%05d.zip", i);
    return name;
}

void MakeArchives(const std::wstring& folder, int count) {
    CreateDirectoryW(folder.c_str(), nullptr);
    for (int i = 0; i < count; ++i) {
        ZipMember root, member;
        root.name = "readme.txt";
        root.data = "read me";
        member.name = "Folder " + std::to_string(i) + "/a.jpg";
        member.data = std::string(200, 'j');
        WriteZip(folder + L"\\" + Name(i), {root, member});
    }
}

void Floor(const std::wstring& folder, int count, const std::wstring& log) {
    static char buffer[65536];
    for (int i = 0; i < count; ++i) {
        std::wstring path = folder + L"\\" + Name(i);
        {
            ScopedFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
            LARGE_INTEGER size, offset;
            GetFileSizeEx(file.get(), &size);
            offset.QuadPart = size.QuadPart > 65536 ? size.QuadPart - 65536 : 0;
            SetFilePointerEx(file.get(), offset, nullptr, FILE_BEGIN);
            DWORD got = 0;
            ReadFile(file.get(), buffer, sizeof(buffer), &got, nullptr);
        }
        std::wstring target = folder + L"\\Folder " + std::to_wstring(i) + L".zip";
        MoveFileW(path.c_str(), target.c_str());
        ScopedFile out(CreateFileW(log.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        LARGE_INTEGER zero = {};
        SetFilePointerEx(out.get(), zero, nullptr, FILE_END);
        char line[160];
        int length = snprintf(line, sizeof(line), "2026/01/01 00:00:00,Success,%ls,Folder %d.zip\r\n", path.c_str(), i);
        DWORD written = 0;
        WriteFile(out.get(), line, length, &written, nullptr);
    }
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    int count = argc > 1 ? _wtoi(argv[1]) : 10000;
    if (count <= 0) count = 10000;
    TempDir dir;
    std::wstring program = dir / L"program", forZorvel = dir / L"zorvel", forFloor = dir / L"floor";
    CreateDirectoryW(program.c_str(), nullptr);
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring built = DirectoryOfPath(DirectoryOfPath(self).c_str()) + L"\\bin\\Zorvel.exe";
    if (!CopyFileW(built.c_str(), (program + L"\\Zorvel.exe").c_str(), FALSE)) {
        printf("cannot copy %ls\n", built.c_str());
        return 1;
    }
    // With the libraries beside it, as installed: ZIP goes through 7-zip32.dll.
    std::wstring bin = DirectoryOfPath(built.c_str());
    for (const wchar_t* dll : {L"7-zip32.dll", L"cab32.dll", L"unlha32.dll", L"unrar.dll"})
        CopyFileW((bin + L"\\" + dll).c_str(), (program + L"\\" + dll).c_str(), FALSE);
    MakeArchives(forZorvel, count);
    MakeArchives(forFloor, count);

    double start = Now();
    Floor(forFloor, count, dir / L"floor.log");
    double floor = Now() - start;

    std::wstring line = L"\"" + program + L"\\Zorvel.exe\" /verysilent \"" + forZorvel + L"\"";
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    start = Now();
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, program.c_str(), &si, &pi)) return 1;
    WaitForSingleObject(pi.hProcess, INFINITE);
    double zorvel = Now() - start;
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);

    int renamed = 0;
    for (int i = 0; i < count; ++i)
        renamed += FileExists(forZorvel + L"\\Folder " + std::to_wstring(i) + L".zip") ? 1 : 0;
    printf("%d archives: floor %.3f s, Zorvel.exe /verysilent %.3f s, ratio %.2f (%d renamed)\n", count, floor, zorvel,
           zorvel / floor, renamed);
    return renamed == count ? 0 : 1;
}
