// One archive file in the list: a fixed-size plain record (no owned
// pointers), copied whole. All texts are NUL-terminated UTF-16.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

// What happened to an entry; an index into the status texts.
enum EntryStatus : int32_t {
    kStatusNone = 0,          // no new name derived yet
    kStatusReady = 1,         // new name derived, ready to rename
    kStatusRenamed = 2,       // renamed; undo possible
    kStatusRenameFailed = 3,  // rename or undo failed
    kStatusForbiddenChar = 4, // derived name holds a character names may not contain
    kStatusSameName = 5,      // derived path equals the current one
    kStatusNotFound = 6,      // the file's attributes cannot be read
    kStatusUnsupported = 7,   // no reader accepts the archive
    kStatusArchiverBusy = 8,  // the archiver library reports it is running
    kStatusCannotOpen = 9,    // the archive cannot be opened
    kStatusCannotRead = 10,   // the archive's contents cannot be read
    kStatusNoItemName = 11,   // an item name inside the archive cannot be read
    kStatusNoFolder = 12,     // no folder inside the archive
    kStatusNameTooLong = 13,  // the new name or full path would not fit its 260-unit field
    kStatusTargetExists = 14, // foreseen: a file or folder of the new name is on disk
    kStatusSameAsOther = 15,  // foreseen: an earlier ready row proposes the same name
    kStatusCount
};

// The text shown in the status column; "" for codes outside the table.
const wchar_t* StatusText(int status);

// Entries with these codes are errors (removed together by Ctrl+E).
inline bool IsErrorStatus(int status) { return status >= kStatusRenameFailed; }

// A proposal a clash holds back (foreseen, nothing moved).
inline bool IsClash(int status) { return status == kStatusTargetExists || status == kStatusSameAsOther; }

// Rows whose proposal stands, ready or with a foreseen clash: the clash check
// looks at them again whenever the list changes.
inline bool IsProposal(int status) {
    return status == kStatusReady || status == kStatusTargetExists || status == kStatusSameAsOther;
}

struct FileEntry {
    wchar_t name[260];        // current file name as shown: the shell display name
    wchar_t newName[260];     // proposed new file name; empty when none stands
    int32_t status;           // EntryStatus
    wchar_t directory[260];   // folder of fullPath, without a trailing separator
    uint32_t padding1;        // keeps size on an 8-byte boundary
    uint64_t size;            // bytes, when added
    uint32_t attributes;      // Win32 attributes, when added
    wchar_t typeName[66];     // the shell's type description; the icon-cache key
    FILETIME lastWriteTime;   // UTC, when added
    wchar_t fullPath[260];    // the entry's identity; changed only through FileList
    wchar_t newFullPath[260]; // rename target
    wchar_t undoPath[260];    // full path before the last successful rename
    wchar_t undoName[260];    // name before the last successful rename
    uint32_t savedItemState;  // list-view state bits kept across a sort
    uint32_t padding2;
};

static_assert(sizeof(FileEntry) == 3808, "FileEntry is a 3808-byte record");
static_assert(offsetof(FileEntry, status) == 1040, "FileEntry layout");
static_assert(offsetof(FileEntry, size) == 1568, "FileEntry layout");
static_assert(offsetof(FileEntry, typeName) == 1580, "FileEntry layout");
static_assert(offsetof(FileEntry, lastWriteTime) == 1712, "FileEntry layout");
static_assert(offsetof(FileEntry, fullPath) == 1720, "FileEntry layout");
static_assert(offsetof(FileEntry, savedItemState) == 3800, "FileEntry layout");
