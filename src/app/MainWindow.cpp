#include "app/MainWindow.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

#include "app/Dpi.h"
#include "app/resource.h"
#include "app/Texts.h"
#include "app/Version.h"
#include "app/WindowSettings.h"
#include "base/Messages.h"
#include "base/ProgramFolder.h"
#include "settings/ConfigFile.h"

const wchar_t MainWindow::kClassName[] = L"ZorvelWindowClass";

namespace {

const int kListViewId = 101;

// The window's rectangle from the settings: the size, kept at 96 DPI, scaled
// to the DPI of the monitor the window lands on and no larger than its work
// area. A position off every monitor (one since unplugged, say), or one
// that the scaled size pushes past the work area, is moved into the work
// area of the nearest monitor.
RECT PlaceOfWindow(const Settings& s) {
    RECT stored = {s.Left, s.Top, s.Left + s.Width, s.Top + s.Height};
    int dpi = MonitorDpi(stored);
    LONG width = Scaled(s.Width, dpi), height = Scaled(s.Height, dpi);
    RECT place = {s.Left, s.Top, s.Left + width, s.Top + height};
    bool onSomeMonitor = MonitorFromRect(&stored, MONITOR_DEFAULTTONULL) != nullptr;
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    if (!GetMonitorInfoW(MonitorFromRect(&stored, MONITOR_DEFAULTTONEAREST), &monitor)) return place;
    const RECT& work = monitor.rcWork;
    width = std::min(width, work.right - work.left);
    height = std::min(height, work.bottom - work.top);
    LONG left = place.left, top = place.top;
    if (!onSomeMonitor || left + width > work.right) left = std::max(work.left, std::min(left, work.right - width));
    if (!onSomeMonitor || top + height > work.bottom) top = std::max(work.top, std::min(top, work.bottom - height));
    return {left, top, left + width, top + height};
}

} // namespace

MainWindow::MainWindow(Settings& settings)
    : settings_(settings),
      columns_(settings),
      runs_(status_),
      thumbnails_(settings, files_, runs_, status_),
      sync_(thumbnails_) {}

MainWindow::~MainWindow() {
    if (window_ != nullptr) DestroyWindow(window_);
    files_.Attach(nullptr);
}

bool MainWindow::RegisterWindowClass(HINSTANCE instance) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_ZORVEL));
    wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_ZORVEL), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool MainWindow::Create(HINSTANCE instance, int showCommand) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_COOL_CLASSES | ICC_BAR_CLASSES |
                                                           ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    const Settings& s = settings_;
    RECT place = PlaceOfWindow(s);
    HWND window = CreateWindowExW(0, kClassName, ZORVEL_TITLE_WTEXT, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, place.left,
                                  place.top, place.right - place.left, place.bottom - place.top, nullptr, nullptr,
                                  instance, this);
    if (window == nullptr) return false;
    ShowWindow(window, s.Maximized ? SW_SHOWMAXIMIZED : showCommand);
    RECT client;
    GetClientRect(window, &client);
    OnSize(client.right, client.bottom);
    UpdateWindow(window);
    UpdateListStatus(false);
    return true;
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: return OnCreate();
    case WM_SIZE: OnSize(LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_ENTERSIZEMOVE: resized_ = false; return 0;
    case WM_EXITSIZEMOVE:
        if (resized_) InvalidateRect(listView_, nullptr, TRUE);
        return 0;
    case WM_SETFOCUS: SetFocus(listView_); return 0;
    case WM_GETMINMAXINFO:
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {Scaled(400, dpi_), Scaled(250, dpi_)};
        return 0;
    case WM_DPICHANGED: OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam)); return 0;
    case WM_CLOSE: OnClose(); return 0;
    case WM_DESTROY: OnDestroy(); return 0;
    case WM_COPYDATA: return OnCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    case WM_NOTIFY: return OnNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_COMMAND: OnCommand(LOWORD(wParam)); return 0;
    case WM_INITMENU: menus_.OnInit(reinterpret_cast<HMENU>(wParam), CurrentMenuState()); return 0;
    case WM_MENUSELECT: menus_.OnSelect(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HMENU>(lParam), status_); return 0;
    case WM_EXITMENULOOP: ShowIdleNotice(); return 0;
    case WM_APP_FOLDER_ADDED: case WM_APP_DROP_ADDED: case WM_APP_BATCH_DONE: case WM_APP_UPDATE_DONE:
    case WM_APP_THUMBNAILS_DONE: case WM_APP_FILES_ADDED:
        runs_.OnCompletion(message, wParam, lParam);
        return 0;
    case WM_APP_IDLE: runs_.OnIdle(); return 0;
    case WM_APP_THUMBNAIL_READY: thumbnails_.OnReady(wParam, lParam); return 0;
    default: return DefWindowProcW(window_, message, wParam, lParam);
    }
}

// The list view takes dropped files itself. Its background erase is left to
// it: suppressed, the area below the last row keeps stale rows under Wine.
LRESULT CALLBACK MainWindow::ListViewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                          DWORD_PTR self) {
    auto* owner = reinterpret_cast<MainWindow*>(self);
    switch (message) {
    case WM_DROPFILES: owner->OnDropFiles(reinterpret_cast<HDROP>(wParam)); return 0;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        LRESULT result = 0;
        if (header->hwndFrom == owner->header_ && owner->OnHeaderNotify(header, result)) return result;
        break;
    }
    case WM_NCDESTROY: RemoveWindowSubclass(hwnd, ListViewProc, 1); break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

// A right click on the column header opens the column menu.
LRESULT CALLBACK MainWindow::HeaderProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                        DWORD_PTR self) {
    auto* owner = reinterpret_cast<MainWindow*>(self);
    switch (message) {
    case WM_CONTEXTMENU: owner->ShowContextMenu(owner->menus_.HeaderPopup()); return 0;
    case WM_NCDESTROY: RemoveWindowSubclass(hwnd, HeaderProc, 1); break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

void MainWindow::CreateListView() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    listView_ = CreateWindowExW(WS_EX_CLIENTEDGE | WS_EX_ACCEPTFILES, WC_LISTVIEWW, nullptr,
                                WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS |
                                    LVS_AUTOARRANGE,
                                0, 0, 0, 0, window_, reinterpret_cast<HMENU>(kListViewId), instance, nullptr);
    SendMessageW(listView_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP | LVS_EX_INFOTIP | LVS_EX_BORDERSELECT |
                     LVS_EX_DOUBLEBUFFER);
    header_ = reinterpret_cast<HWND>(SendMessageW(listView_, LVM_GETHEADER, 0, 0));
    SetWindowSubclass(listView_, ListViewProc, 1, reinterpret_cast<DWORD_PTR>(this));
    SetWindowSubclass(header_, HeaderProc, 1, reinterpret_cast<DWORD_PTR>(this));
    columns_.Create(listView_, header_, dpi_);
}

LRESULT MainWindow::OnCreate() {
    dpi_ = WindowDpi(window_);
    ApplyWindowIcons();
    toolbar_.Create(window_, dpi_);
    CreateListView();
    fonts_.Apply(settings_, listView_, header_, dpi_);
    const ItemDesign& base = settings_.Design[kDesignDefault];
    SendMessageW(listView_, LVM_SETBKCOLOR, 0, base.BackColor);
    SendMessageW(listView_, LVM_SETTEXTBKCOLOR, 0, base.BackColor);
    SendMessageW(listView_, LVM_SETOUTLINECOLOR, 0, base.OutlineColor);
    sync_.Create(window_, listView_, SmallIconSize(dpi_));
    thumbnails_.Create(window_, listView_, [this] { UpdateListStatus(false); });
    menus_.Load(window_);
    status_.Create(window_, dpi_);
    status_.SetText(0, LoadText(IDS_DROP_HERE));
    files_.Attach(&sync_);
    files_.SetOptions({true, settings_.AllowDuplicate});
    HWND window = window_;
    runs_.Bind(window_, {[window] { PostMessageW(window, WM_CLOSE, 0, 0); },
                         [this](std::vector<std::wstring> paths) { StartDropAdd(std::move(paths)); },
                         [this] { if (typeIconsStale_) ApplyTypeIconSize(); }});
    thumbnails_.ApplyStartup();
    DragAcceptFiles(listView_, TRUE);
    SetFocus(listView_);
    return 0;
}

void MainWindow::OnSize(int width, int height) {
    if (!IsWindowVisible(window_)) return;
    status_.Layout(width);
    SendMessageW(status_.Handle(), WM_SIZE, 0, MAKELPARAM(width, height));
    toolbar_.Layout(width, height);
    RECT status;
    GetWindowRect(status_.Handle(), &status);
    int barHeight = toolbar_.Height();
    int statusHeight = status.bottom - status.top;
    SetWindowPos(listView_, nullptr, 0, barHeight, width, height - barHeight - statusHeight, SWP_NOZORDER);
    resized_ = true;
}

void MainWindow::OnDpiChanged(int dpi, const RECT& suggested) {
    if (dpi <= 0) return;
    dpi_ = dpi;
    ApplyWindowIcons();
    toolbar_.Create(window_, dpi_);
    fonts_.Apply(settings_, listView_, header_, dpi_);
    columns_.SetDpi(dpi_);
    status_.SetDpi(dpi_);
    if (runs_.IsIdle()) ApplyTypeIconSize();
    else typeIconsStale_ = true;
    SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client;
    GetClientRect(window_, &client);
    OnSize(client.right, client.bottom);
    InvalidateRect(window_, nullptr, TRUE);
}

void MainWindow::ApplyTypeIconSize() {
    typeIconsStale_ = false;
    sync_.SetIconSize(SmallIconSize(dpi_));
    files_.RebuildTypeIcons();
}

void MainWindow::ApplyWindowIcons() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    int small = SmallIconSize(dpi_), big = Scaled(32, dpi_);
    smallIcon_.reset(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_ZORVEL), IMAGE_ICON, small, small, 0)));
    bigIcon_.reset(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_ZORVEL), IMAGE_ICON, big, big, 0)));
    SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
    SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
}

bool MainWindow::ConfirmClose() {
    if (!settings_.ConfirmExit || files_.Count() == 0) return true;
    RunController::ModalStep step(runs_);
    return MessageBoxW(window_, LoadText(IDS_CONFIRM_EXIT).c_str(), LoadText(IDS_CONFIRM_EXIT_CAPTION).c_str(),
                       MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void MainWindow::OnClose() {
    // A worker still uses the list: a close during a run cancels it, and the
    // close is taken up again once the run has ended (or the dialog on the
    // way has been answered).
    if (!runs_.IsIdle()) {
        runs_.DeferClose();
        return;
    }
    if (!ConfirmClose()) return;
    ShowWindow(window_, SW_HIDE);
    columns_.StoreOrder();
    thumbnails_.RememberAtExit();
    SaveSettingsNow();

    files_.Attach(nullptr);
    files_.Release();
    sync_.Release();
    thumbnails_.Release();
    menus_.Destroy(window_);
    DestroyWindow(window_); // children go with it; fonts and toolbar images after them
    toolbar_.Release();
    fonts_.Release();
}

void MainWindow::OnDestroy() {
    listView_ = header_ = nullptr;
    status_.Forget();
    PostQuitMessage(0);
}

LRESULT MainWindow::OnNotify(NMHDR* header) {
    LRESULT result = 0;
    if (toolbar_.OnNotify(window_, header, menus_, result)) return result;
    return OnListNotify(header);
}

void MainWindow::SaveSettingsNow() {
    if (SaveSettingsOfWindow(settings_, window_, dpi_) || ConfigFilePath()[0] == L'\0' || saveFailureShown_) return;
    saveFailureShown_ = true;
    RunController::ModalStep step(runs_);
    MessageBoxW(window_, FormatText(IDS_SETTINGS_NOT_SAVED, ProgramFolder()).c_str(), LoadText(IDS_APP_NAME).c_str(),
                MB_OK | MB_ICONWARNING);
}

MenuState MainWindow::CurrentMenuState() const {
    MenuState state = {thumbnails_.Display(), alwaysOnTop_, showSizeInKB_, {}};
    for (int i = 0; i < kColumnCount; ++i) state.columnShown[i] = columns_.Shown(i);
    return state;
}
