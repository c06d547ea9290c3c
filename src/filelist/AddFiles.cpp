#include "filelist/AddFiles.h"

#include <commctrl.h>

#include <cstdint>
#include <set>
#include <string>
#include <utility>

#include "base/Paths.h"
#include "base/ScopedWin.h"
#include "base/Text.h"
#include "filelist/FileList.h"

namespace {

bool IsFolderOrUnreadable(const wchar_t* path) {
    DWORD attributes = GetFileAttributesW(path);
    return attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// One walk below a folder. Folders reached twice (through a directory link
// or junction, or a link back to a parent) are walked once: a link cycle
// would otherwise list the same archives again and again, or without end.
class FolderWalk {
public:
    FolderWalk(FileList& list, const ArchiveKind& kind, const CancelFlag& cancel)
        : list_(list), kind_(kind), cancel_(cancel) {}

    void Walk(const std::wstring& folder) {
        if (!FirstVisit(folder)) return;
        std::wstring parent = WithTrailingSeparator(folder.c_str());
        WIN32_FIND_DATAW data;
        ScopedFind find(FindFirstFileW((parent + L"*").c_str(), &data));
        if (!find) return;
        do {
            if (wcscmp(data.cFileName, L".") == 0 || wcscmp(data.cFileName, L"..") == 0) continue;
            std::wstring child = parent + data.cFileName;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                // Links and junctions lead elsewhere: they are not descended into.
                if (!(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) Walk(child);
            } else if (ArchiveKindOf(data.cFileName) == &kind_) {
                list_.AddFoundFile(child.c_str(), data);
            }
        } while (!cancel_.IsSet() && FindNextFileW(find.get(), &data));
    }

private:
    // False when the folder was walked already; a folder whose identity
    // cannot be read is walked (it cannot be part of a cycle we can see).
    bool FirstVisit(const std::wstring& folder) {
        ScopedFile handle(CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        BY_HANDLE_FILE_INFORMATION info;
        if (!handle || !GetFileInformationByHandle(handle.get(), &info)) return true;
        FolderId id{info.dwVolumeSerialNumber,
                    (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
        return visited_.insert(id).second;
    }

    using FolderId = std::pair<DWORD, uint64_t>;
    FileList& list_;
    const ArchiveKind& kind_;
    const CancelFlag& cancel_;
    std::set<FolderId> visited_;
};

} // namespace

void AddFolder(FileList& list, const wchar_t* folder, const ArchiveKind& kind, const CancelFlag& cancel) {
    // An empty path would become the drive's root below: it names nothing.
    if (IsBlankPath(folder) || !IsFolderOrUnreadable(folder)) return;
    FolderWalk(list, kind, cancel).Walk(folder);
}

int AddPath(FileList& list, const wchar_t* path, const KindFilter& kinds, const CancelFlag& cancel) {
    if (IsBlankPath(path)) return 0;
    if (IsFolderOrUnreadable(path)) {
        for (const ArchiveKind& kind : kArchiveKinds)
            if (kinds.enabled[kind.index]) AddFolder(list, path, kind, cancel);
        return 0;
    }
    if (kinds.Accepts(path)) {
        list.AddFileEntry(path);
        return 0;
    }
    return ArchiveKindOf(path) != nullptr ? 1 : 0;
}

void AddFolderOfEveryKind(FileList& list, const wchar_t* folder, const KindFilter& kinds, const CancelFlag& cancel) {
    for (const ArchiveKind& kind : kArchiveKinds) {
        if (cancel.IsSet()) break;
        if (kinds.enabled[kind.index]) AddFolder(list, folder, kind, cancel);
    }
}

std::vector<std::wstring> DroppedPaths(HDROP drop) {
    std::vector<std::wstring> paths;
    UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        wchar_t path[MAX_PATH];
        UINT length = DragQueryFileW(drop, i, nullptr, 0);
        // A path too long for the record cannot be added; it is passed over.
        if (length >= MAX_PATH || DragQueryFileW(drop, i, path, MAX_PATH) != length) continue;
        std::wstring full = AbsolutePath(path);
        if (!full.empty()) paths.push_back(full);
    }
    return paths;
}

int AddPaths(FileList& list, const std::vector<std::wstring>& paths, const KindFilter& kinds, Run& run) {
    int done = 0, passedOver = 0;
    for (const std::wstring& path : paths) {
        passedOver += AddPath(list, path.c_str(), kinds, run.Cancellation());
        run.Progress(++done);
        if (run.Cancelled()) break;
    }
    return passedOver;
}
