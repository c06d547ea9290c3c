// Version page: the program's version, the home page link and the versions
// of the archiver libraries the program would load.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "app/dialogs/OptionsControls.h"
#include "app/dialogs/OptionsIds.h"
#include "app/dialogs/OptionsPages.h"
#include "app/resource.h"
#include "app/Texts.h"
#include "app/Version.h"
#include "archive/LibraryVersion.h"
#include "base/Messages.h"
#include "base/ScopedWin.h"

namespace {

const int kIconLeft = 100, kIconTop = 120, kIconSize = 48;
const COLORREF kLinkColour = RGB(0, 80, 200);

} // namespace

void VersionPage::OnInit() {
    SetDlgItemTextW(dialog_, IDC_VERSION_TITLE, ZORVEL_TITLE_WTEXT);
    SetDlgItemTextW(dialog_, IDC_HOME_LINK, LoadText(IDS_HOME_PAGE).c_str());
    LOGFONTW font = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog_, WM_GETFONT, 0, 0)), sizeof(font), &font);
    font.lfUnderline = TRUE;
    linkFont_.reset(CreateFontIndirectW(&font));
    SendDlgItemMessageW(dialog_, IDC_HOME_LINK, WM_SETFONT, reinterpret_cast<WPARAM>(linkFont_.get()), FALSE);

    HWND list = GetDlgItem(dialog_, IDC_LIBRARIES);
    std::wstring libraries = ArchiverLibraryList();
    int end = GetWindowTextLengthW(list);
    SendMessageW(list, EM_SETSEL, end, end);
    SendMessageW(list, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(libraries.c_str()));
}

void VersionPage::OpenLink() {
    wchar_t address[256] = L"";
    if (GetDlgItemTextW(dialog_, IDC_HOME_LINK, address, 256) > 0)
        ShellExecuteW(dialog_, L"open", address, nullptr, nullptr, SW_SHOWNORMAL);
}

void VersionPage::OnPaint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(dialog_, &paint);
    ScopedIcon icon(static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_ZORVEL), IMAGE_ICON, kIconSize, kIconSize, 0)));
    if (icon) DrawIconEx(dc, kIconLeft, kIconTop, icon.get(), kIconSize, kIconSize, 0, nullptr, DI_NORMAL);
    EndPaint(dialog_, &paint);
}

INT_PTR VersionPage::OnColour(HDC dc, HWND control) {
    INT_PTR brush = TransparentStatic(dc, control);
    if (GetDlgCtrlID(control) == IDC_HOME_LINK) SetTextColor(dc, kLinkColour);
    return brush;
}

INT_PTR VersionPage::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: OnInit(); return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_HOME_LINK && HIWORD(wParam) == STN_CLICKED) OpenLink();
        return TRUE;
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wParam) != GetDlgItem(dialog_, IDC_HOME_LINK)) return FALSE;
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return NotifyResult(dialog_, TRUE);
    case WM_PAINT: OnPaint(); return TRUE;
    case WM_CTLCOLORSTATIC: return OnColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_APP_OPTIONS_OK: linkFont_.reset(); return TRUE;
    case WM_NCDESTROY: linkFont_.reset(); return FALSE;
    default: return FALSE;
    }
}
