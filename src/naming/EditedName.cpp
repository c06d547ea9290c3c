#include "naming/EditedName.h"

#include <algorithm>
#include <cwchar>

#include "base/Text.h"
#include "filelist/FileList.h"

std::vector<std::wstring> SortedCandidates(std::vector<std::wstring> names) {
    // std::wstring compares code unit by code unit, a prefix first.
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

bool StoreEditedName(FileList& list, int row, const wchar_t* text) {
    FileEntry entry;
    if (!list.CopyEntry(row, entry)) return false;
    std::wstring fullPath = std::wstring(entry.directory) + L"\\" + text;
    if (wcslen(text) >= 260 || fullPath.size() >= 260) return false;
    CopyText(entry.newName, text);
    CopyText(entry.newFullPath, fullPath.c_str());
    entry.status = kStatusReady;
    return list.StoreEntry(row, entry);
}
