#include "LzhDirectory.h"

#include <cstring>

#include "ItemName.h"
#include "LittleEndian.h"

namespace archiver {

namespace {

constexpr size_t kBaseSize = 22;      // the fields every level shares
constexpr uint64_t kSfxSearch = 20 * 1024;
constexpr size_t kMaxExtended = 1024 * 1024;

// 0 when a header may start at p (kBaseSize bytes), else how far on the
// next one could start: the same test and steps as libarchive's.
size_t CheckHeader(const uint8_t* p) {
    switch (p[5]) {
    case '0': case '1': case '2': case '3': case '4': case '5': case '6': case '7': case 'd': case 's':
        if (p[0] == 0 || p[2] != '-' || p[3] != 'l' || p[6] != '-') return 4;
        if (p[4] == 'h') {
            if (p[5] == 's') return 4;
            if (p[20] == 0) return 0;
            if (p[20] <= 3 && p[19] == 0x20) return 0;
        }
        if (p[4] == 'z' && p[20] == 0 && (p[5] == 's' || p[5] == '4' || p[5] == '5')) return 0;
        return 4;
    case 'h': return 1;
    case 'z': return 1;
    case 'l': return 2;
    case '-': return 3;
    default: return 4;
    }
}

uint16_t Crc16(uint16_t crc, const uint8_t* p, size_t size) {
    for (size_t i = 0; i < size; ++i) {
        crc ^= p[i];
        for (int k = 0; k < 8; ++k) crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
    }
    return crc;
}

struct NameField {
    std::string bytes;
    bool present = false;
    void Set(const uint8_t* p, size_t size) {
        bytes.assign(reinterpret_cast<const char*>(p), size);
        present = true;
    }
};

// What one header says, before it becomes an entry.
struct Header {
    LzhEntry entry;
    NameField file, fileUtf16, folder, folderUtf16;
    UINT codePage = 0;  // 0: none stated
    bool modeSet = false;
    uint32_t mode = 0;
    uint8_t dosAttributes = 0;
    bool hasHeaderCrc = false;
    uint16_t headerCrc = 0;
    size_t headerCrcAt = 0;  // offset of the CRC value in the extended headers
};

void TakeExtended(uint8_t type, const uint8_t* d, size_t size, Header* h) {
    switch (type) {
    case 0x01: h->file.Set(d, size); break;
    case 0x02: h->folder.Set(d, size); break;
    case 0x44: h->fileUtf16.Set(d, size); break;
    case 0x45: h->folderUtf16.Set(d, size); break;
    case 0x46:
        if (size == 4) h->codePage = Le32(d);
        break;
    case 0x40:
        if (size == 2) h->dosAttributes = d[0];
        break;
    case 0x41:
        if (size == 24) {
            const uint64_t written = Le64(d + 8), epoch = 116444736000000000ull;
            h->entry.mtime = written >= epoch ? static_cast<int64_t>((written - epoch) / 10000000) : 0;
            h->entry.hasDosTime = false;
        }
        break;
    case 0x42:
        if (size == 16) {
            h->entry.packedSize = Le64(d);
            h->entry.size = Le64(d + 8);
        }
        break;
    case 0x50:
        if (size == 2) {
            h->mode = Le16(d);
            h->modeSet = true;
        }
        break;
    case 0x54:
        if (size == 4) {
            h->entry.mtime = Le32(d);
            h->entry.hasDosTime = false;
        }
        break;
    case 0x7F:
        if (size == 16) {
            h->dosAttributes = d[0];
            h->mode = Le16(d + 2);
            h->modeSet = true;
        }
        break;
    case 0xFF:
        if (size == 20) {
            h->mode = Le32(d);
            h->modeSet = true;
        }
        break;
    default: break;
    }
}

// The chain of extended headers at p, at most `limit` bytes including its
// closing zero size field; the bytes it takes, or 0 when it is malformed.
size_t ParseExtended(const uint8_t* p, size_t limit, size_t fieldSize, Header* h) {
    size_t at = 0;
    for (;;) {
        if (limit < fieldSize || at > limit - fieldSize) return 0;
        const uint32_t size = fieldSize == 2 ? Le16(p + at) : Le32(p + at);
        if (size == 0) return at + fieldSize;
        if (size <= fieldSize || size > limit - fieldSize - at) return 0;
        const uint8_t type = p[at + fieldSize];
        const uint8_t* data = p + at + fieldSize + 1;
        const size_t dataSize = size - fieldSize - 1;
        if (type == 0x00 && dataSize >= 2) {
            h->hasHeaderCrc = true;
            h->headerCrc = Le16(data);
            h->headerCrcAt = at + fieldSize + 1;
        }
        // A name field that starts with NUL is refused, as libarchive does.
        if ((type == 0x01 || type == 0x02 || type == 0x44 || type == 0x45) && dataSize > 0 && data[0] == 0) return 0;
        TakeExtended(type, data, dataSize, h);
        at += size;
    }
}

// The CRC of a level 2 or 3 header: all of it, with its own CRC value as zeros.
bool HeaderCrcMatches(const uint8_t* header, size_t size, size_t extendedAt, const Header& h) {
    if (!h.hasHeaderCrc) return true;
    const size_t at = extendedAt + h.headerCrcAt;
    static const uint8_t zeros[2] = {0, 0};
    uint16_t crc = Crc16(0, header, at);
    crc = Crc16(crc, zeros, 2);
    crc = Crc16(crc, header + at + 2, size - at - 2);
    return crc == h.headerCrc;
}

uint8_t ByteSum(const uint8_t* p, size_t size) {
    uint8_t sum = 0;
    for (size_t i = 0; i < size; ++i) sum = static_cast<uint8_t>(sum + p[i]);
    return sum;
}

void TakeDosTime(const uint8_t* p, Header* h) {
    h->entry.hasDosTime = true;
    h->entry.dosTime = Le16(p);
    h->entry.dosDate = Le16(p + 2);
}

// Level 0: the whole path in the base header, an optional Unix extension.
bool ReadLevel0(ArchiveFile& file, uint64_t pos, Header* h, uint64_t* dataAt) {
    const uint8_t* p = file.View(pos, kBaseSize);
    if (!p) return false;
    const size_t headerSize = p[0] + 2u, nameSize = p[21];
    const int extension = static_cast<int>(headerSize) - 24 - static_cast<int>(nameSize);
    if ((nameSize > 221 || extension < 0) && extension != -2) return false;
    p = file.View(pos, headerSize);
    if (!p || ByteSum(p + 2, headerSize - 2) != p[1]) return false;
    h->entry.packedSize = Le32(p + 7);
    h->entry.size = Le32(p + 11);
    TakeDosTime(p + 15, h);
    h->dosAttributes = p[19];
    h->file.Set(p + 22, nameSize);
    if (extension >= 0) h->entry.crc = Le16(p + 22 + nameSize);
    const uint8_t* unix = p + 24 + nameSize;
    if (extension == 12 && unix[0] == 'U') {
        h->entry.mtime = Le32(unix + 2);
        h->entry.hasDosTime = false;
        h->mode = Le16(unix + 6);
        h->modeSet = true;
    }
    *dataAt = pos + headerSize;
    return true;
}

// Level 1: the file name in the base header, the rest in extended headers
// counted in the packed size.
bool ReadLevel1(ArchiveFile& file, uint64_t pos, Header* h, uint64_t* dataAt) {
    const uint8_t* p = file.View(pos, kBaseSize);
    if (!p) return false;
    const size_t headerSize = p[0] + 2u, nameSize = p[21];
    if (nameSize > 230 || static_cast<int>(headerSize) - 27 - static_cast<int>(nameSize) < 0) return false;
    p = file.View(pos, headerSize);
    if (!p || ByteSum(p + 2, headerSize - 2) != p[1]) return false;
    if (memchr(p + 22, 0xFF, nameSize)) return false;
    const uint64_t packedWithExtended = Le32(p + 7);
    h->entry.packedSize = packedWithExtended;
    h->entry.size = Le32(p + 11);
    TakeDosTime(p + 15, h);
    h->dosAttributes = p[19];
    h->file.Set(p + 22, nameSize);
    h->entry.crc = Le16(p + 22 + nameSize);

    // The chain starts with the base header's last field; measure it first.
    const uint64_t extendedAt = pos + headerSize - 2;
    uint64_t limit = packedWithExtended + 2;
    if (limit > kMaxExtended) limit = kMaxExtended;
    if (limit > file.Size() - extendedAt) limit = file.Size() - extendedAt;
    size_t length = 0;
    for (;;) {
        const uint8_t* field = length + 2 <= limit ? file.View(extendedAt + length, 2) : nullptr;
        if (!field) return false;
        const size_t size = Le16(field);
        if (size == 0) break;
        length += size;
    }
    const uint8_t* chain = file.View(extendedAt, length + 2);
    const size_t used = chain ? ParseExtended(chain, length + 2, 2, h) : 0;
    if (used == 0 || h->entry.packedSize < used - 2) return false;
    h->entry.packedSize -= used - 2;
    *dataAt = extendedAt + used;
    return true;
}

// Levels 2 and 3: everything in extended headers, guarded by a header CRC.
bool ReadLevel2Or3(ArchiveFile& file, uint64_t pos, int level, Header* h, uint64_t* dataAt) {
    const size_t fixed = level == 2 ? 24 : 28;
    const uint8_t* p = file.View(pos, fixed);
    if (!p) return false;
    size_t headerSize = 0;
    if (level == 2) {
        headerSize = Le16(p);
    } else {
        if (Le16(p) != 4) return false;
        const uint32_t stated = Le32(p + 24);
        if (stated < fixed + 4 || stated > kMaxExtended) return false;
        headerSize = stated;
    }
    if (headerSize < fixed) return false;
    p = file.View(pos, headerSize);
    if (!p) return false;
    h->entry.packedSize = Le32(p + 7);
    h->entry.size = Le32(p + 11);
    h->entry.mtime = Le32(p + 15);
    h->entry.crc = Le16(p + 21);
    const size_t used = ParseExtended(p + fixed, headerSize - fixed, level == 2 ? 2 : 4, h);
    if (used == 0) return false;
    // Level 2 pads its header to the stated size; level 3 ends with its chain.
    const size_t covered = level == 2 ? headerSize : fixed + used;
    if (!HeaderCrcMatches(p, covered, fixed, *h)) return false;
    *dataAt = pos + covered;
    return true;
}

std::wstring DecodeAnsi(const std::string& bytes, UINT codePage) {
    return codePage ? DecodeInCodePage(bytes.data(), bytes.size(), codePage) : DecodeRawName(bytes.data(), bytes.size());
}

// The folder part: 0xFF separators become '/', and it must end in one.
bool FolderBytes(std::string bytes, std::string* out) {
    for (char& c : bytes) {
        if (static_cast<uint8_t>(c) == 0xFF) c = '/';
    }
    if (bytes.empty() || bytes.back() != '/') return false;
    *out = bytes;
    return true;
}

bool AssembleName(const Header& h, std::wstring* name) {
    std::wstring folder, file;
    std::string ansi;  // ANSI parts, decoded together
    bool folderAnsi = false;
    if (h.folderUtf16.present) {
        folder = DecodeUtf16Le(reinterpret_cast<const uint8_t*>(h.folderUtf16.bytes.data()), h.folderUtf16.bytes.size());
        for (wchar_t& c : folder) {
            if (c == 0xFFFF) c = L'/';
        }
        if (h.folderUtf16.bytes.size() % 2 != 0 || folder.empty() || folder.back() != L'/') return false;
    } else if (h.folder.present) {
        if (!FolderBytes(h.folder.bytes, &ansi)) return false;
        folderAnsi = true;
    }
    if (h.fileUtf16.present) {
        if (h.fileUtf16.bytes.size() % 2 != 0) return false;
        file = DecodeUtf16Le(reinterpret_cast<const uint8_t*>(h.fileUtf16.bytes.data()), h.fileUtf16.bytes.size());
        if (folderAnsi) folder = DecodeAnsi(ansi, h.codePage);
    } else if (folderAnsi) {
        folder = DecodeAnsi(ansi + h.file.bytes, h.codePage);
    } else {
        file = DecodeAnsi(h.file.bytes, h.codePage);
    }
    *name = folder + file;
    return true;
}

}  // namespace

int64_t FindLzhStart(ArchiveFile& file) {
    const uint8_t* p = file.View(0, kBaseSize);
    if (!p) return -1;
    if (CheckHeader(p) == 0) return 0;
    if (p[0] != 'M' || p[1] != 'Z') return -1;
    const uint64_t span = file.Size() < kSfxSearch + kBaseSize ? file.Size() : kSfxSearch + kBaseSize;
    p = file.View(0, static_cast<size_t>(span));
    if (!p) return -1;
    for (size_t at = 0; at + kBaseSize < span;) {
        const size_t skip = CheckHeader(p + at);
        if (skip == 0) return static_cast<int64_t>(at);
        at += skip;
    }
    return -1;
}

bool ReadLzhDirectory(ArchiveFile& file, uint64_t start, std::vector<LzhEntry>* entries) {
    entries->clear();
    std::vector<LzhEntry> found;
    uint64_t pos = start;
    while (pos < file.Size()) {
        const uint64_t left = file.Size() - pos;
        const uint8_t* p = file.View(pos, left < kBaseSize ? static_cast<size_t>(left) : kBaseSize);
        if (!p) return false;
        if (p[0] == 0) break;  // the end mark
        if (left < kBaseSize || CheckHeader(p) != 0) return false;
        const int level = p[20];
        const bool directory = memcmp(p + 2, "-lhd-", 5) == 0;
        Header h;
        uint64_t dataAt = 0;
        bool read = false;
        switch (level) {
        case 0: read = ReadLevel0(file, pos, &h, &dataAt); break;
        case 1: read = ReadLevel1(file, pos, &h, &dataAt); break;
        case 2:
        case 3: read = ReadLevel2Or3(file, pos, level, &h, &dataAt); break;
        default: break;
        }
        if (!read) return false;
        if (!directory && !h.fileUtf16.present && h.file.bytes.empty()) return false;
        LzhEntry& e = h.entry;
        if (!AssembleName(h, &e.name)) return false;
        const bool symlink = h.modeSet && (h.mode & 0xF000) == 0xA000;
        if (symlink) e.name = e.name.substr(0, e.name.find(L'|'));
        e.directory = directory && !symlink;
        e.readOnly = h.modeSet ? (h.mode & 0222) == 0 : (h.dosAttributes & 1) != 0;
        if (e.directory) e.size = 0;
        if (e.packedSize > UINT64_MAX - dataAt) return false;
        pos = dataAt + e.packedSize;
        found.push_back(std::move(e));
    }
    entries->swap(found);
    return true;
}

}  // namespace archiver
