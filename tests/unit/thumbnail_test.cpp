// Thumbnails: placement, which item is the picture, its bytes through every reader, and no picture.
#include <gtest/gtest.h>

#include "Libraries.h"
#include "LzhBuilder.h"
#include "RarBuilder.h"
#include "SolidPicture.h"
#include "ZipBuilder.h"
#include "thumbnail/ArchivePicture.h"
#include "thumbnail/GdiPlusInit.h"
#include "thumbnail/IconThumbnails.h"
#include "thumbnail/PictureChoice.h"
#include "thumbnail/ThumbnailWorker.h"

namespace {

std::string Bytes(const PictureData& picture) {
    if (!picture) return "(nothing)";
    std::string bytes(static_cast<const char*>(GlobalLock(picture.memory.get())), picture.size);
    GlobalUnlock(picture.memory.get());
    return bytes;
}

// A thumbnail's pixels (0xAARRGGBB, top row first; ours are top-down DIBs).
std::vector<uint32_t> Pixels(HBITMAP bitmap) {
    std::vector<uint32_t> pixels(128 * 128);
    GetBitmapBits(bitmap, LONG(pixels.size() * 4), pixels.data());
    return pixels;
}

} // namespace

TEST(PictureChoice, FirstCandidateOrFirstInLogicalOrder) {
    struct Item { const wchar_t* name; uint64_t size; bool directory; };
    const uint64_t kLimit = kMaxPictureBytes;
    struct Row { std::vector<Item> items; bool firstFile; int chosen; } rows[] = {
        {{{L"cover.png", 9, false}, {L"10.jpg", 9, false}, {L"9.jpg", 9, false}}, false, 2},
        {{{L"cover.png", 9, false}, {L"10.jpg", 9, false}, {L"9.jpg", 9, false}}, true, 0},
        {{{L"empty.jpg", 0, false}, {L"x.jpg", 9, true}, {L"big.png", kLimit + 1, false}, {L"edge.TIF", kLimit, false}},
         true, 3},
        {{{L"x.webp", 9, false}, {L"x.jpg.txt", 9, false}, {L"README", 9, false}, {L"x.jp", 9, false},
          {L"x.tif2", 9, false}, {L"X.JPEG", 9, false}},
         false, 5},
        {{{L"x.webp", 9, false}, {L"photos.jpg/", 0, true}}, false, -1},
    };
    for (const Row& r : rows) {
        PictureChoice choice(r.firstFile);
        for (size_t i = 0; i < r.items.size(); ++i)
            if (choice.Offer(static_cast<int>(i), r.items[i].name, r.items[i].size, r.items[i].directory)) break;
        EXPECT_EQ(r.chosen, choice.Position()) << r.items[0].name << ", FirstFile " << r.firstFile;
    }
}

class ArchivePictureTest : public ::testing::Test {
protected:
    std::wstring Write(const wchar_t* name, const std::string& bytes) {
        std::wstring path = dir_ / name;
        EXPECT_TRUE(WriteBytes(path, bytes));
        return path;
    }
    LibraryFolder libraries_{BuildFolder(L"bin")};
    CGDIPlusInit gdiplus_;
    TempDir dir_;
};

// A directory named like a picture, a text, then two pictures in a folder
// whose name has a space: the first is taken with FirstFile on, the one
// sorting first with it off. An encrypted item gives nothing.
TEST_F(ArchivePictureTest, EveryReaderGivesExactlyTheChosenItem) {
    const std::string first = "first picture\x01\x02", second = "second\xff picture";
    std::vector<ZipMember> zip = {{"d.jpg/", ""}, {"notes.txt", "text"}, {"b c/10.png", first}, {"b c/2.png", second}};
    zip[0].externalAttributes = 0x10;
    std::vector<ZipMember> deflated = zip;
    for (ZipMember& m : deflated) m.method = 8;
    std::vector<RarMember> rar = {
        {"d.jpg", "", true}, {"notes.txt", "text"}, {"b c\\10.png", first}, {"b c\\2.png", second}};
    std::vector<RarMember> secret = rar;
    for (RarMember& m : secret) m.encrypted = true;
    std::vector<LzhMember> lzh(rar.size()); // d.jpg: a file of no bytes
    for (size_t i = 0; i < rar.size(); ++i) lzh[i].name = rar[i].name, lzh[i].data = rar[i].data;
    const std::wstring fixture7z = Fixture(L"photos.7z");
    const std::string none = "(nothing)";

    struct Row { std::wstring path; std::string withFirstFile, withoutFirstFile; } rows[] = {
        {Write(L"stored.zip", BuildZip(zip)), first, second},
        {Write(L"deflated.ZIP", BuildZip(deflated)), first, second},
        {Write(L"four.rar", BuildRar4(rar)), first, second},
        {Write(L"five.rar", BuildRar5(rar)), first, second},
        {Write(L"stored.lzh", BuildLzh(lzh)), first, second},
        {Write(L"solid.rar", BuildRar4(rar, kRar4Solid)), none, none},
        {Write(L"volume.rar", BuildRar5(rar, kRar5Volume)), none, none},
        {Write(L"locked.rar", BuildRar5(rar, 0, true)), none, none},
        {Write(L"secret.rar", BuildRar4(secret)), none, none},
        {Fixture(L"photos.cab"), none, none},
        {Write(L"text.zip", BuildZip({{"a.jpg.txt", "x"}, {"x.webp", "x"}})), none, none},
    };
    // The 7z archive on a thread made as a run's is, the only one to use
    // 7-zip32.dll: the library's state for such a thread, once it had ended,
    // hung the process at its exit.
    struct OnThread {
        static DWORD WINAPI Read(LPVOID path) {
            auto* seven = static_cast<const wchar_t*>(path);
            std::string a = "Zorvel fixture: Photos/a.jpg\n";
            return Bytes(LoadArchivePicture(seven, true)) == a && Bytes(LoadArchivePicture(seven, false)) == a ? 0 : 1;
        }
    };
    ScopedHandle thread(CreateThread(nullptr, 0, OnThread::Read, const_cast<wchar_t*>(fixture7z.c_str()), 0, nullptr));
    DWORD read = 1;
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread.get(), INFINITE));
    EXPECT_TRUE(GetExitCodeThread(thread.get(), &read) && read == 0) << "the 7z archive's picture";
    for (const Row& r : rows) {
        EXPECT_EQ(r.withFirstFile, Bytes(LoadArchivePicture(r.path.c_str(), true))) << Utf8(r.path);
        EXPECT_EQ(r.withoutFirstFile, Bytes(LoadArchivePicture(r.path.c_str(), false))) << Utf8(r.path);
    }
}

// A picture is drawn centred; without one (none, undecodable, a cabinet) the type icon shows.
TEST_F(ArchivePictureTest, RowsWithoutADrawablePictureShowTheirTypeIcon) {
    const COLORREF kTeal = RGB(0, 128, 128);
    // Regression: a .bmp whose pixels start far past its end crashed the
    // platform's decoder, and the program with it.
    auto patched = [&](size_t at, uint32_t value) {
        std::string bmp = SolidBmp(5, 5, kTeal);
        for (int i = 0; i < 4; ++i) bmp[at + i] = static_cast<char>(value >> (8 * i));
        return BuildZip({{"p.bmp", bmp}});
    };
    struct Row { std::wstring path; int top; } rows[] = { // the picture's first row; -1: the type icon
        {Write(L"small.zip", BuildZip({{"p.bmp", SolidBmp(100, 50, kTeal)}})), 39}, // centred, never enlarged
        {Write(L"large.zip", BuildZip({{"p.bmp", SolidBmp(256, 128, kTeal)}})), 32},
        {Write(L"text.zip", BuildZip({{"readme.txt", "text"}})), -1},
        {Write(L"damaged.zip", BuildZip({{"photo.jpg", "\xff\xd8\xff\xe0 not really a JPEG"}})), -1},
        {Write(L"photos.cab", ReadBytes(Fixture(L"photos.cab"))), -1},
        {Write(L"far-pixels.zip", patched(10, 0x23a4eb4e)), -1},
        {Write(L"tall.zip", patched(22, 5000)), -1},
    };
    for (const Row& r : rows) {
        ScopedBitmap made(MakeRowThumbnail(r.path.c_str(), 128, 128, ThumbnailOptions()));
        ScopedBitmap icon(TypeIconThumbnail(128, 128, r.path.c_str()));
        std::vector<uint32_t> pixels = Pixels(made.get()), iconPixels = Pixels(icon.get());
        EXPECT_NE(std::vector<uint32_t>(128 * 128, 0xFF000000u), pixels) << "never a black square";
        if (r.top < 0) {
            EXPECT_EQ(iconPixels, pixels) << Utf8(r.path);
        } else {
            EXPECT_EQ(0xFF008080u, pixels[64 * 128 + 64]) << Utf8(r.path);
            EXPECT_EQ(0xFF000000u, pixels[(r.top - 1) * 128 + 64]) << Utf8(r.path) << ": black above it";
        }
    }
}
