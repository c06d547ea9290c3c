#include "filelist/ListPresentation.h"

#include <windows.h>
#include <shlwapi.h>

#include <algorithm>
#include <cwchar>
#include <new>
#include <vector>

#include "filelist/FileList.h"

namespace {

std::wstring SizeText(uint64_t size, bool sizeInKB) {
    wchar_t buffer[64] = L"";
    LONGLONG value = static_cast<LONGLONG>(size);
    if (sizeInKB)
        StrFormatKBSizeW(value, buffer, 64);
    else
        StrFormatByteSizeW(value, buffer, 64);
    return buffer;
}

std::wstring DateText(const FILETIME& utc) {
    FILETIME local;
    SYSTEMTIME st;
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &st)) return L"";
    wchar_t buffer[32];
    swprintf(buffer, 32, L"%04d/%02d/%02d %02d:%02d", st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute);
    return buffer;
}

int CompareText(const wchar_t* a, const wchar_t* b) {
    return CompareStringW(LOCALE_USER_DEFAULT, 0, a, -1, b, -1) - CSTR_EQUAL;
}

template <typename T>
int Order(T a, T b) {
    return a < b ? -1 : (a > b ? 1 : 0);
}

uint64_t Ticks(const FILETIME& t) {
    return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

bool StartsWithIgnoringCase(const std::wstring& text, const wchar_t* prefix) {
    int length = static_cast<int>(wcslen(prefix));
    if (static_cast<int>(text.size()) < length) return false;
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, text.c_str(), length, prefix, length) == CSTR_EQUAL;
}

} // namespace

std::wstring CellText(const FileEntry& e, const RowNote& note, int column, bool sizeInKB) {
    switch (column) {
    case 0: return e.name;
    case 1: return e.newName;
    case 2:
        if (e.status == kStatusRenameFailed && note.reason != FailureReason::None)
            return std::wstring(StatusText(e.status)) + L"\uFF08" + ReasonText(note.reason) + L"\uFF09";
        return StatusText(e.status);
    case 3: return e.directory;
    case 4: return SizeText(e.size, sizeInKB);
    case 5: return e.typeName;
    case 6: return DateText(e.lastWriteTime);
    default: return L"";
    }
}

std::wstring InfoTipText(const FileEntry& e, const RowNote& note) {
    std::wstring tip = std::wstring(L"現在のファイル名： ") + e.name;
    if (IsProposal(e.status)) tip += std::wstring(L"\n新しいファイル名： ") + e.newName;
    if (e.status == kStatusRenameFailed && note.reason != FailureReason::None) tip += L"\n" + NoteMessage(note);
    return tip;
}

int CompareEntries(const FileEntry& a, const FileEntry& b, int column) {
    switch (column) {
    case 0: return CompareText(a.name, b.name);
    case 1: return CompareText(a.newName, b.newName);
    case 2: return a.status - b.status;
    case 3: return CompareText(a.directory, b.directory);
    case 4: return Order(a.size, b.size);
    case 5: return CompareText(a.typeName, b.typeName);
    case 6: return Order(Ticks(a.lastWriteTime), Ticks(b.lastWriteTime));
    default: return 0;
    }
}

bool SortByColumn(FileList& list, int column, bool descending) {
    const int n = list.Count();
    if (n < 2) return true;
    // The rows' order is found on indices, then every record moves once:
    // O(n log n) comparisons on every input (rows already in order, equal
    // keys), no recursion that grows with the list, and no record copied
    // more than once.
    try {
        std::vector<int> order(n);
        for (int i = 0; i < n; ++i) order[i] = i;
        const FileList& rows = list;
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            int r = CompareEntries(rows.At(a), rows.At(b), column);
            return descending ? r > 0 : r < 0;
        });
        list.Reorder(order);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

int FindRowByPrefix(const FileList& list, int start, int column, const wchar_t* prefix, bool sizeInKB) {
    int count = list.Count();
    if (count == 0 || column < 0 || column > 6) return -1;
    if (start < 0 || start >= count) start = 0;
    int row = start;
    do {
        if (StartsWithIgnoringCase(CellText(list.At(row), list.Note(row), column, sizeInKB), prefix)) return row;
        row = (row + 1) % count;
    } while (row != start);
    return -1;
}
