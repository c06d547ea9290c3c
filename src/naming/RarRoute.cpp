// Folder discovery and candidate names through the RAR library. Volumes,
// solid archives and archives with encrypted headers are refused.
#include <windows.h>

#include <cwchar>

#include "archive/UnRar.h"
#include "filelist/FileEntry.h"
#include "naming/ArchiveRoutes.h"
#include "naming/FolderDiscovery.h"

int RarRouteFolder(const wchar_t* path, std::wstring& out) {
    CUnRar rar;
    if (!rar.Loaded() || !rar.Open(path, false)) return kStatusCannotOpen;
    if (rar.RefusesArchive()) return kStatusUnsupported;
    while (rar.ReadHeader()) {
        // Only '\' puts a RAR item in a folder; an item whose path names no
        // folder (an empty or ".." top component) is passed over.
        const wchar_t* name = rar.Header().FileNameW;
        if (wcschr(name, L'\\') != nullptr && PlaceOfItem(name, out) == ItemPlace::Folder) return 0;
        rar.SkipCurrent();
    }
    out.clear();
    return kStatusNoFolder;
}

bool RarRouteNames(const wchar_t* path, std::vector<std::wstring>& names) {
    CUnRar rar;
    if (!rar.Loaded() || !rar.Open(path, false)) return false;
    if (rar.RefusesArchive()) return false;
    CandidateNames candidates(names);
    while (rar.ReadHeader()) {
        candidates.AddLastComponent(rar.Header().FileNameW);
        rar.SkipCurrent();
    }
    return true;
}
