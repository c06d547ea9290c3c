// CUnZip: the built-in ZIP reader, on minizip and zlib.
//
// Contract:
// - Open(path) opens the file for reading, shared for reading, through
//   minizip's Win32 file functions with the UTF-16 path, and locates the
//   central directory. False for a missing file, a file that is not a ZIP
//   archive and a spanned archive; the object then keeps what it had.
// - ItemCount() is the number of items after a successful Open.
// - GetItem(i) describes item i (central-directory order, from 0) in Item().
//   -1 gives the summary form (index = item count, everything else empty).
//   Items asked for in increasing order are reached one step each; asking
//   for an earlier item restarts from the first. The last item described is
//   cached and delivered again without reading the archive.
// - Names are decoded as UTF-8 when the bytes are valid UTF-8, else in the
//   ANSI code page, then cleaned of drive letters, leading separators and
//   "..": C:\dir\a.txt gives dir\a.txt, /x/y gives x/y, a/../b/c gives b/c.
//   Separators are kept as stored.
// - UnzipToMemory(i, buffer, size) unpacks item i into buffer. kZipMoreData
//   means the buffer is full and data remains: a further call with the same
//   index continues. Only stored and deflated items can be unpacked; no
//   password is ever supplied, so encrypted items give kZipBadPassword.
// - Every failure is a ZipResult or a false Open; nothing throws.
// - One object belongs to one thread; separate objects share nothing.
#pragma once

#include <windows.h>

#include <cstdint>

enum ZipResult : uint32_t {
    kZipOk = 0x00000000,
    kZipMoreData = 0x00000600,     // buffer full, more data remains
    kZipBadItem = 0x00000700,      // local header mismatch, unsupported method, damaged
                                   // directory, or a name too long for the record
    kZipExtraField = 0x00000800,   // the local extra field could not be read
    kZipBadPassword = 0x00001000,  // encrypted item
    kZipBadArgument = 0x00010000,  // index out of range, or no archive open
    kZipUnpackFailed = 0x05000000, // any other unpacking failure
};

// Windows attribute bits delivered in ZipItem::attributes.
enum ZipAttribute : uint32_t {
    kZipReadOnly = 0x01, kZipHidden = 0x02, kZipSystem = 0x04, kZipDirectory = 0x10, kZipArchive = 0x20,
};

struct ZipItem {
    int32_t index;        // position in central-directory order (summary: item count)
    wchar_t name[260];    // cleaned name
    uint32_t attributes;  // ZipAttribute bits
    FILETIME accessTime, creationTime, modificationTime;
    int32_t compressedSize;
    int32_t uncompressedSize;
};

class CUnZip {
public:
    CUnZip();
    virtual ~CUnZip();
    CUnZip(const CUnZip&) = delete;
    CUnZip& operator=(const CUnZip&) = delete;

    bool Open(const wchar_t* path);
    void Close();
    int ItemCount() const { return summary_.index; }
    uint32_t GetItem(int index);
    const ZipItem& Item() const { return current_; }
    uint32_t UnzipToMemory(int index, void* buffer, uint32_t size);

private:
    struct Reader;
    uint32_t Seek(int index);
    uint32_t ReadCurrentItem(int index);
    void CloseStream();

    ZipItem summary_;
    ZipItem current_;
    Reader* reader_ = nullptr;
};

// Cleans a decoded item name in place (drive letters, leading separators, "..").
void CleanZipItemName(wchar_t* name);
