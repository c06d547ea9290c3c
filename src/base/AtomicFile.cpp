#include "base/AtomicFile.h"

#include <string>

#include "base/ScopedWin.h"

bool WriteFileAtomically(const wchar_t* path, const void* data, size_t bytes) {
    if (bytes > MAXDWORD) return false;
    std::wstring temp = std::wstring(path) + L".tmp";
    {
        ScopedFile file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        DWORD written = 0;
        bool ok = WriteFile(file.get(), data, static_cast<DWORD>(bytes), &written, nullptr) &&
                  written == bytes && FlushFileBuffers(file.get());
        if (!ok) {
            file.reset();
            DeleteFileW(temp.c_str());
            return false;
        }
    }
    if (!MoveFileExW(temp.c_str(), path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temp.c_str());
        return false;
    }
    return true;
}
