// The main window's list view kept in step with the file list: the list
// tells, this shows. The row count, the type icons (icon k of its image
// list is type k's) and, through the thumbnail strip, the pictures. Memory
// that ran out while adding is said, and the window closed.
#pragma once

#include <windows.h>

#include "base/ScopedWin.h"
#include "filelist/FileListObserver.h"

class ThumbnailStrip;

class ListViewSync final : public FileListObserver {
public:
    explicit ListViewSync(ThumbnailStrip& thumbnails) : thumbnails_(thumbnails) {}

    // Makes the type icons' image list, icons of iconSize pixels, and gives
    // it to the list view.
    void Create(HWND window, HWND listView, int iconSize);
    // An empty image list of icons of iconSize pixels; the file list's
    // RebuildTypeIcons fills it again.
    void SetIconSize(int iconSize);
    void Release();

    // Sent, not posted: the view never shows a count the list does not have.
    void CountChanged(int count) override;
    void RemovingAll() override;
    void RowsReordered(const std::vector<int>& order) override;
    void RowsRemoved(const std::vector<char>& removed) override;
    // Says so, then closes the window (a close during a run waits for it).
    void OutOfMemory() override;
    // A type without an icon gets a stand-in rather than no image.
    void TypeAdded(int type, const wchar_t* path) override;
    void TypeIconsRebuilding() override;
    void TypeIconsRebuilt() override;

private:
    ThumbnailStrip& thumbnails_;
    HWND window_ = nullptr;
    HWND listView_ = nullptr;
    ScopedImageList icons_;
    int iconSize_ = 16;
};

// The message box for memory that could not be had.
void ShowOutOfMemory(HWND owner);
