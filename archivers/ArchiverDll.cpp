// One source for the three archiver libraries:
//   ZORVEL_ARCHIVER_KIND 1: 7-zip32.dll  (7z, ZIP, LZH, CAB)
//   ZORVEL_ARCHIVER_KIND 2: cab32.dll    (CAB)
//   ZORVEL_ARCHIVER_KIND 3: unlha32.dll  (LZH)
// The functions carry neutral names (Arc...); each library's .def file
// exports them under its own prefix. A caller loads the library, checks,
// opens, lists and unloads it for every file, so nothing here does work at
// load time and each call reads no more of the archive than it must.
// Archives are read by ArchiveListing: how names are decoded and cleaned,
// and which reader reads which format, is described there.
#include <windows.h>

#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "ArchiveListing.h"
#include "contracts/ArchiverRecords.h"
#include "ArchiverText.h"
#include "ItemName.h"
#include "LibraryPin.h"

#ifndef ZORVEL_ARCHIVER_KIND
#error "ZORVEL_ARCHIVER_KIND must be 1 (7-zip32), 2 (cab32) or 3 (unlha32)"
#endif

using namespace archiver;

namespace {

constexpr unsigned kFormats = ZORVEL_ARCHIVER_KIND == 1   ? (kFormat7z | kFormatZip | kFormatCab | kFormatLzh)
                              : ZORVEL_ARCHIVER_KIND == 2 ? kFormatCab
                                                          : kFormatLzh;

// Process-wide state: plain values, so nothing is constructed at load time.
volatile LONG g_unicode = 0;
volatile LONG g_cursorMode = 0;
volatile LONG g_busy = 0;

UINT CallerCodePage() { return InterlockedCompareExchange(&g_unicode, 0, 0) ? CP_UTF8 : CP_ACP; }

// Marks a call in progress for GetRunning.
class BusyScope {
public:
    BusyScope() { InterlockedIncrement(&g_busy); }
    ~BusyScope() { InterlockedDecrement(&g_busy); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;
};

constexpr DWORD kHandleMagic = 0x5A41524Cu;  // "ZARL"

struct ArcHandle {
    DWORD magic = kHandleMagic;
    ArcHandle* next = nullptr;  // in the list of live handles
    std::wstring path;
    ArchiveListing listing;
    bool fresh = true;          // nothing handed out since the archive was opened
    std::wstring pattern;
    bool hasCurrent = false;
    Item current;
};

// Live handles, so a stale or foreign HARC is refused instead of followed.
SRWLOCK g_handlesLock = SRWLOCK_INIT;
ArcHandle* g_handles = nullptr;

void Register(ArcHandle* h) {
    AcquireSRWLockExclusive(&g_handlesLock);
    h->next = g_handles;
    g_handles = h;
    ReleaseSRWLockExclusive(&g_handlesLock);
}

bool Unregister(ArcHandle* h) {
    bool found = false;
    AcquireSRWLockExclusive(&g_handlesLock);
    for (ArcHandle** p = &g_handles; *p; p = &(*p)->next) {
        if (*p == h) {
            *p = h->next;
            found = true;
            break;
        }
    }
    ReleaseSRWLockExclusive(&g_handlesLock);
    return found;
}

ArcHandle* Lookup(HARC harc) {
    if (!harc) return nullptr;
    ArcHandle* found = nullptr;
    AcquireSRWLockShared(&g_handlesLock);
    for (ArcHandle* p = g_handles; p; p = p->next) {
        if (p == harc) {
            found = p;
            break;
        }
    }
    ReleaseSRWLockShared(&g_handlesLock);
    return found && found->magic == kHandleMagic ? found : nullptr;
}

bool StartReading(ArcHandle* h) {
    h->fresh = true;
    h->hasCurrent = false;
    return h->listing.Open(h->path, kFormats) == 0;
}

void ToDosTime(int64_t t, WORD* date, WORD* time) {
    *date = 0;
    *time = 0;
    if (t < 0) return;
    ULARGE_INTEGER u;
    u.QuadPart = static_cast<unsigned long long>(t) * 10000000ull + 116444736000000000ull;
    FILETIME utc = {u.LowPart, u.HighPart}, local;
    if (FileTimeToLocalFileTime(&utc, &local)) FileTimeToDosDateTime(&local, date, time);
}

time_t FromDosTime(WORD date, WORD time) {
    FILETIME local, utc;
    if (!DosDateTimeToFileTime(date, time, &local) || !LocalFileTimeToFileTime(&local, &utc)) return 0;
    ULARGE_INTEGER u;
    u.LowPart = utc.dwLowDateTime;
    u.HighPart = utc.dwHighDateTime;
    if (u.QuadPart < 116444736000000000ull) return 0;
    return static_cast<time_t>((u.QuadPart - 116444736000000000ull) / 10000000ull);
}

void CopyBounded(char* dst, size_t size, const char* src) {
    size_t n = strnlen(src, size - 1);
    memcpy(dst, src, n);
    dst[n] = '\0';
}

DWORD Clamp32(uint64_t v) { return v > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<DWORD>(v); }

void FillInfo(const ArcHandle* h, ArchiverItemInfo* info) {
    if (!info) return;
    memset(info, 0, sizeof(*info));
    const Item& it = h->current;
    info->dwOriginalSize = Clamp32(it.size);
    info->dwCompressedSize = Clamp32(it.packedSize);
    info->dwCRC = it.crc;
    info->wRatio = it.size ? static_cast<WORD>(it.packedSize >= it.size ? 1000 : it.packedSize * 1000 / it.size) : 0;
    if (it.hasDosTime) {
        info->wDate = it.dosDate;
        info->wTime = it.dosTime;
    } else if (it.hasMtime) {
        ToDosTime(it.mtime, &info->wDate, &info->wTime);
    }
    CopyToCaller(it.name, CallerCodePage(), info->szFileName, sizeof(info->szFileName));
    CopyBounded(info->szAttribute, sizeof(info->szAttribute),
                (it.attribute & kAttrDirectory) ? "d---" : (it.attribute & kAttrReadOnly) ? "-r-a" : "---a");
    CopyBounded(info->szMode, sizeof(info->szMode), h->listing.FormatName());
}

// Steps to the next item matching the handle's pattern; 0 or -1.
int Advance(ArcHandle* h, ArchiverItemInfo* info) {
    h->hasCurrent = false;
    Item it;
    while (h->listing.Next(&it)) {
        h->fresh = false;
        if (MatchWildcard(h->pattern, it.name)) {
            h->current = std::move(it);
            h->hasCurrent = true;
            FillInfo(h, info);
            return 0;
        }
    }
    return -1;
}

}  // namespace

// ---------------------------------------------------------------------------
// Exports (named by each library's .def file).

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        PinThisLibrary(instance);
    }
    return TRUE;
}

int WINAPI ArcQueryFunctionList(int number) {
    switch (number) {
    case kFnSetCursorMode:
    case kFnGetRunning:
    case kFnCheckArchive:
    case kFnOpenArchive:
    case kFnCloseArchive:
    case kFnFindFirst:
    case kFnFindNext:
    case kFnGetFileName:
    case kFnGetAttribute:
    case kFnGetOriginalSizeEx:
    case kFnGetCompressedSizeEx:
    case kFnSetUnicodeMode:
    case kFnExtractMem:
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL WINAPI ArcGetRunning() { return InterlockedCompareExchange(&g_busy, 0, 0) > 0; }

BOOL WINAPI ArcSetCursorMode(BOOL mode) {
    InterlockedExchange(&g_cursorMode, mode ? 1 : 0);
    return TRUE;
}

BOOL WINAPI ArcSetUnicodeMode(BOOL unicode) {
    InterlockedExchange(&g_unicode, unicode ? 1 : 0);
    return TRUE;
}

// The reader a successful CheckArchive opened, kept for the OpenArchive of the
// same path that callers make right after it, so the archive's directory is
// read once, not twice. Any other call of this thread lets it go, so no file
// stays open longer than the caller's own sequence.
//
// A plain pointer: a thread-local object with a destructor is destroyed
// through thread-detach calls, which this library turns off, and the
// run-time's clean-up of such objects for a thread that has ended hangs the
// process at its exit.
thread_local ArcHandle* t_checked = nullptr;

void ForgetChecked() {
    delete t_checked;
    t_checked = nullptr;
}

BOOL WINAPI ArcCheckArchive(LPCSTR path, int /*mode*/) {
    BusyScope busy;
    try {
        ForgetChecked();
        std::unique_ptr<ArcHandle> h(new ArcHandle);
        if (!FromCaller(path, CallerCodePage(), &h->path)) return FALSE;
        if (!StartReading(h.get())) return FALSE;
        t_checked = h.release();
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}

HARC WINAPI ArcOpenArchive(HWND, LPCSTR path, DWORD /*mode*/) {
    BusyScope busy;
    try {
        std::unique_ptr<ArcHandle> h(new ArcHandle);
        if (!FromCaller(path, CallerCodePage(), &h->path)) {
            ForgetChecked();
            return nullptr;
        }
        if (t_checked && t_checked->path == h->path) {
            h.reset(t_checked);
            t_checked = nullptr;
        } else {
            ForgetChecked();
            if (!StartReading(h.get())) return nullptr;
        }
        Register(h.get());
        return static_cast<HARC>(h.release());
    } catch (...) {
        return nullptr;
    }
}

int WINAPI ArcCloseArchive(HARC harc) {
    ForgetChecked();
    BusyScope busy;
    ArcHandle* h = static_cast<ArcHandle*>(harc);
    if (!harc || !Unregister(h)) return -1;
    h->magic = 0;
    delete h;
    return 0;
}

int WINAPI ArcFindFirst(HARC harc, LPCSTR wildcard, ArchiverItemInfo* info) {
    BusyScope busy;
    ArcHandle* h = Lookup(harc);
    if (!h) return -1;
    try {
        std::wstring pattern;
        if (wildcard && !FromCaller(wildcard, CallerCodePage(), &pattern)) return -1;
        h->pattern = ToBackslashes(pattern);
        // A second search starts the archive over; the first starts where
        // OpenArchive left it.
        if (!h->fresh && !h->listing.Restart()) {
            h->hasCurrent = false;
            return -1;
        }
        return Advance(h, info);
    } catch (...) {
        h->hasCurrent = false;
        return -1;
    }
}

int WINAPI ArcFindNext(HARC harc, ArchiverItemInfo* info) {
    BusyScope busy;
    ArcHandle* h = Lookup(harc);
    if (!h) return -1;
    try {
        return Advance(h, info);
    } catch (...) {
        h->hasCurrent = false;
        return -1;
    }
}

// The current item's name into buffer (size bytes, terminated): 0, or
// kErrBufferSmall when it does not fit (the longest whole-character prefix
// is left there), kErrNotOpened for a handle that is not ours, kErrNoCurrent
// when FindFirst/FindNext found no item. A null or empty buffer is
// kErrBufferSmall too.
int WINAPI ArcGetFileName(HARC harc, LPSTR buffer, int size) {
    if (!buffer || size <= 0) return kErrBufferSmall;
    buffer[0] = '\0';
    ArcHandle* h = Lookup(harc);
    if (!h) return kErrNotOpened;
    if (!h->hasCurrent) return kErrNoCurrent;
    try {
        return CopyToCaller(h->current.name, CallerCodePage(), buffer, static_cast<size_t>(size)) ? 0
                                                                                                   : kErrBufferSmall;
    } catch (...) {
        buffer[0] = '\0';
        return kErrNoMemory;
    }
}

int WINAPI ArcGetAttribute(HARC harc) {
    ArcHandle* h = Lookup(harc);
    if (!h || !h->hasCurrent) return -1;
    return h->current.attribute;
}

BOOL WINAPI ArcGetOriginalSizeEx(HARC harc, __int64* size) {
    ArcHandle* h = Lookup(harc);
    if (!h || !h->hasCurrent || !size) return FALSE;
    *size = h->current.size;
    return TRUE;
}

BOOL WINAPI ArcGetCompressedSizeEx(HARC harc, __int64* size) {
    ArcHandle* h = Lookup(harc);
    if (!h || !h->hasCurrent || !size) return FALSE;
    *size = h->current.packedSize;
    return TRUE;
}

// ExtractMem(window, "x -y \"archive\" \"member\"", buffer, size, time,
// attributes, written): unpacks one member into the caller's buffer. The
// member is named as FindFirst/FindNext name it (cleaned; '/' and '\' alike,
// letters in their case). Returns 0 when the whole member is in the buffer,
// with *written its size and *time and *attributes its own; otherwise
// *written is 0, the buffer's contents are unspecified and the result says
// why: kErrBufferSmall (ERROR_ENOUGH_MEMORY, 0x801E) when the member is
// larger than `size` bytes (nothing is handed out in part), kErrCommand for a
// command line without an archive and a member or a null buffer,
// kErrArchiveOpen / kErrNotArchive when the archive cannot be opened or is
// not of this library's formats, kErrNotFound when it holds no such member,
// kErrPassword, kErrMethod, kErrHeader, kErrData or kErrCannotRead when the
// member cannot be unpacked. The three output pointers may be null.
int WINAPI ArcExtractMem(HWND, LPCSTR commandLine, LPBYTE buffer, DWORD size, time_t* time, LPWORD attr,
                         LPDWORD written) {
    ForgetChecked();
    BusyScope busy;
    if (written) *written = 0;
    try {
        std::wstring line, path, member;
        if (!FromCaller(commandLine, CallerCodePage(), &line)) return kErrCommand;
        if (!SplitExtractCommand(line, &path, &member)) return kErrCommand;
        if (!buffer && size > 0) return kErrCommand;
        member = CleanItemName(member);

        ArchiveListing listing;
        const int opened = listing.Open(path, kFormats);
        if (opened != 0) return opened;
        Item it;
        while (listing.Next(&it)) {
            if (it.name != member) continue;
            size_t done = 0;
            const int result = listing.ExtractCurrent(buffer, size, &done);
            if (result != 0) return result;
            if (written) *written = static_cast<DWORD>(done);
            if (time) *time = it.hasMtime ? static_cast<time_t>(it.mtime)
                            : it.hasDosTime ? FromDosTime(it.dosDate, it.dosTime)
                                            : 0;
            if (attr) *attr = static_cast<WORD>(it.attribute);
            return 0;
        }
        return kErrNotFound;
    } catch (const std::bad_alloc&) {
        return kErrNoMemory;
    } catch (...) {
        return kErrUnknown;
    }
}

}  // extern "C"
