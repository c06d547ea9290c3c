// General page: archive kinds, thumbnail sizes, the viewer and the shortcuts.
#include <windows.h>
#include <commctrl.h>

#include <iterator>
#include <string>

#include "app/dialogs/FileDialogs.h"
#include "app/dialogs/OptionsControls.h"
#include "app/dialogs/OptionsDialog.h"
#include "app/dialogs/OptionsIds.h"
#include "app/dialogs/OptionsPages.h"
#include "app/resource.h"
#include "app/Texts.h"
#include "base/Messages.h"
#include "settings/Shortcuts.h"

namespace {

const CheckBox kKindBoxes[] = {
    {IDC_KIND_ZIP, [](Settings& s) -> bool& { return s.EnableKind[kKindZip]; }},
    {IDC_KIND_7Z, [](Settings& s) -> bool& { return s.EnableKind[kKind7z]; }},
    {IDC_KIND_LZH, [](Settings& s) -> bool& { return s.EnableKind[kKindLzh]; }},
    {IDC_KIND_CAB, [](Settings& s) -> bool& { return s.EnableKind[kKindCab]; }},
    {IDC_KIND_RAR, [](Settings& s) -> bool& { return s.EnableKind[kKindRar]; }},
};

const CheckBox kShortcutBoxes[] = {
    {IDC_SHORTCUT_SENDTO, [](Settings& s) -> bool& { return s.SendTo; }},
    {IDC_SHORTCUT_DESKTOP, [](Settings& s) -> bool& { return s.Desktop; }},
};

const NumberBox kSizeBoxes[] = {
    {IDC_SMALL_SIZE, IDC_SMALL_SIZE_SPIN, [](Settings& s) -> int& { return s.SmallSize; }, 50, 512},
    {IDC_NORMAL_SIZE, IDC_NORMAL_SIZE_SPIN, [](Settings& s) -> int& { return s.NormalSize; }, 50, 512},
    {IDC_LARGE_SIZE, IDC_LARGE_SIZE_SPIN, [](Settings& s) -> int& { return s.LargeSize; }, 50, 512},
};

const int kDefaultSizes[] = {128, 192, 256};
const int kRunModes = 4;

// The run mode only matters while there is a shortcut to carry it.
void ShowRunMode(HWND page) {
    const Settings& s = OptionsWorkingCopy();
    ShowWindow(GetDlgItem(page, IDC_RUN_MODE), s.SendTo || s.Desktop ? SW_SHOW : SW_HIDE);
}

void OnInit(HWND page) {
    Settings& s = OptionsWorkingCopy();
    // Every opening brings the links in line with the settings and the
    // program's current place.
    ShortcutPaths(LoadText(IDS_APP_NAME).c_str());
    ApplyShortcuts(s);

    InitCheckBoxes(page, kKindBoxes, std::size(kKindBoxes), s);
    InitCheckBoxes(page, kShortcutBoxes, std::size(kShortcutBoxes), s);
    InitNumberBoxes(page, kSizeBoxes, std::size(kSizeBoxes), s);
    // The setting holds 259 characters: a longer path would be cut at OK.
    SendDlgItemMessageW(page, IDC_VIEWER_PATH, EM_LIMITTEXT, 259, 0);
    SetDlgItemTextW(page, IDC_VIEWER_PATH, s.Path);
    FillList(GetDlgItem(page, IDC_RUN_MODE), IDS_OPT_RUN_MODE_FIRST, kRunModes, s.Options);
    ShowRunMode(page);
}

void CheckAllKinds(HWND page) {
    Settings& s = OptionsWorkingCopy();
    for (const CheckBox& box : kKindBoxes) {
        CheckDlgButton(page, box.id, BST_CHECKED);
        box.field(s) = true;
    }
}

void BrowseViewer(HWND page) {
    wchar_t path[MAX_PATH];
    if (ChooseViewerDialog(page, IDS_OPT_VIEWER_FILTER, path)) SetDlgItemTextW(page, IDC_VIEWER_PATH, path);
}

void OnCommand(HWND page, int id, int code) {
    Settings& s = OptionsWorkingCopy();
    if (code == EN_CHANGE) {
        OnNumberBoxChanged(page, kSizeBoxes, std::size(kSizeBoxes), id, s);
        return;
    }
    if (code == CBN_SELCHANGE && id == IDC_RUN_MODE) {
        s.Options = SelectedEntry(GetDlgItem(page, IDC_RUN_MODE));
        return;
    }
    if (code != BN_CLICKED) return;
    if (OnCheckBoxClicked(page, kKindBoxes, std::size(kKindBoxes), id, s)) return;
    if (OnCheckBoxClicked(page, kShortcutBoxes, std::size(kShortcutBoxes), id, s)) {
        ShowRunMode(page);
        return;
    }
    switch (id) {
    case IDC_KINDS_ALL: CheckAllKinds(page); break;
    case IDC_SIZES_DEFAULT:
        // The boxes' change handling stores the values.
        for (size_t i = 0; i < std::size(kSizeBoxes); ++i) WriteNumber(GetDlgItem(page, kSizeBoxes[i].box), kDefaultSizes[i]);
        break;
    case IDC_VIEWER_BROWSE: BrowseViewer(page); break;
    }
}

void OnOk(HWND page) {
    Settings& s = OptionsWorkingCopy();
    ApplyShortcuts(s);
    GetDlgItemTextW(page, IDC_VIEWER_PATH, s.Path, 260);
}

} // namespace

INT_PTR CALLBACK GeneralPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: OnInit(page); return FALSE;
    case WM_COMMAND: OnCommand(page, LOWORD(wParam), HIWORD(wParam)); return TRUE;
    case WM_NOTIFY:
        return OnNumberBoxNotify(page, kSizeBoxes, std::size(kSizeBoxes), reinterpret_cast<NMHDR*>(lParam), OptionsWorkingCopy());
    case WM_CTLCOLORSTATIC: return TransparentStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_APP_OPTIONS_OK: OnOk(page); return TRUE;
    default: return FALSE;
    }
}
