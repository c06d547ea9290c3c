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
#include "filelist/RunState.h"

const ArchiveKind kArchiveKinds[kArchiveKindCount] = {
    {L".zip", kKindZip}, {L".7z", kKind7z}, {L".cab", kKindCab}, {L".lzh", kKindLzh}, {L".rar", kKindRar},
};

FolderAddJob g_folderAddJob;
DropAddJob g_dropAddJob;

namespace {

// The text from the last dot of the last path component, "" when none.
const wchar_t* ExtensionOf(const wchar_t* path) {
    const wchar_t* name = path;
    for (const wchar_t* p = path; *p; ++p)
        if (*p == L'\\' || *p == L'/') name = p + 1;
    const wchar_t* dot = wcsrchr(name, L'.');
    return dot ? dot : L"";
}

bool IsFolderOrUnreadable(const wchar_t* path) {
    DWORD attributes = GetFileAttributesW(path);
    return attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

bool IsEnabledArchive(const wchar_t* path) {
    const wchar_t* extension = ExtensionOf(path);
    for (const ArchiveKind& kind : kArchiveKinds)
        if (g_settings.EnableKind[kind.flag] && EqualsIgnoreAsciiCase(extension, kind.extension)) return true;
    return false;
}

bool AnyKindEnabled() {
    for (const ArchiveKind& kind : kArchiveKinds)
        if (g_settings.EnableKind[kind.flag]) return true;
    return false;
}

namespace {

// One walk below a folder. Folders reached twice (through a directory link
// or junction, or a link back to a parent) are walked once: a link cycle
// would otherwise list the same archives again and again, or without end.
class FolderWalk {
public:
    FolderWalk(FileList& list, const wchar_t* extension) : list_(list), extension_(extension) {}

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
            } else if (EqualsIgnoreAsciiCase(ExtensionOf(data.cFileName), extension_)) {
                list_.AddFoundFile(child.c_str(), data);
            }
        } while (WorkActive && FindNextFileW(find.get(), &data));
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
    const wchar_t* extension_;
    std::set<FolderId> visited_;
};

} // namespace

void AddFolder(FileList& list, const wchar_t* folder, const wchar_t* extension) {
    // An empty path would become the drive's root below: it names nothing.
    if (IsBlankPath(folder) || !IsFolderOrUnreadable(folder)) return;
    FolderWalk(list, extension).Walk(folder);
}

void AddPath(FileList& list, const wchar_t* path) {
    if (IsBlankPath(path)) return;
    if (IsFolderOrUnreadable(path)) {
        for (const ArchiveKind& kind : kArchiveKinds)
            if (g_settings.EnableKind[kind.flag]) AddFolder(list, path, kind.extension);
    } else if (IsEnabledArchive(path)) {
        list.AddFileEntry(path);
    }
}

DWORD WINAPI FolderAddWorker(LPVOID) {
    {
        ScopedCritSec hold(WorkLock);
        for (const ArchiveKind& kind : kArchiveKinds) {
            if (!WorkActive) break;
            if (g_settings.EnableKind[kind.flag]) AddFolder(Files(), g_folderAddJob.folder, kind.extension);
        }
    }
    Files().SyncView();
    g_folderAddJob.events->Finished(g_folderAddJob.firstRow, 0);
    return 0;
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

DWORD WINAPI DropAddWorker(LPVOID) {
    {
        ScopedCritSec hold(WorkLock);
        size_t done = 0;
        for (const std::wstring& path : g_dropAddJob.paths) {
            AddPath(Files(), path.c_str());
            g_dropAddJob.events->Progress(static_cast<int>(++done));
            if (!WorkActive) break;
        }
    }
    Files().SyncView();
    g_dropAddJob.events->Finished(g_dropAddJob.firstRow, 0);
    return 0;
}
