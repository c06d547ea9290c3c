// The archive-wide flags of a RAR 4 or RAR 5 archive, read from its main
// header. libarchive reads solid and volume archives without telling, and
// stops at encrypted headers without saying why, so the library reads them
// itself.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rarformat {

enum class Kind { None, Rar4, Rar5 };

struct ArchiveInfo {
    Kind kind = Kind::None;
    unsigned flags = 0; // the open record's Flags bits (volume 0x01, solid 0x08, ...)
    long offset = -1;   // where the signature starts in the file
};

// A RAR 5 variable-length integer at data[pos], pos moved past it; false
// when it runs past size or over 10 bytes.
bool ReadVint(const uint8_t* data, size_t size, size_t& pos, uint64_t& value);

// Where the RAR signature starts in `data`, or -1. Self-extracting archives
// put it after the program, so an "MZ" start is searched through.
long FindSignature(const uint8_t* data, size_t size);

// Reads the signature at `data` and the header after it; Kind::None when
// the bytes are not a RAR 4 or RAR 5 archive start or are cut short.
ArchiveInfo ReadArchiveInfo(const uint8_t* data, size_t size);

} // namespace rarformat
