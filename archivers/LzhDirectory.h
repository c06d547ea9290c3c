// The headers of an LZH archive, walked without unpacking anything.
//
// Contract:
// - FindLzhStart gives where the first header is: 0 when one starts the
//   file, else the first within the first 20 KiB of a self-extracting
//   program (a file starting "MZ"); -1 when there is none.
// - ReadLzhDirectory walks header levels 0 to 3 from `start` to the end mark
//   (a 0 byte or the end of the file), checking each header as libarchive,
//   which unpacks our LZH members, checks it: header sums and CRCs, sizes
//   within their limits, a name for every file. A damaged header makes it
//   false and leaves `entries` empty.
// - Names are decoded as the archive means them: a UTF-16 name field wins
//   over the ANSI field of the same header; ANSI fields are read in the
//   code page a code-page field states, else by the raw-name rule of
//   ItemName.h, folder and file name together. Folder separators (0xFF)
//   become '/'. Names are not cleaned.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ArchiveFile.h"

namespace archiver {

struct LzhEntry {
    std::wstring name;
    bool directory = false;
    bool readOnly = false;
    uint64_t packedSize = 0, size = 0;
    uint16_t crc = 0;
    bool hasDosTime = false;  // level 0 and 1 headers store local DOS time
    uint16_t dosDate = 0, dosTime = 0;
    int64_t mtime = 0;        // otherwise seconds since 1970, UTC
};

int64_t FindLzhStart(ArchiveFile& file);
bool ReadLzhDirectory(ArchiveFile& file, uint64_t start, std::vector<LzhEntry>* entries);

}  // namespace archiver
