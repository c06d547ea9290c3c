#include "app/dialogs/EditNameDialog.h"

#include <commctrl.h>
#include <shlwapi.h>

#include <algorithm>
#include <cwchar>

#include "app/ProgramSettings.h"
#include "app/resource.h"
#include "app/Texts.h"
#include "base/Text.h"
#include "filelist/FileList.h"
#include "naming/EditedName.h"
#include "naming/FolderDiscovery.h"
#include "naming/NameFormat.h"


namespace {

struct EditState {
    FileList* list;
    int row;
    wchar_t initial[260];
    std::wstring extension;
    int candidates;
};

EditState g_edit; // one dialog at a time

// Selects the name before the last '.', so typing keeps the extension.
void SelectNamePart(HWND dialog) {
    HWND edit = GetDlgItem(dialog, IDC_EDIT_NAME);
    wchar_t text[260] = L"";
    GetWindowTextW(edit, text, 260);
    const wchar_t* dot = wcsrchr(text, L'.');
    int end = dot ? static_cast<int>(dot - text) : static_cast<int>(wcslen(text));
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, end);
}

void FillCandidates(HWND dialog) {
    HWND view = GetDlgItem(dialog, IDC_EDIT_CANDIDATES);
    SendMessageW(view, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    RECT client;
    GetClientRect(view, &client);
    LVCOLUMNW column = {};
    column.mask = LVCF_WIDTH;
    column.cx = client.right;
    SendMessageW(view, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));

    std::vector<std::wstring> names;
    CollectNameCandidates(g_edit.list->At(g_edit.row).fullPath, NamingOptions::From(g_settings), names); // fewer names when it fails
    names = SortedCandidates(std::move(names));
    for (size_t i = 0; i < names.size(); ++i) {
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = const_cast<wchar_t*>(names[i].c_str());
        SendMessageW(view, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    g_edit.candidates = static_cast<int>(names.size());
}

BOOL OnInit(HWND dialog) {
    SetWindowTextW(dialog, LoadText(IDS_EDIT_CAPTION).c_str());
    const FileEntry& entry = g_edit.list->At(g_edit.row);
    CopyText(g_edit.initial, entry.newName[0] ? entry.newName : entry.name);
    g_edit.extension = PathFindExtensionW(g_edit.initial);
    SetDlgItemTextW(dialog, IDC_EDIT_NAME, g_edit.initial);
    SendDlgItemMessageW(dialog, IDC_EDIT_NAME, EM_LIMITTEXT, 259, 0);
    FillCandidates(dialog);
    // Last: taking the focus activates the dialog, which must be complete by then.
    SelectNamePart(dialog);
    return FALSE; // the focus is set already
}

void OnCandidateChanged(HWND dialog, const NMLISTVIEW* change) {
    HWND view = GetDlgItem(dialog, IDC_EDIT_CANDIDATES);
    int selected = static_cast<int>(SendMessageW(view, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (selected < 0) return;
    wchar_t text[260] = L"";
    LVITEMW item = {};
    item.iSubItem = 0;
    item.pszText = text;
    item.cchTextMax = 260;
    SendMessageW(view, LVM_GETITEMTEXTW, change->iItem, reinterpret_cast<LPARAM>(&item));
    SetDlgItemTextW(dialog, IDC_EDIT_NAME, (std::wstring(text) + g_edit.extension).c_str());
    wchar_t counter[32];
    swprintf(counter, 32, L"%d/%d", selected + 1, g_edit.candidates);
    SetDlgItemTextW(dialog, IDC_EDIT_COUNTER, counter);
}

void OnAccept(HWND dialog) {
    wchar_t text[260] = L"";
    GetDlgItemTextW(dialog, IDC_EDIT_NAME, text, 260);
    if (text[0] == L'\0') {
        EndDialog(dialog, 2);
        return;
    }
    if (HasForbiddenChar(text)) {
        MessageBoxW(dialog, kForbiddenInNameMessage, LoadText(IDS_EDIT_CAPTION).c_str(), MB_OK | MB_ICONERROR);
        SelectNamePart(dialog);
        return;
    }
    if (lstrcmpiW(text, g_edit.initial) == 0) {
        EndDialog(dialog, 2);
        return;
    }
    if (!StoreEditedName(*g_edit.list, g_edit.row, text)) {
        MessageBoxW(dialog, LoadText(IDS_NAME_TOO_LONG).c_str(), LoadText(IDS_EDIT_CAPTION).c_str(),
                    MB_OK | MB_ICONERROR);
        SelectNamePart(dialog);
        return;
    }
    EndDialog(dialog, 1);
}

INT_PTR CALLBACK EditDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return OnInit(dialog);
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) OnAccept(dialog);
        if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog, 2);
        return TRUE;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->idFrom != IDC_EDIT_CANDIDATES) return FALSE;
        if (header->code == LVN_ITEMCHANGED) OnCandidateChanged(dialog, reinterpret_cast<NMLISTVIEW*>(header));
        if (header->code == NM_DBLCLK) OnAccept(dialog);
        return TRUE;
    }
    default: return FALSE;
    }
}

} // namespace

INT_PTR EditNewName(HWND parent, FileList& list, int row) {
    if (row < 0 || row >= list.Count()) return 2;
    g_edit = EditState{&list, row, {}, L"", 0};
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_EDIT_NAME), parent, EditDialogProc, 0);
}
