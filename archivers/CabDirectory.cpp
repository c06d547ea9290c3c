#include "CabDirectory.h"

#include <cstring>

#include "LittleEndian.h"

namespace archiver {

namespace {

const uint8_t kSignature[8] = {'M', 'S', 'C', 'F', 0, 0, 0, 0};
constexpr size_t kHeaderSize = 36;
constexpr size_t kFolderSize = 8;
constexpr size_t kFileSize = 16;
constexpr size_t kMaxName = 255;
constexpr uint64_t kSfxSearch = 128 * 1024;
constexpr uint16_t kPrevCabinet = 0x0001, kNextCabinet = 0x0002, kReservePresent = 0x0004;
constexpr uint16_t kContinuedFromPrev = 0xFFFD, kContinuedToNext = 0xFFFE, kContinuedBoth = 0xFFFF;
constexpr uint32_t kMaxSize = 0x7FFF8000;

// Length of the NUL-terminated string at `at` of at most `most` bytes, or -1.
int StringLength(ArchiveFile& file, uint64_t at, size_t most) {
    const uint64_t left = file.Size() > at ? file.Size() - at : 0;
    const size_t room = left < most + 1 ? static_cast<size_t>(left) : most + 1;
    const uint8_t* p = room ? file.View(at, room) : nullptr;
    if (!p) return -1;
    const void* nul = memchr(p, 0, room);
    return nul ? static_cast<int>(static_cast<const uint8_t*>(nul) - p) : -1;
}

}  // namespace

int64_t FindCabinet(ArchiveFile& file) {
    const uint8_t* head = file.View(0, 8);
    if (!head) return -1;
    if (memcmp(head, kSignature, 8) == 0) return 0;
    if (head[0] != 'M' || head[1] != 'Z') return -1;
    const uint64_t span = file.Size() < kSfxSearch + 8 ? file.Size() : kSfxSearch + 8;
    const uint8_t* p = file.View(0, static_cast<size_t>(span));
    if (!p) return -1;
    for (size_t i = 0; i + 8 <= span; ++i) {
        if (p[i] == 'M' && memcmp(p + i, kSignature, 8) == 0) return static_cast<int64_t>(i);
    }
    return -1;
}

bool ReadCabDirectory(ArchiveFile& file, uint64_t start, std::vector<CabEntry>* entries) {
    entries->clear();
    const uint8_t* h = file.View(start, kHeaderSize);
    if (!h || memcmp(h, kSignature, 8) != 0) return false;
    const uint32_t filesAt = Le32(h + 16);
    const uint16_t folderCount = Le16(h + 26), fileCount = Le16(h + 28), flags = Le16(h + 30);
    if (folderCount == 0 || fileCount == 0) return false;
    uint64_t at = start + kHeaderSize;
    size_t folderReserve = 0;
    if (flags & kReservePresent) {
        const uint8_t* r = file.View(at, 4);
        if (!r || Le16(r) > 60000) return false;
        folderReserve = r[2];
        at += 4 + Le16(r);
    }
    const int names = ((flags & kPrevCabinet) ? 2 : 0) + ((flags & kNextCabinet) ? 2 : 0);
    for (int i = 0; i < names; ++i) {
        const int length = StringLength(file, at, kMaxName);
        if (length <= 0) return false;
        at += static_cast<uint64_t>(length) + 1;
    }

    std::vector<uint16_t> folderBlocks(folderCount);
    uint32_t lastDataAt = 0;
    for (uint16_t i = 0; i < folderCount; ++i) {
        const uint8_t* f = file.View(at, kFolderSize);
        if (!f) return false;
        const uint32_t dataAt = Le32(f);
        if (dataAt <= lastDataAt) return false;
        lastDataAt = dataAt;
        folderBlocks[i] = Le16(f + 4);
        at += kFolderSize + folderReserve;
    }

    // The file records come after the folder records, never among them.
    if (start + filesAt < at) return false;
    at = start + filesAt;
    std::vector<CabEntry> found;
    found.reserve(fileCount);
    int previousFolder = -1;
    uint32_t expectedOffset = 0;
    for (uint16_t i = 0; i < fileCount; ++i) {
        const uint8_t* f = file.View(at, kFileSize);
        if (!f) return false;
        CabEntry entry;
        entry.size = Le32(f);
        const uint32_t offset = Le32(f + 4);
        const uint16_t folder = Le16(f + 8);
        entry.dosDate = Le16(f + 10);
        entry.dosTime = Le16(f + 12);
        entry.attributes = Le16(f + 14);
        if (entry.size > kMaxSize || uint64_t(offset) + entry.size > kMaxSize) return false;
        int current = folder;
        if (folder == kContinuedToNext) {
            if (i != fileCount - 1) return false;
            current = folderCount - 1;
        } else if (folder == kContinuedFromPrev || folder == kContinuedBoth) {
            if (i != 0 || (folder == kContinuedBoth && fileCount != 1)) return false;
            current = 0;
            expectedOffset = offset;
            previousFolder = 0;
        } else if (folder >= folderCount) {
            return false;
        }
        if (current < previousFolder) return false;
        if (current != previousFolder) expectedOffset = 0;
        previousFolder = current;
        if (offset != expectedOffset) return false;
        expectedOffset += entry.size;
        if (entry.size > 0 && folderBlocks[current] == 0) return false;

        const int length = StringLength(file, at + kFileSize, kMaxName);
        if (length <= 0) return false;
        const uint8_t* name = file.View(at + kFileSize, static_cast<size_t>(length));
        if (!name) return false;
        entry.name.assign(reinterpret_cast<const char*>(name), static_cast<size_t>(length));
        at += kFileSize + static_cast<uint64_t>(length) + 1;
        found.push_back(std::move(entry));
    }
    entries->swap(found);
    return true;
}

}  // namespace archiver
