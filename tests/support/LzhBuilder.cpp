#include "LzhBuilder.h"

#include "LittleEndian.h"

namespace {

uint16_t Crc16(const std::string& bytes) {
    uint16_t crc = 0;
    for (unsigned char b : bytes) {
        crc ^= b;
        for (int k = 0; k < 8; ++k) crc = (crc & 1) ? uint16_t((crc >> 1) ^ 0xA001) : uint16_t(crc >> 1);
    }
    return crc;
}

std::string Utf16(const std::wstring& text) {
    std::string s;
    for (wchar_t c : text) Put16(s, uint16_t(c));
    return s;
}

// Method, sizes and the fields up to the level byte, as every level starts.
std::string Common(const LzhMember& m, uint32_t time, uint8_t attribute, size_t packedExtra = 0) {
    std::string s = "-lh0-";
    Put32(s, uint32_t(m.data.size() + packedExtra));
    Put32(s, uint32_t(m.data.size()));
    Put32(s, time);
    s += char(attribute);
    s += char(m.level);
    return s;
}

// Levels 0 and 1: a checksummed base header; level 1's extended headers count in the packed size.
std::string Level0Or1(const LzhMember& m) {
    std::string chain;
    if (m.level == 1) {
        if (!m.folder.empty()) {
            Put16(chain, uint32_t(3 + m.folder.size()));
            chain += char(0x02);
            chain += m.folder;
        }
        Put16(chain, 0);
    }
    std::string body = Common(m, 0x50221883, 0x20, chain.empty() ? 0 : chain.size() - 2); // 2020-01-02 03:04:06
    body += char(m.name.size());
    body += m.name;
    Put16(body, Crc16(m.data));
    if (m.level == 1) body += 'M' + chain.substr(0, 2);
    unsigned sum = 0;
    for (unsigned char b : body) sum += b;
    return std::string(1, char(body.size())) + char(sum & 0xFF) + body + (chain.empty() ? "" : chain.substr(2));
}

std::string Level2(const LzhMember& m) {
    std::string extended;
    auto add = [&](uint8_t type, const std::string& data) {
        Put16(extended, uint32_t(3 + data.size()));
        extended += char(type);
        extended += data;
    };
    add(0x00, std::string(3, '\0')); // header CRC, filled in below
    add(0x01, m.name);
    if (!m.folder.empty()) add(0x02, m.folder);
    if (!m.unicodeName.empty()) add(0x44, Utf16(m.unicodeName));
    if (!m.unicodeFolder.empty()) add(0x45, Utf16(m.unicodeFolder));
    if (m.codePage != 0) {
        std::string cp;
        Put32(cp, m.codePage);
        add(0x46, cp);
    }
    Put16(extended, 0);
    std::string header;
    Put16(header, uint32_t(24 + extended.size()));
    header += Common(m, 1577934246, 0x20); // 2020-01-02 03:04:06 UTC
    Put16(header, Crc16(m.data));
    header += 'w';
    header += extended;
    const uint16_t crc = Crc16(header);
    header[24 + 3] = char(crc & 0xFF);
    header[24 + 4] = char(crc >> 8);
    return header;
}

} // namespace

std::string BuildLzh(const std::vector<LzhMember>& members) {
    std::string out;
    for (const LzhMember& m : members) out += (m.level < 2 ? Level0Or1(m) : Level2(m)) + m.data;
    out += '\0';
    return out;
}
