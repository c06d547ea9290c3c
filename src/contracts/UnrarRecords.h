// The records of the RAR library interface as 32-bit callers lay them out
// (4-byte pointers), written from the interface's published field list.
// Shared by the adapter and by our own unrar.dll.
#pragma once

#include <windows.h>

#include <cstddef>

using UNRARCALLBACK = int(CALLBACK*)(UINT message, LPARAM userData, LPARAM p1, LPARAM p2);

enum UnrarMessage { kUcmChangeVolume = 0, kUcmProcessData = 1, kUcmNeedPassword = 2, kUcmChangeVolumeW = 3,
                    kUcmNeedPasswordW = 4 };
enum UnrarOpenMode { kRarOpenList = 0, kRarOpenExtract = 1 };
enum UnrarOperation { kRarSkip = 0, kRarTest = 1, kRarExtract = 2 };
enum UnrarError {
    kRarSuccess = 0, kRarEndArchive = 10, kRarNoMemory = 11, kRarBadData = 12, kRarBadArchive = 13,
    kRarUnknownFormat = 14, kRarOpenError = 15, kRarUnknown = 21, kRarMissingPassword = 22,
};
// Archive flags of the open record.
enum UnrarArchiveFlags { kRarVolume = 0x01, kRarComment = 0x02, kRarLocked = 0x04, kRarSolid = 0x08,
                         kRarNewNaming = 0x10, kRarEncryptedHeaders = 0x80, kRarFirstVolume = 0x100 };
// Item flags of the header record.
enum UnrarItemFlags { kRarItemEncrypted = 0x04, kRarItemDirectory = 0x20, kRarItemDirectoryOld = 0xE0 };

#pragma pack(push, 4)
struct RAROpenArchiveDataEx {
    char* ArcName;
    wchar_t* ArcNameW;
    unsigned int OpenMode;
    unsigned int OpenResult;
    char* CmtBuf;
    unsigned int CmtBufSize;
    unsigned int CmtSize;
    unsigned int CmtState;
    unsigned int Flags;
    UNRARCALLBACK Callback;
    LPARAM UserData;
    unsigned int Reserved[28];
};

struct RARHeaderDataEx {
    char ArcName[1024];
    wchar_t ArcNameW[1024];
    char FileName[1024];
    wchar_t FileNameW[1024];
    unsigned int Flags;
    unsigned int PackSize;
    unsigned int PackSizeHigh;
    unsigned int UnpSize;
    unsigned int UnpSizeHigh;
    unsigned int HostOS;
    unsigned int FileCRC;
    unsigned int FileTime;
    unsigned int UnpVer;
    unsigned int Method;
    unsigned int FileAttr;
    char* CmtBuf;
    unsigned int CmtBufSize;
    unsigned int CmtSize;
    unsigned int CmtState;
    unsigned int DictSize;
    unsigned int HashType;
    char Hash[32];
    unsigned int RedirType;
    wchar_t* RedirName;
    unsigned int RedirNameSize;
    unsigned int DirTarget;
    unsigned int MtimeLow, MtimeHigh, CtimeLow, CtimeHigh, AtimeLow, AtimeHigh;
    unsigned int Reserved[1004];
};
#pragma pack(pop)

// The library's exports, as callers look them up.
using RarOpenArchiveExFn = HANDLE(WINAPI*)(RAROpenArchiveDataEx*);
using RarCloseArchiveFn = int(WINAPI*)(HANDLE);
using RarReadHeaderExFn = int(WINAPI*)(HANDLE, RARHeaderDataEx*);
using RarProcessFileFn = int(WINAPI*)(HANDLE, int, char*, char*);
using RarProcessFileWFn = int(WINAPI*)(HANDLE, int, wchar_t*, wchar_t*);
using RarSetCallbackFn = void(WINAPI*)(HANDLE, UNRARCALLBACK, LPARAM);
using RarSetPasswordFn = void(WINAPI*)(HANDLE, char*);
using RarGetDllVersionFn = int(WINAPI*)();

static_assert(sizeof(void*) == 4, "the records are laid out for 32-bit callers");
static_assert(sizeof(RAROpenArchiveDataEx) == 156, "RAROpenArchiveDataEx layout");
static_assert(offsetof(RAROpenArchiveDataEx, ArcNameW) == 4, "RAROpenArchiveDataEx layout");
static_assert(offsetof(RAROpenArchiveDataEx, OpenMode) == 8, "RAROpenArchiveDataEx layout");
static_assert(offsetof(RAROpenArchiveDataEx, OpenResult) == 12, "RAROpenArchiveDataEx layout");
static_assert(offsetof(RAROpenArchiveDataEx, Flags) == 32, "RAROpenArchiveDataEx layout");
static_assert(sizeof(RARHeaderDataEx) == 10300, "RARHeaderDataEx layout");
static_assert(offsetof(RARHeaderDataEx, FileNameW) == 4096, "RARHeaderDataEx layout");
static_assert(offsetof(RARHeaderDataEx, Flags) == 6144, "RARHeaderDataEx layout");
static_assert(offsetof(RARHeaderDataEx, PackSize) == 6148, "RARHeaderDataEx layout");
static_assert(offsetof(RARHeaderDataEx, PackSizeHigh) == 6152, "RARHeaderDataEx layout");
static_assert(offsetof(RARHeaderDataEx, UnpSize) == 6156, "RARHeaderDataEx layout");
static_assert(offsetof(RARHeaderDataEx, UnpSizeHigh) == 6160, "RARHeaderDataEx layout");
