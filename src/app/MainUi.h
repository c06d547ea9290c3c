// The main window's state: its child windows, menus, fonts, image lists and
// view flags. Owned and touched by the user-interface thread only.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/PostedEvents.h"
#include "base/Messages.h"
#include "base/Run.h"
#include "base/ScopedWin.h"
#include "settings/Settings.h"

const int kListViewId = 101;
const int kToolbarId = 102;


// One list column: its identity, menu item and width setting.
struct ColumnSlot {
    int index;
    int menuId;
    bool shown;
    int rememberedWidth; // the width before the column was last hidden
    int defaultWidth;    // used when it comes back without a remembered width
};

struct MainUi {
    HWND window = nullptr;
    HWND listView = nullptr;
    HWND header = nullptr;
    HWND statusBar = nullptr;
    HWND rebar = nullptr;
    HWND toolbar = nullptr;
    HWND progressBar = nullptr;

    HMENU mainMenu = nullptr;
    HMENU loadedMenus[6] = {};  // the pop-up resources, destroyed at closing
    HMENU popupList = nullptr;  // list background
    HMENU popupItem = nullptr;  // list row
    HMENU popupThumbnail = nullptr;
    HMENU popupHeader = nullptr;
    HMENU popupDerive = nullptr;
    HMENU popupUndo = nullptr;
    HACCEL accelerators = nullptr;

    ScopedFont toolbarFont;
    ScopedFont listFont;
    ScopedFont headerFont;
    ScopedFont designFonts[kDesignCount];
    ScopedImageList toolbarImages;
    ScopedImageList iconImages;
    ScopedImageList thumbnailImages;

    ColumnSlot columns[kColumnCount] = {};

    bool showSizeInKB = true;
    bool alwaysOnTop = false;
    bool sortDescending = false;
    int sortColumn = -1; // the column with the sort arrow
    bool optionsOpen = false;
    bool resized = false;

    Run run;                             // the worker of the run in progress
    bool busy = false;                   // a run on this thread (adding chosen files, removing, recycling)
                                         // until its completion is handled
    PostedEvents runEvents{0, nullptr};  // what that worker reports, as messages
    std::vector<std::wstring> deferred;  // drops and hand-overs waiting until the window is idle
    int modalSteps = 0;                  // dialogs and questions on the way (see WindowIdle.h)
    bool closePending = false;           // a close that waits for the run to stop
};

extern MainUi g_ui;
