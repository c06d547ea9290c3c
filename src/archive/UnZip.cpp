#include "archive/UnZip.h"

#include <unzip.h>

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "archive/ZipInput.h"
#include "base/ScopedWin.h"

struct CUnZip::Reader {
    unzFile zip = nullptr;
    int position = 0;      // index of minizip's current item
    int streamIndex = -1;  // item whose data stream is open
    int cachedIndex = -1;  // item described by current_
    bool encrypted = false; // the cached item is encrypted
    const char* password = nullptr; // never set: no password is ever asked for
};

namespace {

const int kNameUnits = 260;


// Decodes stored name bytes: UTF-8 when they are valid UTF-8, else the ANSI
// code page. False when the name does not fit the record.
bool DecodeName(const std::string& bytes, wchar_t (&out)[kNameUnits]) {
    out[0] = L'\0';
    if (bytes.empty()) return true;
    int length = static_cast<int>(bytes.size());
    UINT codePage = CP_UTF8;
    int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), length, nullptr, 0);
    if (units == 0) {
        codePage = CP_ACP;
        units = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
    }
    if (units <= 0) return false;
    std::wstring decoded(units, L'\0');
    MultiByteToWideChar(codePage, codePage == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0, bytes.data(), length, &decoded[0],
                        units);
    // Only what remains after cleaning has to fit.
    CleanZipItemName(&decoded[0]);
    size_t cleaned = wcslen(decoded.c_str());
    if (cleaned >= kNameUnits) return false;
    wmemcpy(out, decoded.c_str(), cleaned + 1);
    return true;
}

uint32_t AttributesFrom(uint16_t versionMadeBy, uint32_t external) {
    int host = versionMadeBy >> 8;
    if (host == 0 || host == 7 || host == 11 || host == 14) {
        uint32_t attributes = 0;
        if (external & 0x01) attributes |= kZipReadOnly;
        if (external & 0x02) attributes |= kZipHidden;
        if (external & 0x04) attributes |= kZipSystem;
        if (external & 0x10) attributes |= kZipDirectory;
        if (external & 0x20) attributes |= kZipArchive;
        return attributes;
    }
    uint32_t attributes = kZipArchive;
    if (external & 0x40000000u) attributes |= kZipDirectory;
    if (!(external & 0x00800000u)) attributes |= kZipReadOnly; // no user-write permission
    return attributes;
}

// An archive with no items is only its end record, which then lies at the
// very start of the file, where minizip does not look for it.
bool IsEmptyArchive(const wchar_t* path) {
    ScopedFile file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
    if (!file) return false;
    unsigned char record[22];
    DWORD got = 0;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size) || !ReadFile(file.get(), record, sizeof(record), &got, nullptr) ||
        got != sizeof(record))
        return false;
    static const unsigned char kEmpty[20] = {'P', 'K', 5, 6}; // disks, counts, size and offset all zero
    int commentLength = record[20] | (record[21] << 8);
    return memcmp(record, kEmpty, sizeof(kEmpty)) == 0 && size.QuadPart == 22 + commentLength;
}

void SummaryForm(ZipItem& item, int count) {
    memset(&item, 0, sizeof(item));
    item.index = count;
}

} // namespace

void CleanZipItemName(wchar_t* name) {
    static const wchar_t* const kParentPatterns[] = {L"\\..\\", L"\\../", L"/../", L"/..\\"};
    wchar_t* p = name;
    for (;;) {
        if (p[0] != L'\0' && p[1] == L':') {
            p += 2;
            continue;
        }
        if (p[0] == L'\\' || p[0] == L'/') {
            ++p;
            continue;
        }
        bool skipped = false;
        for (const wchar_t* pattern : kParentPatterns) {
            if (const wchar_t* found = wcsstr(p, pattern)) {
                p = const_cast<wchar_t*>(found) + wcslen(pattern);
                skipped = true;
                break;
            }
        }
        if (!skipped) break;
    }
    if (p != name) memmove(name, p, (wcslen(p) + 1) * sizeof(wchar_t));
}

CUnZip::CUnZip() {
    SummaryForm(summary_, 0);
    SummaryForm(current_, 0);
}

CUnZip::~CUnZip() {
    Close();
}

bool CUnZip::Open(const wchar_t* path) {
    zlib_filefunc64_def functions;
    FillBufferedWin32FileFunc(&functions);
    unzFile zip = unzOpen2_64(path, &functions);
    unz_global_info64 global = {};
    if (zip == nullptr) {
        if (!IsEmptyArchive(path)) return false;
    } else if (unzGetGlobalInfo64(zip, &global) != UNZ_OK || global.number_entry > 0x7FFFFFFF) {
        unzClose(zip);
        return false;
    }
    Close();
    reader_ = new Reader;
    reader_->zip = zip; // null for an archive without items: nothing to read
    SummaryForm(summary_, static_cast<int>(global.number_entry));
    SummaryForm(current_, summary_.index);
    return true;
}

void CUnZip::Close() {
    if (reader_ == nullptr) return;
    CloseStream();
    if (reader_->zip != nullptr) unzClose(reader_->zip);
    delete reader_;
    reader_ = nullptr;
    SummaryForm(summary_, 0);
}

void CUnZip::CloseStream() {
    if (reader_->streamIndex != -1) {
        unzCloseCurrentFile(reader_->zip);
        reader_->streamIndex = -1;
    }
}

// Positions minizip on item index: forward one step at a time, restarting from
// the first item for an earlier one.
uint32_t CUnZip::Seek(int index) {
    if (index < reader_->position) {
        if (unzGoToFirstFile(reader_->zip) != UNZ_OK) return kZipBadItem;
        reader_->position = 0;
        reader_->cachedIndex = -1;
    }
    while (reader_->position < index) {
        // A damaged record ends the walk; trying again would never advance.
        if (unzGoToNextFile(reader_->zip) != UNZ_OK) {
            unzGoToFirstFile(reader_->zip);
            reader_->position = 0;
            reader_->cachedIndex = -1;
            return kZipBadItem;
        }
        ++reader_->position;
        reader_->cachedIndex = -1;
    }
    return kZipOk;
}

uint32_t CUnZip::ReadCurrentItem(int index) {
    unzFile zip = reader_->zip;
    unz_file_info64 info;
    if (unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) return kZipBadItem;
    std::string nameBytes(info.size_filename, '\0');
    if (info.size_filename > 0 &&
        unzGetCurrentFileInfo64(zip, &info, &nameBytes[0], info.size_filename, nullptr, 0, nullptr, 0) != UNZ_OK)
        return kZipBadItem;

    ZipItem item;
    memset(&item, 0, sizeof(item));
    item.index = index;
    if (!DecodeName(nameBytes, item.name)) return kZipBadItem;

    // The local header must agree with the central record, and only stored
    // and deflated items are read.
    if (info.compression_method != 0 && info.compression_method != Z_DEFLATED) return kZipBadItem;
    if (unzOpenCurrentFile3(zip, nullptr, nullptr, 1, nullptr) != UNZ_OK) return kZipBadItem;
    int extraSize = unzGetLocalExtrafield(zip, nullptr, 0);
    bool extraOk = extraSize >= 0;
    if (extraOk && extraSize > 0) {
        std::vector<char> extra(extraSize);
        extraOk = unzGetLocalExtrafield(zip, extra.data(), static_cast<unsigned>(extraSize)) == extraSize;
    }
    unzCloseCurrentFile(zip);
    if (!extraOk) return kZipExtraField;

    item.attributes = AttributesFrom(static_cast<uint16_t>(info.version), static_cast<uint32_t>(info.external_fa));
    FILETIME time = {};
    DosDateTimeToFileTime(HIWORD(info.dosDate), LOWORD(info.dosDate), &time);
    item.accessTime = item.creationTime = item.modificationTime = time;
    item.compressedSize = static_cast<int32_t>(info.compressed_size);
    item.uncompressedSize = static_cast<int32_t>(info.uncompressed_size);

    current_ = item;
    reader_->cachedIndex = index;
    reader_->encrypted = (info.flag & 1) != 0;
    return kZipOk;
}

uint32_t CUnZip::GetItem(int index) {
    if (reader_ == nullptr || index < -1 || index >= summary_.index) return kZipBadArgument;
    CloseStream();
    if (index == -1) {
        SummaryForm(current_, summary_.index);
        reader_->cachedIndex = -1; // current_ no longer describes an item
        return kZipOk;
    }
    if (index == reader_->cachedIndex) return kZipOk;
    uint32_t result = Seek(index);
    if (result != kZipOk) return result;
    return ReadCurrentItem(index);
}

uint32_t CUnZip::UnzipToMemory(int index, void* buffer, uint32_t size) {
    if (reader_ == nullptr || index < 0 || index >= summary_.index) return kZipBadArgument;
    unzFile zip = reader_->zip;
    if (reader_->streamIndex != index) {
        uint32_t result = GetItem(index); // positions minizip and validates the item
        if (result != kZipOk) return result;
        // No password is ever supplied, so the check byte cannot match.
        if (reader_->encrypted) return kZipBadPassword;
        if (unzOpenCurrentFilePassword(zip, reader_->password) != UNZ_OK) return kZipUnpackFailed;
        reader_->streamIndex = index;
    }
    auto* out = static_cast<unsigned char*>(buffer);
    uint32_t done = 0;
    while (done < size) {
        unsigned chunk = size - done > 0x10000000u ? 0x10000000u : size - done;
        int got = unzReadCurrentFile(zip, out + done, chunk);
        if (got < 0) {
            CloseStream();
            return kZipUnpackFailed;
        }
        if (got == 0) break;
        done += static_cast<uint32_t>(got);
    }
    if (done < size || unzeof(zip)) {
        // The end of the data: complete, unless nothing at all came.
        bool empty = done == 0 && size > 0 && !unzeof(zip);
        CloseStream();
        return empty ? kZipUnpackFailed : kZipOk;
    }
    return kZipMoreData;
}
