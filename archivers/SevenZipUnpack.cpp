#include "SevenZipUnpack.h"

#define LZMA_API_STATIC
#include <lzma.h>

#include <cstdlib>
#include <cstring>

namespace archiver {

namespace {

class Decoder {
public:
    Decoder() = default;
    ~Decoder() { lzma_end(&stream_); }
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;
    lzma_stream* get() { return &stream_; }

private:
    lzma_stream stream_ = LZMA_STREAM_INIT;
};

}  // namespace

bool UnpackHeader(uint64_t codec, const std::vector<uint8_t>& properties, const uint8_t* packed, size_t packedSize,
                  std::vector<uint8_t>& out) {
    if (codec == k7zCopy) {
        if (packedSize < out.size()) return false;
        if (!out.empty()) memcpy(out.data(), packed, out.size());
        return true;
    }
    if ((codec != k7zLzma && codec != k7zLzma2) || out.empty()) return false;
    lzma_filter filters[2] = {};
    filters[0].id = codec == k7zLzma ? LZMA_FILTER_LZMA1 : LZMA_FILTER_LZMA2;
    filters[1].id = LZMA_VLI_UNKNOWN;
    if (lzma_properties_decode(&filters[0], nullptr, properties.data(), properties.size()) != LZMA_OK) return false;
    auto* options = static_cast<lzma_options_lzma*>(filters[0].options);
    const size_t cap = out.size() < LZMA_DICT_SIZE_MIN ? LZMA_DICT_SIZE_MIN : out.size();
    if (options->dict_size > cap) options->dict_size = static_cast<uint32_t>(cap);
    Decoder decoder;
    const lzma_ret started = lzma_raw_decoder(decoder.get(), filters);
    free(filters[0].options);
    if (started != LZMA_OK) return false;
    lzma_stream* s = decoder.get();
    s->next_in = packed;
    s->avail_in = packedSize;
    s->next_out = out.data();
    s->avail_out = out.size();
    // LZMA data in 7z has no end mark: the header ends when its size is out.
    lzma_ret r = LZMA_OK;
    while (r == LZMA_OK && s->avail_out > 0) {
        const size_t before = s->avail_in + s->avail_out;
        r = lzma_code(s, LZMA_RUN);
        if (s->avail_in + s->avail_out == before) break;
    }
    return s->avail_out == 0 && (r == LZMA_OK || r == LZMA_STREAM_END);
}

}  // namespace archiver
