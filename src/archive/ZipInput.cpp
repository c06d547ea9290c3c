#include "archive/ZipInput.h"

#include <iowin32.h>

#include <cstring>
#include <new>

namespace {

const size_t kBufferSize = 64 * 1024;

// The real file functions, shared by every buffered stream.
zlib_filefunc64_def& Inner() {
    static zlib_filefunc64_def def = [] {
        zlib_filefunc64_def d;
        fill_win32_filefunc64W(&d);
        return d;
    }();
    return def;
}

struct BufferedStream {
    voidpf inner = nullptr;
    ZPOS64_T position = 0;    // logical position of the next read
    ZPOS64_T bufferStart = 0; // file offset of buffer[0]
    size_t bufferLength = 0;
    bool failed = false;
    unsigned char buffer[kBufferSize];
};

voidpf ZCALLBACK Open(voidpf, const void* filename, int mode) {
    voidpf inner = Inner().zopen64_file(Inner().opaque, filename, mode);
    if (inner == nullptr) return nullptr;
    auto* stream = new (std::nothrow) BufferedStream;
    if (stream == nullptr) {
        Inner().zclose_file(Inner().opaque, inner);
        return nullptr;
    }
    stream->inner = inner;
    return stream;
}

bool Refill(BufferedStream* s) {
    if (Inner().zseek64_file(Inner().opaque, s->inner, s->position, ZLIB_FILEFUNC_SEEK_SET) != 0) return false;
    uLong got = Inner().zread_file(Inner().opaque, s->inner, s->buffer, kBufferSize);
    s->bufferStart = s->position;
    s->bufferLength = got;
    return true;
}

uLong ZCALLBACK Read(voidpf, voidpf stream, void* buf, uLong size) {
    auto* s = static_cast<BufferedStream*>(stream);
    auto* out = static_cast<unsigned char*>(buf);
    uLong done = 0;
    while (done < size) {
        bool inBuffer = s->position >= s->bufferStart && s->position < s->bufferStart + s->bufferLength;
        if (!inBuffer) {
            if (!Refill(s)) {
                s->failed = true;
                break;
            }
            // A read past the end is an error to minizip: otherwise it takes
            // the missing bytes of a cut-off end record for zeros.
            if (s->bufferLength == 0) {
                s->failed = true;
                break;
            }
        }
        size_t offset = static_cast<size_t>(s->position - s->bufferStart);
        size_t chunk = s->bufferLength - offset;
        if (chunk > size - done) chunk = size - done;
        memcpy(out + done, s->buffer + offset, chunk);
        done += static_cast<uLong>(chunk);
        s->position += chunk;
    }
    return done;
}

uLong ZCALLBACK Write(voidpf, voidpf, const void*, uLong) {
    return 0; // read-only
}

ZPOS64_T ZCALLBACK Tell(voidpf, voidpf stream) {
    return static_cast<BufferedStream*>(stream)->position;
}

long ZCALLBACK Seek(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
    auto* s = static_cast<BufferedStream*>(stream);
    switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET: s->position = offset; return 0;
    case ZLIB_FILEFUNC_SEEK_CUR: s->position += offset; return 0;
    case ZLIB_FILEFUNC_SEEK_END: {
        // Ask the real file for its end.
        if (Inner().zseek64_file(Inner().opaque, s->inner, offset, ZLIB_FILEFUNC_SEEK_END) != 0) return -1;
        s->position = Inner().ztell64_file(Inner().opaque, s->inner);
        return 0;
    }
    default: return -1;
    }
}

int ZCALLBACK Close(voidpf, voidpf stream) {
    auto* s = static_cast<BufferedStream*>(stream);
    int result = Inner().zclose_file(Inner().opaque, s->inner);
    delete s;
    return result;
}

int ZCALLBACK Error(voidpf, voidpf stream) {
    auto* s = static_cast<BufferedStream*>(stream);
    return s->failed ? -1 : Inner().zerror_file(Inner().opaque, s->inner);
}

} // namespace

void FillBufferedWin32FileFunc(zlib_filefunc64_def* def) {
    def->zopen64_file = Open;
    def->zread_file = Read;
    def->zwrite_file = Write;
    def->ztell64_file = Tell;
    def->zseek64_file = Seek;
    def->zclose_file = Close;
    def->zerror_file = Error;
    def->opaque = nullptr;
}
