#include "RarFormat.h"

#include <cstring>

#include "UnrarApi.h"

namespace rarformat {
namespace {

const uint8_t kSig4[7] = {'R', 'a', 'r', '!', 0x1A, 0x07, 0x00};
const uint8_t kSig5[8] = {'R', 'a', 'r', '!', 0x1A, 0x07, 0x01, 0x00};

ArchiveInfo ReadRar4(const uint8_t* data, size_t size) {
    ArchiveInfo info;
    // Marker block, then HEAD_CRC(2) HEAD_TYPE(1) HEAD_FLAGS(2) HEAD_SIZE(2).
    const size_t at = sizeof(kSig4);
    if (size < at + 7 || data[at + 2] != 0x73) return info;
    const unsigned headFlags = data[at + 3] | (unsigned(data[at + 4]) << 8);
    info.kind = Kind::Rar4;
    // The main header's low nine bits are the open record's bits one for one:
    // volume, comment, locked, solid, new naming, signed, recovery,
    // encrypted headers, first volume.
    info.flags = headFlags & 0x1FF;
    if ((info.flags & kRarVolume) == 0) info.flags &= ~unsigned(kRarFirstVolume);
    return info;
}

ArchiveInfo ReadRar5(const uint8_t* data, size_t size) {
    ArchiveInfo info;
    size_t pos = sizeof(kSig5) + 4; // header CRC32
    uint64_t headSize = 0, type = 0, headFlags = 0, skip = 0, archiveFlags = 0;
    if (!ReadVint(data, size, pos, headSize) || headSize == 0 || headSize > size - pos) return info;
    const size_t end = pos + size_t(headSize);
    if (!ReadVint(data, end, pos, type)) return info;
    if (type == 4) {
        // The archive encryption header comes first when every later header,
        // the main one included, is encrypted.
        info.kind = Kind::Rar5;
        info.flags = kRarEncryptedHeaders | kRarNewNaming;
        return info;
    }
    if (type != 1 || !ReadVint(data, end, pos, headFlags)) return info;
    if ((headFlags & 0x01) != 0 && !ReadVint(data, end, pos, skip)) return info; // extra area size
    if ((headFlags & 0x02) != 0 && !ReadVint(data, end, pos, skip)) return info; // data size
    if (!ReadVint(data, end, pos, archiveFlags)) return info;
    uint64_t volumeNumber = 0;
    if ((archiveFlags & 0x0002) != 0 && !ReadVint(data, end, pos, volumeNumber)) return info;
    info.kind = Kind::Rar5;
    info.flags = kRarNewNaming; // RAR 5 volumes are always named .partN.rar
    if (archiveFlags & 0x0001) {
        info.flags |= kRarVolume;
        if (volumeNumber == 0) info.flags |= kRarFirstVolume;
    }
    if (archiveFlags & 0x0004) info.flags |= kRarSolid;
    if (archiveFlags & 0x0008) info.flags |= 0x40; // recovery record
    if (archiveFlags & 0x0010) info.flags |= kRarLocked;
    return info;
}

} // namespace

// 7 bits a byte, low first, high bit set while more follow.
bool ReadVint(const uint8_t* data, size_t size, size_t& pos, uint64_t& value) {
    value = 0;
    for (unsigned i = 0; i < 10; ++i) {
        if (pos >= size) return false;
        const uint8_t b = data[pos++];
        value |= uint64_t(b & 0x7F) << (7 * i);
        if ((b & 0x80) == 0) return true;
    }
    return false;
}

long FindSignature(const uint8_t* data, size_t size) {
    if (data == nullptr || size < sizeof(kSig4)) return -1;
    if (std::memcmp(data, kSig4, 6) == 0) return 0;
    if (size < 2 || data[0] != 'M' || data[1] != 'Z') return -1;
    for (size_t i = 2; i + sizeof(kSig4) <= size; ++i) {
        if (data[i] == 'R' && std::memcmp(data + i, kSig4, 6) == 0) return long(i);
    }
    return -1;
}

ArchiveInfo ReadArchiveInfo(const uint8_t* data, size_t size) {
    if (data == nullptr) return {};
    if (size >= sizeof(kSig5) && std::memcmp(data, kSig5, sizeof(kSig5)) == 0) return ReadRar5(data, size);
    if (size >= sizeof(kSig4) && std::memcmp(data, kSig4, sizeof(kSig4)) == 0) return ReadRar4(data, size);
    return {};
}

} // namespace rarformat
