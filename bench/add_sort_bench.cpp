// Adding a folder of archives through the folder-add worker, beside the
// shell queries alone that adding makes for each file (display name, type
// name, directory entry); then a full sort of 100,000 rows by name.
//
//   wine build/bench/add_sort_bench.exe [files] [rows]   (default 10000 100000)
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "BenchClock.h"
#include "TestFiles.h"
#include "base/ScopedWin.h"
#include "filelist/AddFiles.h"
#include "filelist/FileList.h"
#include "filelist/ListPresentation.h"
#include "filelist/RunState.h"
#include "settings/ConfigFile.h"

namespace {

// What adding one file asks of the shell and the file system.
void ShellQueries(const std::wstring& path) {
    {
        ScopedCoInit com;
        SHFILEINFOW info = {};
        SHGetFileInfoW(path.c_str(), 0, &info, sizeof(info), SHGFI_DISPLAYNAME | SHGFI_TYPENAME);
    }
    WIN32_FIND_DATAW data;
    ScopedFind find(FindFirstFileW(path.c_str(), &data));
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    int files = argc > 1 ? _wtoi(argv[1]) : 10000;
    int rows = argc > 2 ? _wtoi(argv[2]) : 100000;
    LoadSettingsFrom(nullptr, g_settings, 1280, 1024);

    TempDir dir;
    for (int i = 0; i < files; ++i) {
        wchar_t name[64];
        swprintf(name, 64, L"archive %05d.zip", i);
        WriteBytes(dir / name, "PK\x05\x06");
    }

    double start = Now();
    for (int i = 0; i < files; ++i) {
        wchar_t name[64];
        swprintf(name, 64, L"archive %05d.zip", i);
        ShellQueries(dir / name);
    }
    double queries = Now() - start;

    g_folderAddJob = FolderAddJob{};
    wcscpy(g_folderAddJob.folder, dir.path().c_str());
    g_folderAddJob.window = nullptr; // the completion message goes to this thread's queue
    WorkActive = true;
    InitializeCriticalSection(&WorkLock);
    start = Now();
    FolderAddWorker(nullptr);
    double added = Now() - start;
    DeleteCriticalSection(&WorkLock);
    WorkActive = false;
    printf("folder add of %d files: %.3f s; shell queries alone: %.3f s; ratio %.2f (%d rows)\n", files, added,
           queries, added / queries, Files().Count());

    FileList list;
    FileEntry entry = {};
    unsigned seed = 12345;
    for (int i = 0; i < rows; ++i) {
        seed = seed * 1103515245u + 12345u;
        swprintf(entry.name, 260, L"%08u.zip", seed);
        swprintf(entry.fullPath, 260, L"C:\\rows\\%08u-%d.zip", seed, i);
        list.AppendEntry(entry);
    }
    start = Now();
    SortByColumn(list, 0, false);
    double sorted = Now() - start;
    bool ordered = true;
    for (int i = 1; i < list.Count(); ++i) ordered = ordered && CompareEntries(list.At(i - 1), list.At(i), 0) <= 0;
    printf("sort of %d rows by name: %.3f s%s\n", rows, sorted, ordered ? "" : " (NOT ORDERED)");
    return ordered && Files().Count() == files ? 0 : 1;
}
