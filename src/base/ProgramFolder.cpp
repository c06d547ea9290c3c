#include "base/ProgramFolder.h"

#include <windows.h>

#include <string>

#include "base/Paths.h"
#include "base/Text.h"

namespace {
wchar_t g_folder[MAX_PATH];
bool g_known = false;
} // namespace

const wchar_t* ProgramFolder() {
    if (!g_known) {
        std::wstring module(32768, L'\0');
        DWORD len = GetModuleFileNameW(nullptr, &module[0], static_cast<DWORD>(module.size()));
        // A cut module path is no folder at all.
        module.resize(len < module.size() ? len : 0);
        // A folder too long for the fixed buffers stays empty: the settings then
        // keep their defaults and nothing is written.
        if (!CopyText(g_folder, DirectoryOfPath(module.c_str()).c_str())) g_folder[0] = L'\0';
        g_known = true;
    }
    return g_folder;
}

bool SetProgramFolder(const wchar_t* folder) {
    g_known = true;
    if (CopyText(g_folder, folder)) return true;
    g_folder[0] = L'\0'; // no folder, rather than the previous one
    return false;
}
