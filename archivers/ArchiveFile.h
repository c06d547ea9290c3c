// One archive file, opened for reading and read at given offsets.
//
// Contract:
// - Open shares the file for reading, writing and deletion, as the other
//   readers of the program do; the handle is closed by the destructor.
// - View(offset, size) gives a pointer to exactly `size` bytes at `offset`,
//   valid until the next View, Prefetch or ReadInto; null when the range is
//   not wholly inside the file or cannot be read. It never reads past the end.
// - Reads go through one cached window: a file of at most kWholeFile bytes is
//   read whole on its first use, so a small archive costs one read; a larger
//   one reads a window of at least kReadAhead bytes at the offset asked for,
//   or the range a Prefetch names.
// - ReadInto copies a range straight into the caller's memory, through the
//   window when the range is inside it.
// - One object belongs to one thread.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/ScopedWin.h"

namespace archiver {

class ArchiveFile {
public:
    static constexpr size_t kWholeFile = 96 * 1024;
    static constexpr size_t kReadAhead = 8 * 1024;

    bool Open(const std::wstring& path);
    void Close();
    bool IsOpen() const { return file_.valid(); }
    uint64_t Size() const { return size_; }

    const uint8_t* View(uint64_t offset, size_t size);
    bool Prefetch(uint64_t offset, size_t size);
    bool ReadInto(uint64_t offset, size_t size, void* out);

private:
    bool InRange(uint64_t offset, size_t size) const { return offset <= size_ && size <= size_ - offset; }
    bool Cached(uint64_t offset, size_t size) const {
        return offset >= windowStart_ && offset - windowStart_ <= window_.size() &&
               size <= window_.size() - (offset - windowStart_);
    }
    bool ReadRaw(uint64_t offset, size_t size, void* out);

    ScopedFile file_;
    uint64_t size_ = 0;
    std::vector<uint8_t> window_;
    uint64_t windowStart_ = 0;
};

}  // namespace archiver
