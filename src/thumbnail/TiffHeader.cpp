// TIFF: every page's directory, followed from the header along the chain of
// next-directory offsets. The decoder walks the whole chain to count the
// pages before it draws the first.
#include "thumbnail/PictureBytes.h"

namespace {

using V = PictureVerdict;

class TiffBytes {
public:
    explicit TiffBytes(const PictureBytes& b) : b_(b), bigEndian_(b.U8(0) == 'M') {}

    uint32_t U16(uint64_t at) const { return bigEndian_ ? b_.Be16(at) : b_.Le16(at); }
    uint32_t U32(uint64_t at) const { return bigEndian_ ? b_.Be32(at) : b_.Le32(at); }
    bool Has(uint64_t at, uint64_t count) const { return b_.Has(at, count); }
    uint64_t size() const { return b_.size(); }

    // The first value of the directory entry at `entry`, for the integer
    // types a size is read from; false for any other type, no value, or a
    // value outside the bytes.
    bool FirstValue(uint64_t entry, uint32_t& value) const {
        const uint32_t type = U16(entry + 2), count = U32(entry + 4);
        const uint32_t width = type == 1 || type == 6 ? 1 : type == 3 || type == 8 ? 2 : type == 4 || type == 9 ? 4 : 0;
        if (width == 0 || count == 0) return false;
        const uint64_t at = uint64_t{count} * width <= 4 ? entry + 8 : U32(entry + 8);
        if (!Has(at, width)) return false;
        value = width == 1 ? b_.U8(at) : width == 2 ? U16(at) : U32(at);
        return true;
    }

private:
    const PictureBytes& b_;
    bool bigEndian_;
};

struct Page {
    uint32_t width = 0, height = 0, bitsPerSample = 1, samples = 1, compression = 1;
    uint32_t tileWidth = 0, tileHeight = 0;
    bool tiled = false;
};

V CheckPage(const Page& page) {
    const V size = SizeVerdict(page.width, page.height);
    if (size != V::Fits) return size;
    // The widest pixel the decoder knows is 128 bits (four 32-bit floats).
    if (uint64_t{page.bitsPerSample} * page.samples > 128) return V::TooLarge;
    // Strips that are JPEG streams would decode scans no one has counted.
    if (page.compression == 6 || page.compression == 7) return V::Unrecognised;
    return page.tiled ? SizeVerdict(page.tileWidth, page.tileHeight) : V::Fits;
}

} // namespace

PictureVerdict CheckTiff(const PictureBytes& bytes) {
    const TiffBytes t(bytes);
    const uint64_t kEntry = 12;
    uint64_t directory = t.U32(4), tables = 0;
    int pages = 0;
    while (directory != 0) {
        if (++pages > kMaxTiffPages) return V::TooMany;
        const uint64_t count = t.U16(directory), table = 2 + count * kEntry + 4;
        // Directories never share bytes. A chain that loops, or directories
        // that overlap, would have them read again and again: their tables
        // soon add up to more than the file holds.
        tables += table;
        if (!t.Has(directory, table) || tables > t.size()) return V::Damaged;
        Page page;
        for (uint64_t i = 0; i < count; ++i) {
            const uint64_t entry = directory + 2 + i * kEntry;
            const uint32_t tag = t.U16(entry);
            uint32_t* field = tag == 256   ? &page.width
                              : tag == 257 ? &page.height
                              : tag == 258 ? &page.bitsPerSample
                              : tag == 259 ? &page.compression
                              : tag == 277 ? &page.samples
                              : tag == 322 ? &page.tileWidth
                              : tag == 323 ? &page.tileHeight
                                           : nullptr;
            if (field == nullptr) continue;
            if (!t.FirstValue(entry, *field)) return V::Damaged;
            if (tag == 322) page.tiled = true;
        }
        const V verdict = CheckPage(page);
        if (verdict != V::Fits) return verdict;
        directory = t.U32(directory + 2 + count * kEntry);
    }
    return pages > 0 ? V::Fits : V::Damaged;
}
