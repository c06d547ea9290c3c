// The file list of a cabinet (CFHEADER, CFFOLDER and CFFILE records), read
// without unpacking anything.
//
// Contract:
// - FindCabinet gives where a cabinet starts: 0 when the file begins with
//   the signature, else within the first 128 KiB of a self-extracting
//   program (a file starting "MZ"); -1 when there is none.
// - ReadCabDirectory is true when the records at `start` are whole and
//   consistent in the ways libarchive, which unpacks our cabinets, also
//   requires (at least one folder and one file, folder data in order, each
//   folder's files back to back without gaps, names of 1 to 255 bytes).
//   Anything else is false and leaves `entries` empty.
// - Entries come in CFFILE order, which is the order libarchive lists them
//   in, with the stored name bytes untouched.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ArchiveFile.h"

namespace archiver {

enum : uint16_t { kCabReadOnly = 0x01, kCabNameIsUtf8 = 0x80 };

struct CabEntry {
    std::string name;
    uint32_t size = 0;
    uint16_t dosDate = 0, dosTime = 0;
    uint16_t attributes = 0;
};

int64_t FindCabinet(ArchiveFile& file);
bool ReadCabDirectory(ArchiveFile& file, uint64_t start, std::vector<CabEntry>* entries);

}  // namespace archiver
