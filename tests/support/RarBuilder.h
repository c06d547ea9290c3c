// RAR 4 and RAR 5 archives written byte by byte, members stored; the flags a
// reader must report are set as a packer sets them, the data left plain.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct RarMember {
    std::string name{};        // RAR 4: raw name bytes (OEM code page); RAR 5: UTF-8
    std::string data{};        // stored as is
    bool directory = false;
    bool encrypted = false;    // the item's encrypted flag (data left plain)
    std::wstring unicodeName{}; // RAR 4 only: when set, also written in the Unicode form
};

// Main header flags of RAR 4.
enum : uint16_t { kRar4Solid = 0x0008, kRar4EncryptedHeaders = 0x0080 };
// Archive flags of the RAR 5 main header.
enum : uint32_t { kRar5Volume = 0x0001, kRar5Solid = 0x0004 };

std::string BuildRar4(const std::vector<RarMember>& members, uint16_t mainFlags = 0);
// encryptedHeaders: an encryption header instead of the main one; the plain members after it must stay unread.
std::string BuildRar5(const std::vector<RarMember>& members, uint32_t archiveFlags = 0,
                      bool encryptedHeaders = false);
