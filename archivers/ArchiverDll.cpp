// One source for the three archiver libraries, all reading through libarchive:
//   ZORVEL_ARCHIVER_KIND 1: 7-zip32.dll  (7z, ZIP, LZH, CAB)
//   ZORVEL_ARCHIVER_KIND 2: cab32.dll    (CAB)
//   ZORVEL_ARCHIVER_KIND 3: unlha32.dll  (LZH)
// The functions carry neutral names (Arc...); each library's .def file
// exports them under its own prefix. A caller loads the library, checks,
// opens, lists and unloads it for every file, so nothing here does work at
// load time and each call reads no more of the archive than it must.
#define LIBARCHIVE_STATIC
#include <archive.h>
#include <archive_entry.h>

#include <windows.h>

#include <cstring>
#include <memory>
#include <string>

#include "ArchiverApi.h"
#include "ArchiverText.h"

#ifndef ZORVEL_ARCHIVER_KIND
#error "ZORVEL_ARCHIVER_KIND must be 1 (7-zip32), 2 (cab32) or 3 (unlha32)"
#endif

using namespace archiver;

namespace {

constexpr bool kRead7z = ZORVEL_ARCHIVER_KIND == 1;
constexpr bool kReadZip = ZORVEL_ARCHIVER_KIND == 1;
constexpr bool kReadCab = ZORVEL_ARCHIVER_KIND == 1 || ZORVEL_ARCHIVER_KIND == 2;
constexpr bool kReadLha = ZORVEL_ARCHIVER_KIND == 1 || ZORVEL_ARCHIVER_KIND == 3;

// Non-zero results of GetFileName and ExtractMem.
enum : int {
    kErrNoCurrent = 0x8001,
    kErrBufferSmall = 0x8002,
    kErrBadArgument = 0x8003,
    kErrCannotRead = 0x8004,
    kErrNotFound = 0x8005,
};

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

struct ReaderFree {
    void operator()(archive* a) const { archive_read_free(a); }
};
using Reader = std::unique_ptr<archive, ReaderFree>;

bool FormatAccepted(int format) {
    switch (format & ARCHIVE_FORMAT_BASE_MASK) {
    case ARCHIVE_FORMAT_7ZIP: return kRead7z;
    case ARCHIVE_FORMAT_ZIP: return kReadZip;
    case ARCHIVE_FORMAT_CAB: return kReadCab;
    case ARCHIVE_FORMAT_LHA: return kReadLha;
    default: return false;
    }
}

// A reader for this library's formats on the file at `path`, or null.
Reader OpenReader(const std::wstring& path) {
    if (path.empty()) return nullptr;
    Reader a(archive_read_new());
    if (!a) return nullptr;
    if (kRead7z) archive_read_support_format_7zip(a.get());
    // The seekable ZIP reader lists items in central-directory order.
    if (kReadZip) archive_read_support_format_zip_seekable(a.get());
    if (kReadCab) archive_read_support_format_cab(a.get());
    if (kReadLha) {
        archive_read_support_format_lha(a.get());
        // LZH headers carry Shift_JIS names without saying so.
        archive_read_set_options(a.get(), "lha:hdrcharset=CP932");
    }
    if (archive_read_open_filename_w(a.get(), path.c_str(), 16384) != ARCHIVE_OK) return nullptr;
    return a;
}

// Reads the next header; false at the end or on an error.
bool NextHeader(archive* a, archive_entry** entry) {
    int r = archive_read_next_header(a, entry);
    return r == ARCHIVE_OK || r == ARCHIVE_WARN;
}

std::wstring EntryName(archive_entry* e) {
    if (const wchar_t* w = archive_entry_pathname_w(e)) return ToBackslashes(w);
    // No wide form: take the raw bytes as ANSI rather than lose the item.
    if (const char* s = archive_entry_pathname(e)) {
        std::wstring w;
        if (FromCaller(s, CP_ACP, &w)) return ToBackslashes(w);
    }
    return std::wstring();
}

int EntryAttribute(archive_entry* e) {
    if (archive_entry_filetype(e) == AE_IFDIR) return kAttrDirectory;
    int attr = kAttrArchive;
    if ((archive_entry_mode(e) & 0222) == 0) attr |= kAttrReadOnly;
    return attr;
}

// The item currently handed out by FindFirst/FindNext, copied out of the
// reader's entry so it stays valid whatever the reader does next.
struct Item {
    std::wstring name;
    long long size = 0;
    int attribute = 0;
    time_t mtime = 0;
    bool hasMtime = false;
};

Item ItemOf(archive_entry* e) {
    Item it;
    it.name = EntryName(e);
    it.size = archive_entry_size_is_set(e) ? archive_entry_size(e) : 0;
    if (it.size < 0) it.size = 0;
    it.attribute = EntryAttribute(e);
    it.hasMtime = archive_entry_mtime_is_set(e) != 0;
    it.mtime = it.hasMtime ? archive_entry_mtime(e) : 0;
    return it;
}

constexpr DWORD kHandleMagic = 0x5A41524Cu;  // "ZARL"

struct ArcHandle {
    DWORD magic = kHandleMagic;
    ArcHandle* next = nullptr;  // in the list of live handles
    std::wstring path;
    Reader reader;
    archive_entry* pending = nullptr;  // read by OpenArchive, not yet handed out
    bool fresh = true;                 // nothing handed out since the reader opened
    bool ended = false;
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

// Opens the reader and reads the first header ahead, so a file that is not
// an archive of ours fails here and FindFirst has its first item at hand.
bool StartReading(ArcHandle* h) {
    h->reader.reset();
    h->pending = nullptr;
    h->ended = false;
    h->fresh = true;
    h->hasCurrent = false;
    h->reader = OpenReader(h->path);
    if (!h->reader) return false;
    archive_entry* e = nullptr;
    int r = archive_read_next_header(h->reader.get(), &e);
    if (r == ARCHIVE_OK || r == ARCHIVE_WARN) {
        if (!FormatAccepted(archive_format(h->reader.get()))) return false;
        h->pending = e;
        return true;
    }
    if (r == ARCHIVE_EOF) {  // an archive without items
        h->ended = true;
        return true;
    }
    return false;
}

void ToDosTime(time_t t, WORD* date, WORD* time) {
    *date = 0;
    *time = 0;
    if (t < 0) return;
    ULARGE_INTEGER u;
    u.QuadPart = static_cast<unsigned long long>(t) * 10000000ull + 116444736000000000ull;
    FILETIME utc = {u.LowPart, u.HighPart}, local;
    if (FileTimeToLocalFileTime(&utc, &local)) FileTimeToDosDateTime(&local, date, time);
}

void CopyBounded(char* dst, size_t size, const char* src) {
    size_t n = strnlen(src, size - 1);
    memcpy(dst, src, n);
    dst[n] = '\0';
}

void FillInfo(const ArcHandle* h, ArchiverItemInfo* info) {
    if (!info) return;
    memset(info, 0, sizeof(*info));
    const Item& it = h->current;
    DWORD size = it.size > 0xFFFFFFFFll ? 0xFFFFFFFFu : static_cast<DWORD>(it.size);
    info->dwOriginalSize = size;
    info->dwCompressedSize = size;  // libarchive does not tell the packed size
    info->wRatio = size ? 1000 : 0;
    if (it.hasMtime) ToDosTime(it.mtime, &info->wDate, &info->wTime);
    CopyToCaller(it.name, CallerCodePage(), info->szFileName, sizeof(info->szFileName));
    CopyBounded(info->szAttribute, sizeof(info->szAttribute),
                (it.attribute & kAttrDirectory) ? "d---" : (it.attribute & kAttrReadOnly) ? "-r-a" : "---a");
    const char* mode = "";
    switch (archive_format(h->reader.get()) & ARCHIVE_FORMAT_BASE_MASK) {
    case ARCHIVE_FORMAT_7ZIP: mode = "7z"; break;
    case ARCHIVE_FORMAT_ZIP: mode = "zip"; break;
    case ARCHIVE_FORMAT_CAB: mode = "cab"; break;
    case ARCHIVE_FORMAT_LHA: mode = "lha"; break;
    }
    CopyBounded(info->szMode, sizeof(info->szMode), mode);
}

// Steps to the next item matching the handle's pattern; 0 or -1.
int Advance(ArcHandle* h, ArchiverItemInfo* info) {
    h->hasCurrent = false;
    while (!h->ended && h->reader) {
        archive_entry* e = h->pending;
        h->pending = nullptr;
        if (!e && !NextHeader(h->reader.get(), &e)) {
            h->ended = true;
            break;
        }
        h->fresh = false;
        Item it = ItemOf(e);
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
        // Callers load and free the library once per archive. Each fresh load
        // of the static runtime takes a thread-local slot it never gives back
        // (about a thousand loads exhaust them) and costs several
        // milliseconds, so the first load pins the library: later loads only
        // count references.
        HMODULE self = nullptr;
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                           reinterpret_cast<LPCWSTR>(instance), &self);
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
thread_local std::unique_ptr<ArcHandle> t_checked;

void ForgetChecked() { t_checked.reset(); }

BOOL WINAPI ArcCheckArchive(LPCSTR path, int /*mode*/) {
    BusyScope busy;
    try {
        ForgetChecked();
        std::unique_ptr<ArcHandle> h(new ArcHandle);
        if (!FromCaller(path, CallerCodePage(), &h->path)) return FALSE;
        if (!StartReading(h.get())) return FALSE;
        t_checked = std::move(h);
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
            h = std::move(t_checked);
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
        // A second search starts the archive over; the first uses the header
        // OpenArchive already read.
        if (!h->fresh && !StartReading(h)) {
            h->ended = true;
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

int WINAPI ArcGetFileName(HARC harc, LPSTR buffer, int size) {
    ArcHandle* h = Lookup(harc);
    if (!buffer || size <= 0) return kErrBadArgument;
    buffer[0] = '\0';
    if (!h || !h->hasCurrent) return kErrNoCurrent;
    try {
        return CopyToCaller(h->current.name, CallerCodePage(), buffer, static_cast<size_t>(size)) ? 0
                                                                                                   : kErrBufferSmall;
    } catch (...) {
        buffer[0] = '\0';
        return kErrBufferSmall;
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
    // libarchive reads items without telling their packed size.
    return ArcGetOriginalSizeEx(harc, size);
}

int WINAPI ArcExtractMem(HWND, LPCSTR commandLine, LPBYTE buffer, DWORD size, time_t* time, LPWORD attr,
                         LPDWORD written) {
    ForgetChecked();
    BusyScope busy;
    if (written) *written = 0;
    try {
        std::wstring line, path, member;
        if (!FromCaller(commandLine, CallerCodePage(), &line)) return kErrBadArgument;
        if (!SplitExtractCommand(line, &path, &member)) return kErrBadArgument;
        if (!buffer && size > 0) return kErrBadArgument;
        member = ToBackslashes(member);

        Reader a = OpenReader(path);
        if (!a) return kErrCannotRead;
        archive_entry* e = nullptr;
        for (;;) {
            int r = archive_read_next_header(a.get(), &e);
            if (r == ARCHIVE_EOF) return kErrNotFound;
            if (r != ARCHIVE_OK && r != ARCHIVE_WARN) return kErrCannotRead;
            if (!FormatAccepted(archive_format(a.get()))) return kErrCannotRead;
            if (EntryName(e) == member) break;
        }
        DWORD done = 0;
        while (done < size) {
            la_ssize_t n = archive_read_data(a.get(), buffer + done, size - done);
            if (n < 0) return kErrCannotRead;
            if (n == 0) break;
            done += static_cast<DWORD>(n);
        }
        if (written) *written = done;
        if (time) *time = archive_entry_mtime_is_set(e) ? archive_entry_mtime(e) : 0;
        if (attr) *attr = static_cast<WORD>(EntryAttribute(e));
        return 0;
    } catch (...) {
        return kErrCannotRead;
    }
}

}  // extern "C"
