#include "settings/Shortcuts.h"

#include <windows.h>
#include <shlobj.h>

#include <string>

#include "base/Paths.h"
#include "base/ScopedCom.h"
#include "base/ScopedWin.h"
#include "base/Text.h"

ShortcutPathSet g_shortcutPaths;

namespace {

std::wstring g_sendToOverride, g_desktopOverride;

std::wstring ShellFolder(int csidl, const std::wstring& override) {
    if (!override.empty()) return override;
    wchar_t folder[MAX_PATH] = L"";
    if (!SHGetSpecialFolderPathW(nullptr, folder, csidl, FALSE)) return std::wstring();
    return folder;
}

// folder\name.lnk into link, or an empty link when there is no folder or the
// path is too long.
void ComposeLink(wchar_t (&link)[260], const std::wstring& folder, const wchar_t* name) {
    link[0] = L'\0';
    if (folder.empty()) return;
    std::wstring path = WithTrailingSeparator(folder.c_str()) + name + L".lnk";
    if (!CopyText(link, path.c_str())) link[0] = L'\0';
}

void ApplyOne(bool& enabled, const wchar_t* link, const wchar_t* arguments) {
    if (enabled) {
        enabled = CreateShortcut(arguments, link);
    } else if (link[0] != L'\0') {
        DeleteFileW(link);
    }
}

} // namespace

void OverrideShortcutFolders(const wchar_t* sendTo, const wchar_t* desktop) {
    g_sendToOverride = sendTo ? sendTo : L"";
    g_desktopOverride = desktop ? desktop : L"";
}

void ShortcutPaths(const wchar_t* displayName) {
    ShortcutPathSet& paths = g_shortcutPaths;
    DWORD length = GetModuleFileNameW(nullptr, paths.program, 260);
    // A cut module path would name another file.
    if (length == 0 || length >= 260) paths.program[0] = L'\0';
    if (!CopyText(paths.directory, DirectoryOfPath(paths.program).c_str())) paths.directory[0] = L'\0';

    wchar_t name[63];
    CopyTextCut(name, displayName);
    ComposeLink(paths.sendToLink, ShellFolder(CSIDL_SENDTO, g_sendToOverride), name);
    ComposeLink(paths.desktopLink, ShellFolder(CSIDL_DESKTOP, g_desktopOverride), name);
}

const wchar_t* RunModeArguments(int runMode) {
    switch (runMode) {
    case 0: return L"/showwindow";
    case 2: return L"/silent";
    case 3: return L"/verysilent";
    default: return nullptr;
    }
}

bool CreateShortcut(const wchar_t* arguments, const wchar_t* linkPath) {
    if (linkPath[0] == L'\0' || g_shortcutPaths.program[0] == L'\0') return false;
    ScopedCoInit com; // outlives the interfaces below
    ScopedComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.receive())))
        return false;
    ScopedComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.receive()))) return false;
    if (FAILED(link->SetPath(g_shortcutPaths.program))) return false;
    if (arguments) link->SetArguments(arguments);
    link->SetWorkingDirectory(g_shortcutPaths.directory);
    return SUCCEEDED(file->Save(linkPath, TRUE));
}

void ApplyShortcuts(Settings& settings) {
    const wchar_t* arguments = RunModeArguments(settings.Options);
    ApplyOne(settings.SendTo, g_shortcutPaths.sendToLink, arguments);
    ApplyOne(settings.Desktop, g_shortcutPaths.desktopLink, arguments);
}
