// libarchive reading an archive through a file handle of ours.
//
// archive_read_open_filename_w opens the file again and asks for its volume
// information (its fstat), which under Wine costs more than listing a small
// archive; this source reads the handle the library already holds.
//
// Contract:
// - Open(a) sets the callbacks on a reader whose formats are chosen and
//   opens it; the result is libarchive's. The handle is not owned and must
//   outlive the reader, and so must this object.
// - Reads never go past the size given: at the end a read gives 0 bytes.
//   Reads start small after a seek or skip (libarchive seeks from header to
//   header) and grow while it reads on, up to kMaxChunk.
// - Reads go by explicit offsets, so other readers of the same handle that
//   also read by offset do not disturb it. One object belongs to one thread.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

struct archive;

namespace archiver {

class HandleSource {
public:
    static constexpr size_t kFirstChunk = 16 * 1024;
    static constexpr size_t kMaxChunk = 256 * 1024;

    HandleSource(HANDLE file, uint64_t size) : file_(file), size_(size) {}
    HandleSource(const HandleSource&) = delete;
    HandleSource& operator=(const HandleSource&) = delete;

    int Open(archive* a);

private:
    static long Read(archive* a, void* self, const void** buffer);
    static int64_t Skip(archive* a, void* self, int64_t request);
    static int64_t Seek(archive* a, void* self, int64_t offset, int whence);

    HANDLE file_;
    uint64_t size_;
    uint64_t position_ = 0;
    size_t chunk_ = kFirstChunk;
    std::vector<uint8_t> buffer_;
};

}  // namespace archiver
