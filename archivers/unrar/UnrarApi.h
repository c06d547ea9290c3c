// The records and numbers unrar.dll shares with its callers. The layouts
// come from the adapter's header, so the library and CUnRar cannot drift
// apart; the offsets it does not pin down are pinned here, since a 32-bit
// caller built elsewhere reads them by position.
#pragma once

#include "contracts/UnrarRecords.h"

static_assert(offsetof(RAROpenArchiveDataEx, ArcName) == 0, "RAROpenArchiveDataEx layout");
static_assert(offsetof(RAROpenArchiveDataEx, CmtBuf) == 16, "RAROpenArchiveDataEx layout");
static_assert(offsetof(RAROpenArchiveDataEx, CmtBufSize) == 20, "RAROpenArchiveDataEx layout");
static_assert(offsetof(RAROpenArchiveDataEx, CmtSize) == 24, "RAROpenArchiveDataEx layout");
static_assert(offsetof(RAROpenArchiveDataEx, CmtState) == 28, "RAROpenArchiveDataEx layout");
static_assert(offsetof(RAROpenArchiveDataEx, Callback) == 36, "RAROpenArchiveDataEx layout");
static_assert(offsetof(RAROpenArchiveDataEx, UserData) == 40, "RAROpenArchiveDataEx layout");
static_assert(offsetof(RAROpenArchiveDataEx, Reserved) == 44, "RAROpenArchiveDataEx layout");

static_assert(offsetof(RARHeaderDataEx, ArcName) == 0, "RARHeaderDataEx layout");
static_assert(offsetof(RARHeaderDataEx, ArcNameW) == 1024, "RARHeaderDataEx layout");
static_assert(offsetof(RARHeaderDataEx, FileName) == 3072, "RARHeaderDataEx layout");
static_assert(offsetof(RARHeaderDataEx, HostOS) == 6164, "RARHeaderDataEx layout");
static_assert(offsetof(RARHeaderDataEx, FileCRC) == 6168, "RARHeaderDataEx layout");
static_assert(offsetof(RARHeaderDataEx, FileTime) == 6172, "RARHeaderDataEx layout");
static_assert(offsetof(RARHeaderDataEx, UnpVer) == 6176, "RARHeaderDataEx layout");
static_assert(offsetof(RARHeaderDataEx, Method) == 6180, "RARHeaderDataEx layout");
static_assert(offsetof(RARHeaderDataEx, FileAttr) == 6184, "RARHeaderDataEx layout");
static_assert(offsetof(RARHeaderDataEx, CmtBuf) == 6188, "RARHeaderDataEx layout");
static_assert(offsetof(RARHeaderDataEx, CmtBufSize) == 6192, "RARHeaderDataEx layout");
static_assert(offsetof(RARHeaderDataEx, CmtSize) == 6196, "RARHeaderDataEx layout");
static_assert(offsetof(RARHeaderDataEx, CmtState) == 6200, "RARHeaderDataEx layout");
static_assert(offsetof(RARHeaderDataEx, DictSize) == 6204, "RARHeaderDataEx layout");
static_assert(offsetof(RARHeaderDataEx, HashType) == 6208, "RARHeaderDataEx layout");
static_assert(offsetof(RARHeaderDataEx, Hash) == 6212, "RARHeaderDataEx layout");
static_assert(offsetof(RARHeaderDataEx, RedirType) == 6244, "RARHeaderDataEx layout");
static_assert(offsetof(RARHeaderDataEx, RedirName) == 6248, "RARHeaderDataEx layout");
static_assert(offsetof(RARHeaderDataEx, RedirNameSize) == 6252, "RARHeaderDataEx layout");
static_assert(offsetof(RARHeaderDataEx, DirTarget) == 6256, "RARHeaderDataEx layout");
static_assert(offsetof(RARHeaderDataEx, MtimeLow) == 6260, "RARHeaderDataEx layout");
static_assert(offsetof(RARHeaderDataEx, MtimeHigh) == 6264, "RARHeaderDataEx layout");
static_assert(offsetof(RARHeaderDataEx, CtimeLow) == 6268, "RARHeaderDataEx layout");
static_assert(offsetof(RARHeaderDataEx, CtimeHigh) == 6272, "RARHeaderDataEx layout");
static_assert(offsetof(RARHeaderDataEx, AtimeLow) == 6276, "RARHeaderDataEx layout");
static_assert(offsetof(RARHeaderDataEx, AtimeHigh) == 6280, "RARHeaderDataEx layout");
static_assert(offsetof(RARHeaderDataEx, Reserved) == 6284, "RARHeaderDataEx layout");

// Results the adapter has no name for; callers only test them for non-zero.
// ERAR_ECREATE: the interface's answer when an output file cannot be made,
// which is every extraction to disk here.
enum : int { kRarCreateError = 16, kRarCloseError = 17 };

// The version this library answers; 6 and above mean directories carry 0x20.
constexpr int kUnrarDllVersion = 8;
