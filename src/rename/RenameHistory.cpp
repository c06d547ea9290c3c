#include "rename/RenameHistory.h"

#include <algorithm>
#include <cwchar>
#include <set>

#include "base/AtomicFile.h"
#include "base/ProgramFolder.h"
#include "base/ScopedWin.h"
#include "naming/Clashes.h"
#include "rename/CheckedMove.h"

namespace {

const size_t kKeptRuns = 20;
const wchar_t kRun[] = L"RUN", kMove[] = L"MOVE", kUndone[] = L"UNDONE";

// '%', and every control character a tab or a line break would be, as %XX.
std::wstring Escaped(const std::wstring& field) {
    std::wstring out;
    for (wchar_t c : field) {
        if (c == L'%' || c < 0x20 || c == 0x7F) {
            wchar_t code[4];
            swprintf(code, 4, L"%%%02X", static_cast<unsigned>(c));
            out += code;
        } else {
            out += c;
        }
    }
    return out;
}

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    return -1;
}

// False for a field with a broken escape.
bool Unescaped(const std::wstring& field, std::wstring& out) {
    out.clear();
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] != L'%') {
            out += field[i];
            continue;
        }
        int high = i + 1 < field.size() ? HexDigit(field[i + 1]) : -1;
        int low = i + 2 < field.size() ? HexDigit(field[i + 2]) : -1;
        if (high < 0 || low < 0) return false;
        out += static_cast<wchar_t>(high * 16 + low);
        i += 2;
    }
    return true;
}

std::vector<std::wstring> Fields(const std::wstring& line) {
    std::vector<std::wstring> fields;
    size_t start = 0;
    for (;;) {
        size_t tab = line.find(L'\t', start);
        fields.push_back(line.substr(start, tab == std::wstring::npos ? std::wstring::npos : tab - start));
        if (tab == std::wstring::npos) return fields;
        start = tab + 1;
    }
}

// Appends and rewrites of one history file exclude each other, in this
// process and in every other Zorvel: a named mutex of the file's path.
class HistoryLock {
public:
    explicit HistoryLock(const std::wstring& path) {
        unsigned long hash = 2166136261u;
        for (wchar_t c : path) hash = (hash ^ static_cast<unsigned>(towupper(c))) * 16777619u;
        wchar_t name[64];
        swprintf(name, 64, L"Local\\Zorvel.history.%08lx", hash);
        mutex_.reset(CreateMutexW(nullptr, FALSE, name));
        if (mutex_) {
            DWORD waited = WaitForSingleObject(mutex_.get(), 10000);
            held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
        }
    }
    ~HistoryLock() {
        if (held_) ReleaseMutex(mutex_.get());
    }
    HistoryLock(const HistoryLock&) = delete;
    HistoryLock& operator=(const HistoryLock&) = delete;
    bool Held() const { return held_; }

private:
    ScopedHandle mutex_;
    bool held_ = false;
};

// The history's text without its byte-order mark; empty when there is none.
std::wstring ReadText(const std::wstring& path) {
    ScopedFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::wstring();
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file.get(), buffer, sizeof(buffer), &got, nullptr) && got > 0) bytes.append(buffer, got);
    size_t units = bytes.size() / 2;
    std::wstring text(units, L'\0');
    if (units) memcpy(&text[0], bytes.data(), units * 2);
    if (!text.empty() && text[0] == L'\xFEFF') text.erase(0, 1);
    return text;
}

std::vector<std::wstring> Lines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        std::wstring line = text.substr(start, end - start);
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

// Appends text to the history (with the byte-order mark when it is new).
bool Append(const std::wstring& path, const std::wstring& text) {
    ScopedFile file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    LARGE_INTEGER size = {}, zero = {};
    if (!GetFileSizeEx(file.get(), &size) || !SetFilePointerEx(file.get(), zero, nullptr, FILE_END)) return false;
    std::wstring bytes = size.QuadPart == 0 ? L"\xFEFF" + text : text;
    DWORD length = static_cast<DWORD>(bytes.size() * sizeof(wchar_t)), written = 0;
    return WriteFile(file.get(), bytes.data(), length, &written, nullptr) && written == length;
}

// Keeps the lines of the newest keep - 1 runs, so a new run makes keep.
bool DropOldRuns(const std::wstring& path, size_t keep) {
    std::vector<std::wstring> lines = Lines(ReadText(path));
    std::vector<std::wstring> runs;
    for (const std::wstring& line : lines) {
        std::vector<std::wstring> f = Fields(line);
        if (f.size() == 5 && f[0] == kRun) runs.push_back(f[1]);
    }
    if (runs.size() < keep) return true;
    std::set<std::wstring> kept(runs.end() - static_cast<long>(keep - 1), runs.end());
    std::wstring text(1, L'\xFEFF');
    for (const std::wstring& line : lines) {
        std::vector<std::wstring> f = Fields(line);
        if (f.size() >= 2 && kept.count(f[1]) != 0) text += line + L"\r\n";
    }
    return WriteFileAtomically(path.c_str(), text.data(), text.size() * sizeof(wchar_t));
}

std::wstring NewRunId() {
    static std::atomic<unsigned> counter{0};
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t id[64];
    swprintf(id, 64, L"%04d%02d%02d%02d%02d%02d.%03d-%lu-%u", now.wYear, now.wMonth, now.wDay, now.wHour,
             now.wMinute, now.wSecond, now.wMilliseconds, GetCurrentProcessId(), counter++);
    return id;
}

std::wstring Now() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t text[32];
    swprintf(text, 32, L"%04d/%02d/%02d %02d:%02d:%02d", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
             now.wSecond);
    return text;
}

} // namespace

std::wstring HistoryPath() {
    if (ProgramFolder()[0] == L'\0') return std::wstring();
    return std::wstring(ProgramFolder()) + L"\\Zorvel.history";
}

HistoryRun::HistoryRun(HistorySource source, int files) : id_(NewRunId()), source_(source), files_(files) {}

void HistoryRun::Moved(const wchar_t* from, const wchar_t* to) {
    std::wstring path = HistoryPath();
    if (path.empty()) return;
    std::wstring text;
    if (!begun_) {
        text = std::wstring(kRun) + L"\t" + id_ + L"\t" + Now() + L"\t" +
               (source_ == HistorySource::Window ? L"window" : L"command") + L"\t" + std::to_wstring(files_) + L"\r\n";
    }
    text += std::wstring(kMove) + L"\t" + id_ + L"\t" + Escaped(from) + L"\t" + Escaped(to) + L"\r\n";
    HistoryLock lock(path);
    bool written = lock.Held() && (begun_ || DropOldRuns(path, kKeptRuns)) && Append(path, text);
    if (written) begun_ = true;
    else failed_ = true;
}

std::vector<HistoryEntry> ReadHistory() {
    std::wstring path = HistoryPath();
    std::vector<HistoryEntry> runs;
    if (path.empty()) return runs;
    for (const std::wstring& line : Lines(ReadText(path))) {
        std::vector<std::wstring> f = Fields(line);
        if (f.size() == 5 && f[0] == kRun) {
            HistoryEntry run;
            run.id = f[1];
            run.time = f[2];
            if (f[3] != L"window" && f[3] != L"command") continue;
            run.source = f[3] == L"window" ? HistorySource::Window : HistorySource::CommandLine;
            run.files = static_cast<int>(wcstol(f[4].c_str(), nullptr, 10));
            runs.push_back(run);
            continue;
        }
        auto owner = std::find_if(runs.begin(), runs.end(), [&](const HistoryEntry& r) { return f.size() >= 2 && r.id == f[1]; });
        if (owner == runs.end()) continue; // a record of no run we know: damaged
        HistoryMove move;
        if (f.size() == 4 && f[0] == kMove && Unescaped(f[2], move.from) && Unescaped(f[3], move.to) &&
            !move.from.empty() && !move.to.empty())
            owner->moves.push_back(move);
        else if (f.size() == 2 && f[0] == kUndone)
            owner->undone = true;
    }
    std::reverse(runs.begin(), runs.end());
    return runs;
}

HistoryUndo UndoHistoryRun(const std::wstring& id) {
    HistoryUndo result;
    std::vector<HistoryEntry> runs = ReadHistory();
    auto run = std::find_if(runs.begin(), runs.end(), [&](const HistoryEntry& r) { return r.id == id; });
    if (run == runs.end() || run->undone) return result;
    result.found = true;
    for (auto move = run->moves.rbegin(); move != run->moves.rend(); ++move) {
        if (GetFileAttributesW(move->to.c_str()) == INVALID_FILE_ATTRIBUTES) {
            result.skipped.push_back({move->to, FailureReason::SourceGone});
            continue;
        }
        // Taken by another file: a change of letter case alone names this one.
        if (TargetTaken(move->from.c_str(), move->to.c_str())) {
            result.skipped.push_back({move->from, FailureReason::TargetExists});
            continue;
        }
        RowNote note = MoveFileNoted(move->to.c_str(), move->from.c_str());
        if (note.reason == FailureReason::None) result.restored.push_back(*move);
        else result.skipped.push_back({move->to, note.reason});
    }
    std::wstring path = HistoryPath();
    HistoryLock lock(path);
    result.marked = lock.Held() && Append(path, std::wstring(kUndone) + L"\t" + id + L"\r\n");
    return result;
}
