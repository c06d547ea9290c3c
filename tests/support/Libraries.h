// Where the optional libraries are loaded from, and discovery in one call.
#pragma once

#include <windows.h>

#include <string>

#include "archive/OptionalLibrary.h"
#include "TestFiles.h"
#include "naming/FolderDiscovery.h"

// Makes LoadLibraryW look in folder for the optional libraries while it lives.
class LibraryFolder {
public:
    explicit LibraryFolder(const std::wstring& folder) {
        SetDllDirectoryW(folder.c_str());
        ForgetMissingLibraries();
    }
    ~LibraryFolder() {
        SetDllDirectoryW(nullptr);
        ForgetMissingLibraries();
    }
    LibraryFolder(const LibraryFolder&) = delete;
    LibraryFolder& operator=(const LibraryFolder&) = delete;
};

// DiscoverFolderName with the folder as a string.
inline int Discover(const std::wstring& path, std::wstring* folder = nullptr,
                    const NamingOptions& options = NamingOptions()) {
    wchar_t out[260];
    int result = DiscoverFolderName(path.c_str(), options, out);
    if (folder) *folder = out;
    return result;
}
