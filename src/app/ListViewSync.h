// The main window's list view kept in step with the file list: the list
// tells, this shows. Also the out-of-memory message of adding, whose answer
// is to close the window.
#pragma once

#include <windows.h>

#include "filelist/FileListObserver.h"

class ListViewSync final : public FileListObserver {
public:
    // Sent, not posted: the view never shows a count the list does not have.
    void CountChanged(int count) override;
    void RemovingAll() override;
    void RowsReordered(const std::vector<int>& order) override;
    void RowsRemoved(const std::vector<char>& removed) override;
    // Says so, then closes the window (a close during a run waits for it).
    void OutOfMemory() override;
    // Icon k of the small image list is type k's; a type without an icon
    // gets a stand-in rather than no image.
    void TypeAdded(int type, const wchar_t* path) override;
    void TypeIconsRebuilding() override;
    void TypeIconsRebuilt() override;
};

// The message box for memory that could not be had.
void ShowOutOfMemory(HWND owner);
