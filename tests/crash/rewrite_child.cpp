// The child the crash-safety test kills: it does what Zorvel does to the
// files it rewrites, over and over, until it is killed.
//
//   rewrite_child.exe FOLDER config EVENT   saves Zorvel.cfg, alternating two records
//   rewrite_child.exe FOLDER log EVENT      appends log lines "<n>.zip" and trims the
//                                           log to its newest 50 lines after every ten
//   rewrite_child.exe FOLDER history EVENT  renames kHistoryFiles files of its own
//                                           (FOLDER\files-<pid>\f<n>.zip to F<n>.zip),
//                                           recording each move in the history, and ends
// EVENT is an inherited event handle, set once the first rewrite is done.
#include <windows.h>

#include <cstdint>
#include <cwchar>
#include <string>

#include "CrashSafety.h"
#include "base/ProgramFolder.h"
#include "rename/CheckedMove.h"
#include "rename/RenameHistory.h"
#include "rename/RenameLog.h"
#include "settings/ConfigFile.h"
#include "settings/Settings.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 4 || !SetProgramFolder(argv[1])) return 2;
    HANDLE started = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(_wtoi64(argv[3])));
    if (wcscmp(argv[2], L"config") == 0) {
        Settings loaded;
        LoadSettings(loaded); // fixes the file's path in the program folder
        Settings records[2];
        WINDOWPLACEMENT placement;
        for (int i = 0;; i ^= 1) {
            MakeRecord(i, records[i], placement);
            SaveSettingsTo(ConfigFilePath(), records[i], placement);
            SetEvent(started);
        }
    }
    if (wcscmp(argv[2], L"history") == 0) {
        std::wstring files = std::wstring(argv[1]) + L"\\files-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(files.c_str(), nullptr);
        for (int n = 0; n < kHistoryFiles; ++n) WriteBytes(files + L"\\f" + std::to_wstring(n) + L".zip", "x");
        HistoryRun run(HistorySource::CommandLine, kHistoryFiles);
        for (int n = 0; n < kHistoryFiles; ++n) {
            std::wstring from = files + L"\\f" + std::to_wstring(n) + L".zip";
            std::wstring to = files + L"\\F" + std::to_wstring(n) + L"x.zip";
            if (MoveFileChecked(from.c_str(), to.c_str())) run.Moved(from.c_str(), to.c_str());
            SetEvent(started);
        }
        return run.Failed() ? 1 : 0;
    }
    InitLogPath();
    for (int n = FirstFreeNumber();; ++n) {
        AppendLogLine(kLogSuccess, LogName(n).c_str(), L"x.zip");
        if (n % 10 != 0) continue;
        TrimLogToMaxLine(kKeptLogLines);
        SetEvent(started);
    }
}
