#include "app/dialogs/FileDialogs.h"

#include <commdlg.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cwchar>
#include <vector>

#include "app/resource.h"
#include "app/Texts.h"
#include "base/Paths.h"
#include "base/ScopedWin.h"
#include "filelist/AddFiles.h"
#include "filelist/FileList.h"

namespace {

// "*.zip;*.7z" for the enabled kinds, in table order.
std::wstring PatternList(const KindFilter& kinds) {
    std::wstring patterns;
    for (const ArchiveKind& kind : kArchiveKinds) {
        if (!kinds.enabled[kind.index]) continue;
        if (!patterns.empty()) patterns += L";";
        patterns += L"*";
        patterns += kind.extension;
    }
    return patterns;
}


int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM lParam, LPARAM data) {
    switch (message) {
    case BFFM_INITIALIZED: {
        SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, data);
        HWND edit = FindWindowExW(dialog, nullptr, L"Edit", nullptr);
        if (edit)
            SHAutoComplete(edit, SHACF_FILESYSTEM | SHACF_URLHISTORY | SHACF_URLMRU | SHACF_USETAB |
                                     SHACF_FILESYS_ONLY);
        break;
    }
    case BFFM_SELCHANGED: {
        wchar_t path[MAX_PATH];
        if (SHGetPathFromIDListW(reinterpret_cast<LPCITEMIDLIST>(lParam), path)) {
            HWND edit = FindWindowExW(dialog, nullptr, L"Edit", nullptr);
            if (edit) SetWindowTextW(edit, WithTrailingSeparator(path).c_str());
        }
        break;
    }
    case BFFM_VALIDATEFAILEDW: return 1; // keep the dialog open
    }
    return 0;
}

} // namespace

bool OpenFilesDialog(HWND parent, FileList& list, const KindFilter& kinds) {
    std::wstring patterns = PatternList(kinds);
    if (patterns.empty()) return false;
    std::wstring filter = DialogFilter(FormatText(IDS_ARCHIVE_FILTER, patterns.c_str(), patterns.c_str()));

    wchar_t desktop[MAX_PATH] = L"";
    SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, desktop);
    std::vector<wchar_t> result(2526, L'\0');
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = parent;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = result.data();
    dialog.nMaxFile = static_cast<DWORD>(result.size());
    dialog.lpstrInitialDir = desktop;
    std::wstring title = LoadText(IDS_SELECT_FILES_TITLE);
    dialog.lpstrTitle = title.c_str();
    // The dialog must not move the process's current folder.
    dialog.Flags = OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameW(&dialog)) {
        DWORD code = CommDlgExtendedError();
        if (code == FNERR_BUFFERTOOSMALL)
            MessageBoxW(parent, LoadText(IDS_TOO_MANY_FILES).c_str(), nullptr, MB_OK | MB_ICONEXCLAMATION);
        else
            ShowDialogError(parent, code);
        return false;
    }

    const wchar_t* first = result.data();
    const wchar_t* next = first + wcslen(first) + 1;
    bool added = false;
    if (*next == L'\0') return list.AddFileEntry(first); // one file: its full path
    std::wstring folder = WithTrailingSeparator(first);
    for (; *next; next += wcslen(next) + 1) added = list.AddFileEntry((folder + next).c_str()) || added;
    return added;
}

bool BrowseFolderDialog(HWND parent, std::wstring& folder) {
    ScopedCoInit com;
    wchar_t desktopName[MAX_PATH] = L"";
    LPITEMIDLIST root = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(parent, CSIDL_DESKTOP, &root))) {
        SHFILEINFOW info = {};
        if (SHGetFileInfoW(reinterpret_cast<LPCWSTR>(root), 0, &info, sizeof(info), SHGFI_PIDL | SHGFI_DISPLAYNAME))
            wcscpy(desktopName, info.szDisplayName);
    }
    wchar_t display[MAX_PATH] = L"";
    BROWSEINFOW browse = {};
    browse.hwndOwner = parent;
    browse.pidlRoot = root;
    browse.pszDisplayName = display;
    std::wstring title = LoadText(IDS_SELECT_FOLDER_TITLE);
    browse.lpszTitle = title.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_VALIDATE | BIF_NEWDIALOGSTYLE | BIF_NONEWFOLDERBUTTON;
    browse.lpfn = BrowseCallback;
    browse.lParam = reinterpret_cast<LPARAM>(desktopName);
    LPITEMIDLIST chosen = SHBrowseForFolderW(&browse);
    bool ok = false;
    if (chosen) {
        wchar_t path[MAX_PATH];
        ok = SHGetPathFromIDListW(chosen, path) != FALSE;
        if (ok) folder = path;
        CoTaskMemFree(chosen);
    }
    if (root) CoTaskMemFree(root);
    return ok;
}

bool ChooseViewerDialog(HWND parent, UINT filterText, wchar_t (&path)[MAX_PATH]) {
    path[0] = L'\0';
    std::wstring filter = DialogFilter(LoadText(filterText));
    std::wstring title = LoadText(IDS_VIEWER_TITLE);
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = parent;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = path;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrTitle = title.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameW(&dialog)) {
        ShowDialogError(parent, CommDlgExtendedError());
        return false;
    }
    DWORD attributes = GetFileAttributesW(path);
    return attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring DialogFilter(const std::wstring& text) {
    std::wstring filter = text;
    for (wchar_t& c : filter)
        if (c == L'|') c = L'\0';
    return filter;
}

void ShowDialogError(HWND parent, DWORD code) {
    if (code == 0) return; // cancelled
    MessageBoxW(parent, FormatText(IDS_SELECT_FAILED, static_cast<unsigned>(code)).c_str(), nullptr,
                MB_OK | MB_ICONEXCLAMATION);
}
