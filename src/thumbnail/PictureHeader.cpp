#include "thumbnail/PictureHeader.h"

#include <cstring>

#include "thumbnail/PictureBytes.h"

bool PictureBytes::Starts(uint64_t at, const char* text, size_t length) const {
    return Has(at, length) && memcmp(data_ + at, text, length) == 0;
}

namespace {

using V = PictureVerdict;

const char kPngSignature[] = "\x89PNG\r\n\x1a\n";

V CheckPng(const PictureBytes& b) {
    // The first chunk is the 13-byte IHDR: width, height, depth, colour type.
    if (!b.Has(8, 25) || b.Be32(8) != 13 || !b.Starts(12, "IHDR", 4)) return V::Damaged;
    const uint32_t depth = b.U8(24), colour = b.U8(25);
    const bool known = (colour == 0 && (depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16)) ||
                       (colour == 3 && (depth == 1 || depth == 2 || depth == 4 || depth == 8)) ||
                       ((colour == 2 || colour == 4 || colour == 6) && (depth == 8 || depth == 16));
    if (!known) return V::Damaged;
    return SizeVerdict(b.Be32(16), b.Be32(20));
}

// A device-independent bitmap whose info header starts at `at`: in a .bmp
// file its pixel rows start at `pixels`; in an icon (pixels 0) they follow
// the header and colour table, and the height counts the mask rows too.
V CheckDib(const PictureBytes& b, uint64_t at, uint64_t pixels) {
    const bool icon = pixels == 0;
    const uint32_t kCoreHeader = 12, kShortestInfoHeader = 36;
    const uint32_t header = b.Le32(at);
    if (!b.Has(at, 4) || (header != kCoreHeader && header < kShortestInfoHeader) || !b.Has(at, header))
        return V::Damaged;
    uint64_t width, height, bitsPerPixel, colours = 0, colourBytes = 3;
    uint32_t compression = 0;
    if (header == kCoreHeader) {
        width = b.Le16(at + 4);
        height = b.Le16(at + 6);
        bitsPerPixel = b.Le16(at + 10);
    } else {
        const int32_t w = static_cast<int32_t>(b.Le32(at + 4)), h = static_cast<int32_t>(b.Le32(at + 8));
        // A negative height is a top-down picture; widths never are negative.
        if (w < 0 || h == INT32_MIN) return V::Damaged;
        width = static_cast<uint64_t>(w);
        height = static_cast<uint64_t>(h < 0 ? -static_cast<int64_t>(h) : h);
        bitsPerPixel = b.Le16(at + 14);
        compression = b.Le32(at + 16);
        colours = b.Le32(at + 32);
        colourBytes = 4;
    }
    if (icon) height /= 2;
    const V size = SizeVerdict(width, height);
    if (size != V::Fits) return size;
    const uint32_t kUncompressed = 0, kBitFields = 3, kJpeg = 4, kPng = 5;
    if (compression == kJpeg || compression == kPng) return V::Unrecognised; // a stream we never looked into
    // Compressed rows carry their own ends; the decoder checks those.
    if (compression != kUncompressed && compression != kBitFields) return V::Fits;
    if (icon) {
        if (colours == 0 && bitsPerPixel <= 8) colours = uint64_t{1} << bitsPerPixel;
        pixels = at + header + colours * colourBytes + (compression == kBitFields && header == 40 ? 12 : 0);
    }
    const uint64_t rowBytes = (width * bitsPerPixel + 31) / 32 * 4;
    return b.Has(pixels, rowBytes * height) ? V::Fits : V::Damaged;
}

V CheckBmp(const PictureBytes& b) {
    const uint64_t kFileHeader = 14;
    if (!b.Has(0, kFileHeader + 4)) return V::Damaged;
    const uint64_t pixels = b.Le32(10);
    if (pixels < kFileHeader + b.Le32(kFileHeader) || pixels > b.size()) return V::Damaged;
    return CheckDib(b, kFileHeader, pixels);
}

// Every image of the directory: the platform decodes one, and which one is
// its choice, not ours.
V CheckIcon(const PictureBytes& b) {
    const uint64_t count = b.Le16(4), kEntry = 16;
    if (count == 0 || !b.Has(6, count * kEntry)) return V::Damaged;
    for (uint64_t i = 0; i < count; ++i) {
        const uint64_t at = b.Le32(6 + i * kEntry + 12);
        const V image = b.Starts(at, kPngSignature, 8) ? CheckPng(b.From(at)) : CheckDib(b, at, 0);
        if (image != V::Fits) return image;
    }
    return V::Fits;
}

// Skips data sub-blocks (a length byte, then that many bytes, until a zero
// length); false when the bytes end first.
bool SkipSubBlocks(const PictureBytes& b, uint64_t& at) {
    while (b.Has(at, 1)) {
        const uint32_t length = b.U8(at);
        at += 1 + length;
        if (length == 0) return true;
    }
    return false;
}

V CheckGif(const PictureBytes& b) {
    const uint64_t kScreen = 13, kDescriptor = 10;
    if (!b.Has(0, kScreen)) return V::Damaged;
    const uint64_t screenWidth = b.Le16(6), screenHeight = b.Le16(8);
    // The screen may be left 0 x 0; a larger one is a canvas to draw on.
    if (screenWidth * screenHeight > kMaxPicturePixels) return V::TooLarge;
    const auto colourTable = [&](uint32_t flags) { return (flags & 0x80) ? uint64_t{3} << ((flags & 7) + 1) : 0; };
    uint64_t at = kScreen + colourTable(b.U8(10)), area = 0;
    int frames = 0;
    // A picture cut after its first frame is the decoder's to show or not.
    while (b.Has(at, 1)) {
        const uint32_t block = b.U8(at);
        if (block == 0x3B) break; // the trailer
        if (block == 0x21) {      // an extension: its label, then sub-blocks
            at += 2;
            if (!SkipSubBlocks(b, at)) break;
        } else if (block == 0x2C) {
            if (!b.Has(at, kDescriptor)) return V::Damaged;
            const uint64_t width = b.Le16(at + 5), height = b.Le16(at + 7);
            const V size = SizeVerdict(width, height);
            if (size != V::Fits) return size;
            area += width * height;
            if (++frames > kMaxGifFrames || area > kMaxGifFramePixels) return V::TooMany;
            at += kDescriptor + colourTable(b.U8(at + 9)) + 1; // and the LZW code size
            if (!SkipSubBlocks(b, at)) break;
        } else {
            return V::Damaged; // the decoder gives up on an unknown block
        }
    }
    return frames > 0 ? V::Fits : V::Damaged;
}

} // namespace

PictureHeader CheckPicture(const unsigned char* bytes, size_t size) {
    const PictureBytes b(bytes, size);
    if (b.Starts(0, "\xFF\xD8\xFF", 3)) return {PictureKind::Jpeg, CheckJpeg(b)};
    if (b.Starts(0, kPngSignature, 8)) return {PictureKind::Png, CheckPng(b)};
    if (b.Starts(0, "GIF87a", 6) || b.Starts(0, "GIF89a", 6)) return {PictureKind::Gif, CheckGif(b)};
    if (b.Starts(0, "BM", 2)) return {PictureKind::Bmp, CheckBmp(b)};
    if (b.Starts(0, "II*\0", 4) || b.Starts(0, "MM\0*", 4)) return {PictureKind::Tiff, CheckTiff(b)};
    // ICO (type 1) and CUR (type 2): a reserved zero word, then the type.
    if (b.Starts(0, "\0\0\1\0", 4) || b.Starts(0, "\0\0\2\0", 4)) return {PictureKind::Icon, CheckIcon(b)};
    return {};
}
