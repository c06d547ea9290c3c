// The file list of a 7z archive, read by our own code: the start header,
// the header at the end (plain, or packed as SevenZipUnpack.h reads), and
// from it each file's name, kind, size and time.
//
// libarchive sets up a UTF-16 name conversion for every 7z archive it opens,
// which under Wine costs half a millisecond (it looks for a code page file
// that does not exist): more than reading the whole directory. So listing
// is ours; unpacking stays libarchive's, which lists in the same order.
//
// Contract:
// - ReadSevenZipDirectory reads an archive whose signature is at offset 0.
//   True: `entries` holds every file in the header's order, as libarchive's
//   7z reader would report it (names in Unicode form C, a folder's name with
//   a trailing '/', the kind and read-only bit from the attributes, the size
//   of the file's stream, the modification time when stored). An archive
//   with no header lists nothing.
// - False, leaving `entries` empty, for every archive libarchive refuses
//   (the same structural checks, header CRCs included) and for what this
//   reader leaves to libarchive: a header packed otherwise than by one
//   LZMA, LZMA2 or copy coder (an encrypted one above all), symbolic links,
//   names that are not valid UTF-16, folders of over 64 streams, headers
//   over 64 MiB or over a million files. The caller then lets libarchive read the archive.
// - Every field is bounds-checked against the header; nothing is read
//   outside the file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ArchiveFile.h"

namespace archiver {

struct SevenZipEntry {
    std::wstring name;
    bool directory = false;
    bool readOnly = false;
    uint64_t size = 0;
    bool hasMtime = false;
    int64_t mtime = 0;  // seconds since 1970, UTC
};

bool ReadSevenZipDirectory(ArchiveFile& file, std::vector<SevenZipEntry>* entries);

}  // namespace archiver
