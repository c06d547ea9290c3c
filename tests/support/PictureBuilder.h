// Pictures written byte by byte, header fields as extreme as needed; pixels are
// not zero (0x41 bytes, red GIF pixels), since zeros hide what an overrun writes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A PNG (8-bit grey unless told; colour types 0, 2 and 6) whose first `rows` rows hold 0x41 bytes.
std::string BuildPng(uint32_t width, uint32_t height, uint32_t rows, int colourType = 0, int depth = 8);

struct JpegShape {
    uint32_t width = 16, height = 16;
    int components = 3;       // each sampled 1 x 1
    int frame = 0xC0;         // the SOF marker: 0xC0 baseline, 0xC2 progressive, any other as given
    int scans = 1;            // progressive: a DC scan, then AC scans of one component each
    int restartInterval = 0;  // baseline: a restart marker after every so many MCUs
    bool data = true;         // false: the scans carry no entropy-coded data at all
    bool refine = false;      // the AC scans refine a bit, visiting every coefficient
};
// Every block is flat grey; progressive AC scans are end-of-band runs.
std::string BuildJpeg(const JpegShape& shape);

// A GIF of red frames of the sizes given, each LZW-coded.
std::string BuildGif(uint32_t screenWidth, uint32_t screenHeight, const std::vector<uint32_t>& frameSides);

// A TIFF of 8-bit grey pages, one strip (or one tile of tileSide) each; the last links to page loopTo.
struct TiffPage {
    uint32_t width, height, tileSide = 0;
};
std::string BuildTiff(const std::vector<TiffPage>& pages, int loopTo = -1);

// An icon file of these images (PNG bytes or icon DIBs); type 2 is a cursor.
std::string BuildIco(const std::vector<std::string>& images, int type = 1);
// A 32-bit icon DIB header (height doubled for the mask) and pixelBytes bytes of 0x41.
std::string BuildIconDib(int32_t width, int32_t height, size_t pixelBytes);
