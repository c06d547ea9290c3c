#include "ZipBuilder.h"

#include <zlib.h>

#include "LittleEndian.h"
#include "TestFiles.h"

namespace {

const uint32_t kLocalSignature = 0x04034b50;
const uint32_t kCentralSignature = 0x02014b50;
const uint32_t kEndSignature = 0x06054b50;
const uint32_t kDescriptorSignature = 0x08074b50;
const size_t kEndRecordSize = 22;
const size_t kCentralFixedSize = 46;

uint32_t Get16(const std::string& in, size_t at) {
    return static_cast<uint8_t>(in[at]) | static_cast<uint8_t>(in[at + 1]) << 8;
}
uint32_t Get32(const std::string& in, size_t at) {
    return Get16(in, at) | Get16(in, at + 2) << 16;
}

// Overwrites the signature at `at`; false when it lies outside zip.
bool Spoil(std::string& zip, size_t at) {
    if (at + 4 > zip.size()) return false;
    zip[at] = zip[at + 1] = 'X';
    return true;
}

std::vector<size_t> CentralRecordOffsets(const std::string& zip) {
    std::vector<size_t> offsets;
    if (zip.size() < kEndRecordSize) return offsets;
    const size_t end = zip.size() - kEndRecordSize;
    if (Get32(zip, end) != kEndSignature) return offsets;
    const uint32_t count = Get16(zip, end + 10);
    size_t at = Get32(zip, end + 16);
    for (uint32_t i = 0; i < count && at + kCentralFixedSize <= end; ++i) {
        offsets.push_back(at);
        at += kCentralFixedSize + Get16(zip, at + 28) + Get16(zip, at + 30) + Get16(zip, at + 32);
    }
    return offsets;
}

} // namespace

uint32_t Crc32(const std::string& data) {
    return static_cast<uint32_t>(
        crc32(0L, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

std::string RawDeflate(const std::string& data) {
    z_stream stream = {};
    if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return "";
    std::string out(deflateBound(&stream, static_cast<uLong>(data.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(&out[0]);
    stream.avail_out = static_cast<uInt>(out.size());
    int result = deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return result == Z_STREAM_END ? out : "";
}

std::string BuildZip(const std::vector<ZipMember>& members, bool spanned, const std::string& comment) {
    std::string zip, central;
    if (spanned) Put32(zip, kDescriptorSignature); // also the split-archive marker
    for (const ZipMember& m : members) {
        const uint32_t offset = static_cast<uint32_t>(zip.size());
        std::string packed = !m.packed.empty() ? m.packed : m.method == 8 ? RawDeflate(m.data) : m.data;
        // The 12-byte header of a traditionally encrypted member: no reader in
        // the tests is given a password, so any bytes will do.
        if (m.flags & 1) packed = std::string(12, '\x5A') + packed;
        const uint32_t crc = Crc32(m.data) ^ (m.badCrc ? 0x5A5A5A5Au : 0u);
        const uint16_t flags = static_cast<uint16_t>(m.flags | (m.dataDescriptor ? 8 : 0));
        const uint16_t needed = m.method == 0 ? 10 : 20;

        Put32(zip, kLocalSignature);
        Put16(zip, needed);
        Put16(zip, flags);
        Put16(zip, m.method);
        Put32(zip, 0x58210000); // 2024-01-01 00:00
        Put32(zip, m.dataDescriptor ? 0 : crc);
        Put32(zip, m.dataDescriptor ? 0 : static_cast<uint32_t>(packed.size()));
        Put32(zip, m.dataDescriptor ? 0 : static_cast<uint32_t>(m.data.size()));
        Put16(zip, static_cast<uint32_t>(m.name.size()));
        Put16(zip, 0); // no extra field
        zip += m.name;
        zip += packed;
        if (m.dataDescriptor) {
            Put32(zip, kDescriptorSignature);
            Put32(zip, crc);
            Put32(zip, static_cast<uint32_t>(packed.size()));
            Put32(zip, static_cast<uint32_t>(m.data.size()));
        }

        Put32(central, kCentralSignature);
        Put16(central, 20); // made by MS-DOS
        Put16(central, needed);
        Put16(central, flags);
        Put16(central, m.method);
        Put32(central, 0x58210000);
        std::string centralExtra;
        if (m.zip64) {
            Put16(centralExtra, 0x0001);
            Put16(centralExtra, 24);
            Put64(centralExtra, m.data.size());
            Put64(centralExtra, packed.size());
            Put64(centralExtra, offset);
        }
        Put32(central, crc);
        Put32(central, m.zip64 ? 0xFFFFFFFFu : static_cast<uint32_t>(packed.size()));
        Put32(central, m.zip64 ? 0xFFFFFFFFu : static_cast<uint32_t>(m.data.size()));
        Put16(central, static_cast<uint32_t>(m.name.size()));
        Put16(central, static_cast<uint32_t>(centralExtra.size()));
        Put16(central, 0); // comment length
        Put16(central, 0); // disk of the local header
        Put16(central, 0); // internal attributes
        Put32(central, m.externalAttributes);
        Put32(central, m.zip64 ? 0xFFFFFFFFu : offset);
        central += m.name;
        central += centralExtra;
    }
    const uint32_t centralOffset = static_cast<uint32_t>(zip.size());
    zip += central;
    Put32(zip, kEndSignature);
    Put16(zip, spanned ? 2 : 0); // this disk, and the disk the directory starts on
    Put16(zip, spanned ? 2 : 0);
    Put16(zip, static_cast<uint32_t>(members.size()));
    Put16(zip, static_cast<uint32_t>(members.size()));
    Put32(zip, static_cast<uint32_t>(central.size()));
    Put32(zip, centralOffset);
    Put16(zip, static_cast<uint32_t>(comment.size()));
    zip += comment;
    return zip;
}

bool WriteZip(const std::wstring& path, const std::vector<ZipMember>& members) {
    return WriteBytes(path, BuildZip(members));
}

bool ReorderCentralRecords(std::string& zip, const std::vector<int>& order) {
    std::vector<size_t> offsets = CentralRecordOffsets(zip);
    if (offsets.empty() || order.size() != offsets.size()) return false;
    const size_t end = zip.size() - kEndRecordSize;
    std::vector<std::string> records;
    for (size_t i = 0; i < offsets.size(); ++i)
        records.push_back(zip.substr(offsets[i], (i + 1 < offsets.size() ? offsets[i + 1] : end) - offsets[i]));
    std::string central;
    for (int i : order) {
        if (i < 0 || static_cast<size_t>(i) >= records.size()) return false;
        central += records[i];
    }
    zip.replace(offsets[0], central.size(), central);
    return true;
}

bool AddZip64End(std::string& zip) {
    if (zip.size() < kEndRecordSize || Get32(zip, zip.size() - kEndRecordSize) != kEndSignature) return false;
    const size_t endAt = zip.size() - kEndRecordSize;
    const std::string end = zip.substr(endAt);
    const uint64_t count = Get16(end, 10), size = Get32(end, 12), offset = Get32(end, 16);
    std::string records;
    Put32(records, 0x06064b50);
    Put64(records, 44); // size of the rest of this record
    Put16(records, 45);
    Put16(records, 45);
    Put32(records, 0);  // this disk
    Put32(records, 0);  // disk of the directory
    Put64(records, count);
    Put64(records, count);
    Put64(records, size);
    Put64(records, offset);
    Put32(records, 0x07064b50); // locator
    Put32(records, 0);
    Put64(records, endAt);
    Put32(records, 1);
    std::string saturated = end.substr(0, 8);
    Put16(saturated, 0xFFFF);
    Put16(saturated, 0xFFFF);
    Put32(saturated, 0xFFFFFFFFu);
    Put32(saturated, 0xFFFFFFFFu);
    Put16(saturated, 0);
    zip = zip.substr(0, endAt) + records + saturated;
    return true;
}

bool BreakCentralRecord(std::string& zip, int record) {
    std::vector<size_t> offsets = CentralRecordOffsets(zip);
    return record >= 0 && static_cast<size_t>(record) < offsets.size() && Spoil(zip, offsets[record]);
}

bool BreakLocalHeader(std::string& zip, int member) {
    std::vector<size_t> offsets = CentralRecordOffsets(zip);
    return member >= 0 && static_cast<size_t>(member) < offsets.size() && Spoil(zip, Get32(zip, offsets[member] + 42));
}
