#include "ArchiveFile.h"

#include <cstring>

namespace archiver {

bool ArchiveFile::Open(const std::wstring& path) {
    Close();
    file_.reset(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file_) return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file_.get(), &size) || size.QuadPart < 0) {
        file_.reset();
        return false;
    }
    size_ = static_cast<uint64_t>(size.QuadPart);
    return true;
}

void ArchiveFile::Close() {
    file_.reset();
    window_.clear();
    windowStart_ = 0;
    size_ = 0;
}

bool ArchiveFile::ReadRaw(uint64_t offset, size_t size, void* out) {
    uint8_t* to = static_cast<uint8_t*>(out);
    while (size > 0) {
        OVERLAPPED at = {};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        const DWORD chunk = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
        DWORD got = 0;
        if (!ReadFile(file_.get(), to, chunk, &got, &at) || got == 0) return false;
        to += got;
        offset += got;
        size -= got;
    }
    return true;
}

bool ArchiveFile::Prefetch(uint64_t offset, size_t size) {
    if (!file_ || !InRange(offset, size)) return false;
    if (size_ <= kWholeFile) {
        offset = 0;
        size = static_cast<size_t>(size_);
    }
    if (Cached(offset, size)) return true;
    window_.clear();
    window_.resize(size);
    windowStart_ = offset;
    if (!ReadRaw(offset, size, window_.data())) {
        window_.clear();
        return false;
    }
    return true;
}

const uint8_t* ArchiveFile::View(uint64_t offset, size_t size) {
    if (!InRange(offset, size)) return nullptr;
    if (!Cached(offset, size)) {
        uint64_t ahead = size_ - offset;
        size_t want = size > kReadAhead ? size : kReadAhead;
        if (ahead < want) want = static_cast<size_t>(ahead);
        if (!Prefetch(offset, want)) return nullptr;
    }
    return window_.data() + (offset - windowStart_);
}

bool ArchiveFile::ReadInto(uint64_t offset, size_t size, void* out) {
    if (!file_ || !InRange(offset, size)) return false;
    if (size == 0) return true;
    if (Cached(offset, size)) {
        memcpy(out, window_.data() + (offset - windowStart_), size);
        return true;
    }
    if (size_ <= kWholeFile) {
        const uint8_t* whole = View(offset, size);
        if (!whole) return false;
        memcpy(out, whole, size);
        return true;
    }
    return ReadRaw(offset, size, out);
}

}  // namespace archiver
