#include "app/Toolbar.h"

#include <commctrl.h>

#include <string>

#include "app/Dpi.h"
#include "app/Menus.h"
#include "app/resource.h"

namespace {

struct ToolbarButton {
    int id;
    int icon;     // icon resource
    int text;     // string id of the label
    int tooltip;  // string id of the tooltip
    int command;  // 0: opens a drop-down menu instead
};

const ToolbarButton kButtons[] = {
    {IDB_TB_OPEN, IDI_TB_OPEN, IDS_TB_OPEN, IDS_TIP_OPEN, ID_FILE_OPEN},
    {IDB_TB_FOLDER, IDI_TB_FOLDER, IDS_TB_FOLDER, IDS_TIP_FOLDER, ID_FILE_OPEN_FOLDER},
    {IDB_TB_RENAME_ALL, IDI_TB_RENAME_ALL, IDS_TB_RENAME_ALL, IDS_TIP_RENAME_ALL, ID_RENAME_ALL},
    {IDB_TB_RENAME, IDI_TB_RENAME, IDS_TB_RENAME, IDS_TIP_RENAME, ID_RENAME_SELECTED},
    {IDB_TB_DERIVE, IDI_TB_DERIVE, IDS_TB_DERIVE, IDS_TIP_DERIVE, 0},
    {IDB_TB_UNDO, IDI_TB_UNDO, IDS_TB_UNDO, IDS_TIP_UNDO, 0},
    {IDB_TB_THUMBNAIL, IDI_TB_THUMBNAIL, IDS_TB_THUMBNAIL, IDS_TIP_THUMBNAIL, 0},
    {IDB_TB_CLEAR, IDI_TB_CLEAR, IDS_TB_CLEAR, IDS_TIP_CLEAR, ID_EDIT_CLEAR},
    {IDB_TB_OPTIONS, IDI_TB_OPTIONS, IDS_TB_OPTIONS, IDS_TIP_OPTIONS, ID_TOOLS_OPTIONS},
    {IDB_TB_EXIT, IDI_TB_EXIT, IDS_TB_EXIT, IDS_TIP_EXIT, ID_FILE_EXIT},
};

// Where separators go: before these buttons, and at the very start.
bool SeparatorBefore(int id) {
    return id == IDB_TB_OPEN || id == IDB_TB_RENAME_ALL || id == IDB_TB_THUMBNAIL || id == IDB_TB_CLEAR ||
           id == IDB_TB_OPTIONS || id == IDB_TB_EXIT;
}

// No button reacts to the right mouse button.
LRESULT CALLBACK ToolbarProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_RBUTTONDOWN || message == WM_RBUTTONUP || message == WM_RBUTTONDBLCLK) {
        if (GetCapture() == hwnd) ReleaseCapture();
        return 0;
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(hwnd, ToolbarProc, 1);
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

HMENU DropDownMenu(int buttonId, const MainMenus& menus) {
    switch (buttonId) {
    case IDB_TB_DERIVE: return menus.DerivePopup();
    case IDB_TB_UNDO: return menus.UndoPopup();
    case IDB_TB_THUMBNAIL: return menus.ThumbnailPopup();
    default: return nullptr;
    }
}

const int kToolbarId = 102;

} // namespace

int Toolbar::CommandOfButton(int buttonId) {
    for (const ToolbarButton& b : kButtons)
        if (b.id == buttonId) return b.command;
    return 0;
}

void Toolbar::Create(HWND window, int dpi) {
    if (rebar_ != nullptr) DestroyWindow(rebar_); // the toolbar goes with it
    HINSTANCE instance = GetModuleHandleW(nullptr);
    rebar_ = CreateWindowExW(WS_EX_TOOLWINDOW, REBARCLASSNAMEW, nullptr,
                                 WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_BORDER | RBS_AUTOSIZE |
                                     RBS_BANDBORDERS | RBS_VARHEIGHT | CCS_NODIVIDER,
                                 0, 0, 0, 0, window, nullptr, instance, nullptr);
    REBARINFO bar = {sizeof(bar), 0, nullptr};
    SendMessageW(rebar_, RB_SETBARINFO, 0, reinterpret_cast<LPARAM>(&bar));

    toolbar_ = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                                   WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER |
                                       CCS_NOPARENTALIGN | CCS_NORESIZE,
                                   0, 0, 0, Scaled(40, dpi), rebar_, reinterpret_cast<HMENU>(kToolbarId), instance, nullptr);
    SendMessageW(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(toolbar_, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);

    // The icon files hold 16 to 64 pixels: 40, 48 and 64 are drawn, not stretched.
    const int imageSize = Scaled(32, dpi);
    images_.reset(ImageList_Create(imageSize, imageSize, ILC_COLOR32 | ILC_MASK, 10, 0));
    ImageList_SetBkColor(images_.get(), GetSysColor(COLOR_BTNFACE));
    SendMessageW(toolbar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_.get()));

    TBBUTTON buttons[16] = {};
    int n = 0;
    for (const ToolbarButton& button : kButtons) {
        if (SeparatorBefore(button.id)) buttons[n++].fsStyle = BTNS_SEP;
        ScopedIcon icon(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(button.icon), IMAGE_ICON, imageSize, imageSize, 0)));
        int image = icon ? ImageList_AddIcon(images_.get(), icon.get()) : I_IMAGENONE;
        wchar_t text[64] = L"";
        LoadStringW(instance, button.text, text, 64);
        TBBUTTON& b = buttons[n++];
        b.iBitmap = image;
        b.idCommand = button.id;
        b.fsState = TBSTATE_ENABLED;
        b.fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE | (button.command == 0 ? BTNS_WHOLEDROPDOWN : 0);
        std::wstring label = std::wstring(text) + L'\0'; // the list of labels ends in two terminators
        b.iString = static_cast<INT_PTR>(
            SendMessageW(toolbar_, TB_ADDSTRINGW, 0, reinterpret_cast<LPARAM>(label.c_str())));
    }
    SendMessageW(toolbar_, TB_ADDBUTTONSW, n, reinterpret_cast<LPARAM>(buttons));

    LOGFONTW message = MessageFontFor(dpi);
    font_.reset(CreateFontIndirectW(&message));
    SendMessageW(toolbar_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
    SendMessageW(toolbar_, TB_AUTOSIZE, 0, 0);
    HWND tips = reinterpret_cast<HWND>(SendMessageW(toolbar_, TB_GETTOOLTIPS, 0, 0));
    if (tips) SendMessageW(tips, TTM_SETMAXTIPWIDTH, 0, Scaled(600, dpi)); // the two-line tooltips
    SetWindowSubclass(toolbar_, ToolbarProc, 1, 0);

    DWORD size = static_cast<DWORD>(SendMessageW(toolbar_, TB_GETBUTTONSIZE, 0, 0));
    SIZE ideal = {};
    SendMessageW(toolbar_, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&ideal));
    REBARBANDINFOW band = {};
    band.cbSize = sizeof(band);
    band.fMask = RBBIM_STYLE | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_ID | RBBIM_SIZE;
    band.fStyle = RBBS_NOGRIPPER | RBBS_CHILDEDGE;
    band.hwndChild = toolbar_;
    band.cxMinChild = 0;
    band.cyMinChild = HIWORD(size);
    band.cx = ideal.cx;
    band.wID = kToolbarId;
    SendMessageW(rebar_, RB_INSERTBANDW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band));
}

bool Toolbar::OnNotify(HWND window, NMHDR* header, const MainMenus& menus, LRESULT& result) {
    if (header->code == TBN_DROPDOWN && header->hwndFrom == toolbar_) {
        auto* drop = reinterpret_cast<NMTOOLBARW*>(header);
        HMENU menu = DropDownMenu(drop->iItem, menus);
        if (menu == nullptr) return false;
        RECT button;
        SendMessageW(toolbar_, TB_GETRECT, drop->iItem, reinterpret_cast<LPARAM>(&button));
        MapWindowPoints(toolbar_, nullptr, reinterpret_cast<POINT*>(&button), 2);
        TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_LEFTBUTTON, button.left, button.bottom, 0, window, nullptr);
        result = TBDDRET_DEFAULT;
        return true;
    }
    if (header->code == TTN_GETDISPINFOW) {
        auto* tip = reinterpret_cast<NMTTDISPINFOW*>(header);
        for (const ToolbarButton& button : kButtons) {
            if (static_cast<int>(tip->hdr.idFrom) != button.id) continue;
            tip->hinst = GetModuleHandleW(nullptr);
            tip->lpszText = MAKEINTRESOURCEW(button.tooltip);
            result = 0;
            return true;
        }
    }
    return false;
}

void Toolbar::Layout(int width, int height) {
    SendMessageW(rebar_, WM_SIZE, 0, MAKELPARAM(width + 10, height));
}

int Toolbar::Height() const {
    return static_cast<int>(SendMessageW(rebar_, RB_GETBARHEIGHT, 0, 0));
}

void Toolbar::Release() {
    rebar_ = toolbar_ = nullptr;
    images_.reset();
    font_.reset();
}
