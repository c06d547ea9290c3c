// The child the picture table draws its archives in, so that a picture that
// crashes the platform's decoder fails its own row and not the whole test.
//
//   thumbnail_child.exe FOLDER COUNT FIRST
// For each archive FOLDER\<n>.zip, n from FIRST to COUNT - 1, the picture is
// loaded and drawn as a thumbnail row's is, and "<n> drawn <MB>" or
// "<n> refused <MB>" (no thumbnail: the row would show its type icon) is
// appended to FOLDER\results.txt as soon as it is known, MB being the
// process's peak working set so far. A row that took over kHeavyMegabytes
// ends the process with kHeavyExit, so that the next child measures the next
// row afresh; a crash ends it with the exception's code.
#include <windows.h>
#include <psapi.h>

#include <string>

#include "ThumbnailChild.h"
#include "base/ScopedWin.h"
#include "thumbnail/ArchivePicture.h"
#include "thumbnail/GdiPlusInit.h"
#include "thumbnail/RenderPicture.h"

namespace {

LONG WINAPI ExitWithCode(EXCEPTION_POINTERS* info) {
    ExitProcess(info->ExceptionRecord->ExceptionCode);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) return 2;
    // No debugger and no error box: the parent is waiting.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(ExitWithCode);
    CGDIPlusInit gdiplus;
    const std::wstring folder = argv[1];
    ScopedFile results(CreateFileW((folder + L"\\results.txt").c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                   OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!results || !gdiplus.started()) return 2;
    for (int n = _wtoi(argv[3]); n < _wtoi(argv[2]); ++n) {
        ScopedBitmap thumbnail;
        {
            PictureData picture = LoadArchivePicture((folder + L"\\" + std::to_wstring(n) + L".zip").c_str(), true);
            if (picture) thumbnail.reset(RenderPicture(picture, 64, 64, 7));
        }
        PROCESS_MEMORY_COUNTERS memory = {};
        memory.cb = sizeof(memory);
        GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
        const size_t megabytes = memory.PeakWorkingSetSize >> 20;
        const std::string line =
            std::to_string(n) + (thumbnail ? " drawn " : " refused ") + std::to_string(megabytes) + "\r\n";
        DWORD written = 0;
        WriteFile(results.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
        if (megabytes > kHeavyMegabytes) return kHeavyExit;
    }
    return 0;
}
