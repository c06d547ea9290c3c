#include "HandleSource.h"

#define LIBARCHIVE_STATIC
#include <archive.h>

#include <cstdint>
#include <cstdio>

namespace archiver {

int HandleSource::Open(archive* a) {
    archive_read_set_read_callback(a, [](archive* r, void* self, const void** buffer) -> la_ssize_t {
        return Read(r, self, buffer);
    });
    archive_read_set_skip_callback(a, [](archive* r, void* self, la_int64_t request) -> la_int64_t {
        return Skip(r, self, request);
    });
    archive_read_set_seek_callback(a, [](archive* r, void* self, la_int64_t offset, int whence) -> la_int64_t {
        return Seek(r, self, offset, whence);
    });
    archive_read_set_callback_data(a, this);
    return archive_read_open1(a);
}

long HandleSource::Read(archive* a, void* self, const void** buffer) {
    HandleSource& s = *static_cast<HandleSource*>(self);
    *buffer = nullptr;
    if (s.position_ >= s.size_) return 0;
    const uint64_t left = s.size_ - s.position_;
    const DWORD want = static_cast<DWORD>(left < s.chunk_ ? left : s.chunk_);
    if (s.buffer_.size() < want) s.buffer_.resize(want);
    OVERLAPPED at = {};
    at.Offset = static_cast<DWORD>(s.position_);
    at.OffsetHigh = static_cast<DWORD>(s.position_ >> 32);
    DWORD got = 0;
    if (!ReadFile(s.file_, s.buffer_.data(), want, &got, &at)) {
        archive_set_error(a, EIO, "cannot read the archive");
        return ARCHIVE_FATAL;
    }
    s.position_ += got;
    if (s.chunk_ < kMaxChunk) s.chunk_ *= 2;
    *buffer = s.buffer_.data();
    return static_cast<long>(got);
}

int64_t HandleSource::Skip(archive*, void* self, int64_t request) {
    HandleSource& s = *static_cast<HandleSource*>(self);
    if (request <= 0) return 0;
    const uint64_t left = s.position_ < s.size_ ? s.size_ - s.position_ : 0;
    const uint64_t step = static_cast<uint64_t>(request) < left ? static_cast<uint64_t>(request) : left;
    s.position_ += step;
    s.chunk_ = kFirstChunk;
    return static_cast<int64_t>(step);
}

int64_t HandleSource::Seek(archive* a, void* self, int64_t offset, int whence) {
    HandleSource& s = *static_cast<HandleSource*>(self);
    const int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? static_cast<int64_t>(s.position_)
                                                                      : static_cast<int64_t>(s.size_);
    const bool known = whence == SEEK_SET || whence == SEEK_CUR || whence == SEEK_END;
    if (!known || offset < -base || offset > INT64_MAX - base) {
        archive_set_error(a, EINVAL, "seek out of the archive");
        return ARCHIVE_FATAL;
    }
    s.position_ = static_cast<uint64_t>(base + offset);
    s.chunk_ = kFirstChunk;
    return static_cast<int64_t>(s.position_);
}

}  // namespace archiver
