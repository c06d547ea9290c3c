// Hostile pictures (they crashed the program, held a run for minutes or filled the
// 32-bit process) are refused by our header check before the platform's decoder.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <sstream>

#include "PictureBuilder.h"
#include "SolidPicture.h"
#include "TestFiles.h"
#include "ThumbnailChild.h"
#include "ZipBuilder.h"
#include "base/ScopedWin.h"
#include "thumbnail/PictureHeader.h"

namespace {

// Each <n>.zip of folder drawn in thumbnail_child.exe: "drawn" or "refused" (with
// the megabytes when too many), or "crashed" and a new child goes on after it.
std::vector<std::string> DrawInChild(const std::wstring& folder, int count) {
    std::vector<std::string> outcome(count);
    for (int first = 0; first < count;) {
        std::wstring command = L"\"" + BuildFolder(L"tests") + L"\\thumbnail_child.exe\" \"" + folder + L"\" " +
                               std::to_wstring(count) + L" " + std::to_wstring(first);
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process = {};
        if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
            ADD_FAILURE() << "thumbnail_child.exe did not start";
            break;
        }
        ScopedHandle thread(process.hThread), child(process.hProcess);
        WaitForSingleObject(child.get(), INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(child.get(), &code);
        std::istringstream lines(ReadBytes(folder + L"\\results.txt"));
        int n;
        size_t megabytes;
        std::string word;
        while (lines >> n >> word >> megabytes)
            if (n >= 0 && n < count)
                outcome[n] = megabytes > kHeavyMegabytes ? word + ", " + std::to_string(megabytes) + " MB" : word;
        while (first < count && !outcome[first].empty()) ++first;
        if (first < count && code != static_cast<DWORD>(kHeavyExit)) {
            char crashed[32];
            snprintf(crashed, sizeof(crashed), "crashed (0x%08lx)", static_cast<unsigned long>(code));
            outcome[first++] = crashed;
        }
    }
    return outcome;
}

} // namespace

TEST(PictureTable, HostilePicturesAreRefusedRealOnesDrawn) {
    const std::string pngBomb = BuildPng(65536, 65536, 64);
    const std::string dibBomb = BuildIconDib(65536, 16385, 65536 * 4);
    const std::string icon = BuildIconDib(16, 16, 16 * 16 * 4 + 16 * 4); // colours, then the mask
    auto fixture = [](const wchar_t* name) { return ReadBytes(Fixture(std::wstring(L"pictures\\") + name)); };
    struct Row {
        const char* what;
        const char* name;
        std::string bytes;
        bool drawn;
    } rows[] = {
        // Regressions: the decoder sized its buffer in 32 bits, 65,536 x
        // 65,536 came to 0, and the first row of 0x41 bytes overwrote its
        // row pointers; the icon decoder copied 16,385 rows into one.
        {"PNG of 65,536 x 65,536", "cover.png", pngBomb, false},
        {"icon of 65,536 x 16,385", "cover.ico", BuildIco({dibBomb}), false},
        {"that icon named .jpg", "cover.jpg", BuildIco({dibBomb}), false},
        {"icon of that PNG", "cover.ico", BuildIco({pngBomb}), false},
        {"icon whose second image overflows", "cover.ico", BuildIco({icon, dibBomb}), false},
        // Regressions: 188 s; 2.4 GB and 3.7 GB of the 32-bit process.
        {"progressive JPEG of 6,000 scans", "cover.jpg", BuildJpeg({8192, 8192, 3, 0xC2, 6000}), false},
        {"JPEG of 20,000 x 20,000", "cover.jpg", BuildJpeg({20000, 20000, 3, 0xC2, 1, 0, false}), false},
        {"GIF of 5,000 frames of 1,000 x 1,000", "cover.gif", BuildGif(1000, 1000, std::vector<uint32_t>(5000, 1000)),
         false},
        {"JPEG of 33 scans, 35 Mi blocks", "cover.jpg", BuildJpeg({8192, 8192, 3, 0xC2, 33}), false},
        {"arithmetic-coded JPEG", "cover.jpg", BuildJpeg({16, 16, 3, 0xC9, 1, 0, false}), false},
        {"GIF of 4,097 frames", "cover.gif", BuildGif(1, 1, std::vector<uint32_t>(4097, 1)), false},
        {"GIF of 5 frames of 8,192 x 8,192", "cover.gif", BuildGif(8192, 8192, std::vector<uint32_t>(5, 8192)), false},
        {"TIFF of 1,025 pages", "cover.tif", BuildTiff(std::vector<TiffPage>(1025, {1, 1})), false},
        {"TIFF whose directories loop", "cover.tif", BuildTiff({{16, 16}, {16, 16}}, 0), false},
        // Real pictures of every kind.
        {"JPEG", "photo.jpg", fixture(L"photo.jpg"), true},
        {"progressive JPEG", "photo.jpg", fixture(L"progressive.jpg"), true},
        {"JPEG with restart markers", "photo.jpg", BuildJpeg({40, 30, 3, 0xC0, 1, 2}), true},
        {"PNG", "photo.png", BuildPng(40, 30, 30, 2), true},
        {"GIF of three frames", "photo.gif", fixture(L"frames.gif"), true},
        {"TIFF of two pages", "photo.tif", fixture(L"pages.tif"), true},
        {"icon of a PNG image", "photo.ico", fixture(L"png.ico"), true},
        {"icon of a bitmap", "photo.ico", fixture(L"dib.ico"), true},
        {"BMP", "photo.bmp", SolidBmp(40, 30, RGB(0, 128, 128)), true},
    };
    const int count = static_cast<int>(sizeof(rows) / sizeof(rows[0]));
    TempDir dir;
    for (int i = 0; i < count; ++i) {
        ASSERT_FALSE(rows[i].bytes.empty()) << rows[i].what;
        ASSERT_TRUE(WriteZip(dir / (std::to_wstring(i) + L".zip"), {{std::string("a/") + rows[i].name, rows[i].bytes, 8}}));
    }
    const std::vector<std::string> outcome = DrawInChild(dir.path(), count);
    for (int i = 0; i < count; ++i) EXPECT_EQ(rows[i].drawn ? "drawn" : "refused", outcome[i]) << rows[i].what;
}

// The limits at their edges, and header fields no decoder may see: verdicts only.
TEST(PictureHeader, LimitsHoldAtTheirEdges) {
    using V = PictureVerdict;
    std::string cutFrame = BuildJpeg({});
    cutFrame.resize(cutFrame.find("\xFF\xC0") + 8);
    struct Row {
        const char* what;
        std::string bytes;
        V verdict;
    } rows[] = {
        {"JPEG of 8,192 x 8,192", BuildJpeg({8192, 8192, 3, 0xC0, 1, 0, false}), V::Fits},
        {"JPEG a pixel wider", BuildJpeg({8193, 8192, 3, 0xC0, 1, 0, false}), V::TooLarge},
        {"JPEG without a height", BuildJpeg({16, 0, 3, 0xC0, 1, 0, false}), V::NoSize},
        {"JPEG cut in its frame header", cutFrame, V::Damaged},
        {"JPEG of 100 scans", BuildJpeg({16, 16, 3, 0xC2, 100}), V::Fits},
        {"JPEG of 101 scans", BuildJpeg({16, 16, 3, 0xC2, 101}), V::TooMany},
        {"JPEG of 32 Mi blocks in 30 scans", BuildJpeg({8192, 8192, 3, 0xC2, 30, 0, false}), V::Fits},
        {"JPEG of one scan more", BuildJpeg({8192, 8192, 3, 0xC2, 31, 0, false}), V::TooMany},
        {"PNG of 65,535 x 1", BuildPng(65535, 1, 1), V::Fits},
        {"PNG of 65,536 x 1", BuildPng(65536, 1, 1), V::TooLarge},
        {"GIF of 4,096 frames", BuildGif(1, 1, std::vector<uint32_t>(4096, 1)), V::Fits},
        {"GIF on a screen of 65,535 x 65,535", BuildGif(65535, 65535, {1}), V::TooLarge},
        {"TIFF of 1,024 pages", BuildTiff(std::vector<TiffPage>(1024, {1, 1})), V::Fits},
        {"TIFF of one 65,536-pixel tile", BuildTiff({{16, 16, 65536}}), V::TooLarge},
        {"cursor", BuildIco({BuildIconDib(16, 16, 1088)}, 2), V::Fits},
        {"icon whose rows end past the bytes", BuildIco({BuildIconDib(16, 16, 1000)}), V::Damaged},
        {"text", "GIF88a, JFIF and PNG are only words here", V::Unrecognised},
    };
    for (const Row& r : rows) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(r.bytes.data());
        EXPECT_EQ(static_cast<int>(r.verdict), static_cast<int>(CheckPicture(bytes, r.bytes.size()).verdict))
            << r.what;
    }
}
