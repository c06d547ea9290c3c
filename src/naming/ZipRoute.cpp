// Folder discovery and candidate names through the built-in ZIP reader.
#include <cwchar>

#include "archive/UnZip.h"
#include "filelist/FileEntry.h"
#include "naming/ArchiveRoutes.h"
#include "naming/FolderDiscovery.h"

int ZipRouteFolder(const wchar_t* path, std::wstring& out) {
    CUnZip zip;
    if (!zip.Open(path)) return kStatusCannotOpen;
    if (zip.ItemCount() == 0) return kStatusNoFolder;
    for (int i = 0; i < zip.ItemCount(); ++i) {
        if (zip.GetItem(i) != kZipOk) return kStatusCannotRead;
        const wchar_t* name = zip.Item().name;
        // Only '/' puts a ZIP item in a folder.
        if (wcschr(name, L'/') == nullptr) continue;
        switch (PlaceOfItem(name, out)) {
        case ItemPlace::Folder: return 0;
        case ItemPlace::NoFolder: return kStatusNoFolder;
        case ItemPlace::Top: case ItemPlace::Ignored: break;
        }
    }
    out.clear();
    return kStatusNoFolder;
}

bool ZipRouteNames(const wchar_t* path, std::vector<std::wstring>& names) {
    CUnZip zip;
    zip.Open(path); // a failed open leaves the item count at 0
    if (zip.ItemCount() == 0) return false;
    CandidateNames candidates(names);
    for (int i = 0; i < zip.ItemCount(); ++i) {
        if (zip.GetItem(i) != kZipOk) return false;
        candidates.AddItem(zip.Item().name);
    }
    return true;
}
