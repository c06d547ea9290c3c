// ZIP archives written byte by byte, in the odd and broken forms real ones come in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The first fields in the order a brace list gives them: {name, data, method, flags}.
struct ZipMember {
    std::string name{};              // raw name bytes as stored (any encoding, any separators)
    std::string data{};              // uncompressed content
    uint16_t method = 0;             // 0 stored, 8 deflated with zlib; any other number: data stored as is
    uint16_t flags = 0;              // bit 0 encrypted (a 12-byte header precedes the data), bit 11 UTF-8
    uint32_t externalAttributes = 0; // MS-DOS attributes in the low byte (0x10 a folder)
    bool dataDescriptor = false;     // flag bit 3: CRC and sizes zero locally, in a descriptor after the data
    bool badCrc = false;             // headers carry a CRC that does not match data
    std::string packed{};            // when set, written as the member's packed bytes instead of packing data
    bool zip64 = false;              // central record: sizes and offset in a ZIP64 extra field
};

// The whole archive; spanned: marked and numbered as a disk of a split set.
std::string BuildZip(const std::vector<ZipMember>& members, bool spanned = false, const std::string& comment = "");
bool WriteZip(const std::wstring& path, const std::vector<ZipMember>& members);

// Raw deflate (no zlib header) and CRC-32, as the builder writes them.
std::string RawDeflate(const std::string& data);
uint32_t Crc32(const std::string& data);

// Editors of an archive without a comment (false when there is no such record).
// The central records in `order`, local headers left alone.
bool ReorderCentralRecords(std::string& zip, const std::vector<int>& order);
// A ZIP64 end record and locator before the end record, whose fields say "see ZIP64".
bool AddZip64End(std::string& zip);
// Spoils the signature of a central record or of a member's local header.
bool BreakCentralRecord(std::string& zip, int record);
bool BreakLocalHeader(std::string& zip, int member);
