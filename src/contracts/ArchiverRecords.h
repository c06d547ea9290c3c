// The calling interface shared by 7-zip32.dll, cab32.dll and unlha32.dll,
// their callers (the program's adapter) and the tests: the item record
// callers pass to FindFirst/FindNext and the function numbers
// QueryFunctionList answers for. Callers written for the traditional libraries
// rely on this exact layout, so it is fixed byte by byte here, once.
#pragma once

#include <windows.h>

#include <cstddef>

typedef HANDLE HARC;

#pragma pack(push, 1)
struct ArchiverItemInfo {
    DWORD dwOriginalSize;
    DWORD dwCompressedSize;
    DWORD dwCRC;
    UINT uFlag;
    UINT uOSType;
    WORD wRatio;   // compressed / original in tenths of a percent
    WORD wDate;    // DOS date, local time
    WORD wTime;    // DOS time, local time
    char szFileName[513];
    char dummy1[3];
    char szAttribute[8];
    char szMode[8];
};
#pragma pack(pop)

// What a caller allocates per item, and where it reads the name.
const size_t kItemRecordSize = 560;
const size_t kItemNameOffset = offsetof(ArchiverItemInfo, szFileName);
const size_t kItemNameSize = sizeof(ArchiverItemInfo::szFileName);

static_assert(kItemNameOffset == 26, "callers read the name at offset 26");
static_assert(kItemNameSize == 513, "callers expect a 513-byte name");
static_assert(sizeof(ArchiverItemInfo) <= kItemRecordSize, "callers pass a 560-byte record");

// Function numbers for QueryFunctionList.
enum ArchiverFunction {
    kFnSetCursorMode = 7,
    kFnGetRunning = 8,
    kFnCheckArchive = 16,
    kFnOpenArchive = 23,
    kFnCloseArchive = 24,
    kFnFindFirst = 25,
    kFnFindNext = 26,
    kFnGetFileName = 57,
    kFnGetAttribute = 64,
    kFnGetOriginalSizeEx = 83,
    kFnGetCompressedSizeEx = 84,
    kFnSetUnicodeMode = 114,
    // Our own number for ExtractMem; callers find it by its export instead.
    kFnExtractMem = 250,
};

// Results of GetFileName and ExtractMem other than 0, numbered as the common
// archiver interface numbers its errors (callers may show their meaning).
enum ArchiverError : int {
    kErrMethod = 0x8009,           // ERROR_METHOD: a packing method this library does not unpack
    kErrPassword = 0x800A,         // ERROR_PASSWORD_FILE: the member is encrypted
    kErrData = 0x800C,             // ERROR_FILE_CRC: packed data damaged or its check fails
    kErrHeader = 0x8017,           // ERROR_HEADER_BROKEN: the member's own header is damaged
    kErrArchiveOpen = 0x8018,      // ERROR_ARC_FILE_OPEN: the archive file cannot be opened
    kErrNotArchive = 0x8019,       // ERROR_NOT_ARC_FILE: not an archive this library reads
    kErrCannotRead = 0x801A,       // ERROR_CANNOT_READ: reading the file failed
    kErrCommand = 0x801C,          // ERROR_COMMAND_NAME: a malformed command line or argument
    kErrNoMemory = 0x801D,         // ERROR_MORE_HEAP_MEMORY: working memory could not be had
    kErrBufferSmall = 0x801E,      // ERROR_ENOUGH_MEMORY: the caller's buffer is too small
    kErrNotOpened = 0x8021,        // ERROR_HARC_ISNOT_OPENED: not a handle of this library
    kErrNoCurrent = 0x8022,        // ERROR_NOT_SEARCH_MODE: no item found by FindFirst/FindNext
    kErrNotFound = 0x8031,         // ERROR_NOT_FIND_FILE: no member of that name
    kErrUnknown = 0x8FFF,          // ERROR_UNKNOWN
};

// Attribute bits handed out by GetAttribute and ExtractMem.
enum : int {
    kAttrReadOnly = 0x01,
    kAttrDirectory = 0x10,
    kAttrArchive = 0x20,
};
