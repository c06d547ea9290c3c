// The main list's pictures: the thumbnail image list with its rule "image i
// belongs to row i", the display size and the view that goes with it, the
// thumbnail runs, the icon spacing, and the display chosen at start.
//
// Before a run starts, the image list is grown to one image per row, the
// new images holding the placeholder; a run only ever replaces images. So a
// row the run never gets to (a run cancelled, a run that could not start)
// shows the empty square, and a later run can never give a row another
// row's picture. When rows are reordered or removed the pictures go with
// them; when only some rows have a picture, the pictures are dropped
// instead (none is better than another row's).
//
// The image list and the list view are touched on the window's thread only:
// a run hands each thumbnail over with a sent message (WM_APP_THUMBNAIL_READY).
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "base/ScopedWin.h"
#include "settings/Settings.h"

class FileList;
class RunController;
class StatusBar;

class ThumbnailStrip {
public:
    ThumbnailStrip(Settings& settings, FileList& files, RunController& runs, StatusBar& status)
        : settings_(settings), files_(files), runs_(runs), status_(status) {}
    ThumbnailStrip(const ThumbnailStrip&) = delete;
    ThumbnailStrip& operator=(const ThumbnailStrip&) = delete;

    // Makes the image list and gives it to the list view. refreshList: the
    // window's refresh of its list and status texts, after each run.
    void Create(HWND window, HWND listView, std::function<void()> refreshList);
    void Release();
    HIMAGELIST Images() const { return images_.get(); }

    // The display in force: 0 none, 1 small, 2 normal, 3 large.
    int Display() const { return display_; }
    // The edge length in pixels of display size 1..3 (settings), 0 for none.
    int Pixels(int size) const;

    // At creation: the display chosen by the setting Startup.
    void ApplyStartup();
    // At closing, before the settings are saved: "as at the last exit" takes
    // the display in force.
    void RememberAtExit();

    // The size commands (0..3): the size in force does nothing.
    void SetSize(int size);
    // The rebuild commands: every row, or the selected rows (all when none is).
    void Rebuild(bool selectedOnly);
    // Rows from firstRow on were added: their thumbnails, when thumbnails
    // are shown. False when no run started.
    bool StartForNewRows(int firstRow);
    // After the options dialog: a new edge length means new pictures, a new
    // spacing a new layout.
    void ApplyOptions(int pixelsBefore);

    // The icon spacing for the current size from SpacingX/SpacingY (-1: the
    // list view's default on that axis), and the icons laid out again.
    void SetSpacing();
    // When some rows have no thumbnail because the pictures' memory is
    // spent, says so in the status bar.
    void ShowLimit();

    // WM_APP_THUMBNAIL_READY: wParam the row, lParam its bitmap (a copy is kept).
    void OnReady(WPARAM row, LPARAM bitmap);

    // The rows were reordered, removed or all cleared.
    void FollowReorder(const std::vector<int>& order);
    void FollowRemoval(const std::vector<char>& removed);
    void Cleared();

private:
    int GrowImages(int rows, int pixels);
    bool StartRun(int startRow, std::vector<bool> only, UINT statusText);
    void ShowView();
    void Arrange();
    void Off();
    ScopedBitmap CopyImage(int index) const;
    bool PicturesFollowRows(int rows);

    Settings& settings_;
    FileList& files_;
    RunController& runs_;
    StatusBar& status_;
    HWND window_ = nullptr;
    HWND listView_ = nullptr;
    std::function<void()> refreshList_;
    ScopedImageList images_;
    int display_ = 0;
};
