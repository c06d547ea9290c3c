#include "app/dialogs/OptionsDialog.h"

#include <commctrl.h>

#include <string>

#include "app/dialogs/DialogObject.h"
#include "app/dialogs/OptionsIds.h"
#include "app/dialogs/OptionsPages.h"
#include "app/Texts.h"
#include "base/Messages.h"
#include "base/ScopedWin.h"
#include "naming/NameFormat.h"

namespace {

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

class OptionsDialog;
OptionsDialog* OptionsDialogOf(HWND dialog);

class OptionsDialog final : public DialogObject<OptionsDialog> {
public:
    OptionsDialog(HWND owner, int startPage, Settings& settings)
        : owner_(owner), startPage_(startPage), settings_(settings), working_(settings), general_(working_),
          design_(working_), advanced_(working_) {}

    bool Show() {
        // The dialog's message loop hands every message to the message
        // filter hooks first: Ctrl+Tab reaches us from any control.
        ScopedHook pageKeys(SetWindowsHookExW(WH_MSGFILTER, PageKeys, nullptr, GetCurrentThreadId()));
        return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_OPTIONS), owner_, DialogProc,
                               reinterpret_cast<LPARAM>(this)) == 1;
    }

    HWND Page(int index) const { return index >= 0 && index < kPageCount ? pages_[index] : nullptr; }
    Settings& Working() { return working_; }

    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
        case WM_INITDIALOG: OnInit(); return TRUE;
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            if (header->idFrom == IDC_OPTIONS_TABS && header->code == TCN_SELCHANGE)
                ShowPage(static_cast<int>(SendMessageW(header->hwndFrom, TCM_GETCURSEL, 0, 0)));
            return FALSE;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) OnOk();
            if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog_, 2);
            return TRUE;
        case WM_DESTROY:
            for (HWND& page : pages_) page = nullptr;
            return FALSE;
        default: return FALSE;
        }
    }

private:
    void ShowPage(int shown) {
        for (int i = 0; i < kPageCount; ++i) ShowWindow(pages_[i], i == shown ? SW_SHOW : SW_HIDE);
    }

    // The next page (or the one before), round; the focus goes to the tabs,
    // where Tab carries on into the page shown.
    void TurnPage(int step) {
        HWND tabs = GetDlgItem(dialog_, IDC_OPTIONS_TABS);
        int shown = static_cast<int>(SendMessageW(tabs, TCM_GETCURSEL, 0, 0));
        int next = ((shown < 0 ? 0 : shown) + step + kPageCount) % kPageCount;
        SendMessageW(tabs, TCM_SETCURSEL, next, 0);
        ShowPage(next);
        SendMessageW(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(tabs), TRUE);
    }

    // Ctrl+Tab and Ctrl+Shift+Tab turn the pages, as in every tabbed dialog.
    static LRESULT CALLBACK PageKeys(int code, WPARAM wParam, LPARAM lParam) {
        auto* msg = reinterpret_cast<MSG*>(lParam);
        if (code == MSGF_DIALOGBOX && msg->message == WM_KEYDOWN && msg->wParam == VK_TAB &&
            (GetKeyState(VK_CONTROL) & 0x8000)) {
            HWND dialog = GetAncestor(msg->hwnd, GA_ROOT);
            OptionsDialog* open = GetDlgItem(dialog, IDC_OPTIONS_TABS) ? OptionsDialogOf(dialog) : nullptr;
            if (open != nullptr) {
                open->TurnPage((GetKeyState(VK_SHIFT) & 0x8000) ? -1 : 1);
                return 1;
            }
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    // Each page covers the tab control's display area and follows the tab
    // control in the tab order, before OK and Cancel.
    void CreatePages() {
        static const UINT kTabTexts[kPageCount] = {IDS_OPT_TAB_GENERAL, IDS_OPT_TAB_DESIGN, IDS_OPT_TAB_ADVANCED,
                                                   IDS_OPT_TAB_VERSION};
        HINSTANCE instance = GetModuleHandleW(nullptr);
        HWND tabs = GetDlgItem(dialog_, IDC_OPTIONS_TABS);
        for (int i = 0; i < kPageCount; ++i) {
            std::wstring text = LoadText(kTabTexts[i]);
            TCITEMW item = {};
            item.mask = TCIF_TEXT;
            item.pszText = &text[0];
            SendMessageW(tabs, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
        }
        pages_[kPageGeneral] = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_OPTIONS_GENERAL), dialog_,
                                                  GeneralPage::DialogProc, reinterpret_cast<LPARAM>(&general_));
        pages_[kPageDesign] = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_OPTIONS_DESIGN), dialog_,
                                                 DesignPage::DialogProc, reinterpret_cast<LPARAM>(&design_));
        pages_[kPageAdvanced] = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_OPTIONS_ADVANCED), dialog_,
                                                   AdvancedPage::DialogProc, reinterpret_cast<LPARAM>(&advanced_));
        pages_[kPageVersion] = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_OPTIONS_VERSION), dialog_,
                                                  VersionPage::DialogProc, reinterpret_cast<LPARAM>(&version_));
        RECT area;
        GetClientRect(tabs, &area);
        SendMessageW(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
        MapWindowPoints(tabs, dialog_, reinterpret_cast<POINT*>(&area), 2);
        HWND previous = tabs;
        for (HWND page : pages_) {
            SetWindowPos(page, previous, area.left, area.top, area.right - area.left, area.bottom - area.top,
                         SWP_NOACTIVATE);
            previous = page;
        }
    }

    void OnInit() {
        CentreOnScreen(dialog_);
        CreatePages();
        int shown = startPage_ == kPageGeneral ? kPageGeneral : startPage_ == kPageDesign ? kPageDesign : kPageVersion;
        SendDlgItemMessageW(dialog_, IDC_OPTIONS_TABS, TCM_SETCURSEL, shown, 0);
        ShowPage(shown);
    }

    void OnOk() {
        GetDlgItemTextW(pages_[kPageAdvanced], IDC_FORMAT, working_.Format, 130);
        if (HasForbiddenChar(working_.Format)) {
            MessageBoxW(dialog_, kForbiddenInFormatMessage, kFormatCaption, MB_OK | MB_ICONERROR);
            return;
        }
        for (HWND page : pages_) SendMessageW(page, WM_APP_OPTIONS_OK, 0, 0);
        settings_ = working_;
        EndDialog(dialog_, 1);
    }

    HWND owner_;
    int startPage_;
    Settings& settings_;
    Settings working_;
    GeneralPage general_;
    DesignPage design_;
    AdvancedPage advanced_;
    VersionPage version_;
    HWND pages_[kPageCount] = {};
};

OptionsDialog* OptionsDialogOf(HWND dialog) {
    return reinterpret_cast<OptionsDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

} // namespace

bool ShowOptionsDialog(HWND parent, int startPage, Settings& settings) {
    OptionsDialog dialog(parent, startPage, settings);
    return dialog.Show();
}

HWND OptionsPageOf(HWND dialog, int index) {
    OptionsDialog* options = OptionsDialogOf(dialog);
    return options ? options->Page(index) : nullptr;
}

Settings& OptionsWorkingCopyOf(HWND dialog) {
    return OptionsDialogOf(dialog)->Working();
}
