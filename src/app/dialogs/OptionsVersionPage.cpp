// Version page: the program's version, the home page link and the versions
// of the archiver libraries the program would load.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "app/Dpi.h"
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

// The icon's edge and its gap to the texts, at 96 DPI.
const int kIconSize = 48, kIconGap = 16;
const COLORREF kLinkColour = RGB(0, 80, 200);

RECT ControlRect(HWND page, int id) {
    RECT rect = {};
    GetWindowRect(GetDlgItem(page, id), &rect);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// Left of the title, the copyright and the link, centred on them, at every
// DPI and with every font.
RECT ProgramIconPlace(HWND page) {
    RECT title = ControlRect(page, IDC_VERSION_TITLE), link = ControlRect(page, IDC_HOME_LINK);
    int dpi = WindowDpi(page), size = Scaled(kIconSize, dpi);
    int right = title.left - Scaled(kIconGap, dpi), top = (title.top + link.bottom - size) / 2;
    return {right - size, top, right, top + size};
}

} // namespace

void VersionPage::OnInit() {
    SetDlgItemTextW(dialog_, IDC_VERSION_TITLE, ZORVEL_TITLE_WTEXT);
    SetDlgItemTextW(dialog_, IDC_HOME_LINK, LoadText(IDS_HOME_PAGE).c_str());
    MakeLinkFont();

    HWND list = GetDlgItem(dialog_, IDC_LIBRARIES);
    std::wstring libraries = ArchiverLibraryList();
    int end = GetWindowTextLengthW(list);
    SendMessageW(list, EM_SETSEL, end, end);
    SendMessageW(list, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(libraries.c_str()));
}

// The link shows the page's font underlined.
void VersionPage::MakeLinkFont() {
    LOGFONTW font = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog_, WM_GETFONT, 0, 0)), sizeof(font), &font);
    font.lfUnderline = TRUE;
    ScopedFont made(CreateFontIndirectW(&font));
    SendDlgItemMessageW(dialog_, IDC_HOME_LINK, WM_SETFONT, reinterpret_cast<WPARAM>(made.get()), TRUE);
    linkFont_ = std::move(made);
}

void VersionPage::OpenLink() {
    wchar_t address[256] = L"";
    if (GetDlgItemTextW(dialog_, IDC_HOME_LINK, address, 256) > 0)
        ShellExecuteW(dialog_, L"open", address, nullptr, nullptr, SW_SHOWNORMAL);
}

void VersionPage::OnPaint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(dialog_, &paint);
    RECT place = ProgramIconPlace(dialog_);
    int size = place.right - place.left;
    ScopedIcon icon(static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_ZORVEL), IMAGE_ICON, size, size, 0)));
    if (icon) DrawIconEx(dc, place.left, place.top, icon.get(), size, size, 0, nullptr, DI_NORMAL);
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
    case kDpiChangedAfterParent:
        MakeLinkFont();
        InvalidateRect(dialog_, nullptr, TRUE);
        return FALSE;
    case WM_CTLCOLORSTATIC: return OnColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_APP_OPTIONS_OK: linkFont_.reset(); return TRUE;
    case WM_NCDESTROY: linkFont_.reset(); return FALSE;
    default: return FALSE;
    }
}
