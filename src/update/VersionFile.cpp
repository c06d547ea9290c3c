#include "update/VersionFile.h"

#include <windows.h>

#include <climits>
#include <cstring>
#include <cwchar>
#include <memory>
#include <new>

#include "update/HttpGet.h"
#include "update/SaveName.h"

namespace {

// The four numbers of a version text.
void VersionNumbers(const wchar_t* text, unsigned long (&numbers)[4]) {
    int count = 0;
    const wchar_t* piece = text;
    while (count < 4) {
        unsigned long value = 0;
        for (; *piece >= L'0' && *piece <= L'9'; ++piece)
            value = value > (ULONG_MAX - 9) / 10 ? ULONG_MAX : value * 10 + (*piece - L'0');
        numbers[count++] = value;
        piece = wcschr(piece, L'.');
        if (piece == nullptr) break;
        ++piece;
    }
    for (int i = count; i < 4; ++i) numbers[i] = numbers[count - 1];
}

// Copies the field that starts at *cursor up to the next comma (or the end)
// and moves the cursor past that comma.
void TakeField(const wchar_t*& cursor, wchar_t (&field)[kVersionFieldUnits]) {
    const wchar_t* end = wcschr(cursor, L',');
    size_t length = end ? static_cast<size_t>(end - cursor) : wcslen(cursor);
    wmemcpy(field, cursor, length); // a line of 126 units holds no longer field
    field[length] = L'\0';
    cursor = end ? end + 1 : cursor + length;
}

// Up to 2,047 bytes of the reply, read on while the server sends in parts.
// False when a read failed or the reply ended before its Content-Length (a
// connection that stalled or broke), or that length is no 32-bit number:
// part of a file is no version file.
bool ReadBeginning(HttpGet& get, char (&bytes)[2048], size_t& total) {
    total = 0;
    bytes[0] = '\0';
    DWORD length = 0;
    bool known = false;
    if (!get.ContentLength(length, known)) return false;
    while (total < sizeof(bytes) - 1) {
        DWORD got = 0;
        if (!get.Read(bytes + total, static_cast<DWORD>(sizeof(bytes) - 1 - total), got)) return false;
        if (got == 0) break;
        total += got;
    }
    bytes[total] = '\0';
    return total == sizeof(bytes) - 1 || !known || total >= length;
}

} // namespace

bool ParseVersionFile(const char* bytes, size_t count, VersionFile& file) {
    file = VersionFile{};
    size_t lineLength = 0;
    while (lineLength < count && bytes[lineLength] != '\0' && bytes[lineLength] != '\r' && bytes[lineLength] != '\n')
        ++lineLength;
    if (lineLength == 0 || lineLength > INT_MAX) return false;
    wchar_t line[kVersionTextUnits];
    int units = MultiByteToWideChar(CP_ACP, 0, bytes, static_cast<int>(lineLength), line, kVersionTextUnits - 1);
    if (units <= 0) return false; // it does not fit
    line[units] = L'\0';

    const wchar_t* cursor = line;
    wchar_t (*fields[])[kVersionFieldUnits] = {&file.version, &file.fileName, &file.serverPath};
    for (auto* field : fields) {
        TakeField(cursor, *field);
        if ((*field)[0] == L'\0') return true;
    }
    bool lastField = wcschr(cursor, L',') == nullptr;
    wchar_t hash[kVersionFieldUnits];
    TakeField(cursor, hash);
    if (hash[0] == L'\0' && lastField) return true;
    file.hasSha256 = lastField && HexToDigest(hash, file.sha256);
    if (!file.hasSha256) file = VersionFile{};
    return file.hasSha256;
}

bool IsNewerVersion(const wchar_t* own, const wchar_t* published) {
    unsigned long mine[4], theirs[4];
    VersionNumbers(own, mine);
    VersionNumbers(published, theirs);
    for (int i = 0; i < 4; ++i)
        if (mine[i] != theirs[i]) return mine[i] < theirs[i];
    return false;
}

bool ReadOwnVersion(const wchar_t* modulePath, wchar_t* text, size_t capacity) {
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(modulePath, &ignored);
    if (size == 0) return false;
    std::unique_ptr<BYTE[]> info(new (std::nothrow) BYTE[size]);
    if (!info || !GetFileVersionInfoW(modulePath, 0, size, info.get())) return false;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    if (!VerQueryValueW(info.get(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize) || fixed == nullptr ||
        fixedSize < sizeof(VS_FIXEDFILEINFO))
        return false;
    int written = swprintf(text, capacity, L"%ld.%lu.%ld.%lu", static_cast<long>(HIWORD(fixed->dwFileVersionMS)),
                           static_cast<unsigned long>(LOWORD(fixed->dwFileVersionMS)),
                           static_cast<long>(HIWORD(fixed->dwFileVersionLS)),
                           static_cast<unsigned long>(LOWORD(fixed->dwFileVersionLS)));
    return written > 0;
}

int FetchLatestVersion(const wchar_t* programPath, const UpdateServer& server, VersionFile& published,
                       const CancelFlag& cancel) {
    published = VersionFile{};
    wchar_t own[32];
    if (!ReadOwnVersion(programPath, own, 32)) return -1;
    char bytes[2048];
    size_t count = 0;
    UrlParts url;
    if (!SplitUrl(server.versionUrl, url)) return -1;
    {
        HttpGet get(L"Check Latest Version", server.waitMilliseconds, cancel);
        if (!get.Send(url) || !ReadBeginning(get, bytes, count)) return -1;
    }
    if (!ParseVersionFile(bytes, count, published)) return -1;
    if (published.version[0] < L'0' || published.version[0] > L'9') {
        published = VersionFile{};
        return -1;
    }
    if (!IsNewerVersion(own, published.version)) return 0;
    // The name is offered only for a newer version, and only made safe: the
    // server's may name a drive, a folder, a device or nothing.
    if (!MakeSafeSaveName(published.fileName, kVersionFieldUnits)) {
        published = VersionFile{};
        return -1;
    }
    return 1;
}
