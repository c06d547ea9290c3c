// What the file list tells whoever shows it. The list itself has no window:
// the main window implements this to keep its list view in step, the
// command-line batch to report memory that ran out, and a test may leave it
// out altogether.
//
// Calls come from the thread that changes the list: an adding worker for
// appends, the window's thread for everything else.
#pragma once

class FileListObserver {
public:
    // The list holds count rows now.
    virtual void CountChanged(int count) = 0;
    // Every row is about to be removed.
    virtual void RemovingAll() = 0;
    // Memory for another row could not be had; the row was not added.
    virtual void OutOfMemory() = 0;
    // The type icons were made again from the rows.
    virtual void TypeIconsRebuilt() = 0;

protected:
    ~FileListObserver() = default;
};
