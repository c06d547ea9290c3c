// Advanced page: thumbnail interpolation, spacing and start-up display, the
// log's length, the new-name format with its placeholder menu, and the
// other switches.
#include <windows.h>
#include <commctrl.h>

#include <cwchar>
#include <iterator>

#include "app/dialogs/OptionsControls.h"
#include "app/dialogs/OptionsIds.h"
#include "app/dialogs/OptionsPages.h"
#include "base/Messages.h"
#include "base/ScopedWin.h"
#include "settings/Settings.h"

namespace {

const CheckBox kCheckBoxes[] = {
    {IDC_ALLOW_DUPLICATE, [](Settings& s) -> bool& { return s.AllowDuplicate; }},
    {IDC_CONFIRM_EXIT, [](Settings& s) -> bool& { return s.ConfirmExit; }},
    {IDC_USE_7ZIP32, [](Settings& s) -> bool& { return s.Use7zip32; }},
    {IDC_FIRST_FILE, [](Settings& s) -> bool& { return s.FirstFile; }},
    {IDC_REPLACE_FORBIDDEN, [](Settings& s) -> bool& { return s.ReplaceForbidden; }},
};

const NumberBox kSpacingBoxes[] = {
    {IDC_SPACING_X, IDC_SPACING_X_SPIN, [](Settings& s) -> int& { return s.SpacingX; }, -1, 512},
    {IDC_SPACING_Y, IDC_SPACING_Y_SPIN, [](Settings& s) -> int& { return s.SpacingY; }, -1, 512},
};

const int kInterpolationModes = 8;
const int kStartupEntries = 5;
const int kAsLastExit = 4;      // the entry "as at the last exit"
const int kRememberedBase = 10; // Startup 10..13: that choice, with the display then (settings/Startup.cpp)
const int kFormatLimit = 128;   // characters the format box takes

int StartupEntry(int startup) {
    return startup >= kRememberedBase ? kAsLastExit : startup;
}

// Entries 0..3 are stored as they are; "as at the last exit" keeps what it
// remembered, or starts as a bare 4, which loading reads as that choice.
int StartupOfEntry(int entry, int startup) {
    if (entry != kAsLastExit) return entry;
    return startup >= kRememberedBase ? startup : kAsLastExit;
}

} // namespace

void AdvancedPage::OnInit() {
    Settings& s = working_;
    FillList(GetDlgItem(dialog_, IDC_INTERPOLATION), IDS_OPT_INTERPOLATION_FIRST, kInterpolationModes, s.InterpolationMode);
    FillList(GetDlgItem(dialog_, IDC_STARTUP), IDS_OPT_STARTUP_FIRST, kStartupEntries, StartupEntry(s.Startup));
    placeholders_.reset(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDM_PLACEHOLDERS)));
    SendDlgItemMessageW(dialog_, IDC_FORMAT, EM_LIMITTEXT, kFormatLimit, 0);
    SetDlgItemInt(dialog_, IDC_MAX_LINE, static_cast<UINT>(s.MaxLine), TRUE);
    InitCheckBoxes(dialog_, kCheckBoxes, std::size(kCheckBoxes), s);
    SetDlgItemTextW(dialog_, IDC_FORMAT, s.Format);
    InitNumberBoxes(dialog_, kSpacingBoxes, std::size(kSpacingBoxes), s);
}

void AdvancedPage::ShowPlaceholderMenu() {
    RECT button;
    GetWindowRect(GetDlgItem(dialog_, IDC_FORMAT_PICK), &button);
    TrackPopupMenu(GetSubMenu(placeholders_.get(), 0), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, button.left,
                   button.bottom, 0, dialog_, nullptr);
}

// The chosen item's placeholder (its text after the tab) goes at the end of
// the format, not at the caret. A format that would outgrow the box stays
// as it is: cutting it to make room would lose what the user typed.
void AdvancedPage::AppendPlaceholder(int item) {
    wchar_t label[64] = L"";
    GetMenuStringW(placeholders_.get(), item, label, 64, MF_BYCOMMAND);
    const wchar_t* placeholder = wcschr(label, L'\t');
    if (placeholder == nullptr) return;
    ++placeholder;
    wchar_t format[kFormatLimit + 8] = L"";
    int length = GetDlgItemTextW(dialog_, IDC_FORMAT, format, kFormatLimit + 1);
    if (length + wcslen(placeholder) > static_cast<size_t>(kFormatLimit)) {
        MessageBeep(MB_OK);
        return;
    }
    wcscat(format, placeholder);
    SetDlgItemTextW(dialog_, IDC_FORMAT, format);
}

void AdvancedPage::OnCommand(int id, int code) {
    Settings& s = working_;
    if (code == EN_CHANGE) {
        OnNumberBoxChanged(dialog_, kSpacingBoxes, std::size(kSpacingBoxes), id, s);
        return;
    }
    if (code == CBN_SELCHANGE) {
        int entry = SelectedEntry(GetDlgItem(dialog_, id));
        if (id == IDC_INTERPOLATION) s.InterpolationMode = entry;
        if (id == IDC_STARTUP) s.Startup = StartupOfEntry(entry, s.Startup);
        return;
    }
    if (code != BN_CLICKED) return;
    if (OnCheckBoxClicked(dialog_, kCheckBoxes, std::size(kCheckBoxes), id, s)) return;
    switch (id) {
    case IDC_FORMAT_DEFAULT: SetDlgItemTextW(dialog_, IDC_FORMAT, L"%new"); break;
    case IDC_FORMAT_PICK: ShowPlaceholderMenu(); break;
    case IDM_PLACEHOLDER_ORIG: case IDM_PLACEHOLDER_NEW: case IDM_PLACEHOLDER_DIR: case IDM_PLACEHOLDER_DATE:
    case IDM_PLACEHOLDER_TIME: AppendPlaceholder(id); break;
    }
}

void AdvancedPage::OnOk() {
    Settings& s = working_;
    s.MaxLine = ReadNumber(GetDlgItem(dialog_, IDC_MAX_LINE), 18, -1, 32767);
    // The whole text the setting holds, so a format typed to the box's limit keeps its last character.
    GetDlgItemTextW(dialog_, IDC_FORMAT, s.Format, 130);
    if (s.Format[0] == L'\0') wcscpy(s.Format, L"%new");
    placeholders_.reset();
}

INT_PTR AdvancedPage::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: OnInit(); return FALSE;
    case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return TRUE;
    case WM_NOTIFY:
        return OnNumberBoxNotify(dialog_, kSpacingBoxes, std::size(kSpacingBoxes), reinterpret_cast<NMHDR*>(lParam),
                                 working_);
    case WM_CTLCOLORSTATIC: return TransparentStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_APP_OPTIONS_OK: OnOk(); return TRUE;
    case WM_NCDESTROY: placeholders_.reset(); return FALSE;
    default: return FALSE;
    }
}
