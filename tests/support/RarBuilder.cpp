#include "RarBuilder.h"

#include "LittleEndian.h"
#include "ZipBuilder.h"

namespace {

void PutVint(std::string& s, uint64_t v) {
    do {
        uint8_t b = v & 0x7F;
        v >>= 7;
        if (v != 0) b |= 0x80;
        s += char(b);
    } while (v != 0);
}

// A RAR 4 block: HEAD_CRC is the low half of the CRC-32 of the header from
// HEAD_TYPE on; HEAD_SIZE counts the whole header.
std::string Rar4Block(uint8_t type, uint16_t flags, const std::string& fields) {
    std::string head;
    head += char(type);
    Put16(head, flags);
    Put16(head, uint32_t(7 + fields.size()));
    head += fields;
    std::string block;
    Put16(block, Crc32(head) & 0xFFFF);
    return block + head;
}

// The Unicode name form: ANSI name, NUL, high byte, then per four characters a flag byte 0xAA (two bytes each).
std::string Rar4UnicodeName(const std::string& ansi, const std::wstring& name) {
    std::string s = ansi;
    s += '\0';
    s += '\0'; // high byte, unused by code 2
    for (size_t i = 0; i < name.size(); i += 4) {
        s += char(0xAA);
        for (size_t j = i; j < name.size() && j < i + 4; ++j) Put16(s, uint16_t(name[j]));
    }
    return s;
}

// A RAR 5 block: CRC-32 of the size field and header, the size, the header.
std::string Rar5Block(const std::string& header) {
    std::string sized;
    PutVint(sized, header.size());
    sized += header;
    std::string block;
    Put32(block, Crc32(sized));
    return block + sized;
}

} // namespace

std::string BuildRar4(const std::vector<RarMember>& members, uint16_t mainFlags) {
    std::string out("Rar!\x1A\x07\x00", 7);
    std::string main;
    Put16(main, 0); // HighPosAV
    Put32(main, 0); // PosAV
    out += Rar4Block(0x73, mainFlags, main);
    for (const RarMember& m : members) {
        const std::string data = m.directory ? std::string() : m.data;
        const std::string name = m.unicodeName.empty() ? m.name : Rar4UnicodeName(m.name, m.unicodeName);
        uint16_t flags = 0x8000; // LONG_BLOCK: the packed data follows
        if (m.directory) flags |= 0x00E0;
        if (m.encrypted) flags |= 0x0004;
        if (!m.unicodeName.empty()) flags |= 0x0200;
        std::string f;
        Put32(f, uint32_t(data.size()));                                    // PACK_SIZE
        Put32(f, uint32_t(data.size()));                                    // UNP_SIZE
        f += char(2);                                                       // HOST_OS Windows
        Put32(f, m.directory ? 0 : Crc32(data));                            // FILE_CRC
        Put32(f, 0x5A215C00);                                               // FTIME (2025-01-01)
        f += char(29);                                                      // UNP_VER
        f += char(0x30);                                                    // METHOD stored
        Put16(f, uint32_t(name.size()));
        Put32(f, m.directory ? 0x10 : 0x20); // ATTR
        f += name;
        out += Rar4Block(0x74, flags, f);
        out += data;
    }
    out += Rar4Block(0x7B, 0x4000, std::string());
    return out;
}

std::string BuildRar5(const std::vector<RarMember>& members, uint32_t archiveFlags, bool encryptedHeaders) {
    std::string out("Rar!\x1A\x07\x01\x00", 8);
    if (encryptedHeaders) {
        std::string h;
        PutVint(h, 4);  // archive encryption header
        PutVint(h, 0);  // header flags
        PutVint(h, 0);  // AES-256
        PutVint(h, 0);  // no password check value
        h += char(15);  // key derivation count (log2)
        h += std::string(16, '\x5A'); // salt
        out += Rar5Block(h);
    } else {
        std::string h;
        PutVint(h, 1); // main archive header
        PutVint(h, 0);
        PutVint(h, archiveFlags);
        out += Rar5Block(h);
    }
    for (const RarMember& m : members) {
        const std::string data = m.directory ? std::string() : m.data;
        std::string h;
        PutVint(h, 2);                       // file header
        PutVint(h, 0x02);                    // header flags: data area present, empty for folders
        PutVint(h, data.size());
        PutVint(h, m.directory ? 0x01 : 0x04); // file flags: directory, or CRC present
        PutVint(h, data.size());
        PutVint(h, m.directory ? 0x10 : 0x20); // attributes
        if (!m.directory) Put32(h, Crc32(data));
        PutVint(h, 0); // compression: version 0, stored, smallest dictionary
        PutVint(h, 0); // host OS Windows
        PutVint(h, m.name.size());
        h += m.name;
        out += Rar5Block(h);
        out += data;
    }
    std::string end;
    PutVint(end, 5);
    PutVint(end, 0);
    PutVint(end, 0);
    out += Rar5Block(end);
    return out;
}
