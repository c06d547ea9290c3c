// What the file list tells whoever shows it. The list itself has no window
// and no pictures: the main window implements this to keep its list view,
// its type icons and its thumbnails in step, the command-line batch to
// report memory that ran out, and a test may leave it out altogether. Every
// call does nothing unless overridden.
//
// Calls come from the thread that changes the list: an adding worker for
// appends (and the type icons they bring), the window's thread for
// everything else. The list's lock is never held during a call.
#pragma once

#include <vector>

class FileListObserver {
public:
    // The list holds count rows now.
    virtual void CountChanged(int /*count*/) {}
    // Every row is about to be removed.
    virtual void RemovingAll() {}
    // The row that was at order[i] is now at i, for every i.
    virtual void RowsReordered(const std::vector<int>& /*order*/) {}
    // The rows i with removed[i] set are gone; the others kept their order.
    virtual void RowsRemoved(const std::vector<char>& /*removed*/) {}
    // Memory for another row could not be had; the row was not added.
    virtual void OutOfMemory() {}
    // Type k of the icon cache was added: the type of the file at path.
    // Called in type order, one call at a time.
    virtual void TypeAdded(int /*type*/, const wchar_t* /*path*/) {}
    // The type icons are about to be made again from the rows / have been.
    virtual void TypeIconsRebuilding() {}
    virtual void TypeIconsRebuilt() {}

protected:
    ~FileListObserver() = default;
};
