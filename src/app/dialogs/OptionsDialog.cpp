#include "app/dialogs/OptionsDialog.h"

#include <commctrl.h>

#include "app/ProgramSettings.h"
#include "app/dialogs/OptionsIds.h"
#include "app/dialogs/OptionsPages.h"
#include "app/Texts.h"
#include "base/Messages.h"
#include "naming/NameFormat.h"
#include "settings/ConfigFile.h"

namespace {

struct PageKind {
    int templateId;
    UINT tabText;
    DLGPROC procedure;
};

const PageKind kPages[kPageCount] = {
    {IDD_OPTIONS_GENERAL, IDS_OPT_TAB_GENERAL, GeneralPageProc},
    {IDD_OPTIONS_DESIGN, IDS_OPT_TAB_DESIGN, DesignPageProc},
    {IDD_OPTIONS_ADVANCED, IDS_OPT_TAB_ADVANCED, AdvancedPageProc},
    {IDD_OPTIONS_VERSION, IDS_OPT_TAB_VERSION, VersionPageProc},
};

Settings g_working;
HWND g_pageWindows[kPageCount];
HWND g_mainWindow;

int FloorHalf(int value) {
    return value >= 0 ? value / 2 : -((-value + 1) / 2);
}

void CentreOnScreen(HWND dialog) {
    RECT box;
    GetWindowRect(dialog, &box);
    int left = FloorHalf(GetSystemMetrics(SM_CXSCREEN) - (box.right - box.left));
    int top = FloorHalf(GetSystemMetrics(SM_CYSCREEN) - (box.bottom - box.top));
    SetWindowPos(dialog, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ShowPage(int shown) {
    for (int i = 0; i < kPageCount; ++i) ShowWindow(g_pageWindows[i], i == shown ? SW_SHOW : SW_HIDE);
}

// Each page covers the tab control's display area and follows the tab
// control in the tab order, before OK and Cancel.
void CreatePages(HWND dialog) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    HWND tabs = GetDlgItem(dialog, IDC_OPTIONS_TABS);
    for (int i = 0; i < kPageCount; ++i) {
        std::wstring text = LoadText(kPages[i].tabText);
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = &text[0];
        SendMessageW(tabs, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
    RECT area;
    GetClientRect(tabs, &area);
    SendMessageW(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    MapWindowPoints(tabs, dialog, reinterpret_cast<POINT*>(&area), 2);
    HWND previous = tabs;
    for (int i = 0; i < kPageCount; ++i) {
        g_pageWindows[i] = CreateDialogParamW(instance, MAKEINTRESOURCEW(kPages[i].templateId), dialog,
                                              kPages[i].procedure, 0);
        SetWindowPos(g_pageWindows[i], previous, area.left, area.top, area.right - area.left,
                     area.bottom - area.top, SWP_NOACTIVATE);
        previous = g_pageWindows[i];
    }
}

void OnInit(HWND dialog, int startPage) {
    g_working = g_settings;
    CentreOnScreen(dialog);
    CreatePages(dialog);
    int shown = startPage == 0 ? kPageGeneral : startPage == 1 ? kPageDesign : kPageVersion;
    SendDlgItemMessageW(dialog, IDC_OPTIONS_TABS, TCM_SETCURSEL, shown, 0);
    ShowPage(shown);
}

void OnOk(HWND dialog) {
    GetDlgItemTextW(g_pageWindows[kPageAdvanced], IDC_FORMAT, g_working.Format, 130);
    if (HasForbiddenChar(g_working.Format)) {
        MessageBoxW(dialog, kForbiddenInFormatMessage, kFormatCaption, MB_OK | MB_ICONERROR);
        return;
    }
    for (HWND page : g_pageWindows) SendMessageW(page, WM_APP_OPTIONS_OK, 0, 0);
    g_settings = g_working;
    SaveProgramSettings(g_mainWindow);
    EndDialog(dialog, 1);
}

INT_PTR CALLBACK OptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: OnInit(dialog, static_cast<int>(lParam)); return TRUE;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->idFrom == IDC_OPTIONS_TABS && header->code == TCN_SELCHANGE)
            ShowPage(static_cast<int>(SendMessageW(header->hwndFrom, TCM_GETCURSEL, 0, 0)));
        return FALSE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) OnOk(dialog);
        if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog, 2);
        return TRUE;
    case WM_DESTROY:
        for (HWND& page : g_pageWindows) page = nullptr;
        return FALSE;
    default: return FALSE;
    }
}

} // namespace

int ShowOptionsDialog(HWND parent, int startPage) {
    g_mainWindow = parent;
    INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_OPTIONS), parent,
                                     OptionsDialogProc, startPage);
    return result == 1 ? 1 : 2;
}

Settings& OptionsWorkingCopy() {
    return g_working;
}

HWND OptionsPage(int index) {
    return index >= 0 && index < kPageCount ? g_pageWindows[index] : nullptr;
}
