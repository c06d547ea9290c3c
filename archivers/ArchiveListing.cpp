#include "ArchiveListing.h"

#define LIBARCHIVE_STATIC
#include <archive.h>
#include <archive_entry.h>

#include <cstring>

#include "contracts/ArchiverRecords.h"
#include "CabDirectory.h"
#include "ItemName.h"
#include "LzhDirectory.h"
#include "SevenZipDirectory.h"
#include "ZipExtract.h"

namespace archiver {

namespace {

const uint8_t k7zSignature[6] = {'7', 'z', 0xBC, 0xAF, 0x27, 0x1C};
constexpr size_t kLibarchiveBlock = 16384;

int FileAttribute(bool directory, bool readOnly) {
    if (directory) return kAttrDirectory;
    return kAttrArchive | (readOnly ? kAttrReadOnly : 0);
}

// The attributes a ZIP writer stored: MS-DOS bits from MS-DOS-like hosts,
// Unix mode bits from the others, as the built-in reader reads them.
Item ItemOf(const ZipEntry& z) {
    Item it;
    // With or without the UTF-8 flag, valid UTF-8 is read as UTF-8 and
    // anything else in the ANSI code page, as the built-in reader reads it:
    // a flag set on Shift_JIS bytes must not give replacement characters.
    it.name = CleanItemName(DecodeRawName(z.name.data(), z.name.size()));
    const int host = z.versionMadeBy >> 8;
    bool directory = EndsWithSeparator(it.name), readOnly = false;
    if (host == 0 || host == 7 || host == 11 || host == 14) {
        directory = directory || (z.externalAttributes & 0x10) != 0;
        readOnly = (z.externalAttributes & 0x01) != 0;
    } else {
        directory = directory || (z.externalAttributes & 0x40000000u) != 0;
        readOnly = (z.externalAttributes & 0x00800000u) == 0;
    }
    it.attribute = FileAttribute(directory, readOnly);
    it.size = z.size;
    it.packedSize = z.packedSize;
    it.crc = z.crc;
    it.hasDosTime = true;
    it.dosDate = z.dosDate;
    it.dosTime = z.dosTime;
    return it;
}

Item ItemOf(const CabEntry& c) {
    Item it;
    // As for ZIP: the UTF flag changes nothing for valid UTF-8, and bytes
    // that are not valid UTF-8 are read in the ANSI code page whatever it says.
    it.name = CleanItemName(DecodeRawName(c.name.data(), c.name.size()));
    it.attribute = FileAttribute(false, (c.attributes & kCabReadOnly) != 0);
    it.size = it.packedSize = c.size;  // cabinets pack whole folders, not files
    it.hasDosTime = true;
    it.dosDate = c.dosDate;
    it.dosTime = c.dosTime;
    return it;
}

Item ItemOf(const LzhEntry& l) {
    Item it;
    it.name = CleanItemName(l.name);
    it.attribute = FileAttribute(l.directory, l.readOnly);
    it.size = l.size;
    it.packedSize = l.packedSize;
    it.crc = l.crc;
    it.hasDosTime = l.hasDosTime;
    it.dosDate = l.dosDate;
    it.dosTime = l.dosTime;
    it.hasMtime = !l.hasDosTime;
    it.mtime = l.mtime;
    return it;
}

Item ItemOf(SevenZipEntry&& z) {
    Item it;
    it.name = CleanItemName(std::move(z.name));
    it.attribute = FileAttribute(z.directory, z.readOnly);
    it.size = it.packedSize = z.size;
    it.hasMtime = z.hasMtime;
    it.mtime = z.mtime;
    return it;
}

// 7z names are UTF-16 in the archive, so libarchive holds them as Unicode.
Item ItemOf(archive_entry* e) {
    Item it;
    if (const wchar_t* w = archive_entry_pathname_w(e)) it.name = CleanItemName(w);
    const bool directory = archive_entry_filetype(e) == AE_IFDIR;
    it.attribute = FileAttribute(directory, (archive_entry_mode(e) & 0222) == 0);
    const la_int64_t size = archive_entry_size_is_set(e) ? archive_entry_size(e) : 0;
    it.size = it.packedSize = size > 0 ? static_cast<uint64_t>(size) : 0;
    it.hasMtime = archive_entry_mtime_is_set(e) != 0;
    it.mtime = it.hasMtime ? archive_entry_mtime(e) : 0;
    return it;
}

// The current entry's data into `out`; more data than `capacity` is an error.
int ReadData(archive* a, uint8_t* out, size_t capacity, size_t* written) {
    size_t done = 0;
    for (;;) {
        if (done == capacity) {
            uint8_t spare = 0;
            const la_ssize_t n = archive_read_data(a, &spare, 1);
            if (n < 0) return kErrData;
            if (n > 0) return kErrBufferSmall;
            break;
        }
        const la_ssize_t n = archive_read_data(a, out + done, capacity - done);
        if (n < 0) return kErrData;
        if (n == 0) break;
        done += static_cast<size_t>(n);
    }
    *written = done;
    return 0;
}

bool HeaderRead(int r) { return r == ARCHIVE_OK || r == ARCHIVE_WARN; }

}  // namespace

void ArchiveListing::ReaderFree::operator()(archive* a) const { archive_read_free(a); }

ArchiveListing::ArchiveListing() = default;
ArchiveListing::~ArchiveListing() = default;

int ArchiveListing::Open(const std::wstring& path, unsigned formats) {
    path_ = path;
    format_ = 0;
    items_.clear();
    zipEntries_.clear();
    next_ = 0;
    reader_.reset();
    pending_ = nullptr;
    ended_ = false;
    hasCurrent_ = false;
    listed_ = false;
    if (path.empty() || !file_.Open(path)) return kErrArchiveOpen;

    const uint8_t* head = file_.Size() >= sizeof(k7zSignature) ? file_.View(0, sizeof(k7zSignature)) : nullptr;
    if (head && memcmp(head, k7zSignature, sizeof(k7zSignature)) == 0) {
        if ((formats & kFormat7z) == 0) return kErrNotArchive;
        return ListSevenZip() || OpenSevenZip() ? 0 : kErrNotArchive;
    }
    // A signature at the start decides; one behind a stub only when no ZIP
    // end record claims the file.
    int64_t cabAt = -1, lzhAt = -1;
    if (formats & kFormatCab) {
        cabAt = FindCabinet(file_);
        if (cabAt == 0) return OpenCab(0) ? 0 : kErrNotArchive;
    }
    if (formats & kFormatLzh) {
        lzhAt = FindLzhStart(file_);
        if (lzhAt == 0) return OpenLzh(0) ? 0 : kErrNotArchive;
    }
    if ((formats & kFormatZip) && OpenZip()) return 0;
    if (cabAt > 0 && OpenCab(static_cast<uint64_t>(cabAt))) return 0;
    if (lzhAt > 0 && OpenLzh(static_cast<uint64_t>(lzhAt))) return 0;
    if ((formats & kFormat7z) && OpenSevenZip()) return 0;
    return kErrNotArchive;
}

bool ArchiveListing::OpenZip() {
    if (!ReadZipDirectory(file_, &zipEntries_)) return false;
    items_.reserve(zipEntries_.size());
    for (const ZipEntry& z : zipEntries_) items_.push_back(ItemOf(z));
    format_ = kFormatZip;
    return true;
}

bool ArchiveListing::OpenCab(uint64_t start) {
    std::vector<CabEntry> entries;
    if (!ReadCabDirectory(file_, start, &entries)) return false;
    items_.reserve(entries.size());
    for (const CabEntry& c : entries) items_.push_back(ItemOf(c));
    format_ = kFormatCab;
    return true;
}

bool ArchiveListing::OpenLzh(uint64_t start) {
    std::vector<LzhEntry> entries;
    if (!ReadLzhDirectory(file_, start, &entries)) return false;
    items_.reserve(entries.size());
    for (const LzhEntry& l : entries) items_.push_back(ItemOf(l));
    format_ = kFormatLzh;
    return true;
}

bool ArchiveListing::ListSevenZip() {
    std::vector<SevenZipEntry> entries;
    if (!ReadSevenZipDirectory(file_, &entries)) return false;
    items_.reserve(entries.size());
    for (SevenZipEntry& z : entries) items_.push_back(ItemOf(std::move(z)));
    format_ = kFormat7z;
    listed_ = true;
    return true;
}

bool ArchiveListing::OpenSevenZip() {
    // Reads the first header ahead, so a file that is no 7z archive fails here.
    file_.Close();
    pending_ = nullptr;
    ended_ = false;
    reader_.reset(archive_read_new());
    if (!reader_) return false;
    archive_read_support_format_7zip(reader_.get());
    if (archive_read_open_filename_w(reader_.get(), path_.c_str(), kLibarchiveBlock) != ARCHIVE_OK) {
        reader_.reset();
        return false;
    }
    archive_entry* e = nullptr;
    const int r = archive_read_next_header(reader_.get(), &e);
    if (HeaderRead(r)) {
        pending_ = e;
    } else if (r == ARCHIVE_EOF) {
        ended_ = true;
    } else {
        reader_.reset();
        return false;
    }
    format_ = kFormat7z;
    return true;
}

const char* ArchiveListing::FormatName() const {
    switch (format_) {
    case kFormatZip: return "zip";
    case kFormatCab: return "cab";
    case kFormatLzh: return "lha";
    case kFormat7z: return "7z";
    default: return "";
    }
}

bool ArchiveListing::Next(Item* item) {
    hasCurrent_ = false;
    if (format_ != kFormat7z || listed_) {
        if (next_ >= items_.size()) return false;
        current_ = next_++;
        *item = items_[current_];
        hasCurrent_ = true;
        return true;
    }
    if (ended_ || !reader_) return false;
    archive_entry* e = pending_;
    pending_ = nullptr;
    if (!e && !HeaderRead(archive_read_next_header(reader_.get(), &e))) {
        ended_ = true;
        return false;
    }
    *item = ItemOf(e);
    items_.assign(1, *item);  // the current item, for ExtractCurrent
    current_ = 0;
    hasCurrent_ = true;
    return true;
}

bool ArchiveListing::Restart() {
    hasCurrent_ = false;
    next_ = 0;
    if (format_ != kFormat7z || listed_) return format_ != 0;
    return OpenSevenZip();
}

int ArchiveListing::ExtractCurrent(uint8_t* out, size_t capacity, size_t* written) {
    *written = 0;
    if (!hasCurrent_) return kErrNotFound;
    const Item& it = items_[current_];
    if (it.attribute & kAttrDirectory) return 0;
    if (it.size > capacity) return kErrBufferSmall;
    switch (format_) {
    case kFormatZip: return ExtractZipMember(file_, zipEntries_[current_], out, capacity, written);
    case kFormatCab: return ExtractByPosition(ARCHIVE_FORMAT_CAB, out, capacity, written);
    case kFormatLzh: return ExtractByPosition(ARCHIVE_FORMAT_LHA, out, capacity, written);
    case kFormat7z:
        return listed_ ? ExtractByPosition(ARCHIVE_FORMAT_7ZIP, out, capacity, written)
                       : ReadData(reader_.get(), out, capacity, written);
    default: return kErrNotArchive;
    }
}

int ArchiveListing::ExtractByPosition(int format, uint8_t* out, size_t capacity, size_t* written) {
    Reader a(archive_read_new());
    if (!a) return kErrNoMemory;
    if (format == ARCHIVE_FORMAT_CAB) {
        archive_read_support_format_cab(a.get());
    } else if (format == ARCHIVE_FORMAT_7ZIP) {
        archive_read_support_format_7zip(a.get());
    } else {
        archive_read_support_format_lha(a.get());
    }
    if (archive_read_open_filename_w(a.get(), path_.c_str(), kLibarchiveBlock) != ARCHIVE_OK) return kErrCannotRead;
    archive_entry* e = nullptr;
    for (size_t i = 0; i <= current_; ++i) {
        if (!HeaderRead(archive_read_next_header(a.get(), &e))) return kErrHeader;
    }
    // libarchive walks the same records in the same order; a member of
    // another size or kind is not the one that was listed.
    const Item& it = items_[current_];
    if (archive_entry_filetype(e) == AE_IFDIR || !archive_entry_size_is_set(e) ||
        static_cast<uint64_t>(archive_entry_size(e)) != it.size)
        return kErrHeader;
    return ReadData(a.get(), out, capacity, written);
}

}  // namespace archiver
