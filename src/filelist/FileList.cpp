#include "filelist/FileList.h"

#include <shellapi.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>

#include "base/Paths.h"
#include "base/ScopedWin.h"
#include "base/Text.h"
#include "filelist/TypeNames.h"

namespace {

// Fills the fields the shell and the directory entry know about the file.
// The shell is asked by name and attributes, not by looking the file up: a
// lookup by path costs time in proportion to the files beside it, which
// made adding a large folder quadratic.
void FillFromShell(FileEntry& entry, const WIN32_FIND_DATAW& data) {
    CopyText(entry.directory, DirectoryOfPath(entry.fullPath).c_str());
    entry.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    entry.attributes = data.dwFileAttributes;
    entry.lastWriteTime = data.ftLastWriteTime;
    SHFILEINFOW info = {};
    if (SHGetFileInfoW(entry.fullPath, data.dwFileAttributes, &info, sizeof(info),
                       SHGFI_DISPLAYNAME | SHGFI_USEFILEATTRIBUTES))
        CopyTextCut(entry.name, info.szDisplayName);
    // The shell's description may be longer than the field; the cut text is
    // then the icon-cache key.
    CopyTextCut(entry.typeName, TypeNameOf(entry.fullPath).c_str());
}

} // namespace

FileList::~FileList() {
    Release();
}

void FileList::Attach(FileListObserver* observer) {
    observer_ = observer;
}

bool FileList::AddFileEntry(const wchar_t* path) {
    // One directory lookup tells whether the file exists and what the
    // record needs of it (a name with wildcards names no file).
    WIN32_FIND_DATAW data;
    if (path == nullptr || wcspbrk(path, L"*?") != nullptr) return false;
    {
        ScopedFind find(FindFirstFileW(path, &data));
        if (!find) return false;
    }
    return AddFoundFile(path, data);
}

bool FileList::AddFoundFile(const wchar_t* path, const WIN32_FIND_DATAW& data) {
    FileEntry entry = {};
    if (count_ > 0 && options_.shellDetails && !options_.allowDuplicate && IsListedPath(path)) return false;
    // A path that does not fit the record is not added rather than cut.
    if (!CopyText(entry.fullPath, path)) return false;
    if (options_.shellDetails) {
        FillFromShell(entry, data);
        EnsureTypeIcon(entry.typeName, entry.fullPath);
    } else {
        entry.lastWriteTime = data.ftLastWriteTime; // known already, free
    }
    return AppendEntry(entry);
}

bool FileList::Grow() {
    // Geometric growth: adding n entries copies the array O(log n) times.
    const size_t maxCapacity = SIZE_MAX / sizeof(FileEntry);
    size_t wanted = capacity_ < 16 ? 16 : static_cast<size_t>(capacity_) + capacity_ / 2;
    if (wanted > maxCapacity) wanted = maxCapacity;
    if (wanted > INT32_MAX) wanted = INT32_MAX;
    if (wanted <= static_cast<size_t>(capacity_)) return false;
    try {
        notes_.reserve(wanted);
    } catch (const std::bad_alloc&) {
        return false;
    }
    void* grown = realloc(entries_, wanted * sizeof(FileEntry));
    if (grown == nullptr) return false;
    entries_ = static_cast<FileEntry*>(grown);
    capacity_ = static_cast<int>(wanted);
    return true;
}

void FileList::ReportOutOfMemory() const {
    if (observer_ != nullptr) observer_->OutOfMemory();
}

void FileList::SetViewItemCount() {
    viewUpdated_ = GetTickCount();
    if (observer_ != nullptr) observer_->CountChanged(count_);
}

void FileList::SyncView() {
    SetViewItemCount();
}

bool FileList::AppendEntry(const FileEntry& entry) {
    bool grown = true;
    {
        std::unique_lock<std::shared_mutex> hold(lock_);
        if (count_ == capacity_) grown = Grow();
        if (grown) {
            memcpy(&entries_[count_], &entry, sizeof(FileEntry));
            notes_.push_back(RowNote()); // room reserved with the array
            ++pathCounts_[entry.fullPath];
            ++count_;
        }
    }
    // Outside the lock: the view's thread may be waiting for it to read a row.
    if (!grown) {
        ReportOutOfMemory();
        return false;
    }
    // Telling the view costs more than adding a row (a message to another
    // thread, and the view's own work for every new count), so it is told
    // about every 50 ms; whoever adds calls SyncView when done.
    if (GetTickCount() - viewUpdated_ >= 50) SetViewItemCount();
    return true;
}

void FileList::ForgetPath(const wchar_t* path) {
    auto it = pathCounts_.find(path);
    if (it != pathCounts_.end() && --it->second == 0) pathCounts_.erase(it);
}

void FileList::RemoveRows(const std::vector<char>& remove) {
    std::vector<char> removed(count_, 0); // one flag per row, as the observer is told
    for (size_t i = 0; i < removed.size() && i < remove.size(); ++i) removed[i] = remove[i];
    {
        std::unique_lock<std::shared_mutex> hold(lock_);
        const int n = count_;
        int kept = 0;
        for (int i = 0; i < n; ++i) {
            if (removed[i]) {
                ForgetPath(entries_[i].fullPath);
                continue;
            }
            if (kept != i) {
                memcpy(&entries_[kept], &entries_[i], sizeof(FileEntry));
                notes_[kept] = notes_[i];
            }
            ++kept;
        }
        if (kept < n) memset(&entries_[kept], 0, sizeof(FileEntry));
        notes_.resize(kept);
        count_ = kept;
    }
    if (observer_ != nullptr) observer_->RowsRemoved(removed);
    SetViewItemCount();
}

void FileList::RemoveAll() {
    if (observer_ != nullptr) observer_->RemovingAll();
    {
        std::unique_lock<std::shared_mutex> hold(lock_);
        if (count_ > 0) memset(&entries_[0], 0, sizeof(FileEntry));
        count_ = 0;
        notes_.clear();
        pathCounts_.clear();
    }
    SetViewItemCount();
}

bool FileList::IsListedPath(const wchar_t* path) const {
    std::shared_lock<std::shared_mutex> hold(lock_);
    return pathCounts_.find(path) != pathCounts_.end();
}

void FileList::Reorder(const std::vector<int>& order) {
    const int n = count_;
    if (static_cast<int>(order.size()) != n) return;
    {
        std::vector<char> placed(n, 0);
        std::unique_lock<std::shared_mutex> hold(lock_);
        // Each cycle of the permutation is walked once, with one record held
        // aside, so every record moves exactly once.
        FileEntry held;
        for (int start = 0; start < n; ++start) {
            if (placed[start] || order[start] == start) continue;
            memcpy(&held, &entries_[start], sizeof(FileEntry));
            RowNote heldNote = notes_[start];
            int at = start;
            while (order[at] != start) {
                int from = order[at];
                memcpy(&entries_[at], &entries_[from], sizeof(FileEntry));
                notes_[at] = notes_[from];
                placed[at] = 1;
                at = from;
            }
            memcpy(&entries_[at], &held, sizeof(FileEntry));
            notes_[at] = heldNote;
            placed[at] = 1;
        }
    }
    if (observer_ != nullptr) observer_->RowsReordered(order);
}

bool FileList::SetFullPath(int index, const wchar_t* path) {
    std::unique_lock<std::shared_mutex> hold(lock_);
    if (index < 0 || index >= count_) return false;
    FileEntry& entry = entries_[index];
    std::wstring old = entry.fullPath;
    if (!CopyText(entry.fullPath, path)) return false;
    ForgetPath(old.c_str());
    ++pathCounts_[entry.fullPath];
    return true;
}

bool FileList::StoreEntry(int index, const FileEntry& entry, const RowNote* note) {
    std::unique_lock<std::shared_mutex> hold(lock_);
    if (index < 0 || index >= count_) return false;
    // A note explains a failure: it goes when the row no longer is one.
    if (note != nullptr) notes_[index] = *note;
    else if (entry.status != kStatusRenameFailed) notes_[index] = RowNote();
    FileEntry& stored = entries_[index];
    if (wcscmp(stored.fullPath, entry.fullPath) != 0) {
        ForgetPath(stored.fullPath);
        ++pathCounts_[entry.fullPath];
    }
    memcpy(&stored, &entry, sizeof(FileEntry));
    return true;
}

RowNote FileList::Note(int index) const {
    std::shared_lock<std::shared_mutex> hold(lock_);
    return index >= 0 && index < count_ ? notes_[index] : RowNote();
}

bool FileList::CopyEntry(int index, FileEntry& out) const {
    return ReadEntry(index, [&out](const FileEntry& entry) { memcpy(&out, &entry, sizeof(FileEntry)); });
}

int FileList::FindTypeIcon(const wchar_t* typeName) const {
    std::lock_guard<std::mutex> hold(iconLock_);
    for (size_t i = 0; i < iconTypes_.size(); ++i)
        if (iconTypes_[i] == typeName) return static_cast<int>(i);
    return -1;
}

void FileList::EnsureTypeIcon(const wchar_t* typeName, const wchar_t* path) {
    std::lock_guard<std::mutex> hold(iconLock_);
    for (const std::wstring& known : iconTypes_)
        if (known == typeName) return;
    iconTypes_.push_back(typeName);
    // Told under the icon lock: the icons are added in type order.
    if (observer_ != nullptr) observer_->TypeAdded(static_cast<int>(iconTypes_.size()) - 1, path);
}

void FileList::RebuildTypeIcons() {
    {
        std::lock_guard<std::mutex> hold(iconLock_);
        iconTypes_.clear();
    }
    if (observer_ != nullptr) observer_->TypeIconsRebuilding();
    for (int i = 0; i < count_; ++i) {
        const FileEntry& entry = entries_[i];
        EnsureTypeIcon(entry.typeName, entry.fullPath);
    }
    if (observer_ != nullptr) observer_->TypeIconsRebuilt();
}

void FileList::Release() {
    std::unique_lock<std::shared_mutex> hold(lock_);
    free(entries_);
    entries_ = nullptr;
    count_ = 0;
    capacity_ = 0;
    notes_.clear();
    notes_.shrink_to_fit();
    pathCounts_.clear();
    std::lock_guard<std::mutex> icons(iconLock_);
    iconTypes_.clear();
}
