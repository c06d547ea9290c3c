#include "thumbnail/BitmapFileCheck.h"

#include <cstdint>

namespace {

uint32_t Read32(const unsigned char* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

uint16_t Read16(const unsigned char* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

const size_t kFileHeader = 14;
const uint32_t kCoreHeader = 12, kInfoHeader = 40;
const uint32_t kUncompressed = 0, kBitFields = 3;

} // namespace

bool BitmapFileFits(const unsigned char* bytes, size_t size) {
    if (size < 2 || bytes[0] != 'B' || bytes[1] != 'M') return true;
    if (size < kFileHeader + 4) return false;
    const uint64_t pixels = Read32(bytes + 10), header = Read32(bytes + kFileHeader);
    if (header < kCoreHeader || kFileHeader + header > size || pixels < kFileHeader + header || pixels > size)
        return false;
    uint64_t width, height, bitsPerPixel;
    uint32_t compression = kUncompressed;
    if (header == kCoreHeader) {
        width = Read16(bytes + 18);
        height = Read16(bytes + 20);
        bitsPerPixel = Read16(bytes + 24);
    } else {
        if (header < kInfoHeader - 4) return false;
        int32_t w = static_cast<int32_t>(Read32(bytes + 18)), h = static_cast<int32_t>(Read32(bytes + 22));
        // Widths and heights that overflow when negated are nothing to draw.
        if (w <= 0 || h == INT32_MIN) return false;
        width = static_cast<uint64_t>(w);
        height = static_cast<uint64_t>(h < 0 ? -h : h);
        bitsPerPixel = Read16(bytes + 28);
        compression = Read32(bytes + 30);
    }
    // Compressed rows carry their own ends; the decoder checks those.
    if (compression != kUncompressed && compression != kBitFields) return true;
    const uint64_t rowBytes = (width * bitsPerPixel + 31) / 32 * 4;
    return rowBytes * height <= size - pixels;
}
