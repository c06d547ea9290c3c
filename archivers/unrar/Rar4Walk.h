// The items of a RAR 4 archive, read from its block headers by our own code.
//
// libarchive sets up a UTF-16 name conversion at the first Unicode name of
// every RAR 4 archive, and under Wine that set-up costs half a millisecond
// (it looks for a code page file that does not exist): more than listing the
// archive. Packers write the Unicode form beside every name that is not
// ASCII, so most archives of Japanese users pay it. The walker lists; data
// stays libarchive's, which lists the same items in the same order.
//
// Contract:
// - A walker reads one archive that starts at offset 0 of `file` (not
//   owned), one block header at a time, with bounds and header CRCs checked
//   as libarchive checks them.
// - Next gives kItem with the item as libarchive's RAR reader reports it
//   (name decoded and in Unicode form C, kind, read-only bit, unpacked size,
//   modification time) and its packed size, kEnd at the end block or the end of the file,
//   kDamaged for what libarchive refuses (then the walk is over), or
//   kHandOver for what the walker leaves to libarchive: service blocks,
//   encrypted items, symbolic links, a name repeated from the item before
//   (libarchive takes it for a part of a split item) and names that do not
//   convert. After kHandOver, libarchive is to list from the item the walker
//   stopped at: Count() items were given before it.
// - Archives that are volumes are not for the walker (see CanWalk).
// - One object belongs to one thread.
#pragma once

#include <windows.h>

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace rarformat {

struct Rar4Item {
    std::wstring name;  // as stored: '\' or '/' separators, not cleaned
    bool directory = false;
    bool readOnly = false;
    uint64_t size = 0;
    uint64_t packed = 0; // the size of its data in the archive
    time_t mtime = 0;   // seconds since 1970, as libarchive computes them
};

// Whether the walker may list an archive with these main-header flags:
// libarchive reads volumes' split items in a way of its own.
bool CanWalk(unsigned archiveFlags);

class Rar4Walk {
public:
    enum Result { kItem, kEnd, kDamaged, kHandOver };

    Rar4Walk(HANDLE file, uint64_t size) : file_(file), size_(size) {}
    Rar4Walk(const Rar4Walk&) = delete;
    Rar4Walk& operator=(const Rar4Walk&) = delete;

    Result Next(Rar4Item* item);
    size_t Count() const { return count_; }
    uint64_t Position() const { return position_; }  // of the block the walk stopped at

private:
    Result FileBlock(uint16_t flags, uint32_t headSize, Rar4Item* item);
    Result SkipBlock(uint8_t type, uint16_t flags, uint32_t headSize);
    bool Read(uint64_t at, void* buffer, size_t size);

    static constexpr size_t kWindow = 16 * 1024;

    HANDLE file_;
    uint64_t size_;
    std::vector<uint8_t> window_;
    uint64_t windowStart_ = 0;
    uint64_t position_ = 0;
    size_t count_ = 0;
    bool over_ = false;
    std::string previousName_;  // libarchive's form of the last item's name
};

}  // namespace rarformat
