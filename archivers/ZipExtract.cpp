#include "ZipExtract.h"

#include <zlib.h>

#include "contracts/ArchiverRecords.h"
#include "LittleEndian.h"

namespace archiver {

namespace {

constexpr uint32_t kLocalSignature = 0x04034b50;
constexpr size_t kLocalSize = 30;
constexpr size_t kInputChunk = 64 * 1024;

class Inflater {
public:
    Inflater() { ready_ = inflateInit2(&stream_, -MAX_WBITS) == Z_OK; }
    ~Inflater() {
        if (ready_) inflateEnd(&stream_);
    }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;
    bool ready() const { return ready_; }
    z_stream& stream() { return stream_; }

private:
    z_stream stream_ = {};
    bool ready_ = false;
};

int Inflate(ArchiveFile& file, uint64_t at, uint64_t packed, uint8_t* out, size_t size) {
    Inflater inflater;
    if (!inflater.ready()) return kErrNoMemory;
    z_stream& s = inflater.stream();
    s.next_out = out;
    s.avail_out = static_cast<uInt>(size);
    uint8_t spill = 0;
    bool spilling = false;
    for (;;) {
        if (s.avail_in == 0 && packed > 0) {
            const size_t chunk = packed < kInputChunk ? static_cast<size_t>(packed) : kInputChunk;
            const uint8_t* in = file.View(at, chunk);
            if (!in) return kErrCannotRead;
            s.next_in = const_cast<Bytef*>(in);
            s.avail_in = static_cast<uInt>(chunk);
            at += chunk;
            packed -= chunk;
        }
        // Output beyond the announced size goes to one spare byte: any byte
        // there means the data does not match its directory record.
        if (s.avail_out == 0) {
            if (spilling) return kErrData;
            spilling = true;
            s.next_out = &spill;
            s.avail_out = 1;
        }
        const int r = inflate(&s, Z_NO_FLUSH);
        if (spilling && s.avail_out == 0) return kErrData;
        if (r == Z_STREAM_END) break;
        if (r != Z_OK) return kErrData;
    }
    return s.total_out == size ? 0 : kErrData;
}

}  // namespace

int ExtractZipMember(ArchiveFile& file, const ZipEntry& entry, uint8_t* out, size_t capacity, size_t* written) {
    *written = 0;
    if (entry.size > capacity) return kErrBufferSmall;
    if (entry.flags & kZipEncrypted) return kErrPassword;
    if (entry.method != 0 && entry.method != 8) return kErrMethod;
    const uint8_t* local = file.View(entry.localOffset, kLocalSize);
    if (!local || Le32(local) != kLocalSignature) return kErrHeader;
    const uint64_t dataAt = entry.localOffset + kLocalSize + Le16(local + 26) + Le16(local + 28);
    if (dataAt > file.Size() || entry.packedSize > file.Size() - dataAt) return kErrHeader;

    const size_t size = static_cast<size_t>(entry.size);
    int result = 0;
    if (entry.method == 0) {
        if (entry.packedSize != entry.size) return kErrData;
        if (!file.ReadInto(dataAt, size, out)) return kErrCannotRead;
    } else {
        result = Inflate(file, dataAt, entry.packedSize, out, size);
    }
    if (result != 0) return result;
    uLong crc = crc32(0L, Z_NULL, 0);
    // crc32 takes at most 4 GiB - 1 at a time; a DWORD buffer never exceeds it.
    if (size > 0) crc = crc32(crc, out, static_cast<uInt>(size));
    if (crc != entry.crc) return kErrData;
    *written = size;
    return 0;
}

}  // namespace archiver
