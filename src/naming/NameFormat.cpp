#include "naming/NameFormat.h"

#include <windows.h>
#include <shlwapi.h>

#include <cwchar>

#include "base/Paths.h"
#include "base/Text.h"
#include "base/Unicode.h"
#include "filelist/FileList.h"
#include "naming/Clashes.h"
#include "naming/FolderDiscovery.h"

const wchar_t kForbiddenInNameMessage[] =
    L"ファイル名には次の文字は使えません。\n\t\\ / : , ; * ? \" < > |";
const wchar_t kForbiddenInFormatMessage[] =
    L"新しいファイル名には次の文字は使えません。\n\t\\ / : , ; * ? \" < > |";
const wchar_t kFormatCaption[] = L"新しいファイル名のフォーマット";

bool HasForbiddenChar(const wchar_t* text) {
    // Control characters too: none belongs in a file name, and a line break
    // would split the name's log record. A lone surrogate is no character at
    // all: no file system or code page carries it.
    if (!IsWellFormedUtf16(text)) return true;
    for (const wchar_t* c = text; *c; ++c)
        if (*c < 0x20 || *c == 0x7F) return true;
    return wcspbrk(text, L"\\/:*?\"<>|") != nullptr;
}

std::wstring WithFullWidthForbidden(const std::wstring& text) {
    static const wchar_t kForbidden[] = L"\\/:*?\"<>|";
    static const wchar_t kFullWidth[] = L"\uFF3C\uFF0F\uFF1A\uFF0A\uFF1F\uFF02\uFF1C\uFF1E\uFF5C";
    std::wstring result = text;
    for (wchar_t& c : result) {
        const wchar_t* at = c ? wcschr(kForbidden, c) : nullptr;
        if (at) c = kFullWidth[at - kForbidden];
    }
    return result;
}

std::wstring ReplaceAll(const std::wstring& source, const std::wstring& pattern, const std::wstring& replacement) {
    if (pattern.empty()) return source;
    std::wstring result;
    size_t position = 0;
    for (;;) {
        size_t found = source.find(pattern, position);
        if (found == std::wstring::npos) break;
        result.append(source, position, found - position);
        result += replacement;
        position = found + pattern.size();
    }
    result.append(source, position, std::wstring::npos);
    return result;
}

namespace {

struct PathParts {
    std::wstring drive;     // "C:" or empty
    std::wstring directory; // after the drive, up to and including the last separator
    std::wstring name;      // file name without extension
    std::wstring extension; // from the last '.', dot included
};

PathParts Split(const wchar_t* path) {
    PathParts parts;
    std::wstring rest = path;
    if (rest.size() >= 2 && rest[1] == L':') {
        parts.drive = rest.substr(0, 2);
        rest.erase(0, 2);
    }
    size_t separator = rest.find_last_of(L"\\/");
    size_t fileStart = separator == std::wstring::npos ? 0 : separator + 1;
    parts.directory = rest.substr(0, fileStart);
    std::wstring file = rest.substr(fileStart);
    size_t dot = file.rfind(L'.');
    parts.name = dot == std::wstring::npos ? file : file.substr(0, dot);
    parts.extension = dot == std::wstring::npos ? L"" : file.substr(dot);
    return parts;
}

// The last component of the entry's folder; empty for a drive root.
std::wstring DirPlaceholder(const FileEntry& entry) {
    // Entries added without shell queries (command-line batch) have no
    // directory field; their folder is that of the full path.
    std::wstring directory = entry.directory[0] ? entry.directory : DirectoryOfPath(entry.fullPath);
    std::wstring last = PathFindFileNameW(directory.c_str());
    if (last.find(L':') != std::wstring::npos) return L"";
    return last;
}

void LocalDateAndTime(const FILETIME& utc, wchar_t (&date)[16], wchar_t (&time)[16]) {
    FILETIME local = {};
    SYSTEMTIME st = {};
    FileTimeToLocalFileTime(&utc, &local);
    FileTimeToSystemTime(&local, &st);
    swprintf(date, 16, L"%04d%02d%02d", st.wYear, st.wMonth, st.wDay);
    swprintf(time, 16, L"%02d%02d", st.wHour, st.wMinute);
}

bool Fail(FileEntry& entry, int status) {
    entry.status = status;
    entry.newName[0] = L'\0';
    entry.newFullPath[0] = L'\0';
    return false;
}

} // namespace

bool DeriveNewName(FileList& list, int index, const NamingOptions& options) {
    FileEntry entry;
    if (!list.CopyEntry(index, entry) || entry.status == kStatusRenamed) return false;
    bool ready = DeriveNewName(entry, options);
    list.StoreEntry(index, entry);
    return ready;
}

bool DeriveNewName(FileEntry& entry, const NamingOptions& options) {
    if (entry.status == kStatusRenamed) return false;

    wchar_t found[260];
    int discovered = DiscoverFolderName(entry.fullPath, options, found);
    if (discovered != 0) return Fail(entry, discovered);
    std::wstring folder = options.replaceForbidden ? WithFullWidthForbidden(found) : std::wstring(found);
    if (HasForbiddenChar(folder.c_str())) return Fail(entry, kStatusForbiddenChar);

    PathParts parts = Split(entry.fullPath);
    wchar_t date[16], time[16];
    LocalDateAndTime(entry.lastWriteTime, date, time);

    std::wstring name = options.format;
    name = ReplaceAll(name, L"%orig", parts.name);
    name = ReplaceAll(name, L"%new", folder);
    name = ReplaceAll(name, L"%dir", DirPlaceholder(entry));
    name = ReplaceAll(name, L"%date", date);
    name = ReplaceAll(name, L"%time", time);

    std::wstring newName = name + parts.extension;
    std::wstring candidate = parts.drive + parts.directory + newName;
    if (EqualsIgnoreAsciiCase(candidate.c_str(), entry.fullPath)) return Fail(entry, kStatusSameName);
    // Too long for the record: refused, never cut.
    if (newName.size() >= 260 || candidate.size() >= 260) return Fail(entry, kStatusNameTooLong);

    CopyText(entry.newFullPath, candidate.c_str());
    CopyText(entry.newName, newName.c_str());
    entry.status = TargetTaken(entry.newFullPath, entry.fullPath) ? kStatusTargetExists : kStatusReady;
    return entry.status == kStatusReady;
}
