// JPEG: the markers walked as the platform's decoder walks them, so that
// every scan it would decode is counted, and with it the blocks decoded.
// Time spent on a scan grows with its blocks, not with its bytes: a scan
// of a few dozen bytes can make the decoder visit every block of a large
// picture once more.
#include <cstring>

#include "thumbnail/PictureBytes.h"

namespace {

using V = PictureVerdict;

struct Frame {
    uint32_t width = 0, height = 0, components = 0, hMax = 1, vMax = 1;
    struct Component {
        uint32_t id, h, v;
    } component[4];
};

// The marker after at, found as the decoder finds it: the next 0xFF that is
// neither fill (another 0xFF) nor stuffed data (0x00). Entropy-coded data,
// restart markers included, and stray bytes between segments are passed
// over on the way. -1 when the bytes end first; at ends past the marker.
int NextMarker(const PictureBytes& b, uint64_t& at) {
    const unsigned char* data = b.data();
    const size_t size = b.size();
    while (at < size) {
        const void* found = memchr(data + at, 0xFF, size - static_cast<size_t>(at));
        if (found == nullptr) break;
        at = static_cast<uint64_t>(static_cast<const unsigned char*>(found) - data) + 1;
        while (at < size && data[at] == 0xFF) ++at;
        if (at == size) break;
        const int marker = data[at++];
        if (marker != 0) return marker;
    }
    at = size;
    return -1;
}

V ReadFrame(const PictureBytes& b, uint64_t body, uint32_t length, Frame& f) {
    f.components = b.U8(body + 5);
    if (f.components < 1 || f.components > 4 || length != 8 + 3 * f.components) return V::Damaged;
    for (uint32_t i = 0; i < f.components; ++i) {
        const uint32_t sampling = b.U8(body + 7 + 3 * i), h = sampling >> 4, v = sampling & 15;
        if (h < 1 || h > 4 || v < 1 || v > 4) return V::Damaged;
        f.component[i] = {b.U8(body + 6 + 3 * i), h, v};
        if (h > f.hMax) f.hMax = h;
        if (v > f.vMax) f.vMax = v;
    }
    f.height = b.Be16(body + 1);
    f.width = b.Be16(body + 3);
    return SizeVerdict(f.width, f.height);
}

// The blocks of one scan: a scan of one component covers that component's
// own area, a scan of several covers whole MCUs of each.
V ReadScan(const PictureBytes& b, uint64_t body, uint32_t length, const Frame& f, uint64_t& blocks) {
    const uint32_t count = b.U8(body);
    if (count < 1 || count > 4 || length != 6 + 2 * count) return V::Damaged;
    const uint64_t mcusWide = (f.width + 8 * f.hMax - 1) / (8 * f.hMax);
    const uint64_t mcusHigh = (f.height + 8 * f.vMax - 1) / (8 * f.vMax);
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t id = b.U8(body + 1 + 2 * i);
        const Frame::Component* c = nullptr;
        for (uint32_t j = 0; j < f.components && c == nullptr; ++j)
            if (f.component[j].id == id) c = &f.component[j];
        if (c == nullptr) return V::Damaged;
        if (count == 1) {
            const uint64_t wide = (uint64_t{f.width} * c->h + f.hMax - 1) / f.hMax;
            const uint64_t high = (uint64_t{f.height} * c->v + f.vMax - 1) / f.vMax;
            blocks += (wide + 7) / 8 * ((high + 7) / 8);
        } else {
            blocks += mcusWide * c->h * mcusHigh * c->v;
        }
    }
    return V::Fits;
}

bool SkippedSegment(int marker) {
    return marker == 0xC4 || marker == 0xCC || marker == 0xDB || marker == 0xDC || marker == 0xDD ||
           (marker >= 0xE0 && marker <= 0xEF) || marker == 0xFE; // tables, restart interval, APPn, COM
}

} // namespace

PictureVerdict CheckJpeg(const PictureBytes& b) {
    Frame frame;
    bool haveFrame = false;
    int scans = 0;
    uint64_t blocks = 0, at = 2;
    for (;;) {
        const int marker = NextMarker(b, at);
        if (marker < 0 || marker == 0xD9) break; // the bytes or the image end
        if ((marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) continue; // no parameters
        // A segment cut short ends the picture: what came before is all of it.
        if (!b.Has(at, 2)) break;
        const uint32_t length = b.Be16(at);
        if (length < 2) return V::Damaged;
        if (!b.Has(at, length)) break;
        const uint64_t body = at + 2;
        at += length;
        if (marker == 0xC0 || marker == 0xC1 || marker == 0xC2) { // baseline, extended, progressive
            if (haveFrame) return V::Damaged;
            haveFrame = true;
            const V size = ReadFrame(b, body, length, frame);
            if (size != V::Fits) return size;
        } else if (marker == 0xDA) {
            if (!haveFrame) return V::Damaged;
            if (++scans > kMaxJpegScans) return V::TooMany;
            const V scan = ReadScan(b, body, length, frame, blocks);
            if (scan != V::Fits) return scan;
            if (blocks > kMaxJpegScanBlocks) return V::TooMany;
        } else if (SkippedSegment(marker)) {
            continue;
        } else if (marker >= 0xC3 && marker <= 0xCF && marker != 0xC8) {
            // Lossless, hierarchical and arithmetic-coded frames: GDI+ on
            // Windows decodes none, and an arithmetic-coded scan costs the
            // decoder time in every block without a byte to pay for it.
            return V::Unrecognised;
        } else {
            return V::Damaged; // the decoder stops at a marker it does not know, or a second SOI
        }
    }
    return haveFrame && scans > 0 ? V::Fits : V::Damaged;
}
