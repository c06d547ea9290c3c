// ZIP archives written byte by byte for the tests: local headers, data,
// central directory and end record, with the odd and broken forms real
// archives come in (raw name bytes in any encoding, encrypted or unsupported
// members, data descriptors, ZIP64 records, spanned, damaged).
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

// The whole archive. spanned: the file starts with the split-archive marker
// and its end record puts itself and the directory on disk 2, as in a split
// set, which single-file readers refuse. comment goes after the end record.
std::string BuildZip(const std::vector<ZipMember>& members, bool spanned = false, const std::string& comment = "");
// BuildZip written to path; false when the file could not be written.
bool WriteZip(const std::wstring& path, const std::vector<ZipMember>& members);

// Raw deflate (no zlib header) and CRC-32, as the builder writes them.
std::string RawDeflate(const std::string& data);
uint32_t Crc32(const std::string& data);

// The editors below find the central records from the end record (no
// comment assumed) and return false when there is no such record.
// Rewrites the central directory with its records in `order` (indexes into
// the records as written); the local headers stay where they are.
bool ReorderCentralRecords(std::string& zip, const std::vector<int>& order);
// Puts a ZIP64 end record and its locator before the end record, whose
// fields then say "see ZIP64".
bool AddZip64End(std::string& zip);
// Overwrites the signature of central record `record`, or of the local
// header of member `member`.
bool BreakCentralRecord(std::string& zip, int record);
bool BreakLocalHeader(std::string& zip, int member);
