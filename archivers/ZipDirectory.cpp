#include "ZipDirectory.h"

#include <cstring>

#include "LittleEndian.h"

namespace archiver {

namespace {

constexpr uint32_t kEndSignature = 0x06054b50;
constexpr uint32_t kLocatorSignature = 0x07064b50;
constexpr uint32_t kZip64EndSignature = 0x06064b50;
constexpr uint32_t kCentralSignature = 0x02014b50;
constexpr size_t kEndSize = 22;
constexpr size_t kLocatorSize = 20;
constexpr size_t kZip64EndSize = 56;
constexpr size_t kCentralSize = 46;
constexpr uint32_t kSaturated32 = 0xFFFFFFFFu;

// Where the directory is and what it holds, from the end records.
struct EndInfo {
    uint64_t entries = 0;
    uint64_t directorySize = 0;
    uint64_t directoryOffset = 0;
    uint64_t anchor = 0;        // where the directory must end, before any stub shift
    bool countMayWrap = true;   // a 16-bit count
};

bool ReadEnd(ArchiveFile& file, uint64_t endAt, EndInfo* info) {
    const uint8_t* e = file.View(endAt, kEndSize);
    if (!e || Le32(e) != kEndSignature) return false;
    uint32_t disk = Le16(e + 4), directoryDisk = Le16(e + 6);
    uint64_t onDisk = Le16(e + 8);
    info->entries = Le16(e + 10);
    info->directorySize = Le32(e + 12);
    info->directoryOffset = Le32(e + 16);
    info->anchor = endAt;
    info->countMayWrap = true;
    if (endAt >= kLocatorSize) {
        const uint8_t* locator = file.View(endAt - kLocatorSize, kLocatorSize);
        if (!locator) return false;
        if (Le32(locator) == kLocatorSignature) {
            const uint64_t at = Le64(locator + 8);
            const uint8_t* z = at <= endAt - kLocatorSize ? file.View(at, kZip64EndSize) : nullptr;
            if (!z || Le32(z) != kZip64EndSignature) return false;
            disk = Le32(z + 16);
            directoryDisk = Le32(z + 20);
            onDisk = Le64(z + 24);
            info->entries = Le64(z + 32);
            info->directorySize = Le64(z + 40);
            info->directoryOffset = Le64(z + 48);
            info->anchor = at;
            info->countMayWrap = false;
        }
    }
    return disk == 0 && directoryDisk == 0 && onDisk == info->entries;
}

// The ZIP64 extra field's values for the fields that are saturated.
bool ApplyZip64Extra(const uint8_t* extra, size_t size, ZipEntry* entry, bool offsetSaturated) {
    const bool sizeSaturated = entry->size == kSaturated32;
    const bool packedSaturated = entry->packedSize == kSaturated32;
    if (!sizeSaturated && !packedSaturated && !offsetSaturated) return true;
    size_t at = 0;
    while (at + 4 <= size) {
        const uint16_t id = Le16(extra + at), length = Le16(extra + at + 2);
        if (at + 4 + length > size) return false;
        if (id == 0x0001) {
            const uint8_t* v = extra + at + 4;
            size_t left = length;
            for (uint64_t* field : {sizeSaturated ? &entry->size : nullptr,
                                    packedSaturated ? &entry->packedSize : nullptr,
                                    offsetSaturated ? &entry->localOffset : nullptr}) {
                if (!field) continue;
                if (left < 8) return false;
                *field = Le64(v);
                v += 8;
                left -= 8;
            }
            return true;
        }
        at += 4 + length;
    }
    return false;
}

// One central record at `r` of at most `room` bytes; its length, or 0.
size_t ReadRecord(const uint8_t* r, size_t room, uint64_t shift, ZipEntry* entry) {
    if (room < kCentralSize || Le32(r) != kCentralSignature) return 0;
    const size_t nameSize = Le16(r + 28), extraSize = Le16(r + 30), commentSize = Le16(r + 32);
    const size_t length = kCentralSize + nameSize + extraSize + commentSize;
    if (length > room) return 0;
    entry->versionMadeBy = Le16(r + 4);
    entry->flags = Le16(r + 8);
    entry->method = Le16(r + 10);
    entry->dosTime = Le16(r + 12);
    entry->dosDate = Le16(r + 14);
    entry->crc = Le32(r + 16);
    entry->packedSize = Le32(r + 20);
    entry->size = Le32(r + 24);
    entry->externalAttributes = Le32(r + 38);
    const uint32_t offset = Le32(r + 42);
    entry->localOffset = offset;
    entry->name.assign(reinterpret_cast<const char*>(r + kCentralSize), nameSize);
    if (!ApplyZip64Extra(r + kCentralSize + nameSize, extraSize, entry, offset == kSaturated32)) return 0;
    if (entry->localOffset > UINT64_MAX - shift) return 0;
    entry->localOffset += shift;
    return length;
}

bool ReadFromEnd(ArchiveFile& file, uint64_t endAt, std::vector<ZipEntry>* entries) {
    EndInfo end;
    if (!ReadEnd(file, endAt, &end)) return false;
    if (end.directorySize > end.anchor || end.directoryOffset > end.anchor - end.directorySize) return false;
    if (end.directorySize > kMaxZipDirectory || end.entries > end.directorySize / kCentralSize) return false;
    // A stub before the archive moves everything by the same amount.
    const uint64_t shift = end.anchor - end.directorySize - end.directoryOffset;
    const size_t size = static_cast<size_t>(end.directorySize);
    if (size == 0) return end.entries == 0;
    const uint8_t* directory = file.View(end.directoryOffset + shift, size);
    if (!directory) return false;

    std::vector<ZipEntry> found;
    found.reserve(static_cast<size_t>(end.entries));
    size_t at = 0;
    while (at < size && (found.size() < end.entries || end.countMayWrap)) {
        ZipEntry entry;
        const size_t length = ReadRecord(directory + at, size - at, shift, &entry);
        if (length == 0) break;
        found.push_back(std::move(entry));
        at += length;
    }
    const bool complete = found.size() == end.entries ||
                          (end.countMayWrap && found.size() > 0xFFFF && found.size() % 0x10000 == end.entries);
    if (!complete) return false;
    entries->swap(found);
    return true;
}

}  // namespace

bool ReadZipDirectory(ArchiveFile& file, std::vector<ZipEntry>* entries) {
    entries->clear();
    const uint64_t fileSize = file.Size();
    if (fileSize < kEndSize) return false;
    const size_t tail = static_cast<size_t>(fileSize < kEndSize + 0xFFFF + kLocatorSize
                                                ? fileSize
                                                : kEndSize + 0xFFFF + kLocatorSize);
    const uint64_t tailStart = fileSize - tail;
    if (!file.Prefetch(tailStart, tail)) return false;
    // The end record nearest the end of the file whose directory reads: a
    // comment may hold the signature too.
    for (size_t i = tail - kEndSize + 1; i-- > 0;) {
        const uint8_t* t = file.View(tailStart, tail);
        if (!t) return false;
        if (Le32(t + i) != kEndSignature) continue;
        const size_t commentSize = Le16(t + i + 20);
        if (commentSize > tail - i - kEndSize) continue;
        if (ReadFromEnd(file, tailStart + i, entries)) return true;
    }
    return false;
}

}  // namespace archiver
