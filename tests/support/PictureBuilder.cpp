#include "PictureBuilder.h"

#include <zlib.h>

#include <algorithm>

#include "LittleEndian.h"
#include "ZipBuilder.h"

namespace {

void PutBe(std::string& out, uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<char>(value >> (8 * i)));
}

void SetLe32(std::string& out, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>(value >> (8 * i));
}

std::string PngChunk(const char* type, const std::string& data) {
    const std::string body = std::string(type, 4) + data;
    std::string out;
    PutBe(out, static_cast<uint32_t>(data.size()), 4);
    out += body;
    PutBe(out, Crc32(body), 4);
    return out;
}

// Bits written most significant first, as JPEG entropy-coded data is: a
// 0xFF byte is followed by a stuffed 0x00, and Flush pads with 1 bits.
class JpegBits {
public:
    void Put(uint32_t value, int count) {
        while (count-- > 0) {
            byte_ = static_cast<uint8_t>(byte_ << 1 | ((value >> count) & 1));
            if (++bits_ == 8) Emit();
        }
    }
    std::string Flush() {
        if (bits_ > 0) Put(0xFF, 8 - bits_);
        std::string done;
        done.swap(out_);
        return done;
    }

private:
    void Emit() {
        out_.push_back(static_cast<char>(byte_));
        if (byte_ == 0xFF) out_.push_back('\0');
        byte_ = 0;
        bits_ = 0;
    }
    std::string out_;
    uint8_t byte_ = 0;
    int bits_ = 0;
};

std::string JpegSegment(int marker, const std::string& body) {
    std::string out = {'\xFF', static_cast<char>(marker)};
    PutBe(out, static_cast<uint32_t>(body.size() + 2), 2);
    return out + body;
}

std::string ScanHeader(int first, int count, int ss, int se, int ahal) {
    std::string body(1, static_cast<char>(count));
    for (int c = first; c < first + count; ++c) body += {static_cast<char>(c + 1), '\0'};
    return JpegSegment(0xDA, body + std::string{static_cast<char>(ss), static_cast<char>(se), static_cast<char>(ahal)});
}

} // namespace

std::string BuildPng(uint32_t width, uint32_t height, uint32_t rows, int colourType, int depth) {
    const uint32_t channels = colourType == 2 ? 3 : colourType == 6 ? 4 : 1;
    std::string header;
    PutBe(header, width, 4);
    PutBe(header, height, 4);
    header += {static_cast<char>(depth), static_cast<char>(colourType), 0, 0, 0};
    // Deflated a row at a time: the largest pictures never exist unpacked.
    std::string row = '\0' + std::string(static_cast<size_t>(width) * channels * depth / 8, 'A'), packed;
    z_stream z = {};
    deflateInit(&z, 9);
    char buffer[65536];
    for (uint32_t y = 0; y <= rows; ++y) {
        z.next_in = reinterpret_cast<Bytef*>(&row[0]);
        z.avail_in = y < rows ? static_cast<uInt>(row.size()) : 0;
        int result;
        do {
            z.next_out = reinterpret_cast<Bytef*>(buffer);
            z.avail_out = sizeof(buffer);
            result = deflate(&z, y < rows ? Z_NO_FLUSH : Z_FINISH);
            packed.append(buffer, sizeof(buffer) - z.avail_out);
        } while (z.avail_out == 0 && result == Z_OK);
    }
    deflateEnd(&z);
    return "\x89PNG\r\n\x1a\n" + PngChunk("IHDR", header) + PngChunk("IDAT", packed) + PngChunk("IEND", "");
}

std::string BuildJpeg(const JpegShape& s) {
    std::string out = "\xFF\xD8" + JpegSegment(0xDB, std::string(1, '\0') + std::string(64, '\1'));
    // DC: category 0 is the code 0. AC: run-length symbols 0x00 (end of
    // block) to 0xE0 (end of band over 2^14 and more blocks), four bits each.
    out += JpegSegment(0xC4, std::string{0, 1} + std::string(15, '\0') + std::string(1, '\0'));
    std::string ac = {0x10, 0, 0, 0, 15};
    ac += std::string(12, '\0');
    for (int r = 0; r < 15; ++r) ac.push_back(static_cast<char>(r << 4));
    out += JpegSegment(0xC4, ac);
    if (s.restartInterval > 0) out += JpegSegment(0xDD, std::string{0, static_cast<char>(s.restartInterval)});
    std::string frame(1, 8);
    PutBe(frame, s.height, 2);
    PutBe(frame, s.width, 2);
    frame.push_back(static_cast<char>(s.components));
    for (int c = 0; c < s.components; ++c) frame += {static_cast<char>(c + 1), 0x11, 0};
    out += JpegSegment(s.frame, frame);
    const uint64_t blocks = uint64_t{(s.width + 7) / 8} * ((s.height + 7) / 8);
    const bool progressive = s.frame == 0xC2;
    for (int scan = 0; scan < s.scans; ++scan) {
        JpegBits bits;
        if (scan == 0) {
            out += ScanHeader(0, s.components, 0, progressive ? 0 : 63, 0);
            for (uint64_t b = 0; s.data && b < blocks; ++b) {
                for (int c = 0; c < s.components; ++c) bits.Put(0, progressive ? 1 : 5); // DC 0, end of block
                if (s.restartInterval > 0 && (b + 1) % s.restartInterval == 0 && b + 1 < blocks)
                    out += bits.Flush() + std::string{'\xFF', static_cast<char>(0xD0 + (b / s.restartInterval) % 8)};
            }
        } else {
            out += ScanHeader((scan - 1) % s.components, 1, 1, 63, s.refine ? 0x10 : 0);
            for (uint64_t left = blocks; s.data && left > 0;) { // end-of-band runs of up to 32,767 blocks
                const uint32_t run = static_cast<uint32_t>(left < 32767 ? left : 32767);
                int r = 0;
                while ((run >> (r + 1)) != 0) ++r;
                bits.Put(r, 4);
                bits.Put(run - (1u << r), r);
                left -= run;
            }
        }
        out += bits.Flush();
    }
    return out + "\xFF\xD9";
}

// Runs of colour 1 coded as the strings 1, 11, 111, ... (run n is the entry made
// after run n - 1); the table starts over at its 4,095th entry.
std::string BuildGif(uint32_t screenWidth, uint32_t screenHeight, const std::vector<uint32_t>& frameSides) {
    std::string out = "GIF89a";
    Put16(out, screenWidth);
    Put16(out, screenHeight);
    out += {'\x80', 0, 0, 0, 0, 0, '\xFF', 0, 0}; // two colours: black, red
    const uint32_t kClear = 4, kEnd = 5;
    for (uint32_t side : frameSides) {
        out += ',';
        for (uint32_t v : {0u, 0u, side, side}) Put16(out, v);
        out += {0, 2}; // no colour table of its own; LZW code size 2
        std::string codes;
        uint32_t pending = 0, pendingBits = 0, width = 3;
        auto put = [&](uint32_t code) {
            pending |= code << pendingBits;
            for (pendingBits += width; pendingBits >= 8; pendingBits -= 8, pending >>= 8)
                codes.push_back(static_cast<char>(pending));
        };
        put(kClear);
        uint32_t made = 0;
        for (uint64_t left = uint64_t{side} * side; left > 0;) {
            ++made;
            const uint32_t run = static_cast<uint32_t>(left < made ? left : made);
            put(run == 1 ? 1 : kEnd + run - 1);
            left -= run;
            if (kEnd + made >= (1u << width) && width < 12) ++width;
            if (kEnd + made >= 4095) {
                put(kClear);
                width = 3;
                made = 0;
            }
        }
        put(kEnd);
        if (pendingBits > 0) codes.push_back(static_cast<char>(pending));
        for (size_t at = 0; at < codes.size(); at += 255) {
            const std::string block = codes.substr(at, 255);
            out += static_cast<char>(block.size()) + block;
        }
        out += '\0';
    }
    return out + ';';
}

std::string BuildTiff(const std::vector<TiffPage>& pages, int loopTo) {
    std::string out = "II*";
    out += '\0';
    std::vector<size_t> directories;
    size_t next = out.size();
    Put32(out, 0);
    for (const TiffPage& p : pages) {
        const size_t pixels = out.size(), bytes = static_cast<size_t>(p.width) * p.height;
        out += std::string(bytes, 'A');
        if (out.size() % 2) out += '\0';
        directories.push_back(out.size());
        SetLe32(out, next, static_cast<uint32_t>(out.size()));
        const bool tiled = p.tileSide > 0;
        struct Entry { uint32_t tag, value; };
        std::vector<Entry> entries = {{256, p.width}, {257, p.height}, {258, 8}, {259, 1}, {262, 1},
                                      {tiled ? 324u : 273u, static_cast<uint32_t>(pixels)}, {277, 1},
                                      {tiled ? 325u : 279u, static_cast<uint32_t>(bytes)}};
        if (tiled) entries.insert(entries.end(), {{322, p.tileSide}, {323, p.tileSide}});
        std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.tag < b.tag; });
        Put16(out, static_cast<uint32_t>(entries.size()));
        for (const Entry& e : entries) {
            Put16(out, e.tag);
            Put16(out, 4); // LONG
            Put32(out, 1);
            Put32(out, e.value);
        }
        next = out.size();
        Put32(out, 0);
    }
    if (loopTo >= 0) SetLe32(out, next, static_cast<uint32_t>(directories[loopTo]));
    return out;
}

std::string BuildIco(const std::vector<std::string>& images, int type) {
    std::string out;
    for (uint32_t v : {0u, static_cast<uint32_t>(type), static_cast<uint32_t>(images.size())}) Put16(out, v);
    size_t at = 6 + 16 * images.size();
    for (const std::string& image : images) {
        out += {0, 0, 0, 0};   // the size bytes say 256 x 256; the image says what it is
        Put16(out, 1);
        Put16(out, 32);
        Put32(out, static_cast<uint32_t>(image.size()));
        Put32(out, static_cast<uint32_t>(at));
        at += image.size();
    }
    for (const std::string& image : images) out += image;
    return out;
}

std::string BuildIconDib(int32_t width, int32_t height, size_t pixelBytes) {
    std::string out;
    for (uint32_t v : {40u, static_cast<uint32_t>(width), static_cast<uint32_t>(height) * 2, 1u | 32u << 16}) Put32(out, v);
    out.append(24, '\0');
    return out + std::string(pixelBytes, 'A');
}
