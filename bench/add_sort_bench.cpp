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

#include "app/MainWindow.h"
#include "app/RemoveRows.h"
#include "base/Messages.h"
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

// The folder-add worker on its own thread, filling the window's list view,
// which this thread serves, as the window's thread does.
double TimedFolderAdd(MainWindow& window, const std::wstring& folder) {
    FileList& files = window.Files();
    files.RemoveAll();
    bool done = false;
    RunController::Start run;
    run.message = WM_APP_FOLDER_ADDED;
    run.work = [&files, &folder, kinds = KindsOf(window.CurrentSettings())](Run& worker) {
        AddFolderOfEveryKind(files, folder.c_str(), kinds, worker.Cancellation());
        files.SyncView();
        return RunResult{};
    };
    run.finished = [&done](WPARAM, LPARAM) { done = true; };
    double start = Now();
    if (!window.Runs().Begin(std::move(run))) return 0;
    MSG msg;
    while (!done && GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return Now() - start;
}

void ReportAdd(MainWindow& window, const wchar_t* what, const std::wstring& root, int files, int folders) {
    MakeTree(root, files, folders);
    double start = Now();
    int found = FloorWalk(root);
    double floor = Now() - start;
    double added = TimedFolderAdd(window, root);
    printf("folder add, %ls: %.3f s; floor %.3f s; ratio %.2f (%d rows, %d files)\n", what, added, floor,
           added / floor, window.Files().Count(), found);
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
    // The main window itself, in report view, with no program folder (nothing saved).
    Settings settings;
    LoadSettingsFrom(nullptr, settings, 1280, 1024);
    settings.Startup = 0;
    MainWindow::RegisterWindowClass(GetModuleHandleW(nullptr));
    MainWindow window(settings);
    if (!window.Create(GetModuleHandleW(nullptr), SW_SHOWNORMAL)) return 1;
    HWND view = window.ListView();

    {
        TempDir one;
        ReportAdd(window, L"one folder", one.path(), files, 1);
    }
    {
        TempDir many;
        ReportAdd(window, L"100 folders", many.path(), rows, 100);
    }
    FileList& list = window.Files(); // the list view follows it
    list.RemoveAll();

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
    list.RemoveAll();
    return 0;
}
