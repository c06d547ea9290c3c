// LZH archives written byte by byte, members stored ("-lh0-"), in header levels 0, 1 and 2.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct LzhMember {
    int level = 0;
    std::string name;            // level 0: the raw path ('\' between folders); else the name field
    std::string folder;          // levels 1, 2: the folder field when set (0xFF between and after folders)
    std::wstring unicodeName;    // level 2: a UTF-16 name field when set
    std::wstring unicodeFolder;  // level 2: a UTF-16 folder field when set (0xFFFF between and after)
    uint32_t codePage = 0;       // level 2: a code-page field when set
    std::string data;
};

std::string BuildLzh(const std::vector<LzhMember>& members);
