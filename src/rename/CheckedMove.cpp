#include "rename/CheckedMove.h"

#include <windows.h>
#include <shlwapi.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/Paths.h"
#include "base/ScopedWin.h"

namespace {

// The rename call takes the native form of a full path.
std::wstring NativePath(const wchar_t* path) {
    if (wcsncmp(path, L"\\\\?\\", 4) == 0) return L"\\??\\" + std::wstring(path + 4);
    if (wcsncmp(path, L"\\\\", 2) == 0) return L"\\??\\UNC\\" + std::wstring(path + 2);
    return L"\\??\\" + std::wstring(path);
}

// Renames the open file; fails when a file of that name exists.
bool Rename(HANDLE file, const wchar_t* to) {
    std::wstring target = NativePath(to);
    DWORD nameBytes = static_cast<DWORD>(target.size() * sizeof(wchar_t));
    std::vector<BYTE> buffer(sizeof(FILE_RENAME_INFO) + nameBytes);
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    info->ReplaceIfExists = FALSE;
    info->RootDirectory = nullptr;
    info->FileNameLength = nameBytes;
    memcpy(info->FileName, target.data(), nameBytes);
    return SetFileInformationByHandle(file, FileRenameInfo, info, static_cast<DWORD>(buffer.size())) != FALSE;
}

// Moves the file to a name of its folder that no other file has.
bool RenameToUnusedName(HANDLE file, const wchar_t* from) {
    std::wstring stem = DirectoryOfPath(from) + L"\\~zorvel" + std::to_wstring(GetCurrentProcessId()) + L"-";
    for (int n = 0; n < 100; ++n) {
        if (Rename(file, (stem + std::to_wstring(n) + L".tmp").c_str())) return true;
        DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) return false;
    }
    SetLastError(ERROR_ALREADY_EXISTS);
    return false;
}

RowNote Failed(DWORD error) {
    return {ReasonOfError(error), error};
}

// Found under exactly the last component of path, letter case included.
bool FoundAsNamed(const wchar_t* path) {
    WIN32_FIND_DATAW data;
    ScopedFind find(FindFirstFileW(path, &data));
    return find && wcscmp(data.cFileName, PathFindFileNameW(path)) == 0;
}

} // namespace

RowNote MoveFileNoted(const wchar_t* fromPath, const wchar_t* toPath) {
    std::wstring fromFull = AbsolutePath(fromPath), toFull = AbsolutePath(toPath);
    if (fromFull.empty() || toFull.empty()) return Failed(ERROR_FILENAME_EXCED_RANGE);
    const wchar_t* from = fromFull.c_str();
    const wchar_t* to = toFull.c_str();
    ScopedFile file(CreateFileW(from, DELETE | SYNCHRONIZE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return Failed(GetLastError());
    // The file system may take a name that differs only in case for the old
    // one and do nothing; a detour through a name of our own avoids that.
    if (CompareStringOrdinal(from, -1, to, -1, TRUE) == CSTR_EQUAL) {
        if (!RenameToUnusedName(file.get(), from)) return Failed(GetLastError());
    }
    if (!Rename(file.get(), to)) {
        RowNote failed = Failed(GetLastError());
        Rename(file.get(), from); // back from the detour, if it took one
        return failed;
    }
    if (FoundAsNamed(to)) return RowNote();
    Rename(file.get(), from); // wherever it landed, the handle still holds it
    return {FailureReason::NotConfirmed, 0};
}
