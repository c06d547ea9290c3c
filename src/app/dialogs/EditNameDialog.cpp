#include "app/dialogs/EditNameDialog.h"

#include <commctrl.h>
#include <shlwapi.h>

#include <algorithm>
#include <cwchar>

#include "app/dialogs/DialogObject.h"
#include "app/resource.h"
#include "app/Texts.h"
#include "base/Text.h"
#include "filelist/FileList.h"
#include "naming/EditedName.h"
#include "naming/FolderDiscovery.h"
#include "naming/NameFormat.h"

namespace {

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

class EditNameDialog final : public DialogObject<EditNameDialog> {
public:
    EditNameDialog(FileList& list, int row, const NamingOptions& naming) : list_(list), row_(row), naming_(naming) {}

    INT_PTR Show(HWND parent) {
        return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_EDIT_NAME), parent, DialogProc,
                               reinterpret_cast<LPARAM>(this));
    }

    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
        case WM_INITDIALOG: return OnInit();
        case WM_COMMAND:
            if (LOWORD(wParam) == IDC_EDIT_NAME && HIWORD(wParam) == EN_CHANGE) OfferReplacement();
            if (LOWORD(wParam) == IDOK) OnAccept();
            if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog_, 2);
            return TRUE;
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            if (header->idFrom != IDC_EDIT_CANDIDATES) return FALSE;
            if (header->code == LVN_ITEMCHANGED) OnCandidateChanged(reinterpret_cast<NMLISTVIEW*>(header));
            if (header->code == NM_DBLCLK) OnAccept();
            return TRUE;
        }
        default: return FALSE;
        }
    }

private:
    void FillCandidates() {
        HWND view = GetDlgItem(dialog_, IDC_EDIT_CANDIDATES);
        SendMessageW(view, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
        RECT client;
        GetClientRect(view, &client);
        LVCOLUMNW column = {};
        column.mask = LVCF_WIDTH;
        column.cx = client.right;
        SendMessageW(view, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));

        std::vector<std::wstring> names;
        CollectNameCandidates(list_.At(row_).fullPath, naming_, names); // fewer names when it fails
        names = SortedCandidates(std::move(names));
        for (size_t i = 0; i < names.size(); ++i) {
            LVITEMW item = {};
            item.mask = LVIF_TEXT;
            item.iItem = static_cast<int>(i);
            item.pszText = const_cast<wchar_t*>(names[i].c_str());
            SendMessageW(view, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        }
        candidates_ = static_cast<int>(names.size());
    }

    BOOL OnInit() {
        SetWindowTextW(dialog_, LoadText(IDS_EDIT_CAPTION).c_str());
        const FileEntry& entry = list_.At(row_);
        CopyText(initial_, entry.newName[0] ? entry.newName : entry.name);
        extension_ = PathFindExtensionW(initial_);
        SetDlgItemTextW(dialog_, IDC_EDIT_NAME, initial_);
        SendDlgItemMessageW(dialog_, IDC_EDIT_NAME, EM_LIMITTEXT, 259, 0);
        FillCandidates();
        // Last: taking the focus activates the dialog, which must be complete by then.
        SelectNamePart(dialog_);
        return FALSE; // the focus is set already
    }

    void OnCandidateChanged(const NMLISTVIEW* change) {
        HWND view = GetDlgItem(dialog_, IDC_EDIT_CANDIDATES);
        int selected = static_cast<int>(SendMessageW(view, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
        if (selected < 0) return;
        wchar_t text[260] = L"";
        LVITEMW item = {};
        item.iSubItem = 0;
        item.pszText = text;
        item.cchTextMax = 260;
        SendMessageW(view, LVM_GETITEMTEXTW, change->iItem, reinterpret_cast<LPARAM>(&item));
        SetDlgItemTextW(dialog_, IDC_EDIT_NAME, (std::wstring(text) + extension_).c_str());
        wchar_t counter[32];
        swprintf(counter, 32, L"%d/%d", selected + 1, candidates_);
        SetDlgItemTextW(dialog_, IDC_EDIT_COUNTER, counter);
    }

    void OnAccept() {
        wchar_t text[260] = L"";
        GetDlgItemTextW(dialog_, IDC_EDIT_NAME, text, 260);
        if (text[0] == L'\0') {
            EndDialog(dialog_, 2);
            return;
        }
        if (HasForbiddenChar(text)) {
            MessageBoxW(dialog_, kForbiddenInNameMessage, LoadText(IDS_EDIT_CAPTION).c_str(), MB_OK | MB_ICONERROR);
            SelectNamePart(dialog_);
            return;
        }
        if (lstrcmpiW(text, initial_) == 0) {
            EndDialog(dialog_, 2);
            return;
        }
        if (!StoreEditedName(list_, row_, text)) {
            MessageBoxW(dialog_, LoadText(IDS_NAME_TOO_LONG).c_str(), LoadText(IDS_EDIT_CAPTION).c_str(),
                        MB_OK | MB_ICONERROR);
            SelectNamePart(dialog_);
            return;
        }
        EndDialog(dialog_, 1);
    }

    // A typed name with characters no file name may hold is offered among
    // the candidates with them in their full-width forms (first in the list).
    void OfferReplacement() {
        wchar_t text[260] = L"";
        GetDlgItemTextW(dialog_, IDC_EDIT_NAME, text, 260);
        if (!HasForbiddenChar(text)) return;
        std::wstring offered = WithFullWidthForbidden(text);
        if (HasForbiddenChar(offered.c_str())) return; // control characters stay refused
        // Candidates are shown without the extension, which picking adds back.
        if (!extension_.empty() && offered.size() > extension_.size() &&
            offered.compare(offered.size() - extension_.size(), extension_.size(), extension_) == 0)
            offered.resize(offered.size() - extension_.size());
        HWND view = GetDlgItem(dialog_, IDC_EDIT_CANDIDATES);
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.pszText = const_cast<wchar_t*>(offered.c_str());
        if (offering_) {
            SendMessageW(view, LVM_SETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&item));
            return;
        }
        SendMessageW(view, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        offering_ = true;
        ++candidates_;
    }

    FileList& list_;
    int row_;
    const NamingOptions& naming_;
    bool offering_ = false;
    wchar_t initial_[260] = L"";
    std::wstring extension_;
    int candidates_ = 0;
};

} // namespace

INT_PTR EditNewName(HWND parent, FileList& list, int row, const NamingOptions& naming) {
    if (row < 0 || row >= list.Count()) return 2;
    EditNameDialog dialog(list, row, naming);
    return dialog.Show(parent);
}
