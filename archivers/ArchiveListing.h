// One archive of the formats an archiver library reads, listed item by item
// and unpacked member by member.
//
// Contract:
// - Open(path, formats) recognises the archive by its content, never by its
//   name: a 7z signature, a cabinet or LZH header at the start, a ZIP end
//   record, then a cabinet or LZH archive behind a self-extracting stub, then
//   a self-extracting 7z. It returns 0, kErrArchiveOpen when the file cannot
//   be opened, or kErrNotArchive. A ZIP, cabinet, LZH or 7z archive is
//   listed whole by our own directory readers at this point; a 7z archive
//   they leave to libarchive (see SevenZipDirectory.h), and a
//   self-extracting one, is read by libarchive as the listing goes on.
// - Next gives the items in the archive's own order (for ZIP the central
//   directory's), names decoded and cleaned as ItemName.h says; Restart goes
//   back to the first.
// - ExtractCurrent unpacks the item Next gave last into `out`, never writing
//   more than `capacity` bytes: 0 with *written set, or an ArchiverError
//   (kErrBufferSmall when the member is larger than `capacity`). ZIP members
//   are unpacked by ZipExtract; cabinet and LZH members by libarchive, found
//   by their position, which it lists in the same order; 7z members by
//   libarchive, by position too when our reader listed the archive.
// - One object belongs to one thread; it keeps the archive file open until
//   it is destroyed or opened again.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ArchiveFile.h"
#include "ZipDirectory.h"

struct archive;
struct archive_entry;

namespace archiver {

enum ArchiveFormats : unsigned {
    kFormatZip = 0x01,
    kFormatCab = 0x02,
    kFormatLzh = 0x04,
    kFormat7z = 0x08,
};

struct Item {
    std::wstring name;
    uint64_t size = 0;
    uint64_t packedSize = 0;
    int attribute = 0;
    uint32_t crc = 0;
    bool hasDosTime = false;  // stored as local DOS date and time
    uint16_t dosDate = 0, dosTime = 0;
    bool hasMtime = false;    // or as seconds since 1970, UTC
    int64_t mtime = 0;
};

class ArchiveListing {
public:
    ArchiveListing();
    ~ArchiveListing();
    ArchiveListing(const ArchiveListing&) = delete;
    ArchiveListing& operator=(const ArchiveListing&) = delete;

    int Open(const std::wstring& path, unsigned formats);
    const char* FormatName() const;
    bool Next(Item* item);
    bool Restart();
    int ExtractCurrent(uint8_t* out, size_t capacity, size_t* written);

private:
    struct ReaderFree {
        void operator()(archive* a) const;
    };
    using Reader = std::unique_ptr<archive, ReaderFree>;

    bool OpenZip();
    bool OpenCab(uint64_t start);
    bool OpenLzh(uint64_t start);
    bool ListSevenZip();
    bool OpenSevenZip();
    int ExtractByPosition(int format, uint8_t* out, size_t capacity, size_t* written);

    std::wstring path_;
    unsigned format_ = 0;
    ArchiveFile file_;
    // ZIP, cabinet, LZH and 7z read by us: the whole listing, read at Open.
    std::vector<Item> items_;
    std::vector<ZipEntry> zipEntries_;
    size_t next_ = 0;
    bool listed_ = false;  // a 7z archive our reader listed
    // Other 7z archives: libarchive's reader, with the header Open read ahead.
    Reader reader_;
    archive_entry* pending_ = nullptr;
    bool ended_ = false;
    bool hasCurrent_ = false;
    size_t current_ = 0;  // position of the item Next gave last
};

}  // namespace archiver
