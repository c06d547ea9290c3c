// Appends many entries to a FileList with the duplicate check on, then offers
// every path a second time (all refused as duplicates), and prints the time
// of each phase and the process's peak memory.
//
//   wine build/bench/filelist_bench.exe [count]   (default 100000)
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cwchar>

#include "base/Text.h"
#include "filelist/FileList.h"

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / frequency.QuadPart;
}

void MakePath(int i, wchar_t* path, size_t capacity) {
    swprintf(path, capacity, L"C:\\Archives\\Folder %03d\\Archive %06d.zip", i % 500, i);
}

// The store's part of adding one file: the duplicate check, then the append.
bool AddChecked(FileList& list, const wchar_t* path) {
    if (list.IsListedPath(path)) return false;
    FileEntry entry = {};
    CopyText(entry.fullPath, path);
    return list.AppendEntry(entry);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    int count = argc > 1 ? _wtoi(argv[1]) : 100000;
    if (count <= 0) count = 100000;
    FileList list;
    wchar_t path[MAX_PATH];

    LARGE_INTEGER start, appended, rechecked;
    QueryPerformanceCounter(&start);
    int added = 0;
    for (int i = 0; i < count; ++i) {
        MakePath(i, path, MAX_PATH);
        if (AddChecked(list, path)) ++added;
    }
    QueryPerformanceCounter(&appended);
    int refused = 0;
    for (int i = 0; i < count; ++i) {
        MakePath(i, path, MAX_PATH);
        if (!AddChecked(list, path)) ++refused;
    }
    QueryPerformanceCounter(&rechecked);

    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof(memory);
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));

    printf("append %d entries with duplicate check: %.3f s (%d added)\n", count, Seconds(start, appended), added);
    printf("offer the same %d paths again:          %.3f s (%d refused)\n", count, Seconds(appended, rechecked),
           refused);
    printf("records: %.1f MiB; peak private memory: %.1f MiB; peak working set: %.1f MiB\n",
           count * sizeof(FileEntry) / 1048576.0, memory.PeakPagefileUsage / 1048576.0,
           memory.PeakWorkingSetSize / 1048576.0);
    return added == count && refused == count ? 0 : 1;
}
