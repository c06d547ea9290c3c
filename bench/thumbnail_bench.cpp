// Thumbnails for many archives against the floor of decoding and drawing
// the same pictures straight from memory.
//
//   floor: each picture's bytes already in a global memory block; a stream
//          over it, GDI+ decodes the picture and draws it, fitted, into a
//          32-bit bitmap of the normal thumbnail size with the same
//          interpolation mode: the least any thumbnail of it costs;
//   zip:   the main window holding `count` ZIP archives, each with one
//          1600 x 1200 JPEG (deflated), switched to normal thumbnails: from
//          the size command to the run's completion handled (every archive
//          read, its picture unpacked, decoded and drawn, handed to the
//          window's thread, put in the image list and its row redrawn);
//   7z, rar: the same pictures in 7z archives (packed by 7zz, read through
//          7-zip32.dll) and stored in RAR 5 archives (through unrar.dll).
// Each is run twice, alternating, and the faster run printed; the ratios are
// to the floor. Every thumbnail is checked against the floor's drawing of
// its picture (the centre pixel); a mismatch is reported and the exit code
// is 1.
//
//   bash scripts/make-thumbnail-bench-photos.sh build/bench-photos
//   wine build/bench/thumbnail_bench.exe [count]   (default 1000)
#include <windows.h>
#include <commctrl.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "BenchClock.h"
#include "RarBuilder.h"
#include "TestFiles.h"
#include "WindowDriver.h"
#include "ZipBuilder.h"
#include "app/MainWindow.h"
#include "app/resource.h"
#include "base/ProgramFolder.h"
#include "filelist/FileList.h"
#include "settings/ConfigFile.h"
#include "thumbnail/GdiPlusInit.h"
#include "thumbnail/RenderPicture.h"

namespace {

const int kBox = 192; // the normal size

// The floor for one picture: decode from a stream over the block and draw.
COLORREF FloorThumbnail(HGLOBAL picture, int interpolationMode) {
    IStream* stream = nullptr;
    CreateStreamOnHGlobal(picture, FALSE, &stream);
    COLORREF centre = CLR_INVALID;
    {
        Gdiplus::Bitmap image(stream);
        BITMAPINFO info = {};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), kBox, -kBox, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        HBITMAP canvas = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, canvas);
        {
            Gdiplus::Graphics graphics(dc);
            graphics.SetInterpolationMode(static_cast<Gdiplus::InterpolationMode>(interpolationMode));
            PicturePlace place = FitPicture(image.GetWidth(), image.GetHeight(), kBox, kBox);
            graphics.DrawImage(&image, Gdiplus::Rect(place.x, place.y, place.width, place.height));
        }
        centre = GetPixel(dc, kBox / 2, kBox / 2);
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(canvas);
    }
    stream->Release();
    return centre;
}

double TimedFloor(const std::vector<HGLOBAL>& pictures, int count, int interpolationMode,
                  std::vector<COLORREF>& centres) {
    double start = Now();
    for (int i = 0; i < count; ++i) {
        COLORREF centre = FloorThumbnail(pictures[i % pictures.size()], interpolationMode);
        if (i < static_cast<int>(pictures.size())) centres[i] = centre;
    }
    return Now() - start;
}

// Dispatches the window's messages until the run in progress has ended.
void PumpWhileRunning(MainWindow& window) {
    MSG msg;
    while (window.Runs().InProgress()) {
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        } else {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        }
    }
}

// The window's thumbnails of the archives at paths, from the size command
// to the end of the run; mismatches against the floor's centres counted.
double TimedWindow(MainWindow& window, const std::vector<std::wstring>& paths, const std::vector<COLORREF>& centres,
                   int& mismatches) {
    SendMessageW(window.Window(), WM_COMMAND, ID_THUMBNAIL_NONE, 0);
    FileList& files = window.Files();
    files.RemoveAll();
    for (const std::wstring& path : paths) files.AddFileEntry(path.c_str());
    files.SyncView();
    double start = Now();
    SendMessageW(window.Window(), WM_COMMAND, ID_THUMBNAIL_NORMAL, 0);
    PumpWhileRunning(window);
    double seconds = Now() - start;
    for (int i = 0; i < static_cast<int>(paths.size()); ++i)
        if (ImageColour(window.Thumbnails().Images(), i) != centres[i % centres.size()]) ++mismatches;
    return seconds;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    int count = argc > 1 ? _wtoi(argv[1]) : 1000;
    const std::wstring photos = BuildFolder(L"bench-photos");
    std::vector<std::string> jpegs;
    for (int i = 0;; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"\\photo-%03d.jpg", i);
        std::string bytes = ReadBytes(photos + name);
        if (bytes.empty()) break;
        jpegs.push_back(bytes);
    }
    if (jpegs.empty() || count < 1) {
        fprintf(stderr, "no photos in %ls: run scripts/make-thumbnail-bench-photos.sh build/bench-photos\n",
                photos.c_str());
        return 2;
    }
    TempDir program, files;
    CGDIPlusInit gdiplus;
    SetDllDirectoryW(BuildFolder(L"bin").c_str());
    SetProgramFolder(program.path().c_str());
    WriteUtf16(program / L"Zorvel.cfg", L"[Thumbnail]\r\nStartup=0\r\n[Other]\r\nConfirmExit=0\r\n");
    Settings settings;
    LoadSettings(settings);

    // The same pictures three ways: in memory, and in count archives of each kind.
    std::vector<HGLOBAL> memory;
    std::vector<std::wstring> zips, sevens, rars;
    for (size_t k = 0; k < jpegs.size(); ++k) {
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, jpegs[k].size());
        memcpy(GlobalLock(block), jpegs[k].data(), jpegs[k].size());
        GlobalUnlock(block);
        memory.push_back(block);
    }
    std::vector<std::string> zipBytes, rarBytes, sevenBytes;
    for (size_t k = 0; k < jpegs.size(); ++k) {
        std::vector<ZipMember> zip(1);
        zip[0].name = "Photos/IMG_0001.jpg", zip[0].data = jpegs[k], zip[0].method = 8;
        zipBytes.push_back(BuildZip(zip));
        RarMember rar;
        rar.name = "Photos\\IMG_0001.jpg", rar.data = jpegs[k];
        rarBytes.push_back(BuildRar5({rar}));
        wchar_t name[32];
        swprintf(name, 32, L"\\photo-%03d.7z", static_cast<int>(k));
        sevenBytes.push_back(ReadBytes(photos + name));
    }
    for (int i = 0; i < count; ++i) {
        size_t k = i % jpegs.size();
        std::wstring stem = files / (L"archive " + std::to_wstring(100000 + i));
        zips.push_back(stem + L".zip");
        sevens.push_back(stem + L".7z");
        rars.push_back(stem + L".rar");
        WriteBytes(zips.back(), zipBytes[k]);
        WriteBytes(sevens.back(), sevenBytes[k]);
        WriteBytes(rars.back(), rarBytes[k]);
    }

    MainWindow::RegisterWindowClass(GetModuleHandleW(nullptr));
    MainWindow window(settings);
    if (!window.Create(GetModuleHandleW(nullptr), SW_SHOWNORMAL)) return 1;
    std::vector<COLORREF> centres(jpegs.size());
    int mismatches = 0;
    double floor = 1e9, zip = 1e9, seven = 1e9, rar = 1e9;
    for (int round = 0; round < 2; ++round) {
        floor = std::min(floor, TimedFloor(memory, count, settings.InterpolationMode, centres));
        zip = std::min(zip, TimedWindow(window, zips, centres, mismatches));
    }
    for (int round = 0; round < 2; ++round) {
        seven = std::min(seven, TimedWindow(window, sevens, centres, mismatches));
        rar = std::min(rar, TimedWindow(window, rars, centres, mismatches));
    }
    printf("%d pictures of 1600 x 1200 (%zu distinct), box %d, interpolation %d\n", count, jpegs.size(), kBox,
           settings.InterpolationMode);
    printf("floor, decode + draw from memory  %7.3f s  %6.2f ms per picture\n", floor, 1000 * floor / count);
    const struct { const char* what; double seconds; } lines[] = {
        {"zip, built-in reader", zip}, {"7z, 7-zip32.dll", seven}, {"rar 5, unrar.dll", rar}};
    for (const auto& line : lines)
        printf("%-33s %7.3f s  %6.2f ms per archive  %.2f x\n", line.what, line.seconds,
               1000 * line.seconds / count, line.seconds / floor);
    if (mismatches) printf("%d thumbnails differ from the floor's drawing of their picture\n", mismatches);

    SendMessageW(window.Window(), WM_CLOSE, 0, 0);
    MSG msg;
    while (window.Window() && GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    for (HGLOBAL block : memory) GlobalFree(block);
    SetDllDirectoryW(nullptr);

    return mismatches ? 1 : 0;
}
