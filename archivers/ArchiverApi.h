// The calling interface shared by 7-zip32.dll, cab32.dll and unlha32.dll:
// the item record callers pass to FindFirst/FindNext and the function numbers
// QueryFunctionList answers for. Callers written for the traditional libraries
// rely on this exact layout, so it is fixed byte by byte here.
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

static_assert(offsetof(ArchiverItemInfo, szFileName) == 26, "callers read the name at offset 26");
static_assert(sizeof(ArchiverItemInfo::szFileName) == 513, "callers expect a 513-byte name");
static_assert(sizeof(ArchiverItemInfo) <= 560, "callers pass a 560-byte record");

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

// Attribute bits handed out by GetAttribute and ExtractMem.
enum : int {
    kAttrReadOnly = 0x01,
    kAttrDirectory = 0x10,
    kAttrArchive = 0x20,
};
