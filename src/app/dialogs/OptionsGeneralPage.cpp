// General page: archive kinds, thumbnail sizes, the viewer and the shortcuts.
#include <windows.h>
#include <commctrl.h>

#include <iterator>
#include <string>

#include "app/dialogs/FileDialogs.h"
#include "app/dialogs/OptionsControls.h"
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

} // namespace

// The run mode only matters while there is a shortcut to carry it.
void GeneralPage::ShowRunMode() {
    ShowWindow(GetDlgItem(dialog_, IDC_RUN_MODE), working_.SendTo || working_.Desktop ? SW_SHOW : SW_HIDE);
}

void GeneralPage::OnInit() {
    Settings& s = working_;
    // Every opening brings the links in line with the settings and the
    // program's current place.
    ShortcutPaths(LoadText(IDS_APP_NAME).c_str());
    ApplyShortcuts(s);

    InitCheckBoxes(dialog_, kKindBoxes, std::size(kKindBoxes), s);
    InitCheckBoxes(dialog_, kShortcutBoxes, std::size(kShortcutBoxes), s);
    InitNumberBoxes(dialog_, kSizeBoxes, std::size(kSizeBoxes), s);
    // The setting holds 259 characters: a longer path would be cut at OK.
    SendDlgItemMessageW(dialog_, IDC_VIEWER_PATH, EM_LIMITTEXT, 259, 0);
    SetDlgItemTextW(dialog_, IDC_VIEWER_PATH, s.Path);
    FillList(GetDlgItem(dialog_, IDC_RUN_MODE), IDS_OPT_RUN_MODE_FIRST, kRunModes, s.Options);
    ShowRunMode();
}

void GeneralPage::CheckAllKinds() {
    for (const CheckBox& box : kKindBoxes) {
        CheckDlgButton(dialog_, box.id, BST_CHECKED);
        box.field(working_) = true;
    }
}

void GeneralPage::BrowseViewer() {
    wchar_t path[MAX_PATH];
    if (ChooseViewerDialog(dialog_, IDS_OPT_VIEWER_FILTER, path)) SetDlgItemTextW(dialog_, IDC_VIEWER_PATH, path);
}

void GeneralPage::OnCommand(int id, int code) {
    Settings& s = working_;
    if (code == EN_CHANGE) {
        OnNumberBoxChanged(dialog_, kSizeBoxes, std::size(kSizeBoxes), id, s);
        return;
    }
    if (code == CBN_SELCHANGE && id == IDC_RUN_MODE) {
        s.Options = SelectedEntry(GetDlgItem(dialog_, IDC_RUN_MODE));
        return;
    }
    if (code != BN_CLICKED) return;
    if (OnCheckBoxClicked(dialog_, kKindBoxes, std::size(kKindBoxes), id, s)) return;
    if (OnCheckBoxClicked(dialog_, kShortcutBoxes, std::size(kShortcutBoxes), id, s)) {
        ShowRunMode();
        return;
    }
    switch (id) {
    case IDC_KINDS_ALL: CheckAllKinds(); break;
    case IDC_SIZES_DEFAULT:
        // The boxes' change handling stores the values.
        for (size_t i = 0; i < std::size(kSizeBoxes); ++i)
            WriteNumber(GetDlgItem(dialog_, kSizeBoxes[i].box), kDefaultSizes[i]);
        break;
    case IDC_VIEWER_BROWSE: BrowseViewer(); break;
    }
}

void GeneralPage::OnOk() {
    ApplyShortcuts(working_);
    GetDlgItemTextW(dialog_, IDC_VIEWER_PATH, working_.Path, 260);
}

INT_PTR GeneralPage::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: OnInit(); return FALSE;
    case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return TRUE;
    case WM_NOTIFY:
        return OnNumberBoxNotify(dialog_, kSizeBoxes, std::size(kSizeBoxes), reinterpret_cast<NMHDR*>(lParam), working_);
    case WM_CTLCOLORSTATIC: return TransparentStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_APP_OPTIONS_OK: OnOk(); return TRUE;
    default: return FALSE;
    }
}
