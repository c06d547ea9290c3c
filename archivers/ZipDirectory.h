// The central directory of a ZIP archive, read without unpacking anything.
//
// Contract:
// - ReadZipDirectory is true when the file ends in an end record (searched
//   for within the last 64 KiB and 22 bytes, nearest the end first) whose
//   central directory lies wholly inside the file, sits on the only disk and
//   holds, record after record, exactly the number of items the end record
//   announces (a count past 65,535 without ZIP64 records may have wrapped);
//   ZIP64 end records and ZIP64 extra fields are read. Anything else,
//   including a directory larger than kMaxZipDirectory, is false and leaves
//   `entries` empty.
// - Entries come in directory order, with the stored name bytes untouched.
//   A program stub before the archive shifts every offset: localOffset is
//   the position in the file.
// - The file is read with as few reads as ArchiveFile allows: the tail once,
//   the directory once when it is not inside the tail.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ArchiveFile.h"

namespace archiver {

constexpr uint64_t kMaxZipDirectory = 256u * 1024 * 1024;

enum : uint16_t { kZipEncrypted = 0x0001, kZipUtf8Name = 0x0800 };

struct ZipEntry {
    std::string name;
    uint16_t versionMadeBy = 0;
    uint16_t flags = 0;
    uint16_t method = 0;
    uint16_t dosTime = 0, dosDate = 0;
    uint32_t crc = 0;
    uint32_t externalAttributes = 0;
    uint64_t packedSize = 0, size = 0;
    uint64_t localOffset = 0;
};

bool ReadZipDirectory(ArchiveFile& file, std::vector<ZipEntry>* entries);

}  // namespace archiver
