// unrar.dll on libarchive: the RAR library interface Zorvel's CUnRar (and
// other callers of that interface) load, for RAR 4 and RAR 5 archives. It
// lists items and tests them, handing each data block to the caller's
// callback; it does not write files (RAR_EXTRACT answers ERAR_ECREATE,
// whether a destination is given or not) and cannot decrypt.
//
// Every export checks its arguments and catches everything: nothing thrown
// or dereferenced past a null may reach a caller that is C.
#define LIBARCHIVE_STATIC
#include <archive.h>
#include <archive_entry.h>

#include <windows.h>

#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <unordered_set>
#include <vector>

#include "HandleSource.h"
#include "ItemName.h"
#include "LibraryPin.h"
#include "Rar4Walk.h"
#include "RarFormat.h"
#include "UnrarApi.h"
#include "base/ScopedWin.h"

namespace {

// Enough of the file for the main header; a self-extracting archive is
// searched this far for its signature.
constexpr DWORD kHeadBytes = 4096;
constexpr DWORD kSfxSearchBytes = 1024 * 1024;
constexpr size_t kBlockSize = 64 * 1024;
constexpr size_t kPasswordChars = 128;

struct ReaderFree {
    void operator()(archive* a) const { archive_read_free(a); }
};
using Reader = std::unique_ptr<archive, ReaderFree>;

struct RarArchive {
    // One handle for everything read from the archive: its flags, its RAR 4
    // names and libarchive's reads. The source and the handle outlive the
    // reader, which is declared after them.
    ScopedFile file;
    std::unique_ptr<archiver::HandleSource> source;
    Reader reader;
    std::wstring path;
    unsigned flags = 0;
    rarformat::Kind kind = rarformat::Kind::None;
    UNRARCALLBACK callback = nullptr;
    LPARAM userData = 0;
    std::wstring password;
    // RAR 4 archives are listed by our walker while it can; libarchive is
    // opened only for data, or to list on where the walker hands over.
    std::unique_ptr<rarformat::Rar4Walk> walker;
    bool walkerItem = false;        // the last header read came from the walker, unprocessed
    size_t current = 0;             // that item's position in the archive
    size_t libraryItems = 0;        // items libarchive has read so far
    archive_entry* entry = nullptr; // the item of the last header read, until processed
    bool failed = false;            // libarchive gave up; it reads nothing more
    bool atEnd = false;             // the end was reached: it stays the end
    std::vector<char> block;        // data handed to the callback; made at the first test
    // While libarchive lists, the headers are walked beside it: RAR 4 names
    // are read again (libarchive turns every 0x5C byte of a name into '/',
    // also the second byte of double-byte characters such as "ソ" or "表" in
    // code page 932), and the packed sizes, which libarchive does not tell,
    // are read for RAR 4 and RAR 5 alike.
    bool walking = false;
    uint64_t walkPos = 0;
};

// Open archives, so a stale or foreign handle is refused instead of used.
std::mutex& LiveLock() {
    static std::mutex m;
    return m;
}
std::unordered_set<const void*>& Live() {
    static std::unordered_set<const void*> s;
    return s;
}
RarArchive* FromHandle(HANDLE h) {
    if (h == nullptr) return nullptr;
    std::lock_guard<std::mutex> lock(LiveLock());
    return Live().count(h) ? static_cast<RarArchive*>(h) : nullptr;
}

bool ReadAt(HANDLE file, uint64_t pos, void* buffer, DWORD size, DWORD* got) {
    OVERLAPPED at = {};
    at.Offset = DWORD(pos);
    at.OffsetHigh = DWORD(pos >> 32);
    *got = 0;
    return ReadFile(file, buffer, size, got, &at) != FALSE;
}

bool ReadAt(HANDLE file, uint64_t pos, void* buffer, DWORD size) {
    DWORD got = 0;
    return ReadAt(file, pos, buffer, size, &got) && got == size;
}

// The archive kind and flags from the file's first bytes.
rarformat::ArchiveInfo ReadInfo(HANDLE file, int& error) {
    std::vector<uint8_t> head(kHeadBytes);
    DWORD got = 0;
    if (!ReadAt(file, 0, head.data(), kHeadBytes, &got)) {
        error = kRarOpenError;
        return {};
    }
    head.resize(got);
    long at = rarformat::FindSignature(head.data(), head.size());
    if (at < 0 && head.size() == kHeadBytes && head[0] == 'M' && head[1] == 'Z') {
        head.resize(kSfxSearchBytes);
        DWORD more = 0;
        if (!ReadAt(file, got, head.data() + got, kSfxSearchBytes - got, &more)) more = 0;
        head.resize(size_t(got) + more);
        at = rarformat::FindSignature(head.data(), head.size());
    }
    rarformat::ArchiveInfo info;
    if (at >= 0) info = rarformat::ReadArchiveInfo(head.data() + at, head.size() - size_t(at));
    // The header may straddle the end of what was read after a long stub.
    if (at > 0 && info.kind == rarformat::Kind::None) {
        std::vector<uint8_t> again(kHeadBytes);
        DWORD n = 0;
        if (ReadAt(file, uint64_t(at), again.data(), kHeadBytes, &n))
            info = rarformat::ReadArchiveInfo(again.data(), n);
    }
    if (info.kind == rarformat::Kind::None) error = kRarBadArchive;
    info.offset = at;
    return info;
}

// Copies src into a fixed wide array, cut short when it must be.
template <size_t N>
void CopyWide(wchar_t (&dst)[N], const std::wstring& src) {
    const size_t n = src.size() < N - 1 ? src.size() : N - 1;
    std::memcpy(dst, src.data(), n * sizeof(wchar_t));
    dst[n] = L'\0';
}

// The ANSI form of src in a fixed array; characters are dropped from the
// end until it fits, so a double-byte character is never split.
template <size_t N>
void CopyAnsi(char (&dst)[N], std::wstring src) {
    dst[0] = '\0';
    while (!src.empty()) {
        const int need = WideCharToMultiByte(CP_ACP, 0, src.data(), int(src.size()), nullptr, 0, nullptr, nullptr);
        if (need > 0 && size_t(need) < N) {
            const int n = WideCharToMultiByte(CP_ACP, 0, src.data(), int(src.size()), dst, need, nullptr, nullptr);
            dst[n > 0 ? n : 0] = '\0';
            return;
        }
        if (need <= 0) return;
        const size_t keep = src.size() > N - 1 ? N - 1 : src.size() - 1;
        src.resize(keep);
    }
}

std::wstring AnsiToWide(const char* s) {
    if (s == nullptr) return {};
    const size_t len = strnlen(s, 32768);
    if (len == 0) return {};
    const int n = MultiByteToWideChar(CP_ACP, 0, s, int(len), nullptr, 0);
    if (n <= 0) return {};
    std::wstring w(size_t(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, s, int(len), &w[0], n);
    return w;
}

// A path with Windows separators and no trailing one.
std::wstring EntryNameFix(std::wstring name) {
    for (wchar_t& c : name)
        if (c == L'/') c = L'\\';
    while (!name.empty() && name.back() == L'\\') name.pop_back();
    return name;
}

// The entry's path with Windows separators.
std::wstring EntryName(archive_entry* e) {
    std::wstring name;
    if (const wchar_t* w = archive_entry_pathname_w(e)) {
        name = w;
    } else if (const char* u = archive_entry_pathname_utf8(e)) {
        const int n = MultiByteToWideChar(CP_UTF8, 0, u, -1, nullptr, 0);
        if (n > 1) {
            name.assign(size_t(n - 1), L'\0');
            MultiByteToWideChar(CP_UTF8, 0, u, -1, &name[0], n);
        }
    }
    return EntryNameFix(std::move(name));
}

std::wstring OemToWide(const std::string& bytes) {
    if (bytes.empty()) return {};
    const int n = MultiByteToWideChar(GetOEMCP(), 0, bytes.data(), int(bytes.size()), nullptr, 0);
    if (n <= 0) return {};
    std::wstring w(size_t(n), L'\0');
    MultiByteToWideChar(GetOEMCP(), 0, bytes.data(), int(bytes.size()), &w[0], n);
    return w;
}

// The next RAR 4 file header that starts an item: its raw name, whether
// that name is in the Unicode form, and the size of its data. False when
// the blocks end or make no sense; the walk then stops for good.
bool NextRar4File(RarArchive& arc, std::string& name, bool& unicode, uint64_t& packed) {
    for (int blocks = 0; arc.walking && blocks < 4096; ++blocks) {
        uint8_t base[11] = {};
        if (!ReadAt(arc.file.get(), arc.walkPos, base, 7)) break;
        const uint8_t type = base[2];
        const unsigned flags = base[3] | (unsigned(base[4]) << 8);
        const unsigned headSize = base[5] | (unsigned(base[6]) << 8);
        if (headSize < 7 || type == 0x7B) break;
        uint64_t addSize = 0;
        if (type == 0x74) {
            if (headSize < 32) break;
            std::vector<uint8_t> head(headSize);
            if (!ReadAt(arc.file.get(), arc.walkPos, head.data(), headSize)) break;
            addSize = head[7] | (uint32_t(head[8]) << 8) | (uint32_t(head[9]) << 16) | (uint32_t(head[10]) << 24);
            const size_t nameSize = head[26] | (size_t(head[27]) << 8);
            size_t nameAt = 32;
            if (flags & 0x0100) { // 64-bit sizes
                if (headSize < 40) break;
                addSize |= uint64_t(head[32] | (uint32_t(head[33]) << 8) | (uint32_t(head[34]) << 16) |
                                    (uint32_t(head[35]) << 24)) << 32;
                nameAt = 40;
            }
            if (nameAt + nameSize > headSize) break;
            arc.walkPos += headSize + addSize;
            if (flags & 0x0001) continue; // the rest of an item from the previous volume
            name.assign(reinterpret_cast<const char*>(head.data() + nameAt), nameSize);
            unicode = (flags & 0x0200) != 0;
            packed = addSize;
            return true;
        }
        if (flags & 0x8000) {
            if (headSize < 11 || !ReadAt(arc.file.get(), arc.walkPos, base, 11)) break;
            addSize = base[7] | (uint32_t(base[8]) << 8) | (uint32_t(base[9]) << 16) | (uint32_t(base[10]) << 24);
        }
        arc.walkPos += headSize + addSize;
    }
    arc.walking = false;
    return false;
}

// The item's name as the RAR 4 header stores it, when libarchive's form of
// it is the same name with its 0x5C bytes changed; otherwise libarchive's.
// packed: the size of its data, 0 when the walk is out of step.
std::wstring Rar4Name(RarArchive& arc, std::wstring fromLibrary, uint64_t& packed) {
    std::string raw;
    bool unicode = false;
    packed = 0;
    if (!NextRar4File(arc, raw, unicode, packed) || unicode) return fromLibrary;
    std::string changed = raw;
    for (char& c : changed)
        if (c == '\\') c = '/';
    for (wchar_t& c : fromLibrary)
        if (c == L'\\') c = L'/';
    if (!fromLibrary.empty() && OemToWide(changed) != fromLibrary) {
        arc.walking = false; // out of step: trust libarchive from here on
        packed = 0;
        return EntryNameFix(fromLibrary);
    }
    return OemToWide(raw);
}

// The next RAR 5 file header that starts an item: the size of its data and
// the item's own. False when the headers end or make no sense; the walk
// then stops for good.
bool NextRar5File(RarArchive& arc, uint64_t& packed, uint64_t& unpacked) {
    for (int blocks = 0; arc.walking && blocks < 4096; ++blocks) {
        // CRC32, the header size and the fields read here fit in 64 bytes.
        uint8_t head[64];
        DWORD got = 0;
        if (!ReadAt(arc.file.get(), arc.walkPos, head, sizeof head, &got)) break;
        size_t pos = 4;
        uint64_t headSize = 0, type = 0, flags = 0, extra = 0, data = 0, fileFlags = 0;
        if (!rarformat::ReadVint(head, got, pos, headSize) || headSize == 0 || headSize > UINT32_MAX) break;
        const uint64_t next = arc.walkPos + pos + headSize; // the header's own end
        const size_t end = pos + headSize < got ? size_t(pos + headSize) : got;
        if (!rarformat::ReadVint(head, end, pos, type) || !rarformat::ReadVint(head, end, pos, flags)) break;
        if ((flags & 0x01) && !rarformat::ReadVint(head, end, pos, extra)) break;
        if ((flags & 0x02) && !rarformat::ReadVint(head, end, pos, data)) break;
        if (type == 4 || type == 5 || data > (UINT64_MAX >> 2)) break; // encrypted headers, end of archive
        arc.walkPos = next + data;
        // Only file headers start items; not one whose data began in the previous volume.
        if (type != 2 || (flags & 0x08)) continue;
        if (!rarformat::ReadVint(head, end, pos, fileFlags) || !rarformat::ReadVint(head, end, pos, unpacked)) break;
        packed = data;
        return true;
    }
    arc.walking = false;
    return false;
}

// What the header record says of an item, from libarchive or the walker.
struct ItemFacts {
    std::wstring name;
    bool directory = false;
    bool encrypted = false;
    bool readOnly = false;
    uint64_t size = 0;
    uint64_t packed = 0; // 0 when not known
    bool hasMtime = false;
    int64_t mtime = 0;  // seconds since 1970
    long mtimeNsec = 0;
};

ItemFacts FactsOf(RarArchive& arc, archive_entry* e) {
    ItemFacts f;
    f.name = EntryName(e);
    if (arc.kind == rarformat::Kind::Rar4 && arc.walking) f.name = Rar4Name(arc, f.name, f.packed);
    f.directory = archive_entry_filetype(e) == AE_IFDIR;
    f.encrypted = archive_entry_is_data_encrypted(e) == 1;
    f.readOnly = (archive_entry_mode(e) & 0222) == 0;
    if (archive_entry_size_is_set(e) && archive_entry_size(e) > 0) f.size = uint64_t(archive_entry_size(e));
    uint64_t unpacked = 0;
    if (arc.kind == rarformat::Kind::Rar5 && arc.walking && NextRar5File(arc, f.packed, unpacked) && unpacked != f.size) {
        arc.walking = false; // out of step: no packed sizes from here on
        f.packed = 0;
    }
    f.hasMtime = archive_entry_mtime_is_set(e) != 0;
    if (f.hasMtime) {
        f.mtime = archive_entry_mtime(e);
        f.mtimeNsec = archive_entry_mtime_nsec(e);
    }
    return f;
}

ItemFacts FactsOf(const rarformat::Rar4Item& item) {
    ItemFacts f;
    f.name = item.name;
    f.directory = item.directory;
    f.readOnly = item.readOnly;
    f.size = item.size;
    f.packed = item.packed;
    f.hasMtime = true;
    f.mtime = item.mtime;
    return f;
}

void FillHeader(const RarArchive& arc, const ItemFacts& f, RARHeaderDataEx& d) {
    // The comment and link-target buffers are the caller's: keep them.
    char* const cmtBuf = d.CmtBuf;
    const unsigned cmtBufSize = d.CmtBufSize;
    wchar_t* const redirName = d.RedirName;
    const unsigned redirNameSize = d.RedirNameSize;
    std::memset(&d, 0, sizeof d);
    d.CmtBuf = cmtBuf;
    d.CmtBufSize = cmtBufSize;
    d.RedirName = redirName;
    d.RedirNameSize = redirNameSize;
    if (redirName != nullptr && redirNameSize > 0) redirName[0] = L'\0';

    CopyWide(d.ArcNameW, arc.path);
    CopyAnsi(d.ArcName, arc.path);
    // Cleaned as every library of ours cleans names: no drive, no leading
    // separator, nothing up to a ".." component.
    const std::wstring name = EntryNameFix(archiver::CleanItemName(f.name));
    CopyWide(d.FileNameW, name);
    CopyAnsi(d.FileName, name);

    if (f.directory) d.Flags |= kRarItemDirectory;
    if (f.encrypted) d.Flags |= kRarItemEncrypted;
    d.UnpSize = unsigned(f.size & 0xFFFFFFFFu);
    d.UnpSizeHigh = unsigned(f.size >> 32);
    d.PackSize = unsigned(f.packed & 0xFFFFFFFFu);
    d.PackSizeHigh = unsigned(f.packed >> 32);
    d.HostOS = 2; // attributes are given in Windows form
    d.UnpVer = arc.kind == rarformat::Kind::Rar5 ? 50 : 29;
    d.FileAttr = f.directory ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    if (f.readOnly) d.FileAttr |= FILE_ATTRIBUTE_READONLY;
    if (f.hasMtime) {
        // Seconds since 1970 to 100 ns units since 1601.
        const int64_t t = (f.mtime + 11644473600LL) * 10000000LL + f.mtimeNsec / 100;
        if (t > 0) {
            FILETIME ft;
            ft.dwLowDateTime = DWORD(uint64_t(t) & 0xFFFFFFFFu);
            ft.dwHighDateTime = DWORD(uint64_t(t) >> 32);
            d.MtimeLow = ft.dwLowDateTime;
            d.MtimeHigh = ft.dwHighDateTime;
            FILETIME local;
            WORD date = 0, time = 0;
            if (FileTimeToLocalFileTime(&ft, &local) && FileTimeToDosDateTime(&local, &date, &time))
                d.FileTime = (unsigned(date) << 16) | time;
        }
    }
}

// A password from RARSetPassword or from the caller's callback; false when
// there is none or the caller declined.
bool ObtainPassword(RarArchive& arc) {
    if (!arc.password.empty()) return true;
    if (arc.callback == nullptr) return false;
    wchar_t wide[kPasswordChars] = {};
    if (arc.callback(kUcmNeedPasswordW, arc.userData, LPARAM(wide), LPARAM(kPasswordChars)) == -1) return false;
    wide[kPasswordChars - 1] = L'\0';
    if (wide[0] == L'\0') {
        char ansi[kPasswordChars] = {};
        if (arc.callback(kUcmNeedPassword, arc.userData, LPARAM(ansi), LPARAM(kPasswordChars)) == -1) return false;
        ansi[kPasswordChars - 1] = '\0';
        arc.password = AnsiToWide(ansi);
    } else {
        arc.password = wide;
    }
    SecureZeroMemory(wide, sizeof wide);
    return !arc.password.empty();
}

// libarchive's reader on the archive's handle; false (with `reader` null
// when memory ran out) when it will not read the archive.
bool OpenReader(RarArchive& arc) {
    if (arc.reader) return true;
    arc.reader.reset(archive_read_new());
    if (!arc.reader) return false;
    archive* a = arc.reader.get();
    archive_read_support_format_rar(a);
    archive_read_support_format_rar5(a);
    // RAR 4 names without the Unicode form are in the OEM code page.
    const std::string charset = "CP" + std::to_string(GetOEMCP());
    archive_read_set_format_option(a, "rar", "hdrcharset", charset.c_str());
    return arc.source->Open(a) == ARCHIVE_OK;
}

// Reads on in libarchive until it has read `count` items; false when it
// cannot (it is then given up).
bool LibraryReaches(RarArchive& arc, size_t count) {
    if (!OpenReader(arc)) return false;
    while (arc.libraryItems < count) {
        archive_entry* e = nullptr;
        const int r = archive_read_next_header(arc.reader.get(), &e);
        if ((r != ARCHIVE_OK && r != ARCHIVE_WARN) || e == nullptr) return false;
        arc.entry = e;
        ++arc.libraryItems;
    }
    return true;
}

HANDLE OpenArchive(RAROpenArchiveDataEx* d) {
    std::wstring path = d->ArcNameW != nullptr ? std::wstring(d->ArcNameW, wcsnlen(d->ArcNameW, 32768))
                                               : AnsiToWide(d->ArcName);
    if (path.empty()) {
        d->OpenResult = kRarOpenError;
        return nullptr;
    }
    auto arc = std::make_unique<RarArchive>();
    arc->file.reset(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size;
    if (!arc->file || !GetFileSizeEx(arc->file.get(), &size)) {
        d->OpenResult = kRarOpenError;
        return nullptr;
    }
    int error = kRarSuccess;
    const rarformat::ArchiveInfo info = ReadInfo(arc->file.get(), error);
    if (error != kRarSuccess) {
        d->OpenResult = unsigned(error);
        return nullptr;
    }
    arc->path = path;
    arc->flags = info.flags;
    arc->kind = info.kind;
    arc->callback = d->Callback;
    arc->userData = d->UserData;
    arc->source = std::make_unique<archiver::HandleSource>(arc->file.get(), uint64_t(size.QuadPart));
    if (info.kind == rarformat::Kind::Rar4 && info.offset == 0 && rarformat::CanWalk(info.flags)) {
        arc->walker = std::make_unique<rarformat::Rar4Walk>(arc->file.get(), uint64_t(size.QuadPart));
    } else if (!OpenReader(*arc)) {
        d->OpenResult = arc->reader ? kRarBadArchive : kRarNoMemory;
        return nullptr;
    } else if (info.kind == rarformat::Kind::Rar4 && (info.flags & kRarEncryptedHeaders) == 0 && info.offset >= 0) {
        arc->walking = true;
        arc->walkPos = uint64_t(info.offset) + 7; // past the marker block, at the main header
    } else if (info.kind == rarformat::Kind::Rar5 && (info.flags & kRarEncryptedHeaders) == 0 && info.offset >= 0) {
        arc->walking = true;
        arc->walkPos = uint64_t(info.offset) + 8; // past the signature, at the main header
    }
    d->Flags = arc->flags;
    d->CmtSize = 0;
    d->CmtState = 0;
    d->OpenResult = kRarSuccess;
    RarArchive* raw = arc.release();
    std::lock_guard<std::mutex> lock(LiveLock());
    Live().insert(raw);
    return raw;
}

// The next item from the walker: 1 when it gave one (or the end, or an
// error, in *result), 0 when it handed over to libarchive.
int WalkerHeader(RarArchive& arc, RARHeaderDataEx* d, int* result) {
    rarformat::Rar4Item item;
    switch (arc.walker->Next(&item)) {
    case rarformat::Rar4Walk::kItem:
        arc.walkerItem = true;
        arc.current = arc.walker->Count() - 1;
        FillHeader(arc, FactsOf(item), *d);
        *result = kRarSuccess;
        return 1;
    case rarformat::Rar4Walk::kEnd:
        arc.atEnd = true;
        *result = kRarEndArchive;
        return 1;
    case rarformat::Rar4Walk::kDamaged:
        arc.failed = true;
        *result = kRarBadArchive;
        return 1;
    default:
        break;
    }
    // libarchive lists on from the item the walker stopped at; its RAR 4
    // names are read again from that block on.
    const size_t listed = arc.walker->Count();
    arc.walking = true;
    arc.walkPos = arc.walker->Position();
    arc.walker.reset();
    if (!LibraryReaches(arc, listed)) {
        arc.failed = true;
        *result = kRarBadArchive;
        return 1;
    }
    return 0;
}

int ReadHeader(RarArchive& arc, RARHeaderDataEx* d) {
    arc.entry = nullptr;
    arc.walkerItem = false;
    if (arc.failed) return kRarBadArchive;
    if (arc.atEnd) return kRarEndArchive;
    if (arc.flags & kRarEncryptedHeaders) {
        // Names are encrypted too; with or without a password, this library
        // cannot list them.
        return ObtainPassword(arc) ? kRarBadData : kRarMissingPassword;
    }
    int result = kRarSuccess;
    if (arc.walker && WalkerHeader(arc, d, &result)) return result;
    archive_entry* e = nullptr;
    const int r = archive_read_next_header(arc.reader.get(), &e);
    if (r == ARCHIVE_EOF) {
        arc.atEnd = true;
        return kRarEndArchive;
    }
    if ((r != ARCHIVE_OK && r != ARCHIVE_WARN) || e == nullptr) {
        arc.failed = true;
        return kRarBadArchive;
    }
    ++arc.libraryItems;
    arc.entry = e;
    FillHeader(arc, FactsOf(arc, e), *d);
    return kRarSuccess;
}

int TestItem(RarArchive& arc) {
    archive_entry* e = arc.entry;
    if (archive_entry_filetype(e) == AE_IFDIR) return kRarSuccess;
    if (archive_entry_is_data_encrypted(e) == 1) return ObtainPassword(arc) ? kRarBadData : kRarMissingPassword;
    arc.block.resize(kBlockSize);
    for (;;) {
        const la_ssize_t n = archive_read_data(arc.reader.get(), arc.block.data(), arc.block.size());
        if (n == 0) return kRarSuccess;
        if (n < 0) {
            if (n == ARCHIVE_FATAL) arc.failed = true;
            return kRarBadData;
        }
        if (arc.callback != nullptr &&
            arc.callback(kUcmProcessData, arc.userData, LPARAM(arc.block.data()), LPARAM(n)) == -1)
            return kRarUnknown;
    }
}

int ProcessFile(HANDLE h, int operation) {
    RarArchive* arc = FromHandle(h);
    if (arc == nullptr) return kRarUnknown;
    if (arc->entry == nullptr && !arc->walkerItem) return arc->failed ? kRarBadArchive : kRarUnknown;
    int result = kRarUnknown;
    if (operation == kRarSkip) {
        result = kRarSuccess; // the next header read passes over the data
    } else if (operation == kRarTest && arc->walkerItem && !LibraryReaches(*arc, arc->current + 1)) {
        arc->failed = true; // libarchive, which unpacks, cannot get to the item
        result = kRarBadArchive;
    } else if (operation == kRarTest) {
        result = TestItem(*arc);
    } else if (operation == kRarExtract) {
        // Writing files is not this library's work: without a destination a
        // caller would expect them in the current folder, so that is refused
        // too, never reported as done. The next header read skips the data.
        result = kRarCreateError;
    }
    arc->entry = nullptr;
    arc->walkerItem = false;
    return result;
}

// No exception may leave an export: out of memory and anything else become
// the library's error codes.
template <typename F>
int Guarded(F body) {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return kRarNoMemory;
    } catch (...) {
        return kRarUnknown;
    }
}

} // namespace


extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        PinThisLibrary(instance);
    }
    return TRUE;
}

HANDLE WINAPI RAROpenArchiveEx(RAROpenArchiveDataEx* d) {
    if (d == nullptr) return nullptr;
    try {
        return OpenArchive(d);
    } catch (const std::bad_alloc&) {
        d->OpenResult = kRarNoMemory;
    } catch (...) {
        d->OpenResult = kRarUnknown;
    }
    return nullptr;
}

int WINAPI RARCloseArchive(HANDLE h) {
    if (h == nullptr) return kRarCloseError;
    {
        std::lock_guard<std::mutex> lock(LiveLock());
        if (Live().erase(h) == 0) return kRarCloseError;
    }
    delete static_cast<RarArchive*>(h);
    return kRarSuccess;
}

int WINAPI RARReadHeaderEx(HANDLE h, RARHeaderDataEx* d) {
    RarArchive* arc = FromHandle(h);
    if (arc == nullptr || d == nullptr) return kRarUnknown;
    return Guarded([&] { return ReadHeader(*arc, d); });
}

int WINAPI RARProcessFile(HANDLE h, int operation, char* /*destPath*/, char* /*destName*/) {
    return Guarded([&] { return ProcessFile(h, operation); });
}

int WINAPI RARProcessFileW(HANDLE h, int operation, wchar_t* /*destPath*/, wchar_t* /*destName*/) {
    return Guarded([&] { return ProcessFile(h, operation); });
}

void WINAPI RARSetCallback(HANDLE h, UNRARCALLBACK callback, LPARAM userData) {
    if (RarArchive* arc = FromHandle(h)) {
        arc->callback = callback;
        arc->userData = userData;
    }
}

void WINAPI RARSetPassword(HANDLE h, char* password) {
    RarArchive* arc = FromHandle(h);
    if (arc == nullptr) return;
    try {
        arc->password = password != nullptr ? AnsiToWide(std::string(password, strnlen(password, kPasswordChars)).c_str())
                                            : std::wstring();
    } catch (...) {
        arc->password.clear();
    }
}

int WINAPI RARGetDllVersion() { return kUnrarDllVersion; }

} // extern "C"
