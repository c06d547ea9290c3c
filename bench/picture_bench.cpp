// The cost of the largest pictures the thumbnail's header check lets
// through (PictureHeader.h), and of the check itself.
//
//   wine build/bench/picture_bench.exe [PHOTO-FOLDER]
//
// Each picture at the limits is built, checked and drawn into a 192-pixel
// box by RenderPicture in a process of its own, which prints the time of
// the check, the time of decoding and drawing and the process's peak working
// set (the whole process's: the picture's bytes, the decoder, GDI+). Then
// the check alone is timed on every .jpg of PHOTO-FOLDER (the photographs
// of scripts/make-thumbnail-bench-photos.sh, about 300 KB each).
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <zlib.h>

#include "BenchClock.h"
#include "LittleEndian.h"
#include "PictureBuilder.h"
#include "TestFiles.h"
#include "base/ScopedWin.h"
#include "thumbnail/GdiPlusInit.h"
#include "thumbnail/PictureHeader.h"
#include "thumbnail/RenderPicture.h"

namespace {

// A little-endian TIFF of one deflated strip of 16-bit RGBA pixels: eight
// bytes a pixel, the widest the decoder is known to draw.
std::string WideTiff(uint32_t side) {
    std::string row(static_cast<size_t>(side) * 8, 'A'), packed;
    z_stream z = {};
    deflateInit(&z, 1);
    std::vector<char> buffer(1 << 20);
    for (uint32_t y = 0; y <= side; ++y) {
        z.next_in = reinterpret_cast<Bytef*>(&row[0]);
        z.avail_in = y < side ? static_cast<uInt>(row.size()) : 0;
        do {
            z.next_out = reinterpret_cast<Bytef*>(buffer.data());
            z.avail_out = static_cast<uInt>(buffer.size());
            deflate(&z, y < side ? Z_NO_FLUSH : Z_FINISH);
            packed.append(buffer.data(), buffer.size() - z.avail_out);
        } while (z.avail_out == 0);
    }
    deflateEnd(&z);
    std::string out = "II*";
    out += '\0';
    Put32(out, 8);
    const uint32_t bitsAt = 8 + 2 + 11 * 12 + 4, stripAt = bitsAt + 8;
    const uint32_t entries[][3] = {{256, 4, side}, {257, 4, side}, {258, 3, bitsAt}, {259, 3, 8}, {262, 3, 2},
                                   {273, 4, stripAt}, {277, 3, 4}, {278, 4, side},
                                   {279, 4, static_cast<uint32_t>(packed.size())}, {284, 3, 1}, {338, 3, 2}};
    Put16(out, 11);
    for (const auto& e : entries) {
        Put16(out, e[0]);
        Put16(out, e[1]);
        Put32(out, e[0] == 258 ? 4 : 1);
        Put32(out, e[2]);
    }
    Put32(out, 0);
    for (int i = 0; i < 4; ++i) Put16(out, 16);
    return out + packed;
}

struct Case {
    const char* what;
    std::function<std::string()> build;
};

const std::vector<Case>& Cases() {
    static const std::vector<Case> cases = {
        {"JPEG 8,192 x 8,192, CMYK, baseline", [] { return BuildJpeg({8192, 8192, 4, 0xC0}); }},
        {"JPEG 8,192 x 8,192, CMYK, 1 + 28 refining scans (32 Mi blocks)",
         [] { return BuildJpeg({8192, 8192, 4, 0xC2, 29, 0, true, true}); }},
        {"JPEG 8,192 x 8,192, CMYK, 1 + 28 scans, no data",
         [] { return BuildJpeg({8192, 8192, 4, 0xC2, 29, 0, false, true}); }},
        {"JPEG 4,544 x 4,544, CMYK, 100 refining scans (32 Mi blocks)",
         [] { return BuildJpeg({4544, 4544, 4, 0xC2, 100, 0, true, true}); }},
        {"PNG 8,192 x 8,192, 16-bit RGBA", [] { return BuildPng(8192, 8192, 8192, 6, 16); }},
        {"TIFF 8,192 x 8,192, 16-bit RGBA", [] { return WideTiff(8192); }},
        {"TIFF of 1,024 pages", [] { return BuildTiff(std::vector<TiffPage>(1024, {64, 64})); }},
        {"GIF of 4 frames of 8,192 x 8,192", [] { return BuildGif(8192, 8192, std::vector<uint32_t>(4, 8192)); }},
        {"GIF of 4,096 frames of 256 x 256", [] { return BuildGif(256, 256, std::vector<uint32_t>(4096, 256)); }},
        {"icon of an 8,192 x 8,192 PNG image", [] { return BuildIco({BuildPng(8192, 8192, 8192, 6)}); }},
    };
    return cases;
}

size_t PeakMegabytes() {
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof(memory);
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
    return memory.PeakWorkingSetSize >> 20;
}

int RunCase(size_t index) {
    if (index >= Cases().size()) return 2;
    CGDIPlusInit gdiplus;
    const Case& c = Cases()[index];
    PictureData picture;
    {
        const std::string bytes = c.build();
        picture = AllocatePicture(bytes.size());
        if (!picture) return 2;
        ScopedGlobalLock block(picture.memory.get());
        memcpy(block.get(), bytes.data(), bytes.size());
    }
    const size_t before = PeakMegabytes();
    double start = Now();
    PictureVerdict verdict;
    {
        ScopedGlobalLock block(picture.memory.get());
        verdict = CheckPicture(static_cast<const unsigned char*>(block.get()), picture.size).verdict;
    }
    const double checked = Now();
    ScopedBitmap thumbnail(RenderPicture(picture, 192, 192, 7));
    const double drawn = Now();
    printf("%-62s %9zu bytes  check %7.3f ms  decode+draw %6.2f s  peak %5zu MB (%zu before)  %s\n", c.what,
           picture.size, (checked - start) * 1000, drawn - checked, PeakMegabytes(), before,
           verdict != PictureVerdict::Fits ? "REFUSED" : thumbnail ? "drawn" : "not drawn");
    return 0;
}

void TimeChecks(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    ScopedFind find(FindFirstFileW((folder + L"\\*.jpg").c_str(), &found));
    if (!find) {
        printf("no .jpg in %ls\n", folder.c_str());
        return;
    }
    std::vector<std::string> photos;
    do {
        photos.push_back(ReadBytes(folder + L"\\" + found.cFileName));
    } while (FindNextFileW(find.get(), &found));
    const int kRounds = 200;
    size_t bytes = 0, fits = 0;
    const double start = Now();
    for (int round = 0; round < kRounds; ++round) {
        for (const std::string& photo : photos) {
            const auto* data = reinterpret_cast<const unsigned char*>(photo.data());
            fits += CheckPicture(data, photo.size()).verdict == PictureVerdict::Fits;
            bytes += photo.size();
        }
    }
    const double seconds = Now() - start, checks = static_cast<double>(kRounds) * photos.size();
    printf("check alone: %zu photographs of %.0f KB on average, %.4f ms a check (%.0f MB/s), %zu of %.0f fit\n",
           photos.size(), bytes / checks / 1024, seconds * 1000 / checks, bytes / seconds / 1048576, fits, checks);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 3 && wcscmp(argv[1], L"--case") == 0) return RunCase(static_cast<size_t>(_wtoi(argv[2])));
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    for (size_t i = 0; i < Cases().size(); ++i) {
        std::wstring command = L"\"" + std::wstring(self) + L"\" --case " + std::to_wstring(i);
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process = {};
        fflush(stdout);
        if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
            printf("could not start case %zu\n", i);
            continue;
        }
        ScopedHandle thread(process.hThread), child(process.hProcess);
        WaitForSingleObject(child.get(), INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(child.get(), &code);
        if (code != 0) printf("%-62s ended with 0x%08lx\n", Cases()[i].what, static_cast<unsigned long>(code));
    }
    if (argc == 2) TimeChecks(argv[1]);
    return 0;
}
