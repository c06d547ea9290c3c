// CUnZip, the built-in ZIP reader: which files open, names, the directory, unpacking.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "TestFiles.h"
#include "ZipBuilder.h"
#include "archive/UnZip.h"

namespace {

class UnZipTest : public ::testing::Test {
protected:
    TempDir dir_;
    CUnZip zip_;
};

// A file opens with its items or is refused, leaving none; either way others
// may read it, and it is released when done: the program renames it next.
TEST_F(UnZipTest, WhichFilesOpen) {
    const std::string other = BuildZip({{"x/1", "1"}, {"x/2", "2"}, {"x/3", "3"}});
    const struct { const char* label; std::string bytes; int items; } cases[] = {
        {"plain", other, 3},
        // An empty archive is only its end record, where minizip does not look.
        {"empty with a comment", BuildZip({}, false, "nothing here"), 0},
        {"empty file", "", -1},
        {"text", "This is not an archive.\r\n", -1},
        // A cut inside the end record reads its short fields as zeros: one
        // left only the signature would look like an empty archive.
        {"end record cut after its signature", other.substr(0, other.size() - 18), -1},
        {"empty archive with its comment cut short", BuildZip({}, false, "note").substr(0, 24), -1},
        {"spanned", BuildZip({{"x/1", "1"}, {"x/2", "2"}}, true), -1},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        std::wstring path = dir_.Write(L"case" + std::to_wstring(n++) + L".zip", c.bytes);
        {
            CUnZip zip;
            EXPECT_EQ(c.items >= 0, zip.Open(path.c_str()));
            EXPECT_EQ(c.bytes, ReadBytes(path)) << "another reader is shut out";
            EXPECT_EQ(std::max(c.items, 0), zip.ItemCount());
        }
        std::wstring moved = path + L".moved";
        EXPECT_TRUE(MoveFileW(path.c_str(), moved.c_str())) << "the file is still held open";
    }
    for (const std::wstring& path : {dir_ / L"missing.zip", dir_.path()}) EXPECT_FALSE(zip_.Open(path.c_str()));
    // A path outside the ANSI code page opens.
    EXPECT_TRUE(zip_.Open(dir_.Write(L"写真 한글 ü \U0001F600.zip", BuildZip({{"a.txt", "a"}})).c_str()));
}

// Items in any order and the summary form between them: the summary is no
// cached item, and no cached item is taken for the summary.
TEST_F(UnZipTest, TheSummaryBetweenItems) {
    ASSERT_TRUE(zip_.Open(dir_.Write(L"s.zip", BuildZip({{"item0", "a"}, {"item1", "bb"}})).c_str()));
    for (int index : {1, -1, 1, 0, -1, -1, 0}) {
        ASSERT_EQ(kZipOk, zip_.GetItem(index)) << index;
        EXPECT_EQ(index == -1 ? 2 : index, zip_.Item().index);
        EXPECT_EQ(index == -1 ? L"" : L"item" + std::to_wstring(index), zip_.Item().name);
    }
}

// Names: UTF-8 when valid, else the ANSI code page; drives, leading separators and
// parent steps cleaned off; the length limit in decoded units; bad names are bad items.
TEST_F(UnZipTest, ItemNames) {
    std::string kanji932, kanji8;
    for (int i = 0; i < 200; ++i) kanji932 += "\x94\x5C"; // 能: 400 bytes, 200 units
    for (int i = 0; i < 200; ++i) kanji8 += u8"写";       // 600 bytes, 200 units
    const struct { std::string raw; uint16_t flags; std::wstring expected; } cases[] = {
        {"\x8E\xCA\x90\x5E/a.jpg", 0, L"写真/a.jpg"},                   // Shift-JIS
        {"\x83\x5C\x83\x74\x83\x67/\x95\x5C.txt", 0, L"ソフト/表.txt"}, // trail bytes equal to '\'
        {u8"写真/b.jpg", 0, L"写真/b.jpg"},                             // UTF-8 without its flag
        {u8"フォルダ/c.txt", 0x800, L"フォルダ/c.txt"},
        {u8"\U0001F600/d", 0x800, L"\U0001F600/d"},                     // four bytes: a surrogate pair
        {"\xC0\xAFx", 0, L"\xFF80\xFF6Fx"}, // an overlong '/' is not UTF-8: half-width ﾀｯ
        {"C:\\temp\\x", 0, L"temp\\x"},  {"/x/y", 0, L"x/y"},           {"\\\\server\\share\\x", 0, L"server\\share\\x"},
        {"a/../b/c", 0, L"b/c"},         {"a\\..\\b\\c", 0, L"b\\c"},  {"x/..\\y", 0, L"y"},
        {"x\\../y", 0, L"y"},            {"../a", 0, L"../a"},         {"a/..b/c", 0, L"a/..b/c"},
        {std::string(259, 'n'), 0, std::wstring(259, L'n')},
        {std::string(260, 'n'), 0, L""}, // too long: a bad item
        {kanji932, 0, std::wstring(200, L'能')},
        {kanji8, 0, std::wstring(200, L'写')},
    };
    std::vector<ZipMember> members;
    for (const auto& c : cases) members.push_back({c.raw, "x", 0, c.flags});
    ASSERT_TRUE(zip_.Open(dir_.Write(L"names.zip", BuildZip(members)).c_str()));
    ASSERT_EQ(static_cast<int>(members.size()), zip_.ItemCount());
    for (int i = 0; i < zip_.ItemCount(); ++i) {
        SCOPED_TRACE(i);
        const uint32_t result = zip_.GetItem(i);
        EXPECT_EQ(cases[i].expected.empty() ? kZipBadItem : kZipOk, result);
        if (result == kZipOk) { EXPECT_EQ(cases[i].expected, zip_.Item().name); }
    }
}

// Each member unpacks in one call into a buffer of its size, as the picture
// reader asks, or says why not; no CRC is compared.
TEST_F(UnZipTest, UnpackingOrSayingWhyNot) {
    // Each readable member holds bytes of its own, so reading the wrong one shows:
    // stretches deflate cannot shrink, alternating with text it can.
    auto text = [](uint32_t seed) {
        std::string s;
        for (size_t i = 0; i < 100000; ++i) {
            seed = seed * 1664525u + 1013904223u;
            s.push_back((i / 1000) % 2 ? static_cast<char>(seed >> 24) : "zorvel "[i % 7]);
        }
        return s;
    };
    const std::string data = text(0), deflated = RawDeflate(data);
    const struct { ZipMember member; uint32_t header, unpack; } cases[] = {
        // name, data, method, flags, attributes, data descriptor, wrong CRC, packed bytes
        {{"stored", text(1)}, kZipOk, kZipOk},
        {{"stored, empty", ""}, kZipOk, kZipOk},
        {{"deflated", text(5), 8}, kZipOk, kZipOk},
        {{"deflated, empty", "", 8}, kZipOk, kZipOk},
        {{"stored, descriptor", text(9), 0, 0, 0, true}, kZipOk, kZipOk}, // sizes only in the directory
        {{"deflated, wrong CRC", text(10), 8, 0, 0, false, true}, kZipOk, kZipOk},
        {{"stored, encrypted", data, 0, 1}, kZipOk, kZipBadPassword},
        {{"bzip2", data, 12}, kZipBadItem, kZipBadItem}, // neither stored nor deflated
        {{"invalid deflate", data, 8, 0, 0, false, false, std::string(64, '\xFF')}, kZipOk, kZipUnpackFailed},
        {{"deflate cut short", data, 8, 0, 0, false, false, deflated.substr(0, deflated.size() / 2)}, kZipOk,
         kZipUnpackFailed},
        {{"broken local header", data, 8}, kZipBadItem, kZipBadItem},
        {{"last", text(18)}, kZipOk, kZipOk},
    };
    std::vector<ZipMember> members;
    for (const auto& c : cases) members.push_back(c.member);
    std::string bytes = BuildZip(members);
    ASSERT_TRUE(BreakLocalHeader(bytes, static_cast<int>(members.size()) - 2));
    ASSERT_TRUE(zip_.Open(dir_.Write(L"unpack.zip", bytes).c_str()));
    for (int i = 0; i < static_cast<int>(members.size()); ++i) {
        const ZipMember& m = cases[i].member;
        SCOPED_TRACE(m.name);
        ASSERT_EQ(cases[i].header, zip_.GetItem(i));
        if (cases[i].header == kZipOk) { EXPECT_EQ(static_cast<int32_t>(m.data.size()), zip_.Item().uncompressedSize); }
        std::string out(m.data.size(), '\0');
        EXPECT_EQ(cases[i].unpack, zip_.UnzipToMemory(i, &out[0], static_cast<uint32_t>(out.size())));
        if (cases[i].unpack == kZipOk) { EXPECT_TRUE(out == m.data) << "a wrong or half-read member"; }
    }
    // An earlier member after the last, into a buffer too small for it: filled and no further.
    std::string part(1001, '#');
    EXPECT_EQ(kZipMoreData, zip_.UnzipToMemory(2, &part[0], 1000));
    EXPECT_EQ(cases[2].member.data.substr(0, 1000) + "#", part);
}

// A broken central record ends the directory there; the items before it stay readable.
TEST_F(UnZipTest, ADamagedDirectoryEndsWhereItBreaks) {
    for (int broken : {0, 2, 4}) {
        SCOPED_TRACE(broken);
        std::vector<ZipMember> members;
        for (int i = 0; i < 5; ++i) members.push_back({"d/" + std::to_string(i), "data"});
        std::string bytes = BuildZip(members);
        ASSERT_TRUE(BreakCentralRecord(bytes, broken));
        CUnZip zip;
        if (!zip.Open(dir_.Write(L"directory" + std::to_wstring(broken) + L".zip", bytes).c_str())) {
            EXPECT_EQ(0, broken) << "only a broken first record may refuse the archive";
            continue;
        }
        char out[8];
        for (int i : {0, 1, 2, 3, 4, 0}) {
            EXPECT_EQ(i < broken, zip.GetItem(i) == kZipOk) << i;
            EXPECT_EQ(i < broken, zip.UnzipToMemory(i, out, 4) == kZipOk) << i;
        }
    }
}

} // namespace
