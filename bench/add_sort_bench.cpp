// Adding, sorting and removing at scale, each beside its floor.
//
// Folder add: 10,000 archives in one folder and 100,000 spread over 100
// folders, added by the folder-add worker into a list view on this thread
// (as in the window), against the floor of walking the same tree with
// FindFirstFileW/FindNextFileW plus one FindFirstFileW per file. Then sorts
// of 100,000 rows (random names; names in order sorted the other way; equal
// sizes) and removals out of 100,000 rows (every second row selected; every
// second row an error), and the peak memory.
//
//   wine build/bench/add_sort_bench.exe [files] [rows]   (default 10000 100000)
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <thread>

#include "app/ListViewSync.h"
#include "app/MainUi.h"
#include "app/ProgramSettings.h"
#include "app/RemoveRows.h"
#include "base/ScopedWin.h"
#include "BenchClock.h"
#include "filelist/AddFiles.h"
#include "filelist/FileList.h"
#include "filelist/ListPresentation.h"
#include "settings/ConfigFile.h"
#include "TestFiles.h"

namespace {

// Makes files archives in folders sub-folders of root (one when folders is 1).
void MakeTree(const std::wstring& root, int files, int folders) {
    for (int f = 0; f < folders; ++f) {
        std::wstring folder = folders == 1 ? root : root + L"\\d" + std::to_wstring(f);
        if (folders > 1) CreateDirectoryW(folder.c_str(), nullptr);
        for (int i = f; i < files; i += folders) {
            wchar_t name[64];
            swprintf(name, 64, L"\\archive %06d.zip", i);
            WriteBytes(folder + name, "PK\x05\x06");
        }
    }
}

// The cheapest honest way to learn what a row needs: the walk and one
// directory lookup per file.
int FloorWalk(const std::wstring& folder) {
    int found = 0;
    WIN32_FIND_DATAW data;
    ScopedFind find(FindFirstFileW((folder + L"\\*").c_str(), &data));
    if (!find) return 0;
    do {
        if (data.cFileName[0] == L'.') continue;
        std::wstring child = folder + L"\\" + data.cFileName;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            found += FloorWalk(child);
        } else {
            WIN32_FIND_DATAW one;
            ScopedFind again(FindFirstFileW(child.c_str(), &one));
            found += again ? 1 : 0;
        }
    } while (FindNextFileW(find.get(), &data));
    return found;
}

// The folder-add worker on its own thread, filling a list view that this
// thread serves, as the window's thread does.
double TimedFolderAdd(const std::wstring& folder) {
    Files().RemoveAll();
    g_ui.runEvents = PostedEvents(WM_APP_FOLDER_ADDED, nullptr);
    double start = Now();
    g_ui.run.Start(
        [&folder](Run& run) {
            AddFolderOfEveryKind(Files(), folder.c_str(), KindsOf(g_settings), run.Cancellation());
            Files().SyncView();
            return RunResult{};
        },
        g_ui.runEvents);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_APP_FOLDER_ADDED) break;
        DispatchMessageW(&msg);
    }
    double seconds = Now() - start;
    g_ui.run.Join();
    return seconds;
}

void ReportAdd(const wchar_t* what, const std::wstring& root, int files, int folders) {
    MakeTree(root, files, folders);
    double start = Now();
    int found = FloorWalk(root);
    double floor = Now() - start;
    double added = TimedFolderAdd(root);
    printf("folder add, %ls: %.3f s; floor %.3f s; ratio %.2f (%d rows, %d files)\n", what, added, floor,
           added / floor, Files().Count(), found);
}

void FillRows(FileList& list, int rows, int mode) {
    list.RemoveAll();
    FileEntry entry = {};
    unsigned seed = 12345;
    for (int i = 0; i < rows; ++i) {
        seed = seed * 1103515245u + 12345u;
        unsigned key = mode == 0 ? seed : static_cast<unsigned>(i); // random, or already in order
        swprintf(entry.name, 260, L"%010u.zip", key);
        swprintf(entry.fullPath, 260, L"C:\\rows\\%010u-%d.zip", key, i);
        entry.size = 4096; // every size equal
        entry.status = (i % 2) ? kStatusNoFolder : kStatusReady;
        list.AppendEntry(entry);
    }
}

void ReportSort(const char* what, FileList& list, int column, bool descending) {
    double start = Now();
    bool sorted = SortByColumn(list, column, descending);
    double seconds = Now() - start;
    for (int i = 1; sorted && i < list.Count(); ++i) {
        int r = CompareEntries(list.At(i - 1), list.At(i), column);
        sorted = descending ? r >= 0 : r <= 0;
    }
    printf("sort of %d rows, %s: %.3f s%s\n", list.Count(), what, seconds, sorted ? "" : " (NOT ORDERED)");
}

void SelectEverySecondRow(HWND view, int rows) {
    LVITEMW item = {};
    item.state = item.stateMask = LVIS_SELECTED;
    for (int i = 0; i < rows; i += 2) SendMessageW(view, LVM_SETITEMSTATE, i, reinterpret_cast<LPARAM>(&item));
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    int files = argc > 1 ? _wtoi(argv[1]) : 10000;
    int rows = argc > 2 ? _wtoi(argv[2]) : 100000;
    LoadSettingsFrom(nullptr, g_settings, 1280, 1024);
    InitCommonControls();
    HWND owner = CreateWindowExW(0, L"STATIC", L"bench", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr, nullptr,
                                 nullptr, nullptr);
    HWND view = CreateWindowExW(0, WC_LISTVIEWW, nullptr, WS_CHILD | LVS_REPORT | LVS_OWNERDATA, 0, 0, 800, 600, owner,
                                nullptr, nullptr, nullptr);
    // The window's own view keeping: the list view and its icons follow the list.
    g_ui.window = owner;
    g_ui.listView = view;
    g_ui.iconImages.reset(ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 8, 8));
    ListViewSync viewSync;
    Files().Attach(&viewSync);

    {
        TempDir one;
        ReportAdd(L"one folder", one.path(), files, 1);
    }
    {
        TempDir many;
        ReportAdd(L"100 folders", many.path(), rows, 100);
    }
    Files().RemoveAll();

    FileList& list = Files(); // the list view follows it, as in the window
    FillRows(list, rows, 0);
    ReportSort("random names, ascending", list, 0, false);
    FillRows(list, rows, 1);
    ReportSort("names in order, sorted descending", list, 0, true);
    ReportSort("equal sizes, by size", list, 4, false);

    FillRows(list, rows, 1);
    SelectEverySecondRow(view, rows);
    double start = Now();
    RemoveSelected(list, view);
    printf("remove %d selected rows of %d: %.3f s (%d left)\n", rows / 2, rows, Now() - start, list.Count());
    FillRows(list, rows, 1);
    start = Now();
    RemoveErrors(list, view);
    printf("remove the error rows (every second) of %d: %.3f s (%d left)\n", rows, Now() - start, list.Count());

    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof(memory);
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
    printf("peak private memory: %.1f MiB; peak working set: %.1f MiB\n", memory.PeakPagefileUsage / 1048576.0,
           memory.PeakWorkingSetSize / 1048576.0);
    Files().Attach(nullptr);
    return 0;
}
