// Folder discovery and candidate names through the archiver libraries and
// the RAR library. The adapters that load those libraries are not part of
// the program yet, so these routes behave as on a machine where none of the
// libraries can be loaded: the archiver route reports a missing file or an
// unsupported archive, the RAR route an archive it cannot open.
#include <windows.h>

#include "filelist/FileEntry.h"
#include "naming/ArchiveRoutes.h"

int DllRouteFolder(const wchar_t* path, std::wstring&) {
    if (GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) return kStatusNotFound;
    return kStatusUnsupported; // no library loaded and accepted the file
}

int RarRouteFolder(const wchar_t*, std::wstring&) {
    return kStatusCannotOpen; // the RAR library is not loaded
}

bool DllRouteNames(const wchar_t*, std::vector<std::wstring>&) {
    return false;
}

bool RarRouteNames(const wchar_t*, std::vector<std::wstring>&) {
    return false;
}
