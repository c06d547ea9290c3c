#include "filelist/FileList.h"

#include <shellapi.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "base/ScopedWin.h"
#include "base/Text.h"
#include "filelist/Paths.h"
#include "filelist/RunState.h"
#include "settings/Settings.h"

namespace {

// Fills the fields the shell and the directory entry know about the file.
void FillFromShell(FileEntry& entry) {
    CopyText(entry.directory, DirectoryOfPath(entry.fullPath).c_str());
    {
        ScopedCoInit com;
        SHFILEINFOW info = {};
        if (SHGetFileInfoW(entry.fullPath, 0, &info, sizeof(info), SHGFI_DISPLAYNAME | SHGFI_TYPENAME)) {
            CopyTextCut(entry.name, info.szDisplayName);
            // The shell's description may be longer than the field; the cut text
            // is then the icon-cache key.
            CopyTextCut(entry.typeName, info.szTypeName);
        }
    }
    WIN32_FIND_DATAW data;
    ScopedFind find(FindFirstFileW(entry.fullPath, &data));
    if (find) {
        entry.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        entry.attributes = data.dwFileAttributes;
        entry.lastWriteTime = data.ftLastWriteTime;
    }
}

// A copy of image index as a bitmap of its own.
ScopedBitmap CopyImage(HIMAGELIST images, int index) {
    int width = 0, height = 0;
    ImageList_GetIconSize(images, &width, &height);
    HDC screen = GetDC(nullptr);
    ScopedBitmap bitmap(CreateCompatibleBitmap(screen, width, height));
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, bitmap.get());
    ImageList_Draw(images, index, dc, 0, 0, ILD_NORMAL);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

// Thumbnails are opaque pictures, so swapping their pixels swaps them whole.
// (The image list's own swap is not dependable on every platform.)
void SwapImages(HIMAGELIST images, int a, int b) {
    int count = ImageList_GetImageCount(images);
    if (a >= count || b >= count) return;
    ScopedBitmap imageA = CopyImage(images, a);
    ScopedBitmap imageB = CopyImage(images, b);
    ImageList_Replace(images, a, imageB.get(), nullptr);
    ImageList_Replace(images, b, imageA.get(), nullptr);
}

} // namespace

FileList& Files() {
    static FileList list;
    return list;
}

FileList::~FileList() {
    Release();
}

void FileList::AttachViews(HWND owner, HWND listView, HIMAGELIST iconImages, HIMAGELIST thumbnailImages) {
    owner_ = owner;
    listView_ = listView;
    iconImages_ = iconImages;
    thumbnailImages_ = thumbnailImages;
}

bool FileList::AddFileEntry(const wchar_t* path) {
    FileEntry entry = {};
    if (GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) return false;
    if (count_ > 0 && !BatchMode && !g_settings.AllowDuplicate && IsListedPath(path)) return false;
    // A path that does not fit the record is not added rather than cut.
    if (!CopyText(entry.fullPath, path)) return false;
    if (!BatchMode) {
        FillFromShell(entry);
        EnsureTypeIcon(entry.typeName, entry.fullPath);
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
    void* grown = realloc(entries_, wanted * sizeof(FileEntry));
    if (grown == nullptr) return false;
    entries_ = static_cast<FileEntry*>(grown);
    capacity_ = static_cast<int>(wanted);
    return true;
}

void ShowOutOfMemory(HWND owner) {
    MessageBoxW(owner, L"メモリの確保に失敗しました。", L"Zorvel", MB_OK | MB_ICONERROR);
}

void FileList::ReportOutOfMemory() const {
    ShowOutOfMemory(BatchMode ? nullptr : owner_);
    if (owner_ != nullptr) PostMessageW(owner_, WM_CLOSE, 0, 0);
}

void FileList::SetViewItemCount() const {
    // Sent, not posted: an adding worker waits until the view knows the row.
    if (listView_ != nullptr)
        SendMessageW(listView_, LVM_SETITEMCOUNT, count_, LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
}

bool FileList::AppendEntry(const FileEntry& entry) {
    bool grown = true;
    {
        std::unique_lock<std::shared_mutex> hold(lock_);
        if (count_ == capacity_) grown = Grow();
        if (grown) {
            memcpy(&entries_[count_], &entry, sizeof(FileEntry));
            ++pathCounts_[entry.fullPath];
            ++count_;
        }
    }
    // Outside the lock: the view's thread may be waiting for it to read a row.
    if (!grown) {
        ReportOutOfMemory();
        return false;
    }
    SetViewItemCount();
    return true;
}

void FileList::ForgetPath(const wchar_t* path) {
    auto it = pathCounts_.find(path);
    if (it != pathCounts_.end() && --it->second == 0) pathCounts_.erase(it);
}

bool FileList::RemoveEntry(int index) {
    if (index < 0 || index >= count_) return false;
    // The view goes first: when it refuses, the records stay as they were.
    if (listView_ != nullptr && !SendMessageW(listView_, LVM_DELETEITEM, index, 0)) return false;
    bool thumbnailsShown = ThumbnailSize != 0 && thumbnailImages_ != nullptr;
    {
        std::unique_lock<std::shared_mutex> hold(lock_);
        ForgetPath(entries_[index].fullPath);
        if (count_ == 1) {
            memset(&entries_[0], 0, sizeof(FileEntry));
            if (thumbnailsShown) ImageList_RemoveAll(thumbnailImages_);
        } else {
            if (thumbnailsShown) ImageList_Remove(thumbnailImages_, index);
            memmove(&entries_[index], &entries_[index + 1], sizeof(FileEntry) * (count_ - index - 1));
        }
        --count_;
    }
    SetViewItemCount();
    return true;
}

void FileList::RemoveAll() {
    if (listView_ != nullptr) SendMessageW(listView_, LVM_DELETEALLITEMS, 0, 0);
    {
        std::unique_lock<std::shared_mutex> hold(lock_);
        if (count_ > 0) memset(&entries_[0], 0, sizeof(FileEntry));
        count_ = 0;
        pathCounts_.clear();
    }
    if (ThumbnailSize != 0 && thumbnailImages_ != nullptr) ImageList_RemoveAll(thumbnailImages_);
    SetViewItemCount();
}

bool FileList::IsListedPath(const wchar_t* path) const {
    std::shared_lock<std::shared_mutex> hold(lock_);
    return pathCounts_.find(path) != pathCounts_.end();
}

void FileList::SwapEntries(int a, int b) {
    if (a == b) return;
    {
        std::unique_lock<std::shared_mutex> hold(lock_);
        FileEntry temp;
        memcpy(&temp, &entries_[a], sizeof(FileEntry));
        memcpy(&entries_[a], &entries_[b], sizeof(FileEntry));
        memcpy(&entries_[b], &temp, sizeof(FileEntry));
    }
    if (ThumbnailSize != 0 && thumbnailImages_ != nullptr) SwapImages(thumbnailImages_, a, b);
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

bool FileList::CopyEntry(int index, FileEntry& out) const {
    std::shared_lock<std::shared_mutex> hold(lock_);
    if (index < 0 || index >= count_) return false;
    memcpy(&out, &entries_[index], sizeof(FileEntry));
    return true;
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
    if (iconImages_ == nullptr) return;
    SHFILEINFOW info = {};
    SHGetFileInfoW(path, 0, &info, sizeof(info), SHGFI_ICON | SHGFI_SMALLICON);
    ScopedIcon icon(info.hIcon);
    // Image k must stay the icon of type k, so a file without an icon gets a
    // stand-in rather than no image.
    if (!icon || ImageList_AddIcon(iconImages_, icon.get()) < 0)
        ImageList_AddIcon(iconImages_, LoadIconW(nullptr, IDI_APPLICATION));
}

void FileList::RebuildTypeIcons() {
    {
        std::lock_guard<std::mutex> hold(iconLock_);
        iconTypes_.clear();
    }
    if (iconImages_ != nullptr) {
        ImageList_RemoveAll(iconImages_);
        ImageList_SetBkColor(iconImages_, CLR_NONE);
    }
    for (int i = 0; i < count_; ++i) {
        const FileEntry& entry = entries_[i];
        EnsureTypeIcon(entry.typeName, entry.fullPath);
    }
    if (listView_ != nullptr && iconImages_ != nullptr)
        SendMessageW(listView_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(iconImages_));
}

void FileList::Release() {
    std::unique_lock<std::shared_mutex> hold(lock_);
    free(entries_);
    entries_ = nullptr;
    count_ = 0;
    capacity_ = 0;
    pathCounts_.clear();
    std::lock_guard<std::mutex> icons(iconLock_);
    iconTypes_.clear();
}
