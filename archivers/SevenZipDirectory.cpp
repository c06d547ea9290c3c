#include "SevenZipDirectory.h"

#include <windows.h>
#include <zlib.h>

#include <cstring>
#include <ctime>

#include "LittleEndian.h"
#include "SevenZipUnpack.h"

namespace archiver {

namespace {

enum : uint8_t {
    kEnd = 0, kHeader = 1, kArchiveProperties = 2, kMainStreamsInfo = 4, kFilesInfo = 5, kPackInfo = 6,
    kUnPackInfo = 7, kSubStreamsInfo = 8, kSize = 9, kCRC = 10, kFolder = 11, kCodersUnPackSize = 12,
    kNumUnPackStream = 13, kEmptyStream = 14, kEmptyFile = 15, kAnti = 16, kName = 17, kCTime = 18,
    kATime = 19, kMTime = 20, kAttributes = 21, kEncodedHeader = 23, kDummy = 25,
};

const uint8_t kSignature[6] = {'7', 'z', 0xBC, 0xAF, 0x27, 0x1C};
constexpr uint64_t kLibraryMax = 100000000;  // libarchive's bound on every count
constexpr uint64_t kMaxFiles = 1000000;      // more is left to libarchive
constexpr uint64_t kMaxHeader = 64u << 20;
constexpr uint64_t kPackedAhead = 16 * 1024;  // read with the header: most packed headers fit
constexpr uint64_t kMaxStreams = 64;           // per folder; 7-Zip writes at most a handful
constexpr uint32_t kTypeMask = 0170000, kTypeDirectory = 0040000, kTypeFile = 0100000, kTypeLink = 0120000;
constexpr uint64_t kEpoch = 116444736000000000ull;  // 1970 in 100 ns units since 1601

// A header's bytes, read front to back; every read checks what is left.
class Bytes {
public:
    Bytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    size_t Left() const { return size_ - at_; }
    uint32_t Crc() const { return static_cast<uint32_t>(crc32(0, data_, static_cast<uInt>(at_))); }

    const uint8_t* Take(uint64_t n) {
        if (n > Left()) return nullptr;
        const uint8_t* p = data_ + at_;
        at_ += static_cast<size_t>(n);
        return p;
    }
    bool Byte(uint8_t* b) {
        const uint8_t* p = Take(1);
        if (p) *b = *p;
        return p != nullptr;
    }
    // 7z's numbers: the first byte's leading one bits count the bytes that
    // follow (low first); its remaining bits are the top.
    bool Number(uint64_t* v) {
        uint8_t first = 0, mask = 0x80;
        if (!Byte(&first)) return false;
        *v = 0;
        for (int i = 0; i < 8; ++i) {
            if ((first & mask) == 0) {
                *v += static_cast<uint64_t>(first & (mask - 1)) << (8 * i);
                return true;
            }
            uint8_t b = 0;
            if (!Byte(&b)) return false;
            *v |= static_cast<uint64_t>(b) << (8 * i);
            mask >>= 1;
        }
        return true;
    }
    bool Count(uint64_t* v, uint64_t most = kLibraryMax) { return Number(v) && *v <= most; }
    // n flags, most significant bit first.
    bool Bools(std::vector<bool>& out, uint64_t n) {
        if (n > Left() * 8) return false;
        out.assign(static_cast<size_t>(n), false);
        uint8_t bits = 0, mask = 0;
        for (size_t i = 0; i < out.size(); ++i) {
            if (mask == 0) {
                if (!Byte(&bits)) return false;
                mask = 0x80;
            }
            out[i] = (bits & mask) != 0;
            mask >>= 1;
        }
        return true;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

struct Folder {
    uint64_t coders = 0, codec = 0;
    bool simple = true;
    std::vector<uint8_t> properties;  // the first coder's
    uint64_t outStreams = 0, packedStreams = 0;
    std::vector<uint64_t> boundOut;   // the out index of each bind pair
    std::vector<uint64_t> unpackSizes;
    bool hasDigest = false;
    uint32_t digest = 0;
    uint64_t unpackStreams = 0;

    // The size of the stream no coder of the folder consumes.
    uint64_t UnpackSize() const {
        for (size_t n = unpackSizes.size(); n-- > 0;) {
            bool bound = false;
            for (uint64_t out : boundOut) bound = bound || out == n;
            if (!bound) return unpackSizes[n];
        }
        return 0;
    }
};

struct Streams {
    uint64_t packPos = 0;
    std::vector<uint64_t> packSizes;
    std::vector<Folder> folders;
    std::vector<uint64_t> sizes;  // one per stream of the folders
};

bool Digests(Bytes& h, uint64_t n, std::vector<bool>& defined, std::vector<uint32_t>& digests) {
    uint8_t all = 0;
    if (n == 0 || !h.Byte(&all)) return false;
    if (all) {
        if (n > h.Left()) return false;
        defined.assign(static_cast<size_t>(n), true);
    } else if (!h.Bools(defined, n)) {
        return false;
    }
    digests.assign(defined.size(), 0);
    for (size_t i = 0; i < defined.size(); ++i) {
        if (!defined[i]) continue;
        const uint8_t* p = h.Take(4);
        if (!p) return false;
        digests[i] = Le32(p);
    }
    return true;
}

bool PackInfo(Bytes& h, Streams& s, uint64_t headerOffset) {
    uint64_t count = 0;
    uint8_t b = 0;
    if (!h.Number(&s.packPos) || !h.Count(&count) || count == 0 || count > h.Left()) return false;
    if (!h.Byte(&b) || b != kSize) return false;  // no sizes: refused
    s.packSizes.resize(static_cast<size_t>(count));
    uint64_t end = s.packPos;
    for (uint64_t& size : s.packSizes) {
        if (!h.Number(&size)) return false;
        end += size;
        if (end < size || end > headerOffset) return false;
    }
    if (!h.Byte(&b)) return false;
    if (b == kEnd) return true;
    std::vector<bool> defined;
    std::vector<uint32_t> digests;
    return b == kCRC && Digests(h, count, defined, digests) && h.Byte(&b) && b == kEnd;
}

bool ReadFolder(Bytes& h, Folder& f) {
    uint64_t inTotal = 0, outTotal = 0;
    if (!h.Number(&f.coders) || f.coders > 4) return false;
    for (uint64_t i = 0; i < f.coders; ++i) {
        uint8_t flags = 0;
        if (!h.Byte(&flags) || (flags & 0x80)) return false;
        const uint8_t* id = h.Take(flags & 0x0F);
        if (!id) return false;
        uint64_t codec = 0;
        for (int k = 0; k < (flags & 0x0F); ++k) codec = codec << 8 | id[k];
        uint64_t in = 1, out = 1;
        const bool simple = (flags & 0x10) == 0;
        if (!simple && (!h.Count(&in) || !h.Count(&out))) return false;
        std::vector<uint8_t> properties;
        if (flags & 0x20) {
            uint64_t size = 0;
            const uint8_t* p = h.Number(&size) ? h.Take(size) : nullptr;
            if (!p) return false;
            properties.assign(p, p + size);
        }
        if (i == 0) {
            f.codec = codec;
            f.simple = simple;
            f.properties = std::move(properties);
        }
        inTotal += in;
        outTotal += out;
    }
    if (outTotal == 0 || inTotal < outTotal - 1) return false;
    if (inTotal > kMaxStreams || outTotal > kMaxStreams) return false;  // left to libarchive
    std::vector<uint64_t> boundIn;
    for (uint64_t i = 0; i + 1 < outTotal; ++i) {
        uint64_t in = 0, out = 0;
        if (!h.Count(&in) || !h.Count(&out)) return false;
        boundIn.push_back(in);
        f.boundOut.push_back(out);
    }
    f.outStreams = outTotal;
    f.packedStreams = inTotal - boundIn.size();
    if (f.packedStreams == 1) {
        uint64_t free = 0;
        for (; free < inTotal; ++free) {
            bool bound = false;
            for (uint64_t in : boundIn) bound = bound || in == free;
            if (!bound) break;
        }
        return free < inTotal;
    }
    if (f.packedStreams > h.Left()) return false;
    for (uint64_t i = 0; i < f.packedStreams; ++i) {
        uint64_t index = 0;
        if (!h.Count(&index)) return false;
    }
    return true;
}

bool CodersInfo(Bytes& h, Streams& s) {
    uint8_t b = 0, external = 0;
    uint64_t count = 0;
    if (!h.Byte(&b) || b != kFolder || !h.Count(&count) || !h.Byte(&external)) return false;
    if (external == 0) {
        if (count > h.Left()) return false;
        s.folders.resize(static_cast<size_t>(count));
        for (Folder& f : s.folders)
            if (!ReadFolder(h, f)) return false;
    } else {
        uint64_t index = 0;
        if (external != 1 || !h.Count(&index) || count > 0) return false;
    }
    if (!h.Byte(&b) || b != kCodersUnPackSize) return false;
    for (Folder& f : s.folders) {
        if (f.outStreams > h.Left()) return false;
        f.unpackSizes.resize(static_cast<size_t>(f.outStreams));
        for (uint64_t& size : f.unpackSizes)
            if (!h.Number(&size)) return false;
    }
    if (!h.Byte(&b)) return false;
    if (b == kEnd) return true;
    std::vector<bool> defined;
    std::vector<uint32_t> digests;
    if (b != kCRC || !Digests(h, s.folders.size(), defined, digests)) return false;
    for (size_t i = 0; i < s.folders.size(); ++i) {
        s.folders[i].hasDigest = defined[i];
        s.folders[i].digest = digests[i];
    }
    return h.Byte(&b) && b == kEnd;
}

bool SubStreamsInfo(Bytes& h, Streams& s) {
    uint8_t type = 0;
    for (Folder& f : s.folders) f.unpackStreams = 1;
    if (!h.Byte(&type)) return false;
    uint64_t streams = s.folders.size();
    if (type == kNumUnPackStream) {
        streams = 0;
        for (Folder& f : s.folders) {
            if (!h.Count(&f.unpackStreams)) return false;
            streams += f.unpackStreams;
        }
        if (!h.Byte(&type)) return false;
    }
    if (streams > kMaxFiles) return false;
    s.sizes.assign(static_cast<size_t>(streams), 0);
    size_t next = 0;
    for (const Folder& f : s.folders) {
        if (f.unpackStreams == 0) continue;
        uint64_t sum = 0;
        if (type == kSize) {
            for (uint64_t k = 1; k < f.unpackStreams; ++k) {
                if (!h.Number(&s.sizes[next])) return false;
                sum += s.sizes[next++];
            }
        }
        s.sizes[next++] = f.UnpackSize() - sum;
    }
    if (type == kSize && !h.Byte(&type)) return false;
    uint64_t digestCount = 0;
    for (const Folder& f : s.folders)
        if (f.unpackStreams != 1 || !f.hasDigest) digestCount += f.unpackStreams;
    if (type == kCRC) {
        std::vector<bool> defined;
        std::vector<uint32_t> digests;
        if (!Digests(h, digestCount, defined, digests) || !h.Byte(&type)) return false;
    }
    return type == kEnd;
}

bool StreamsInfo(Bytes& h, Streams& s, uint64_t headerOffset) {
    uint8_t b = 0;
    if (!h.Byte(&b)) return false;
    if (b == kPackInfo) {
        if (!PackInfo(h, s, headerOffset) || !h.Byte(&b)) return false;
    }
    if (b == kUnPackInfo) {
        if (!CodersInfo(h, s)) return false;
        uint64_t packIndex = 0;
        for (const Folder& f : s.folders) {
            packIndex += f.packedStreams;
            if (packIndex > s.packSizes.size()) return false;
        }
        if (!h.Byte(&b)) return false;
    }
    if (b == kSubStreamsInfo) {
        if (!SubStreamsInfo(h, s) || !h.Byte(&b)) return false;
    }
    return b == kEnd;
}

struct File {
    const uint8_t* name = nullptr;  // UTF-16LE, without its terminator
    size_t nameBytes = 0;
    uint32_t attributes = 0;
    bool hasMtime = false;
    uint64_t mtime = 0;
};

bool Times(Bytes& h, std::vector<File>& files, bool modification) {
    uint8_t all = 0, external = 0;
    std::vector<bool> defined;
    if (!h.Byte(&all)) return false;
    if (all) {
        defined.assign(files.size(), true);
    } else if (!h.Bools(defined, files.size())) {
        return false;
    }
    uint64_t index = 0;
    if (!h.Byte(&external) || (external && !h.Count(&index))) return false;
    for (size_t i = 0; i < files.size(); ++i) {
        if (!defined[i]) continue;
        const uint8_t* p = h.Take(8);
        if (!p) return false;
        if (!modification) continue;
        files[i].hasMtime = true;
        files[i].mtime = Le64(p);
    }
    return true;
}

bool Names(Bytes& h, std::vector<File>& files, uint64_t size) {
    uint8_t external = 0;
    if (!h.Byte(&external) || size == 0) return false;
    --size;
    if ((size & 1) || size < files.size() * 4) return false;
    const uint8_t* p = h.Take(size);
    if (!p) return false;
    size_t at = 0;
    for (File& f : files) {
        f.name = p + at;
        while (at + 2 <= size && (p[at] || p[at + 1])) at += 2;
        if (at + 2 > size) return false;
        f.nameBytes = static_cast<size_t>(p + at - f.name);
        at += 2;
    }
    return true;
}

// The Unicode form C of a stored name, as libarchive gives it; false for a
// name that is not valid UTF-16.
bool NameOf(const File& f, bool directory, std::wstring* name) {
    name->clear();
    name->reserve(f.nameBytes / 2 + 1);
    for (size_t i = 0; i + 1 < f.nameBytes; i += 2) name->push_back(static_cast<wchar_t>(Le16(f.name + i)));
    if (directory && !name->empty() && name->back() != L'/') name->push_back(L'/');
    bool plain = true;
    for (size_t i = 0; i < name->size(); ++i) {
        const wchar_t c = (*name)[i];
        if (c < 0x300) continue;
        plain = false;
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < name->size() && (*name)[i + 1] >= 0xDC00 &&
            (*name)[i + 1] <= 0xDFFF) {
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            return false;
        }
    }
    if (plain) return true;
    const int n = NormalizeString(NormalizationC, name->c_str(), static_cast<int>(name->size()), nullptr, 0);
    if (n <= 0) return false;
    std::wstring composed(static_cast<size_t>(n), L'\0');
    const int done = NormalizeString(NormalizationC, name->c_str(), static_cast<int>(name->size()), &composed[0], n);
    if (done <= 0) return false;
    composed.resize(static_cast<size_t>(done));
    *name = std::move(composed);
    return true;
}

// The header after its kHeader byte: archive properties, streams, files.
bool ReadHeader(Bytes& h, uint64_t headerOffset, std::vector<SevenZipEntry>* entries) {
    Streams s;
    uint8_t b = 0;
    if (!h.Byte(&b)) return false;
    if (b == kArchiveProperties) {
        for (;;) {
            uint64_t size = 0;
            if (!h.Byte(&b)) return false;
            if (b == 0) break;
            if (!h.Number(&size)) return false;
        }
        if (!h.Byte(&b)) return false;
    }
    if (b == kMainStreamsInfo) {
        if (!StreamsInfo(h, s, headerOffset) || !h.Byte(&b)) return false;
    }
    if (b == kEnd) return true;
    uint64_t count = 0;
    if (b != kFilesInfo || !h.Count(&count, kMaxFiles)) return false;
    std::vector<File> files(static_cast<size_t>(count));
    std::vector<bool> emptyStream, emptyFile, anti;
    bool haveEmptyStream = false, haveEmptyFile = false, haveAnti = false, haveNames = false, haveAttributes = false;
    size_t emptyStreams = 0;
    for (;;) {
        uint8_t type = 0;
        uint64_t size = 0;
        if (!h.Byte(&type)) return false;
        if (type == kEnd) break;
        if (!h.Number(&size) || size > h.Left()) return false;
        if ((type == kEmptyFile || type == kAnti) && emptyStreams == 0) type = kDummy;  // skipped, as libarchive does
        switch (type) {
        case kEmptyStream:
            if (haveEmptyStream || !h.Bools(emptyStream, count)) return false;
            haveEmptyStream = true;
            emptyStreams = 0;
            for (bool e : emptyStream) emptyStreams += e ? 1 : 0;
            break;
        case kEmptyFile:
            if (haveEmptyFile || !h.Bools(emptyFile, emptyStreams)) return false;
            haveEmptyFile = true;
            break;
        case kAnti:
            if (haveAnti || !h.Bools(anti, emptyStreams)) return false;
            haveAnti = true;
            break;
        case kCTime:
        case kATime:
        case kMTime:
            if (!Times(h, files, type == kMTime)) return false;
            break;
        case kName:
            if (haveNames || !Names(h, files, size)) return false;
            haveNames = true;
            break;
        case kAttributes: {
            const uint8_t* p = h.Take(2);  // all defined, then "external"
            std::vector<bool> defined;
            if (!p || haveAttributes) return false;
            if (p[0]) {
                defined.assign(files.size(), true);
            } else if (!h.Bools(defined, count)) {
                return false;
            }
            haveAttributes = true;
            for (size_t i = 0; i < files.size(); ++i) {
                const uint8_t* a = defined[i] ? h.Take(4) : nullptr;
                if (defined[i] && !a) return false;
                if (a) files[i].attributes = Le32(a);
            }
            break;
        }
        default:
            if (!h.Take(size)) return false;
            break;
        }
    }

    // Kinds, sizes and the walk through the folders, as libarchive checks them.
    size_t emptyIndex = 0, streamIndex = 0;
    uint64_t folderIndex = 0, indexInFolder = 0;
    entries->reserve(files.size());
    for (size_t i = 0; i < files.size(); ++i) {
        const File& f = files[i];
        const bool hasStream = !haveEmptyStream || !emptyStream[i];
        uint32_t mode = f.attributes >> 16;
        SevenZipEntry e;
        if (hasStream) {
            if (streamIndex >= s.sizes.size()) return false;
            if (mode == 0) mode = kTypeFile | 0666;
            e.size = s.sizes[streamIndex++];
        } else {
            if (haveEmptyFile && emptyIndex >= emptyFile.size()) return false;
            const bool directory = !haveEmptyFile || !emptyFile[emptyIndex++];
            if (mode == 0) {
                mode = directory ? kTypeDirectory | 0777 : kTypeFile | 0666;
            } else if (directory && (mode & kTypeMask) != kTypeDirectory) {
                mode = (mode & ~kTypeMask) | kTypeDirectory;
            }
        }
        if (f.attributes & 0x01) mode &= ~0222u;
        if ((mode & kTypeMask) == kTypeLink) return false;  // libarchive reads its target as it lists
        if (hasStream || indexInFolder != 0) {
            if (indexInFolder == 0) {
                while (folderIndex < s.folders.size() && s.folders[folderIndex].unpackStreams == 0) ++folderIndex;
                if (folderIndex >= s.folders.size()) return false;
            }
            if (hasStream && ++indexInFolder >= s.folders[folderIndex].unpackStreams) {
                ++folderIndex;
                indexInFolder = 0;
            }
        }
        e.directory = (mode & kTypeMask) == kTypeDirectory;
        e.readOnly = (mode & 0222) == 0;
        // Only a file without a stream gets the folder's '/', as in libarchive.
        if (f.name && !NameOf(f, !hasStream && e.directory && f.nameBytes >= 2, &e.name)) return false;
        if (f.hasMtime && f.mtime >= kEpoch) {
            e.hasMtime = true;
            // In the platform's time_t, as libarchive hands it out: 32 bits on
            // this target, so a time past 2038 wraps as it did there.
            e.mtime = static_cast<time_t>((f.mtime - kEpoch) / 10000000);
        } else if (f.hasMtime) {
            e.hasMtime = true;  // before 1970: libarchive gives 0
        }
        entries->push_back(std::move(e));
    }
    return true;
}

}  // namespace

bool ReadSevenZipDirectory(ArchiveFile& file, std::vector<SevenZipEntry>* entries) {
    entries->clear();
    const uint8_t* start = file.View(0, 32);
    if (!start || memcmp(start, kSignature, sizeof(kSignature)) != 0) return false;
    const uint64_t offset = Le64(start + 12), size = Le64(start + 20);
    const uint32_t crc = Le32(start + 28);
    if (size == 0) return true;  // no header: nothing stored
    if (offset > file.Size() || size > kMaxHeader || 32 + offset > file.Size() - size) return false;
    // One read for the header and, right before it, where 7-Zip puts the
    // packed header.
    const uint64_t tail = 32 + offset > kPackedAhead ? 32 + offset - kPackedAhead : 0;
    file.Prefetch(tail, static_cast<size_t>(32 + offset + size - tail));
    const uint8_t* raw = file.View(32 + offset, static_cast<size_t>(size));
    if (!raw) return false;
    std::vector<uint8_t> header(raw, raw + size);  // the next View may replace the window
    Bytes h(header.data(), header.size());
    uint8_t first = 0;
    if (!h.Byte(&first)) return false;
    bool read = false;
    if (first == kHeader) {
        read = ReadHeader(h, offset, entries) && h.Byte(&first) && first == kEnd && h.Crc() == crc;
    } else if (first == kEncodedHeader) {
        Streams s;
        if (!StreamsInfo(h, s, offset) || h.Crc() != crc) return false;
        if (s.packSizes.empty() || s.folders.empty() || s.packSizes[0] == 0) return false;
        if (s.packPos > offset || s.packSizes[0] > offset - s.packPos) return false;
        const Folder& f = s.folders[0];
        const uint64_t unpacked = f.UnpackSize();
        if (f.coders != 1 || !f.simple || unpacked == 0 || unpacked > kMaxHeader) return false;
        const uint8_t* packed = file.View(32 + s.packPos, static_cast<size_t>(s.packSizes[0]));
        std::vector<uint8_t> plain(static_cast<size_t>(unpacked));
        if (!packed || !UnpackHeader(f.codec, f.properties, packed, static_cast<size_t>(s.packSizes[0]), plain))
            return false;
        Bytes d(plain.data(), plain.size());
        read = d.Byte(&first) && first == kHeader && ReadHeader(d, offset, entries) && d.Byte(&first) &&
               first == kEnd && (!f.hasDigest || d.Crc() == f.digest);
    }
    if (!read) entries->clear();
    return read;
}

}  // namespace archiver
