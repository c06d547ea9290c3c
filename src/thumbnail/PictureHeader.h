// A first look at a picture's own header before GDI+ is trusted with it.
// The platform's decoders size their buffers in 32 bits, keep every GIF
// frame in memory and decode JPEG scan after scan without a bound: a picture
// that would make them overrun a buffer, fill the 32-bit process or run for
// minutes is refused here, and its row shows the type icon.
//
// Contract:
// - CheckPicture recognises the kind by content, never by name: JPEG
//   (baseline, extended or progressive; Huffman-coded), PNG, GIF, BMP, TIFF
//   (II or MM) and ICO/CUR. Everything else is Unrecognised: EMF, WMF,
//   arithmetic-coded, lossless and hierarchical JPEG, BigTIFF, TIFF pages
//   and BMP files whose data are JPEG or PNG streams, text.
// - A recognised picture Fits when every image in it (each GIF frame and the
//   GIF screen, each TIFF page and its tiles, each icon image, the one image
//   of the others) has sides of 1 to kMaxPictureSide pixels and at most
//   kMaxPicturePixels pixels, when the counts and totals below hold, and
//   when its headers are whole and consistent (a .bmp's or a DIB icon's
//   uncompressed pixel rows inside the bytes, TIFF directories that neither
//   loop nor overlap).
// - Time linear in size; nothing outside bytes[0, size) is read. Any thread.
#pragma once

#include <cstddef>
#include <cstdint>

const uint32_t kMaxPictureSide = 65535;
const uint64_t kMaxPicturePixels = 8192 * 8192;
const int kMaxGifFrames = 4096;
const uint64_t kMaxGifFramePixels = 4 * kMaxPicturePixels; // all frames together
const int kMaxTiffPages = 1024;
const int kMaxJpegScans = 100;
// 8 x 8 blocks decoded over all scans, each scan counting the blocks of
// every component it carries.
const uint64_t kMaxJpegScanBlocks = 32 * 1024 * 1024;

// No row, frame or tile the decoders size in 32 bits can overflow: at up
// to 128 bits a pixel, the largest image that fits needs 1 GiB.
static_assert(kMaxPicturePixels * 16 <= 0xFFFFFFFFu, "decoder sizes stay within 32 bits");

enum class PictureKind { None, Jpeg, Png, Gif, Bmp, Tiff, Icon };

enum class PictureVerdict {
    Fits,
    Unrecognised,
    Damaged,  // a header cut short or inconsistent
    NoSize,   // a side of zero, or none given
    TooLarge, // a side, an area or a TIFF pixel's bits over the limits
    TooMany,  // frames, pages, scans or their totals over the limits
};

struct PictureHeader {
    PictureKind kind = PictureKind::None;
    PictureVerdict verdict = PictureVerdict::Unrecognised;
};

PictureHeader CheckPicture(const unsigned char* bytes, size_t size);
