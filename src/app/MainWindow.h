// The main window: rebar and toolbar, the virtual list view of the file
// list, the status bar, menus and accelerators; command dispatch, the runs
// through its run controller, the pictures through its thumbnail strip;
// closing saves the settings.
//
// One object per window, made by the process entry (or a test) with the
// settings it edits; the window procedure finds it through GWLP_USERDATA and
// only dispatches. Its handlers are split by concern: creation, layout and
// closing here, commands in MainWindowCommands.cpp, the list view's
// notifications in MainWindowList.cpp, adding files in MainWindowAdding.cpp,
// the status texts in MainWindowStatus.cpp.
// Everything runs on the window's thread.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/BaseWindow.h"
#include "app/Fonts.h"
#include "app/ListColumns.h"
#include "app/ListViewSync.h"
#include "app/Menus.h"
#include "app/RunController.h"
#include "app/StatusBar.h"
#include "app/ThumbnailStrip.h"
#include "app/Toolbar.h"
#include "filelist/FileList.h"
#include "rename/RenameHistory.h"
#include "settings/Settings.h"

class MainWindow final : public BaseWindow<MainWindow> {
public:
    static const wchar_t kClassName[];
    static bool RegisterWindowClass(HINSTANCE instance);

    explicit MainWindow(Settings& settings);
    ~MainWindow();

    // Creates and shows the window at the placement kept in the settings;
    // false when it could not be made.
    bool Create(HINSTANCE instance, int showCommand);
    // The command line's files, added before the message loop runs.
    void AddStartPaths(const std::vector<std::wstring>& paths);
    HACCEL Accelerators() const { return menus_.Accelerators(); }

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // Sorts by column in the shared direction, keeping selection and focus;
    // refused while a run goes on.
    void SortRows(int column);

    // What the window shows, for whoever drives it (tests, benchmarks).
    FileList& Files() { return files_; }
    HWND ListView() const { return listView_; }
    HWND Header() const { return header_; }
    HWND StatusBarHandle() const { return status_.Handle(); }
    HWND ProgressBar() const { return status_.Progress(); }
    HWND ToolbarHandle() const { return toolbar_.Handle(); }
    const MainMenus& Menus() const { return menus_; }
    RunController& Runs() { return runs_; }
    ThumbnailStrip& Thumbnails() { return thumbnails_; }
    bool SizeInKB() const { return showSizeInKB_; }
    Settings& CurrentSettings() { return settings_; }

private:
    // Creation, layout and closing (MainWindow.cpp).
    LRESULT OnCreate();
    void CreateListView();
    void OnSize(int width, int height);
    // The window moved to a monitor of another DPI (or the DPI changed):
    // everything sized in pixels is made again for dpi, and the window takes
    // the rectangle the system suggests.
    void OnDpiChanged(int dpi, const RECT& suggested);
    // The type icons at the small-icon size of dpi_; put off while a run goes
    // on (an adding run adds icons meanwhile).
    void ApplyTypeIconSize();
    // The program's icons in the title bar and the task switcher for dpi_.
    void ApplyWindowIcons();
    void OnClose();
    bool ConfirmClose();
    void OnDestroy();
    LRESULT OnNotify(NMHDR* header);
    MenuState CurrentMenuState() const;
    // Saves the settings with the window's placement; when they cannot be
    // written, says so and where the program folder is, once per session.
    void SaveSettingsNow();
    static LRESULT CALLBACK ListViewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR self);
    static LRESULT CALLBACK HeaderProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR self);

    // The status texts that follow the list (MainWindowStatus.cpp).
    // Focus to the list, optionally the last row into view, the idle texts
    // and a redraw of all rows.
    void UpdateListStatus(bool scrollToEnd);
    // Status part 2: the number of selected rows, or the cancel hint while a run goes on.
    void UpdateSelectionCounter();
    // A text for part 0 that stays until the next command or run (otherwise
    // part 0 invites a drop).
    void ShowNotice(const std::wstring& text);
    // Part 0 as it stands between commands: the notice, or the drop
    // invitation (after a menu's help texts, for one).
    void ShowIdleNotice();
    // The rows whose proposal stands are looked at again for clashes after
    // the list changed (extraRow: a row just edited by hand).
    void LookAgainAtClashes(int extraRow = -1);

    // Commands (MainWindowCommands.cpp).
    void OnCommand(int id);
    bool StartEntryRun(int id);
    int RowCount() const;
    int FocusedRow() const;
    void OpenFiles();
    void OpenFolder();
    void InvertSelection();
    void ToggleAlwaysOnTop();
    bool ChooseViewer();
    void OpenInViewer();
    void CopyToClipboard(bool fullPath);
    void ShowProperties();
    void OpenHomePage();
    void EditFocusedName();
    void RemoveSelectedRows();
    void Recycle();
    void OpenOptions(int startPage);
    void ShowHistory();
    // Rows listed at a path an undo from the history moved back: as before their rename.
    void ApplyRestored(const std::vector<HistoryMove>& restored);

    // The list view's notifications (MainWindowList.cpp).
    LRESULT OnListNotify(NMHDR* header);
    bool OnHeaderNotify(NMHDR* header, LRESULT& result);
    void OnGetDispInfo(NMLVDISPINFOW* info);
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW* draw);
    void OnInfoTip(NMLVGETINFOTIPW* tip);
    int TypeAheadColumn() const;
    LRESULT OnFindItem(NMLVFINDITEMW* find);
    void ShowContextMenu(HMENU menu);

    // Adding files (MainWindowAdding.cpp).
    void StartFolderAdd(const wchar_t* folder, bool showCancelHint);
    void StartDropAdd(std::vector<std::wstring> paths);
    void OnDropFiles(HDROP drop);
    LRESULT OnCopyData(const COPYDATASTRUCT* data);
    // An add has ended: the list's texts (and what was passed over), then
    // the new rows' thumbnails.
    void OnFilesAdded(WPARAM firstRow, LPARAM passedOver);

    Settings& settings_;
    HWND listView_ = nullptr;
    HWND header_ = nullptr;
    StatusBar status_;
    Toolbar toolbar_;
    MainMenus menus_;
    ListFonts fonts_;
    ListColumns columns_;
    FileList files_;
    RunController runs_;
    ThumbnailStrip thumbnails_;
    ListViewSync sync_;

    int dpi_ = 96;
    bool typeIconsStale_ = false;
    ScopedIcon smallIcon_;
    ScopedIcon bigIcon_;
    bool showSizeInKB_ = true;
    bool alwaysOnTop_ = false;
    bool sortDescending_ = false;
    bool optionsOpen_ = false;
    bool resized_ = false;
    bool saveFailureShown_ = false;
    std::wstring notice_;
};
