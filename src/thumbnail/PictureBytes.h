// What the picture header readers (PictureHeader.cpp, JpegHeader.cpp,
// TiffHeader.cpp) share: bounded reads and the size rule every image obeys.
#pragma once

#include <cstddef>
#include <cstdint>

#include "thumbnail/PictureHeader.h"

// Bytes read by offset. Has() is the check a reader makes before it trusts
// a field; the reads themselves give 0 past the end, so a forgotten check
// misreads a field but never reads outside the bytes.
class PictureBytes {
public:
    PictureBytes(const unsigned char* data, size_t size) : data_(data), size_(size) {}

    size_t size() const { return size_; }
    const unsigned char* data() const { return data_; }
    bool Has(uint64_t at, uint64_t count) const { return at <= size_ && count <= size_ - at; }
    // The bytes from at on (none when at is past the end).
    PictureBytes From(uint64_t at) const {
        return at <= size_ ? PictureBytes(data_ + at, size_ - static_cast<size_t>(at)) : PictureBytes(data_, 0);
    }

    uint32_t U8(uint64_t at) const { return Has(at, 1) ? data_[at] : 0; }
    uint32_t Le16(uint64_t at) const { return Has(at, 2) ? (data_[at] | data_[at + 1] << 8) : 0; }
    uint32_t Le32(uint64_t at) const { return Has(at, 4) ? (Le16(at) | Le16(at + 2) << 16) : 0; }
    uint32_t Be16(uint64_t at) const { return Has(at, 2) ? (data_[at] << 8 | data_[at + 1]) : 0; }
    uint32_t Be32(uint64_t at) const { return Has(at, 4) ? (Be16(at) << 16 | Be16(at + 2)) : 0; }
    bool Starts(uint64_t at, const char* text, size_t length) const;

private:
    const unsigned char* data_;
    size_t size_;
};

// The size rule of every image, frame, page and tile.
inline PictureVerdict SizeVerdict(uint64_t width, uint64_t height) {
    if (width == 0 || height == 0) return PictureVerdict::NoSize;
    if (width > kMaxPictureSide || height > kMaxPictureSide || width * height > kMaxPicturePixels)
        return PictureVerdict::TooLarge;
    return PictureVerdict::Fits;
}

PictureVerdict CheckJpeg(const PictureBytes& bytes);
PictureVerdict CheckTiff(const PictureBytes& bytes);
