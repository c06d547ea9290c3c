#include "app/MainWindow.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

#include "app/AddRuns.h"
#include "app/Commands.h"
#include "app/Fonts.h"
#include "app/ListColumns.h"
#include "app/ListNotify.h"
#include "app/ListViewSync.h"
#include "app/MainUi.h"
#include "app/Menus.h"
#include "app/ProgramSettings.h"
#include "app/resource.h"
#include "app/StatusBar.h"
#include "app/Texts.h"
#include "app/Thumbnails.h"
#include "app/Toolbar.h"
#include "app/Version.h"
#include "app/WindowIdle.h"
#include "filelist/FileList.h"
#include "settings/ConfigFile.h"

const wchar_t kMainWindowClass[] = L"ZorvelWindowClass";
MainUi g_ui;

namespace {

const wchar_t kTitle[] = ZORVEL_TITLE_WTEXT;

// The list view takes dropped files itself. Its background erase is left to
// it: suppressed, the area below the last row keeps stale rows under Wine.
LRESULT CALLBACK ListViewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    switch (message) {
    case WM_DROPFILES: OnDropFiles(reinterpret_cast<HDROP>(wParam)); return 0;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        LRESULT result = 0;
        if (header->hwndFrom == g_ui.header && OnHeaderNotify(header, result)) return result;
        break;
    }
    case WM_NCDESTROY: RemoveWindowSubclass(hwnd, ListViewProc, 1); break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

// A right click on the column header opens the column menu.
LRESULT CALLBACK HeaderProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    switch (message) {
    case WM_CONTEXTMENU: ShowHeaderMenu(g_ui.window); return 0;
    case WM_NCDESTROY: RemoveWindowSubclass(hwnd, HeaderProc, 1); break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

void CreateListView(HWND window) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    g_ui.listView = CreateWindowExW(WS_EX_CLIENTEDGE | WS_EX_ACCEPTFILES, WC_LISTVIEWW, nullptr,
                                    WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_OWNERDATA |
                                        LVS_SHOWSELALWAYS | LVS_AUTOARRANGE,
                                    0, 0, 0, 0, window, reinterpret_cast<HMENU>(kListViewId), instance, nullptr);
    SendMessageW(g_ui.listView, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP | LVS_EX_INFOTIP | LVS_EX_BORDERSELECT |
                     LVS_EX_DOUBLEBUFFER);
    g_ui.header = reinterpret_cast<HWND>(SendMessageW(g_ui.listView, LVM_GETHEADER, 0, 0));
    SetWindowSubclass(g_ui.listView, ListViewProc, 1, 0);
    SetWindowSubclass(g_ui.header, HeaderProc, 1, 0);
    CreateListColumns();
}

void CreateImageLists() {
    g_ui.iconImages.reset(ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 8, 8));
    ImageList_SetBkColor(g_ui.iconImages.get(), CLR_NONE);
    SendMessageW(g_ui.listView, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(g_ui.iconImages.get()));
    int size = g_settings.NormalSize;
    g_ui.thumbnailImages.reset(ImageList_Create(size, size, ILC_COLOR32, 8, 8));
    ImageList_SetBkColor(g_ui.thumbnailImages.get(), CLR_NONE);
    SendMessageW(g_ui.listView, LVM_SETIMAGELIST, LVSIL_NORMAL,
                 reinterpret_cast<LPARAM>(g_ui.thumbnailImages.get()));
}

LRESULT OnCreate(HWND window) {
    g_ui.window = window;
    CreateRebarAndToolbar(window);
    CreateListView(window);
    ApplyFonts();
    const ItemDesign& base = g_settings.Design[kDesignDefault];
    SendMessageW(g_ui.listView, LVM_SETBKCOLOR, 0, base.BackColor);
    SendMessageW(g_ui.listView, LVM_SETTEXTBKCOLOR, 0, base.BackColor);
    SendMessageW(g_ui.listView, LVM_SETOUTLINECOLOR, 0, base.OutlineColor);
    CreateImageLists();
    LoadMenus(window);
    CreateStatusBar(window);
    static ListViewSync viewSync;
    Files().Attach(&viewSync);
    Files().SetOptions({true, g_settings.AllowDuplicate});
    ApplyStartupThumbnails();
    DragAcceptFiles(g_ui.listView, TRUE);
    SetFocus(g_ui.listView);
    return 0;
}

void OnSize(HWND window, int width, int height) {
    if (!IsWindowVisible(window)) return;
    LayoutStatusBar(width);
    SendMessageW(g_ui.statusBar, WM_SIZE, 0, MAKELPARAM(width, height));
    SendMessageW(g_ui.rebar, WM_SIZE, 0, MAKELPARAM(width + 10, height));
    RECT status;
    GetWindowRect(g_ui.statusBar, &status);
    int barHeight = static_cast<int>(SendMessageW(g_ui.rebar, RB_GETBARHEIGHT, 0, 0));
    int statusHeight = status.bottom - status.top;
    SetWindowPos(g_ui.listView, nullptr, 0, barHeight, width, height - barHeight - statusHeight, SWP_NOZORDER);
    g_ui.resized = true;
}

// A saved position off every monitor (one since unplugged, say) is moved
// into the work area of the nearest one; the size stays.
RECT OnSomeMonitor(RECT place) {
    if (MonitorFromRect(&place, MONITOR_DEFAULTTONULL) != nullptr) return place;
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    if (!GetMonitorInfoW(MonitorFromRect(&place, MONITOR_DEFAULTTONEAREST), &monitor)) return place;
    const RECT& work = monitor.rcWork;
    LONG width = place.right - place.left, height = place.bottom - place.top;
    LONG left = std::max(work.left, std::min(place.left, work.right - width));
    LONG top = std::max(work.top, std::min(place.top, work.bottom - height));
    return {left, top, left + width, top + height};
}

bool ConfirmClose(HWND window) {
    if (!g_settings.ConfirmExit || Files().Count() == 0) return true;
    ModalStep step;
    return MessageBoxW(window, LoadText(IDS_CONFIRM_EXIT).c_str(), LoadText(IDS_CONFIRM_EXIT_CAPTION).c_str(),
                       MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void OnClose(HWND window) {
    // A worker still uses the list: a close during a run cancels it, and the
    // close is taken up again once the run has ended (or the dialog on the
    // way has been answered).
    if (!WindowIsIdle()) {
        g_ui.closePending = true;
        CancelRun();
        return;
    }
    if (!ConfirmClose(window)) return;
    ShowWindow(window, SW_HIDE);
    StoreColumnOrder();
    RememberThumbnailsAtExit();
    SaveProgramSettings(window);

    Files().Attach(nullptr);
    Files().Release();
    SendMessageW(g_ui.listView, LVM_SETIMAGELIST, LVSIL_SMALL, 0);
    SendMessageW(g_ui.listView, LVM_SETIMAGELIST, LVSIL_NORMAL, 0);
    g_ui.iconImages.reset();
    g_ui.thumbnailImages.reset();
    DestroyMenus();
    DestroyWindow(window); // children go with it; fonts and toolbar images after them
    g_ui.toolbarImages.reset();
    g_ui.toolbarFont.reset();
    g_ui.listFont.reset();
    g_ui.headerFont.reset();
    for (ScopedFont& font : g_ui.designFonts) font.reset();
}

void OnDestroy() {
    g_ui.window = nullptr;
    g_ui.listView = g_ui.header = g_ui.statusBar = g_ui.rebar = g_ui.toolbar = g_ui.progressBar = nullptr;
    PostQuitMessage(0);
}

LRESULT OnNotify(HWND window, NMHDR* header) {
    LRESULT result = 0;
    if (OnToolbarNotify(window, header, result)) return result;
    return OnListNotify(window, header);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: return OnCreate(window);
    case WM_SIZE: OnSize(window, LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_ENTERSIZEMOVE: g_ui.resized = false; return 0;
    case WM_EXITSIZEMOVE:
        if (g_ui.resized) InvalidateRect(g_ui.listView, nullptr, TRUE);
        return 0;
    case WM_SETFOCUS: SetFocus(g_ui.listView); return 0;
    case WM_GETMINMAXINFO:
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {400, 250};
        return 0;
    case WM_CLOSE: OnClose(window); return 0;
    case WM_DESTROY: OnDestroy(); return 0;
    case WM_COPYDATA: return OnCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    case WM_NOTIFY: return OnNotify(window, reinterpret_cast<NMHDR*>(lParam));
    case WM_COMMAND: OnCommand(window, LOWORD(wParam)); return 0;
    case WM_INITMENU: OnInitMenu(reinterpret_cast<HMENU>(wParam)); return 0;
    case WM_MENUSELECT: OnMenuSelect(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HMENU>(lParam)); return 0;
    case WM_APP_FOLDER_ADDED: case WM_APP_DROP_ADDED: case WM_APP_BATCH_DONE: case WM_APP_UPDATE_DONE:
    case WM_APP_THUMBNAILS_DONE: case WM_APP_FILES_ADDED:
        OnRunMessage(message, wParam, lParam);
        return 0;
    case WM_APP_IDLE: OnWindowIdle(); return 0;
    case WM_APP_THUMBNAIL_READY: OnThumbnailReady(wParam, lParam); return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

bool RegisterMainWindowClass(HINSTANCE instance) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = MainWindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_ZORVEL));
    wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_ZORVEL), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kMainWindowClass;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CreateMainWindow(HINSTANCE instance, int showCommand) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_COOL_CLASSES | ICC_BAR_CLASSES |
                                                           ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    const Settings& s = g_settings;
    RECT place = OnSomeMonitor({s.Left, s.Top, s.Left + s.Width, s.Top + s.Height});
    HWND window = CreateWindowExW(0, kMainWindowClass, kTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, place.left,
                                  place.top, s.Width, s.Height, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return nullptr;
    ShowWindow(window, s.Maximized ? SW_SHOWMAXIMIZED : showCommand);
    RECT client;
    GetClientRect(window, &client);
    OnSize(window, client.right, client.bottom);
    UpdateWindow(window);
    UpdateListStatus(false);
    return window;
}

HACCEL MainAccelerators() {
    return g_ui.accelerators;
}
