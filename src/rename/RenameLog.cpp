#include "rename/RenameLog.h"

#include <windows.h>

#include <atomic>
#include <string>

#include "base/AtomicFile.h"
#include "base/ProgramFolder.h"
#include "base/ScopedWin.h"
#include "base/Text.h"

const wchar_t kLogSuccess[] = L"Success";
const wchar_t kLogFailure[] = L"Failure";
const wchar_t kLogError[] = L"Error";

namespace {

wchar_t g_logPath[MAX_PATH];

// The whole log, opened the way a text reader would: others may keep reading
// and writing it. False when it cannot be opened.
bool ReadLog(std::string& bytes) {
    ScopedFile file(CreateFileW(g_logPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    bytes.clear();
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file.get(), buffer, sizeof(buffer), &got, nullptr) && got > 0) bytes.append(buffer, got);
    return true;
}

// Set when access to the log stayed denied for a whole wait (a folder the
// user may not write to): later lines do not wait for it again.
std::atomic<bool> g_deniedForGood{false};

// Whether a refused open may succeed soon: the log is held by someone else.
// A read-only log, or one that is not there, stays refused.
bool HeldByAnother(DWORD error) {
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) return true;
    if (error != ERROR_ACCESS_DENIED || g_deniedForGood) return false;
    DWORD attributes = GetFileAttributesW(g_logPath);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_READONLY);
}

// True for an empty log and for one whose last byte ends a line.
bool EndsWithLineEnd(HANDLE file) {
    LARGE_INTEGER size = {}, last = {};
    if (!GetFileSizeEx(file, &size) || size.QuadPart == 0) return true;
    last.QuadPart = size.QuadPart - 1;
    char c = 0;
    DWORD got = 0;
    if (!SetFilePointerEx(file, last, nullptr, FILE_BEGIN) || !ReadFile(file, &c, 1, &got, nullptr) || got != 1)
        return true;
    return c == '\n';
}

// Opens the log for appending, without sharing. Another Zorvel appending at
// the same moment holds it only briefly, so a refused open is tried again
// for about two seconds before the line is given up.
ScopedFile OpenLogExclusively() {
    const DWORD kPatienceMs = 2000, kPauseMs = 5;
    DWORD start = GetTickCount();
    for (;;) {
        ScopedFile file(CreateFileW(g_logPath, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) {
            g_deniedForGood = false;
            return file;
        }
        DWORD error = GetLastError();
        if (!HeldByAnother(error)) return file;
        if (GetTickCount() - start >= kPatienceMs) {
            g_deniedForGood = error == ERROR_ACCESS_DENIED;
            return file;
        }
        Sleep(kPauseMs);
    }
}

} // namespace

void InitLogPath() {
    // No program folder (its path was too long), or a log path too long for
    // the buffer: no log, rather than one somewhere else.
    std::wstring path = std::wstring(ProgramFolder()) + L"\\Zorvel.log";
    if (ProgramFolder()[0] == L'\0' || !CopyText(g_logPath, path.c_str())) g_logPath[0] = L'\0';
}

const wchar_t* LogPath() {
    return g_logPath;
}

bool AppendLogLine(const wchar_t* result, const wchar_t* path, const wchar_t* name) {
    if (g_logPath[0] == L'\0') return false;
    ScopedFile file = OpenLogExclusively();
    if (!file) return false;

    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t stamp[32];
    swprintf(stamp, 32, L"%04d/%02d/%02d %02d:%02d:%02d", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
             now.wSecond);
    std::wstring line = std::wstring(stamp) + L"," + result + L"," + path + L"," + name;
    // A record is one line whatever its fields hold: control characters
    // (line breaks above all) are written as '?', which no file name holds.
    for (wchar_t& c : line)
        if (c < 0x20 || c == 0x7F) c = L'?';

    // Written whole however long it is: a record is never cut.
    std::string bytes;
    int size = WideCharToMultiByte(CP_ACP, 0, line.c_str(), static_cast<int>(line.size()), nullptr, 0, nullptr,
                                   nullptr);
    if (size > 0) {
        bytes.resize(size);
        WideCharToMultiByte(CP_ACP, 0, line.c_str(), static_cast<int>(line.size()), &bytes[0], size, nullptr,
                            nullptr);
    }
    bytes += "\r\n";
    // A line left unfinished (a full disk) is ended first, so that this
    // record starts a line of its own.
    if (!EndsWithLineEnd(file.get())) bytes.insert(0, "\r\n");

    LARGE_INTEGER zero = {};
    if (!SetFilePointerEx(file.get(), zero, nullptr, FILE_END)) return false;
    DWORD written = 0;
    return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

int CountLogLines() {
    std::string bytes;
    if (!ReadLog(bytes)) return 0;
    int lines = 0;
    for (char c : bytes)
        if (c == '\n') ++lines;
    if (!bytes.empty() && bytes.back() != '\n') ++lines; // a last line without line end
    return lines;
}

bool TrimLog(int n) {
    std::string bytes;
    if (!ReadLog(bytes)) return false;
    size_t keepFrom = 0;
    for (int dropped = 0; dropped < n && keepFrom < bytes.size(); ++dropped) {
        size_t end = bytes.find('\n', keepFrom);
        keepFrom = end == std::string::npos ? bytes.size() : end + 1;
    }
    // The kept lines replace the log in one move, so none can be lost.
    return WriteFileAtomically(g_logPath, bytes.data() + keepFrom, bytes.size() - keepFrom);
}

void TrimLogToMaxLine(int maxLine) {
    if (maxLine <= 0) return;
    int count = CountLogLines();
    if (count > maxLine) TrimLog(count - maxLine);
}
