#include "app/Toolbar.h"

#include <string>

#include <commctrl.h>

#include "app/Commands.h"
#include "app/MainUi.h"
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
    {kTbOpen, IDI_TB_OPEN, IDS_TB_OPEN, IDS_TIP_OPEN, kCmdOpenFile},
    {kTbFolder, IDI_TB_FOLDER, IDS_TB_FOLDER, IDS_TIP_FOLDER, kCmdOpenFolder},
    {kTbRenameAll, IDI_TB_RENAME_ALL, IDS_TB_RENAME_ALL, IDS_TIP_RENAME_ALL, kCmdRenameAll},
    {kTbRename, IDI_TB_RENAME, IDS_TB_RENAME, IDS_TIP_RENAME, kCmdRenameSelected},
    {kTbDerive, IDI_TB_DERIVE, IDS_TB_DERIVE, IDS_TIP_DERIVE, 0},
    {kTbUndo, IDI_TB_UNDO, IDS_TB_UNDO, IDS_TIP_UNDO, 0},
    {kTbThumbnail, IDI_TB_THUMBNAIL, IDS_TB_THUMBNAIL, IDS_TIP_THUMBNAIL, 0},
    {kTbClear, IDI_TB_CLEAR, IDS_TB_CLEAR, IDS_TIP_CLEAR, kCmdClear},
    {kTbOptions, IDI_TB_OPTIONS, IDS_TB_OPTIONS, IDS_TIP_OPTIONS, kCmdOptions},
    {kTbExit, IDI_TB_EXIT, IDS_TB_EXIT, IDS_TIP_EXIT, kCmdExit},
};

// Where separators go: before these buttons, and at the very start.
bool SeparatorBefore(int id) {
    return id == kTbOpen || id == kTbRenameAll || id == kTbThumbnail || id == kTbClear || id == kTbOptions ||
           id == kTbExit;
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

HMENU DropDownMenu(int buttonId) {
    switch (buttonId) {
    case kTbDerive: return g_ui.popupDerive;
    case kTbUndo: return g_ui.popupUndo;
    case kTbThumbnail: return g_ui.popupThumbnail;
    default: return nullptr;
    }
}

} // namespace

int CommandOfButton(int buttonId) {
    for (const ToolbarButton& b : kButtons)
        if (b.id == buttonId) return b.command;
    return 0;
}

void CreateRebarAndToolbar(HWND window) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    g_ui.rebar = CreateWindowExW(WS_EX_TOOLWINDOW, REBARCLASSNAMEW, nullptr,
                                 WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_BORDER | RBS_AUTOSIZE |
                                     RBS_BANDBORDERS | RBS_VARHEIGHT | CCS_NODIVIDER,
                                 0, 0, 0, 0, window, nullptr, instance, nullptr);
    REBARINFO bar = {sizeof(bar), 0, nullptr};
    SendMessageW(g_ui.rebar, RB_SETBARINFO, 0, reinterpret_cast<LPARAM>(&bar));

    g_ui.toolbar = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                                   WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER |
                                       CCS_NOPARENTALIGN | CCS_NORESIZE,
                                   0, 0, 0, 40, g_ui.rebar, reinterpret_cast<HMENU>(kToolbarId), instance, nullptr);
    SendMessageW(g_ui.toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(g_ui.toolbar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);

    g_ui.toolbarImages.reset(ImageList_Create(32, 32, ILC_COLOR32 | ILC_MASK, 10, 0));
    ImageList_SetBkColor(g_ui.toolbarImages.get(), GetSysColor(COLOR_BTNFACE));
    SendMessageW(g_ui.toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(g_ui.toolbarImages.get()));

    TBBUTTON buttons[16] = {};
    int n = 0;
    for (const ToolbarButton& button : kButtons) {
        if (SeparatorBefore(button.id)) buttons[n++].fsStyle = BTNS_SEP;
        ScopedIcon icon(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(button.icon), IMAGE_ICON, 32, 32, 0)));
        int image = icon ? ImageList_AddIcon(g_ui.toolbarImages.get(), icon.get()) : I_IMAGENONE;
        wchar_t text[64] = L"";
        LoadStringW(instance, button.text, text, 64);
        TBBUTTON& b = buttons[n++];
        b.iBitmap = image;
        b.idCommand = button.id;
        b.fsState = TBSTATE_ENABLED;
        b.fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE | (button.command == 0 ? BTNS_WHOLEDROPDOWN : 0);
        std::wstring label = std::wstring(text) + L'\0'; // the list of labels ends in two terminators
        b.iString = static_cast<INT_PTR>(
            SendMessageW(g_ui.toolbar, TB_ADDSTRINGW, 0, reinterpret_cast<LPARAM>(label.c_str())));
    }
    SendMessageW(g_ui.toolbar, TB_ADDBUTTONSW, n, reinterpret_cast<LPARAM>(buttons));

    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    g_ui.toolbarFont.reset(CreateFontIndirectW(&metrics.lfMessageFont));
    SendMessageW(g_ui.toolbar, WM_SETFONT, reinterpret_cast<WPARAM>(g_ui.toolbarFont.get()), TRUE);
    SendMessageW(g_ui.toolbar, TB_AUTOSIZE, 0, 0);
    HWND tips = reinterpret_cast<HWND>(SendMessageW(g_ui.toolbar, TB_GETTOOLTIPS, 0, 0));
    if (tips) SendMessageW(tips, TTM_SETMAXTIPWIDTH, 0, 600); // the two-line tooltips
    SetWindowSubclass(g_ui.toolbar, ToolbarProc, 1, 0);

    DWORD size = static_cast<DWORD>(SendMessageW(g_ui.toolbar, TB_GETBUTTONSIZE, 0, 0));
    SIZE ideal = {};
    SendMessageW(g_ui.toolbar, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&ideal));
    REBARBANDINFOW band = {};
    band.cbSize = sizeof(band);
    band.fMask = RBBIM_STYLE | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_ID | RBBIM_SIZE;
    band.fStyle = RBBS_NOGRIPPER | RBBS_CHILDEDGE;
    band.hwndChild = g_ui.toolbar;
    band.cxMinChild = 0;
    band.cyMinChild = HIWORD(size);
    band.cx = ideal.cx;
    band.wID = kToolbarId;
    SendMessageW(g_ui.rebar, RB_INSERTBANDW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band));
}

bool OnToolbarNotify(HWND window, NMHDR* header, LRESULT& result) {
    if (header->code == TBN_DROPDOWN && header->hwndFrom == g_ui.toolbar) {
        auto* drop = reinterpret_cast<NMTOOLBARW*>(header);
        HMENU menu = DropDownMenu(drop->iItem);
        if (menu == nullptr) return false;
        RECT button;
        SendMessageW(g_ui.toolbar, TB_GETRECT, drop->iItem, reinterpret_cast<LPARAM>(&button));
        MapWindowPoints(g_ui.toolbar, nullptr, reinterpret_cast<POINT*>(&button), 2);
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
