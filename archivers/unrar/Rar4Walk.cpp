#include "Rar4Walk.h"

#include <zlib.h>

#include <cstring>
#include <vector>

#include "UnrarApi.h"

namespace rarformat {

namespace {

const uint8_t kMarker[7] = {'R', 'a', 'r', '!', 0x1A, 0x07, 0x00};
enum : uint8_t { kMarkBlock = 0x72, kMainBlock = 0x73, kFileBlock = 0x74, kServiceBlock = 0x7A, kEndBlock = 0x7B };
enum : uint16_t {
    kMainEncryptVersion = 0x0200, kMainPassword = 0x0080, kAddSize = 0x8000, kFilePassword = 0x0004,
    kFileSolid = 0x0010, kFileLarge = 0x0100, kFileUnicode = 0x0200, kFileSalt = 0x0400, kFileExtTime = 0x1000,
};
constexpr uint32_t kFileFixed = 7 + 25;  // block base and the fixed file fields
constexpr uint32_t kTypeMask = 0170000, kTypeDirectory = 0040000, kTypeLink = 0120000;

uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t Le32(const uint8_t* p) { return Le16(p) | uint32_t(Le16(p + 2)) << 16; }

// A DOS date and time as local time, through the C runtime as libarchive
// converts it (so the same daylight-saving rule applies).
time_t DosTime(uint32_t t) {
    struct tm tm = {};
    tm.tm_sec = 2 * (t & 0x1f);
    tm.tm_min = (t >> 5) & 0x3f;
    tm.tm_hour = (t >> 11) & 0x1f;
    tm.tm_mday = (t >> 16) & 0x1f;
    tm.tm_mon = int((t >> 21) & 0x0f) - 1;
    tm.tm_year = int((t >> 25) & 0x7f) + 80;
    tm.tm_isdst = -1;
    return mktime(&tm);
}

// The extended times after the name: only the modification time is kept,
// rounded up a second when its flag says so, as libarchive does.
bool ExtendedTime(const uint8_t* p, const uint8_t* end, time_t* mtime) {
    if (end - p < 2) return false;
    const unsigned flags = Le16(p);
    p += 2;
    for (int i = 3; i >= 0; --i) {
        const unsigned mode = flags >> (i * 4);
        if ((mode & 8) == 0) continue;
        time_t t = i == 3 ? *mtime : 0;
        if (!t) {
            if (end - p < 4) return false;
            t = DosTime(Le32(p));
            p += 4;
        }
        const unsigned count = mode & 3;
        if (unsigned(end - p) < count) return false;
        p += count;
        struct tm local;
        __time64_t wide = t;
        if (_localtime64_s(&local, &wide) != 0) return false;
        if (mode & 4) {
            ++local.tm_sec;
            t = mktime(&local);
        }
        if (i == 3) *mtime = t;
    }
    return true;
}

bool ValidUtf16(const std::wstring& s) {
    for (size_t i = 0; i < s.size(); ++i) {
        const wchar_t c = s[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            return false;
        }
    }
    return true;
}

// Unicode names come out of libarchive in form C.
bool Composed(std::wstring* name) {
    if (!ValidUtf16(*name)) return false;
    bool plain = true;
    for (wchar_t c : *name) plain = plain && c < 0x300;
    if (plain) return true;
    const int n = NormalizeString(NormalizationC, name->c_str(), int(name->size()), nullptr, 0);
    if (n <= 0) return false;
    std::wstring composed(size_t(n), L'\0');
    const int done = NormalizeString(NormalizationC, name->c_str(), int(name->size()), &composed[0], n);
    if (done <= 0) return false;
    composed.resize(size_t(done));
    *name = std::move(composed);
    return true;
}

std::wstring OemName(const uint8_t* bytes, size_t size) {
    if (size == 0) return {};
    const int n = MultiByteToWideChar(GetOEMCP(), 0, reinterpret_cast<const char*>(bytes), int(size), nullptr, 0);
    if (n <= 0) return {};
    std::wstring w(size_t(n), L'\0');
    MultiByteToWideChar(GetOEMCP(), 0, reinterpret_cast<const char*>(bytes), int(size), &w[0], n);
    return w;
}

enum class Name { kOk, kDamaged, kHandOver };

// The stored name, decoded as libarchive decodes it; `key` is libarchive's
// own buffer, by which it recognises the parts of a split item. `name`
// points into the header and `end` ends it: the Unicode form may read past
// the name, and a name that would read past the header is left to libarchive.
Name DecodeName(const uint8_t* name, size_t size, const uint8_t* end, bool unicode, std::wstring* out,
                std::string* key) {
    const size_t ansi = strnlen(reinterpret_cast<const char*>(name), size);
    if (!unicode) {
        key->assign(reinterpret_cast<const char*>(name), size);
        for (char& c : *key)
            if (c == '\\') c = '/';
        *out = OemName(name, size);
        return Name::kOk;
    }
    if (ansi == size) {  // the Unicode flag without a Unicode form: UTF-8
        key->assign(reinterpret_cast<const char*>(name), size);
        for (char& c : *key)
            if (c == '\\') c = '/';
        const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, key->data(), int(size), nullptr, 0);
        if (size > 0 && n <= 0) return Name::kHandOver;
        out->assign(size_t(n), L'\0');
        if (n > 0) MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, key->data(), int(size), &(*out)[0], n);
        return Composed(out) ? Name::kOk : Name::kHandOver;
    }
    // The Unicode form: a high byte, then per four characters a byte of
    // two-bit codes saying how each is stored.
    const size_t limit = size_t(end - name);
    size_t at = ansi + 1;
    bool outside = false;
    auto next = [&](size_t i) -> uint8_t {
        if (i >= limit) {
            outside = true;
            return 0;
        }
        return name[i];
    };
    const size_t most = size * 2;
    std::vector<uint8_t> be(most + 2, 0);
    size_t n = 0;
    const uint8_t high = next(at++);
    unsigned bits = 0;
    uint8_t codes = 0;
    while (at < size && n < most && !outside) {
        if (bits == 0) {
            codes = next(at++);
            bits = 8;
        }
        bits -= 2;
        switch ((codes >> bits) & 3) {
        case 0:
            be[n++] = 0;
            be[n++] = next(at++);
            break;
        case 1:
            be[n++] = high;
            be[n++] = next(at++);
            break;
        case 2:
            be[n++] = next(at + 1);
            be[n++] = next(at);
            at += 2;
            break;
        default: {
            uint8_t length = next(at++), extra = 0, top = 0;
            if (length & 0x80) {
                extra = next(at++);
                top = high;
            }
            length = uint8_t((length & 0x7f) + 2);
            for (; length > 0 && n < most; --length) {
                const size_t from = n >> 1;
                be[n++] = top;
                be[n++] = uint8_t(name[from] + extra);
            }
            break;
        }
        }
    }
    if (outside) return Name::kHandOver;
    key->assign(reinterpret_cast<const char*>(be.data()), n + 1);
    out->clear();
    for (size_t i = 0; i + 1 < n + 2; i += 2) {
        const wchar_t c = wchar_t(be[i] << 8 | be[i + 1]);
        if (c == 0) break;
        out->push_back(c == L'\\' ? L'/' : c);
    }
    for (size_t i = 0; i + 1 < key->size(); i += 2)
        if ((*key)[i] == 0 && (*key)[i + 1] == '\\') (*key)[i + 1] = '/';
    return Composed(out) ? Name::kOk : Name::kHandOver;
}

}  // namespace

bool CanWalk(unsigned archiveFlags) { return (archiveFlags & (kRarVolume | kRarEncryptedHeaders)) == 0; }

// Headers are small and close together: they are served from a window of
// the file read ahead, so a small archive costs one read.
bool Rar4Walk::Read(uint64_t at, void* buffer, size_t size) {
    if (at > size_ || size > size_ - at) return false;
    if (at < windowStart_ || at - windowStart_ > window_.size() || size > window_.size() - (at - windowStart_)) {
        size_t want = size > kWindow ? size : kWindow;
        if (want > size_ - at) want = size_t(size_ - at);
        window_.resize(want);
        windowStart_ = at;
        OVERLAPPED where = {};
        where.Offset = DWORD(at);
        where.OffsetHigh = DWORD(at >> 32);
        DWORD got = 0;
        if (!ReadFile(file_, window_.data(), DWORD(want), &got, &where) || got != want) {
            window_.clear();
            return false;
        }
    }
    if (size > 0) memcpy(buffer, window_.data() + (at - windowStart_), size);
    return true;
}

Rar4Walk::Result Rar4Walk::Next(Rar4Item* item) {
    if (over_) return kDamaged;
    // The previous item's data must be there to be passed over.
    if (position_ > size_) {
        over_ = true;
        return kDamaged;
    }
    if (size_ - position_ < 7) return kEnd;
    for (;;) {
        uint8_t base[7];
        if (size_ - position_ < 7 || !Read(position_, base, 7)) break;
        const uint8_t type = base[2];
        const uint16_t flags = Le16(base + 3);
        const uint32_t headSize = Le16(base + 5);
        if (type == kFileBlock) {
            const Result r = FileBlock(flags, headSize, item);
            if (r == kDamaged) over_ = true;
            return r;
        }
        if (type == kServiceBlock) return kHandOver;
        if (type == kMarkBlock) {
            if (memcmp(base, kMarker, sizeof(kMarker)) != 0) break;
            position_ += 7;
        } else if (type == kMainBlock) {
            const uint32_t least = (flags & kMainEncryptVersion) ? 14 : 13;
            std::vector<uint8_t> head(headSize);
            if (headSize < least || (flags & kMainPassword) || !Read(position_, head.data(), headSize)) break;
            if ((crc32(0, head.data() + 2, headSize - 2) & 0xFFFF) != Le16(head.data())) break;
            position_ += headSize;
        } else if (type >= 0x75 && type <= kEndBlock) {
            const Result r = SkipBlock(type, flags, headSize);
            if (r != kItem) {
                if (r == kDamaged) over_ = true;
                return r;
            }
        } else {
            break;
        }
    }
    over_ = true;
    return kDamaged;
}

// Comment, old service, recovery, signature and end blocks: passed over,
// their CRC taken over the whole block with its added data, as libarchive
// takes it. kItem means "go on".
Rar4Walk::Result Rar4Walk::SkipBlock(uint8_t type, uint16_t flags, uint32_t headSize) {
    uint8_t base[11];
    size_t skip = headSize;
    if (skip < 7) return kDamaged;
    if (flags & kAddSize) {
        if (skip < 11 || !Read(position_, base, 11)) return kDamaged;
        skip += Le32(base + 7);
    }
    if (!Read(position_, base, 2) || skip < 2) return kDamaged;
    uLong crc = 0;
    std::vector<uint8_t> chunk(32 * 1024);
    for (size_t done = 2; done < skip;) {
        const size_t n = skip - done < chunk.size() ? skip - done : chunk.size();
        if (!Read(position_ + done, chunk.data(), n)) return kDamaged;
        crc = crc32(crc, chunk.data(), uInt(n));
        done += n;
    }
    if ((crc & 0xFFFF) != Le16(base)) return kDamaged;
    position_ += skip;
    return type == kEndBlock ? kEnd : kItem;
}

Rar4Walk::Result Rar4Walk::FileBlock(uint16_t flags, uint32_t headSize, Rar4Item* item) {
    if (headSize < kFileFixed || (flags & kFileSolid)) return kDamaged;
    std::vector<uint8_t> head(headSize);
    if (!Read(position_, head.data(), headSize)) return kDamaged;
    if ((crc32(0, head.data() + 2, headSize - 2) & 0xFFFF) != Le16(head.data())) return kDamaged;
    const uint8_t* p = head.data() + 7;
    const uint8_t* const end = head.data() + headSize;
    uint64_t packed = Le32(p), unpacked = Le32(p + 4);
    const uint8_t host = p[8];
    time_t mtime = DosTime(Le32(p + 13));
    const size_t nameSize = Le16(p + 19);
    const uint32_t attributes = Le32(p + 21);
    p += 25;
    if (flags & kFilePassword) return kHandOver;
    if (flags & kFileLarge) {
        if (end - p < 8) return kHandOver;
        packed |= uint64_t(Le32(p)) << 32;
        unpacked |= uint64_t(Le32(p + 4)) << 32;
        p += 8;
    }
    if ((packed >> 63) || (unpacked >> 63)) return kDamaged;
    if (size_t(end - p) < nameSize) return kDamaged;
    std::string key;
    const Name named = DecodeName(p, nameSize, end, (flags & kFileUnicode) != 0, &item->name, &key);
    if (named != Name::kOk) return named == Name::kDamaged ? kDamaged : kHandOver;
    if (count_ > 0 && key == previousName_) return kHandOver;
    p += nameSize;
    if (flags & kFileSalt) {
        if (end - p < 8) return kDamaged;
        p += 8;
    }
    if ((flags & kFileExtTime) && !ExtendedTime(p, end, &mtime)) return kDamaged;
    if (host <= 2) {  // MS-DOS, OS/2, Windows: attributes
        item->directory = (attributes & 0x10) != 0;
        item->readOnly = false;  // libarchive gives every such item write permission
    } else if (host <= 5) {  // Unix, Mac OS, BeOS: a mode
        if ((attributes & kTypeMask) == kTypeLink) return kHandOver;
        item->directory = (attributes & kTypeMask) == kTypeDirectory;
        item->readOnly = (attributes & 0222) == 0;
    } else {
        return kDamaged;
    }
    item->size = unpacked;
    item->packed = packed;
    item->mtime = mtime;
    previousName_ = std::move(key);
    position_ = packed > UINT64_MAX - position_ - headSize ? UINT64_MAX : position_ + headSize + packed;
    ++count_;
    return kItem;
}

}  // namespace rarformat
