#include "naming/Clashes.h"

#include <windows.h>

#include <unordered_set>

#include "base/ScopedWin.h"
#include "base/Unicode.h"
#include "filelist/FileList.h"

namespace {

// The volume and file index of path; false when it cannot be opened.
bool FileIdentity(const wchar_t* path, BY_HANDLE_FILE_INFORMATION& info) {
    ScopedFile file(CreateFileW(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file && GetFileInformationByHandle(file.get(), &info);
}

} // namespace

std::wstring ClashKey(const wchar_t* path) {
    std::wstring key = ToNfc(path);
    if (key.empty()) return key;
    std::wstring upper(key.size(), L'\0');
    int length = LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, key.c_str(), static_cast<int>(key.size()),
                               &upper[0], static_cast<int>(upper.size()), nullptr, nullptr, 0);
    if (length <= 0) return key;
    upper.resize(static_cast<size_t>(length));
    return upper;
}

bool TargetTaken(const wchar_t* target, const wchar_t* own) {
    if (GetFileAttributesW(target) == INVALID_FILE_ATTRIBUTES) return false;
    BY_HANDLE_FILE_INFORMATION there, mine;
    if (!FileIdentity(target, there) || !FileIdentity(own, mine)) return true;
    return there.dwVolumeSerialNumber != mine.dwVolumeSerialNumber || there.nFileIndexHigh != mine.nFileIndexHigh ||
           there.nFileIndexLow != mine.nFileIndexLow;
}

void ForeseeClashes(FileList& list, DiskCheck check, int extraRow) {
    std::unordered_set<std::wstring> proposed; // the ready rows' targets so far
    FileEntry entry;
    for (int row = 0; row < list.Count(); ++row) {
        if (!list.CopyEntry(row, entry) || !IsProposal(entry.status)) continue;
        std::wstring key = ClashKey(entry.newFullPath);
        int status = kStatusReady;
        if (proposed.count(key) != 0) {
            status = kStatusSameAsOther;
        } else {
            bool lookUp = check == DiskCheck::All || entry.status != kStatusReady || row == extraRow;
            if (lookUp && TargetTaken(entry.newFullPath, entry.fullPath)) status = kStatusTargetExists;
            if (status == kStatusReady) proposed.insert(std::move(key));
        }
        if (status == entry.status) continue;
        entry.status = status;
        list.StoreEntry(row, entry);
    }
}
