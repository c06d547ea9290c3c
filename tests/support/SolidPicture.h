// A 24-bit .bmp of one colour, for thumbnails checked pixel by pixel.
#pragma once

#include <windows.h>

#include <string>

#include "LittleEndian.h"

inline std::string SolidBmp(int width, int height, COLORREF colour) {
    const uint32_t row = (uint32_t(width) * 3 + 3) & ~3u;
    std::string s = "BM";
    for (uint32_t v : {54 + row * height, 0u, 54u, 40u, uint32_t(width), uint32_t(height), 1u | 24u << 16}) Put32(s, v);
    s.append(24, '\0'); // no compression; sizes and palette counts left 0
    std::string line(row, '\0');
    for (int x = 0; x < width; ++x)
        line.replace(x * 3, 3, {char(GetBValue(colour)), char(GetGValue(colour)), char(GetRValue(colour))});
    for (int y = 0; y < height; ++y) s += line;
    return s;
}
