// LZH archives written byte by byte for the tests, members stored
// ("-lh0-"): level 0 headers with the whole path in the
// name field, level 1 headers with a folder field, or level 2 headers with
// name, folder, UTF-16 and code-page fields and their header CRC.
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
