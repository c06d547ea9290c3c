// The list of collected archive files: row i of the main list view shows
// record i. The list view is virtual and asks for every cell, so this store
// is the single source of truth.
//
// Threads. One thread at a time changes the list's shape (appends, removes,
// sorts): the user-interface thread, or the one adding run, during which the
// window refuses every command that touches the list. Appends may move the array,
// so the display path reads records through CopyEntry, which takes the
// list's lock; shape changes take it exclusively. Workers that change an
// entry (deriving, renaming, undoing) work on a copy and put it back with
// StoreEntry, under the exclusive lock, so the display never copies a
// half-written name. At() is for the thread that owns the list's shape while
// no worker runs.
//
// fullPath is the entry's identity and is indexed for the duplicate check, so
// it changes only through SetFullPath.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "filelist/FailureReason.h"
#include "filelist/FileEntry.h"
#include "filelist/FileListObserver.h"

struct FileListOptions {
    // Display name, type name and type icon from the shell; without them
    // (the command-line batch) an entry holds its path and time only.
    bool shellDetails = true;
    // The same path may be listed more than once (always, without shell details).
    bool allowDuplicate = false;
};

class FileList {
public:
    FileList() = default;
    ~FileList();
    FileList(const FileList&) = delete;
    FileList& operator=(const FileList&) = delete;

    // Who is told about changes; may be null (tests).
    void Attach(FileListObserver* observer);
    // How files are added; set when the list is set up (and again when the
    // user changes the duplicate setting).
    void SetOptions(const FileListOptions& options) { options_ = options; }

    // Adds the file at path. False when it does not exist, does not fit the
    // record, or is already listed (unless duplicates are allowed).
    bool AddFileEntry(const wchar_t* path);
    // The same for a file a folder walk has just found: its directory entry
    // is not looked up again.
    bool AddFoundFile(const wchar_t* path, const WIN32_FIND_DATAW& found);

    // Appends a copy of entry. False (and the list unchanged) when memory ran out.
    bool AppendEntry(const FileEntry& entry);

    // Removes every row i with remove[i] set in one pass over the array; the
    // rest keep their order. The observer is told which went and the new
    // count; a view's selection is the caller's to restore.
    void RemoveRows(const std::vector<char>& remove);
    // Removes every row at once; the array stays allocated.
    void RemoveAll();

    // True when some entry's fullPath equals path exactly (case-sensitive).
    bool IsListedPath(const wchar_t* path) const;

    // Puts row order[i] at position i, for every i (order is a permutation
    // of 0..Count()-1), moving each record once; the observer is told.
    void Reorder(const std::vector<int>& order);

    // Replaces the fullPath of row index; false when path does not fit.
    bool SetFullPath(int index, const wchar_t* path);
    // Replaces row index with entry (and its note, when given), all at
    // once; the path index follows a changed fullPath. False when the row
    // does not exist.
    bool StoreEntry(int index, const FileEntry& entry, const RowNote* note = nullptr);
    // What is kept beside row index (why it failed); empty for a row that
    // does not exist. Notes move with their rows.
    RowNote Note(int index) const;

    int Count() const { return count_; }
    // Calls read with row index in place, under the shared lock: what it
    // sees is never half-written. False when the row does not exist.
    template <class Read>
    bool ReadEntry(int index, Read read) const {
        std::shared_lock<std::shared_mutex> hold(lock_);
        if (index < 0 || index >= count_) return false;
        read(static_cast<const FileEntry&>(entries_[index]));
        return true;
    }
    // Copies row index (the display, the workers); false when it does not exist.
    bool CopyEntry(int index, FileEntry& out) const;
    // In-place access for the thread that owns the list's shape (see above).
    FileEntry& At(int index) { return entries_[index]; }
    const FileEntry& At(int index) const { return entries_[index]; }

    // The per-type icon cache: type k is type name k; whoever shows icons
    // keeps icon k for it (the observer is told of each type added). An
    // adding worker fills it while the display reads it, so it has a lock
    // of its own.
    int FindTypeIcon(const wchar_t* typeName) const;
    // Adds path's type unless typeName is cached already.
    void EnsureTypeIcon(const wchar_t* typeName, const wchar_t* path);
    void RebuildTypeIcons();

    // Frees the array (the main window does this when it is destroyed).
    void Release();

    // Tells the observer the row count now. Appends tell it only now and
    // then, so whoever adds rows calls this when done (the adding workers
    // before they report their end, the window when an add is reported).
    void SyncView();

private:
    bool Grow();
    void ReportOutOfMemory() const;
    void ForgetPath(const wchar_t* path);
    void SetViewItemCount();

    mutable std::shared_mutex lock_;
    FileEntry* entries_ = nullptr;
    std::atomic<int> count_{0};
    int capacity_ = 0;
    std::vector<RowNote> notes_;                       // one per row
    std::unordered_map<std::wstring, int> pathCounts_; // fullPath -> rows holding it
    mutable std::mutex iconLock_;
    std::vector<std::wstring> iconTypes_; // guarded by iconLock_

    std::atomic<DWORD> viewUpdated_{0}; // tick of the last count the view was told
    FileListObserver* observer_ = nullptr;
    FileListOptions options_;
};
