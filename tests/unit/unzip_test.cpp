// CUnZip, the built-in ZIP reader: which files open, item names, attributes,
// stepping through the directory, and unpacking into a caller's buffer,
// including the damaged and unsupported forms.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "TestFiles.h"
#include "ZipBuilder.h"
#include "archive/UnZip.h"

namespace {

ZipMember Member(const std::string& name, const std::string& data = "", uint16_t method = 0, uint16_t flags = 0) {
    ZipMember m;
    m.name = name;
    m.data = data;
    m.method = method;
    m.flags = flags;
    return m;
}

// Deterministic bytes: stretches of every byte value (which deflate cannot
// shrink) alternating with repetitive text (which it can).
std::string Content(size_t size, uint32_t seed) {
    std::string s;
    for (size_t i = 0; i < size; ++i) {
        seed = seed * 1664525u + 1013904223u;
        s.push_back((i / 1000) % 2 ? static_cast<char>(seed >> 24) : "zorvel "[i % 7]);
    }
    return s;
}

std::string Hex(uint32_t v) {
    char text[16];
    snprintf(text, sizeof(text), "0x%X", v);
    return text;
}

class UnZipTest : public ::testing::Test {
protected:
    std::wstring Write(const std::wstring& name, const std::string& bytes) {
        std::wstring path = dir_ / name;
        EXPECT_TRUE(WriteBytes(path, bytes));
        return path;
    }
    // Opens an archive of members in zip_.
    void Open(const std::vector<ZipMember>& members) {
        ASSERT_TRUE(zip_.Open(Write(L"t" + std::to_wstring(n_++) + L".zip", BuildZip(members)).c_str()));
    }
    // True when nothing holds the file open any more: it can be renamed, as
    // the program does right after reading an archive.
    static bool Released(const std::wstring& path) {
        std::wstring moved = path + L".moved";
        return MoveFileW(path.c_str(), moved.c_str()) && MoveFileW(moved.c_str(), path.c_str());
    }
    std::string Unpack(int index, size_t size, uint32_t expected = kZipOk) {
        std::string out(size, '\0');
        EXPECT_EQ(Hex(expected), Hex(zip_.UnzipToMemory(index, &out[0], static_cast<uint32_t>(size)))) << index;
        return out;
    }

    TempDir dir_;
    CUnZip zip_;
    int n_ = 0;
};

// Unpacks item index in calls of `chunk` bytes; the final call's bytes are
// those left of `total`. Returns the last result; calls counts the calls.
uint32_t UnpackInChunks(CUnZip& zip, int index, uint32_t chunk, size_t total, std::string& out, int& calls) {
    out.clear();
    calls = 0;
    std::vector<char> buffer(chunk);
    for (;;) {
        uint32_t result = zip.UnzipToMemory(index, buffer.data(), chunk);
        ++calls;
        if (result == kZipMoreData) {
            out.append(buffer.data(), chunk);
            if (calls < static_cast<int>(total / chunk) + 3 && out.size() <= total) continue;
            return result;
        }
        if (result == kZipOk && out.size() <= total)
            out.append(buffer.data(), std::min<size_t>(chunk, total - out.size()));
        return result;
    }
}

// Every file either opens with its items, or is refused while the archive
// open before stays open and readable; either way it is shared for reading
// and released when done.
TEST_F(UnZipTest, WhichFilesOpen) {
    const std::string last = Content(5000, 7);
    std::vector<ZipMember> members = {Member("first.txt", "first"), Member("dir/"), Member("dir/last.bin", last, 8)};
    std::vector<ZipMember> described = members;
    for (ZipMember& m : described) m.dataDescriptor = true;
    const std::string other = BuildZip({Member("x/1", "1"), Member("x/2", "2"), Member("x/3", "3")});
    const std::string stub = "MZ" + std::string(4094, '\x90');
    const struct { const char* label; std::string bytes; int items; } cases[] = {
        {"plain", BuildZip(members), 3},
        {"with a comment", BuildZip(members, false, "made for Zorvel's tests"), 3},
        {"behind a self-extractor stub", stub + BuildZip(members), 3},
        {"sizes in data descriptors", BuildZip(described), 3},
        {"only the end record", BuildZip({}), 0},
        {"empty with a comment", BuildZip({}, false, "nothing here"), 0},
        {"empty behind a stub", stub + BuildZip({}), 0},
        {"empty file", "", -1},
        {"text", "This is not an archive.\r\n", -1},
        {"7z signature", std::string("7z\xBC\xAF\x27\x1C\0\x04", 8) + std::string(64, '\0'), -1},
        {"local header but no directory", other.substr(0, 40), -1},
        {"cut in the middle", other.substr(0, other.size() / 2), -1},
        {"end record cut off", other.substr(0, other.size() - 22), -1},
        // Cuts inside the end record, which reads short fields as zeros: one
        // left only the signature would look like an empty archive.
        {"end record cut after its signature", other.substr(0, other.size() - 18), -1},
        {"end record cut before the directory offset", other.substr(0, other.size() - 6), -1},
        {"empty archive with its comment cut short", BuildZip({}, false, "note").substr(0, 24), -1},
        {"spanned", BuildZip({Member("x/1", "1"), Member("x/2", "2")}, true), -1},
    };
    const std::wstring good = Write(L"good.zip", BuildZip({Member("keep/a.txt", "kept"), Member("keep/b.txt", "b")}));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        std::wstring path = Write(L"case" + std::to_wstring(n_++) + L".zip", c.bytes);
        {
            CUnZip zip;
            ASSERT_TRUE(zip.Open(good.c_str()));
            EXPECT_EQ(c.items >= 0, zip.Open(path.c_str()));
            EXPECT_EQ(c.bytes, ReadBytes(path)) << "another reader is shut out";
            if (c.items < 0) {
                EXPECT_EQ(2, zip.ItemCount());
                EXPECT_EQ(kZipOk, zip.GetItem(1));
                EXPECT_STREQ(L"keep/b.txt", zip.Item().name);
                char out[4] = {};
                EXPECT_EQ(kZipOk, zip.UnzipToMemory(0, out, 4));
                EXPECT_EQ("kept", std::string(out, 4));
            } else {
                EXPECT_TRUE(Released(good)) << "opening another archive keeps the first open";
                EXPECT_EQ(c.items, zip.ItemCount());
                EXPECT_EQ(kZipBadArgument, zip.GetItem(c.items));
                EXPECT_EQ(kZipOk, zip.GetItem(-1));
                EXPECT_EQ(c.items, zip.Item().index);
            }
            if (c.items == 3) {
                EXPECT_EQ(kZipOk, zip.GetItem(2));
                EXPECT_STREQ(L"dir/last.bin", zip.Item().name);
                EXPECT_EQ(static_cast<int32_t>(last.size()), zip.Item().uncompressedSize);
                std::string out(last.size(), '\0');
                EXPECT_EQ(kZipOk, zip.UnzipToMemory(2, &out[0], static_cast<uint32_t>(out.size())));
                EXPECT_EQ(last, out);
                EXPECT_EQ(kZipOk, zip.UnzipToMemory(0, &out[0], 5));
                EXPECT_EQ("first", out.substr(0, 5));
            }
        }
        EXPECT_TRUE(Released(path)) << "the file is still held open";
    }
    // Nothing open: a missing file, a folder, or after Close.
    char buffer[16];
    for (const std::wstring& path : {dir_ / L"missing.zip", dir_.path(), good}) {
        CUnZip zip;
        EXPECT_EQ(path == good, zip.Open(path.c_str()));
        zip.Close();
        EXPECT_EQ(0, zip.ItemCount());
        EXPECT_EQ(kZipBadArgument, zip.GetItem(0));
        EXPECT_EQ(kZipBadArgument, zip.UnzipToMemory(0, buffer, sizeof(buffer)));
    }
    EXPECT_TRUE(Released(good));
    // A path outside the ANSI code page opens.
    EXPECT_TRUE(zip_.Open(Write(L"写真 한글 ü \U0001F600.zip", BuildZip({Member("a.txt", "a")})).c_str()));
}

// Names decode as UTF-8 when valid, else in the ANSI code page; drives,
// leading separators and parent steps are cleaned off; the length limit
// counts decoded units. A bad name leaves the items after it readable.
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
        {"C:\\temp\\x", 0, L"temp\\x"},  {"c:/temp/x", 0, L"temp/x"},  {"\\x", 0, L"x"},
        {"//x", 0, L"x"},                {"/x/y", 0, L"x/y"},          {"\\\\server\\share\\x", 0, L"server\\share\\x"},
        {"a/../b/c", 0, L"b/c"},         {"a\\..\\b\\c", 0, L"b\\c"},  {"x/..\\y", 0, L"y"},
        {"x\\../y", 0, L"y"},            {"../a", 0, L"../a"},         {"a..b/c", 0, L"a..b/c"},
        {"a/..b/c", 0, L"a/..b/c"},      {"a/b../c", 0, L"a/b../c"},   {"a/b\\c", 0, L"a/b\\c"},
        {std::string(259, 'n'), 0, std::wstring(259, L'n')},
        {std::string(260, 'n'), 0, L""}, // too long: a bad item
        {kanji932, 0, std::wstring(200, L'能')},
        {std::string(1000, 'n'), 0, L""},
        {kanji8, 0, std::wstring(200, L'写')},
    };
    std::vector<ZipMember> members;
    for (const auto& c : cases) members.push_back(Member(c.raw, "x", 0, c.flags));
    Open(members);
    ASSERT_EQ(static_cast<int>(members.size()), zip_.ItemCount());
    for (int i = 0; i < zip_.ItemCount(); ++i) {
        SCOPED_TRACE(i);
        const uint32_t result = zip_.GetItem(i);
        EXPECT_EQ(Hex(cases[i].expected.empty() ? kZipBadItem : kZipOk), Hex(result));
        if (result == kZipOk) { EXPECT_EQ(cases[i].expected, zip_.Item().name); }
    }
}

TEST_F(UnZipTest, ItemsAreReachedInAnyOrderAndTheSummaryOnRequest) {
    std::vector<ZipMember> members;
    for (int i = 0; i < 8; ++i) members.push_back(Member("item" + std::to_string(i), std::string(i * 10, 'c')));
    Open(members);
    for (int index : {0, 1, 2, 2, 5, 0, 3, 7, 6, 1, -1, 1, 4, 8, 4, -2, 7, INT_MIN, 0}) {
        SCOPED_TRACE(index);
        uint32_t result = zip_.GetItem(index);
        if (index >= 8 || index < -1) {
            EXPECT_EQ(Hex(kZipBadArgument), Hex(result));
            continue;
        }
        ASSERT_EQ(kZipOk, result);
        const bool summary = index == -1;
        EXPECT_EQ(summary ? 8 : index, zip_.Item().index);
        EXPECT_EQ(summary ? L"" : L"item" + std::to_wstring(index), zip_.Item().name);
        EXPECT_EQ(summary ? 0 : index * 10, zip_.Item().uncompressedSize);
        if (summary) { EXPECT_EQ(0u, zip_.Item().attributes); }
    }
}

TEST_F(UnZipTest, UnpackingDeliversTheExactBytesInAnyBufferSize) {
    const struct { uint16_t method; size_t size; uint32_t chunk; bool descriptor; } cases[] = {
        {0, 100000, 100000, false}, // the buffer holds exactly the data: one call, not two
        {0, 100000, 100001, false}, {0, 100000, 99999, false}, {0, 100000, 4096, false}, {0, 0, 16, false},
        {8, 300000, 300000, false}, {8, 300000, 65536, false}, {8, 1000, 1, false},      {8, 0, 16, false},
        {8, 50000, 4096, true},     {0, 50000, 5000, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("method " + std::to_string(c.method) + ", " + std::to_string(c.size) + " bytes in " +
                     std::to_string(c.chunk) + (c.descriptor ? ", data descriptor" : ""));
        const std::string data = Content(c.size, static_cast<uint32_t>(c.size + c.chunk));
        ZipMember target = Member("dir/target.bin", data, c.method);
        target.dataDescriptor = c.descriptor;
        Open({Member("dir/", ""), target, Member("dir/z", "zz", 8)});
        ASSERT_EQ(kZipOk, zip_.GetItem(1));
        EXPECT_EQ(static_cast<int32_t>(c.size), zip_.Item().uncompressedSize);
        const size_t packed = c.method == 8 ? RawDeflate(data).size() : c.size;
        EXPECT_EQ(static_cast<int32_t>(packed), zip_.Item().compressedSize);
        std::string out;
        int calls = 0;
        EXPECT_EQ(Hex(kZipOk), Hex(UnpackInChunks(zip_, 1, c.chunk, c.size, out, calls)));
        EXPECT_TRUE(out == data) << "got " << out.size() << " bytes";
        EXPECT_EQ(c.size == 0 ? 1 : (c.size + c.chunk - 1) / c.chunk, static_cast<size_t>(calls));
    }
    // Another index starts its item from the beginning, also going back to
    // one unpacked part way.
    const std::string one = Content(20000, 1), two = Content(30000, 2);
    Open({Member("one", one, 8), Member("two", two, 8)});
    EXPECT_EQ(one.substr(0, 1000), Unpack(0, 1000, kZipMoreData));
    std::string out;
    int calls = 0;
    EXPECT_EQ(kZipOk, UnpackInChunks(zip_, 1, 7000, two.size(), out, calls));
    EXPECT_TRUE(out == two);
    EXPECT_EQ(kZipOk, UnpackInChunks(zip_, 0, 7000, one.size(), out, calls));
    EXPECT_TRUE(out == one) << "item 0 was continued instead of restarted";
    Unpack(1, 1000, kZipMoreData);
    EXPECT_EQ(kZipOk, UnpackInChunks(zip_, 0, 70000, one.size(), out, calls));
    EXPECT_TRUE(out == one);
}

// Items that cannot be unpacked say why, and leave the others readable. Data
// that unpacks without error is delivered as it comes: no CRC is compared.
TEST_F(UnZipTest, ItemsThatCannotBeUnpacked) {
    const std::string data = Content(40000, 4), deflated = RawDeflate(data);
    auto packed = [&](const char* name, std::string bytes) {
        ZipMember m = Member(name, data, 8);
        m.packed = bytes;
        return m;
    };
    auto badCrc = [&](const char* name, uint16_t method) {
        ZipMember m = Member(name, data, method);
        m.badCrc = true;
        return m;
    };
    const struct { ZipMember member; uint32_t header, unpack; } cases[] = {
        {Member("open.txt", data), kZipOk, kZipOk},
        {Member("secret/x.txt", data, 0, 1), kZipOk, kZipBadPassword},
        {Member("secret/y.txt", data, 8, 1), kZipOk, kZipBadPassword},
        {Member("bzip2", data, 12), kZipBadItem, kZipBadItem},
        {Member("lzma", data, 14), kZipBadItem, kZipBadItem},
        {Member("deflate64", data, 9), kZipBadItem, kZipBadItem},
        {Member("aes", data, 99), kZipBadItem, kZipBadItem},
        {packed("invalid deflate", std::string(64, '\xFF')), kZipOk, kZipUnpackFailed},
        {packed("deflate cut short", deflated.substr(0, deflated.size() / 2)), kZipOk, kZipUnpackFailed},
        {badCrc("deflated, wrong CRC", 8), kZipOk, kZipOk},
        {badCrc("stored, wrong CRC", 0), kZipOk, kZipOk},
        {Member("broken local header", data, 8), kZipBadItem, kZipBadItem},
        {Member("last", data), kZipOk, kZipOk},
    };
    std::vector<ZipMember> members;
    for (const auto& c : cases) members.push_back(c.member);
    std::string bytes = BuildZip(members);
    ASSERT_TRUE(BreakLocalHeader(bytes, 11));
    ASSERT_TRUE(zip_.Open(Write(L"bad.zip", bytes).c_str()));
    ASSERT_EQ(kZipOk, zip_.GetItem(1));
    EXPECT_EQ(static_cast<int32_t>(data.size()) + 12, zip_.Item().compressedSize) << "the encryption header counts";
    for (int i = 0; i < static_cast<int>(members.size()); ++i) {
        SCOPED_TRACE(members[i].name);
        EXPECT_EQ(Hex(cases[i].header), Hex(zip_.GetItem(i)));
        std::string out = Unpack(i, data.size(), cases[i].unpack);
        if (cases[i].unpack == kZipOk) { EXPECT_TRUE(out == data); }
    }
}

TEST_F(UnZipTest, SteppingIntoADamagedDirectoryStopsWithAnError) {
    const int count = 5;
    for (int broken : {0, 2, count - 1}) {
        SCOPED_TRACE("central record " + std::to_string(broken) + " broken");
        std::vector<ZipMember> members;
        for (int i = 0; i < count; ++i) members.push_back(Member("d/" + std::to_string(i), "data"));
        std::string bytes = BuildZip(members);
        ASSERT_TRUE(BreakCentralRecord(bytes, broken));
        CUnZip zip;
        if (!zip.Open(Write(L"directory" + std::to_wstring(broken) + L".zip", bytes).c_str())) {
            EXPECT_EQ(0, broken) << "only a broken first record may refuse the archive";
            continue;
        }
        int reached = 0;
        uint32_t result = kZipOk;
        while (reached < zip.ItemCount() && (result = zip.GetItem(reached)) == kZipOk) {
            EXPECT_EQ(L"d/" + std::to_wstring(reached), zip.Item().name);
            ++reached;
        }
        EXPECT_NE(kZipOk, result);
        EXPECT_LE(reached, broken);
        char out[8];
        EXPECT_NE(kZipOk, zip.GetItem(count - 1));
        EXPECT_NE(kZipOk, zip.UnzipToMemory(count - 1, out, sizeof(out)));
        if (broken > 0) {
            ASSERT_EQ(kZipOk, zip.GetItem(0)) << "items before the damage stay readable";
            EXPECT_STREQ(L"d/0", zip.Item().name);
            EXPECT_EQ(kZipOk, zip.UnzipToMemory(0, out, 4));
        }
    }
}

} // namespace
