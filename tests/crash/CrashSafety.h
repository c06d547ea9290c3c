// What the crash-safety test and its child agree on: the two configuration
// records the child saves in turn, and the log lines it appends.
#pragma once

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "TestFiles.h"
#include "base/ProgramFolder.h"
#include "settings/ConfigFile.h"
#include "settings/Settings.h"

const int kKeptLogLines = 50;
const int kHistoryFiles = 60;

// Record 0 or 1: the defaults with a format and a window position of its own.
inline void MakeRecord(int which, Settings& settings, WINDOWPLACEMENT& placement) {
    LoadSettingsFrom(nullptr, settings, 1280, 1024);
    wcscpy(settings.Format, which == 0 ? L"%new_first" : L"%new_second");
    placement = {};
    placement.length = sizeof(placement);
    placement.rcNormalPosition = {10 * which, 20, 800, 600};
}

// The archive path logged for line n.
inline std::wstring LogName(int n) {
    return L"C:\\files\\" + std::to_wstring(n) + L".zip";
}

// The numbers of the log's complete lines, in file order.
inline std::vector<int> LoggedNumbers(const std::string& log) {
    std::vector<int> numbers;
    size_t start = 0;
    while (start < log.size()) {
        size_t end = log.find("\r\n", start);
        std::string line = log.substr(start, end == std::string::npos ? std::string::npos : end - start);
        start = end == std::string::npos ? log.size() : end + 2;
        int n = 0;
        char tail[16] = "";
        size_t at = line.find(",Success,C:\\files\\");
        if (end != std::string::npos && at != std::string::npos &&
            sscanf(line.c_str() + at, ",Success,C:\\files\\%d.zip,x.zi%1s", &n, tail) == 2 &&
            line.compare(line.size() - 6, 6, ",x.zip") == 0)
            numbers.push_back(n);
    }
    return numbers;
}

// The number after the log's last complete line (1 for an empty log).
inline int FirstFreeNumber() {
    std::vector<int> numbers = LoggedNumbers(ReadBytes(std::wstring(ProgramFolder()) + L"\\Zorvel.log"));
    return numbers.empty() ? 1 : numbers.back() + 1;
}
