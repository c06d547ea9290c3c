// Cabinets written byte by byte (one stored folder, names as raw bytes), which gcab cannot write.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct CabMember {
    std::string name;             // raw bytes, '\' between folders
    std::string data;
    uint16_t attributes = 0x20;   // 0x01 read-only, 0x80 name is UTF-8
};

std::string BuildCab(const std::vector<CabMember>& members);
