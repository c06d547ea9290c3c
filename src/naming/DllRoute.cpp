// Folder discovery and candidate names through the archiver libraries:
// every library of the table is offered the file in turn, and the first that
// accepts it reads it.
#include <windows.h>

#include <cstring>
#include <cwchar>

#include "archive/ArcDll.h"
#include "archive/ArchiveKinds.h"
#include "filelist/FileEntry.h"
#include "naming/ArchiveRoutes.h"
#include "naming/FolderDiscovery.h"

namespace {

// Loads the libraries in turn until one accepts path; false when none does.
bool LoadAccepting(CArcDll& dll, const wchar_t* path) {
    for (const ArchiverLibrary* library : kArchiverLibraries) {
        if (!dll.LoadDll(*library)) continue;
        dll.SetCursorMode(false);
        if (dll.CheckArchive(path)) return true;
        dll.Unload();
    }
    return false;
}

bool HasSeparator(const wchar_t* name) {
    return wcschr(name, L'\\') != nullptr || wcschr(name, L'/') != nullptr;
}

// The name in an item record: terminated within its field whatever the library wrote.
const char* RecordName(char (&record)[kItemRecordSize]) {
    record[kItemNameOffset + kItemNameSize - 1] = '\0';
    return record + kItemNameOffset;
}

} // namespace

int DllRouteFolder(const wchar_t* path, std::wstring& out) {
    if (GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) return kStatusNotFound;
    CArcDll dll;
    if (!LoadAccepting(dll, path)) return kStatusUnsupported;
    if (dll.GetRunning()) return kStatusArchiverBusy;
    if (dll.OpenArchive(path) == nullptr) return kStatusCannotOpen;
    char record[kItemRecordSize] = {};
    if (dll.FindFirst(L"*", record) == -1) return kStatusCannotRead;
    // The whole item path, however long: only its first component must fit.
    std::wstring name;
    if (dll.GetFileName(name) != 0) return kStatusNoItemName;
    for (;;) {
        if (HasSeparator(name.c_str())) {
            switch (PlaceOfItem(name.c_str(), out)) {
            case ItemPlace::Folder: return 0; // the destructor closes the archive and frees the library
            // Read, and no folder: no other reader is asked (an empty out).
            case ItemPlace::NoFolder: out.clear(); return 0;
            case ItemPlace::Top: case ItemPlace::Ignored: break;
            }
        }
        // A library without FindNext cannot go on: no folder found.
        if (!dll.Offers(kFnFindNext) || dll.FindNext(record) == -1) break;
        if (dll.GetFileName(name) != 0) return kStatusNoItemName;
    }
    out.clear();
    return kStatusNoFolder;
}

bool DllRouteNames(const wchar_t* path, std::vector<std::wstring>& names) {
    CArcDll dll;
    if (!LoadAccepting(dll, path)) return false;
    if (dll.GetRunning()) return false;
    if (dll.OpenArchive(path) == nullptr) return false;
    char record[kItemRecordSize] = {};
    if (dll.FindFirst(L"*", record) == -1) return false;
    CandidateNames candidates(names);
    wchar_t name[260];
    if (!dll.DecodeName(RecordName(record), name)) return false;
    candidates.AddFirstItem(name);
    while (dll.Offers(kFnFindNext) && dll.FindNext(record) == 0)
        if (dll.DecodeName(RecordName(record), name)) candidates.AddItem(name);
    return true;
}
