// The child the crash-safety test kills: it does what Zorvel does to the
// files it rewrites, over and over, until it is killed.
//
//   rewrite_child.exe FOLDER config EVENT   saves Zorvel.cfg, alternating two records
//   rewrite_child.exe FOLDER log EVENT      appends log lines "<n>.zip" and trims the
//                                           log to its newest 50 lines after every ten
// EVENT is an inherited event handle, set once the first rewrite is done.
#include <windows.h>

#include <cstdint>
#include <cwchar>
#include <string>

#include "CrashSafety.h"
#include "base/ProgramFolder.h"
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
    InitLogPath();
    for (int n = FirstFreeNumber();; ++n) {
        AppendLogLine(kLogSuccess, LogName(n).c_str(), L"x.zip");
        if (n % 10 != 0) continue;
        TrimLogToMaxLine(kKeptLogLines);
        SetEvent(started);
    }
}
