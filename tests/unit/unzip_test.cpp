// CUnZip, the built-in ZIP reader: which files open, item names (decoding
// and cleaning), attributes, stepping through the directory, and unpacking
// into a caller's buffer, including the damaged and unsupported forms.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <climits>
#include <iterator>
#include <string>
#include <vector>

#include "TestFiles.h"
#include "ZipBuilder.h"
#include "archive/UnZip.h"

namespace {

ZipMember Member(const std::string& name, const std::string& data = "", uint16_t method = 0) {
    ZipMember m;
    m.name = name;
    m.data = data;
    m.method = method;
    return m;
}

// Deterministic bytes: stretches of every byte value (which deflate cannot
// shrink) alternating with repetitive text (which it can).
std::string Content(size_t size, uint32_t seed) {
    std::string s;
    s.reserve(size);
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
    std::wstring Write(const std::wstring& name, const std::vector<ZipMember>& members) {
        return WriteRaw(name, BuildZip(members));
    }
    std::wstring WriteRaw(const std::wstring& name, const std::string& bytes) {
        std::wstring path = dir_ / name;
        EXPECT_TRUE(WriteBytes(path, bytes));
        return path;
    }
    // True when nothing holds the file open any more: it can be renamed, as
    // the program does right after reading an archive.
    static bool Released(const std::wstring& path) {
        std::wstring moved = path + L".moved";
        if (!MoveFileW(path.c_str(), moved.c_str())) return false;
        return MoveFileW(moved.c_str(), path.c_str()) != 0;
    }

    TempDir dir_;
};

// Unpacks item index in calls of `chunk` bytes. The final call's bytes are
// those left of `total`. Returns the last result; calls counts the calls.
uint32_t UnpackInChunks(CUnZip& zip, int index, uint32_t chunk, size_t total, std::string& out, int& calls) {
    out.clear();
    calls = 0;
    std::vector<char> buffer(chunk);
    const int limit = static_cast<int>(total / chunk) + 3; // a reader that never finishes
    for (;;) {
        uint32_t result = zip.UnzipToMemory(index, buffer.data(), chunk);
        ++calls;
        if (result == kZipMoreData) {
            out.append(buffer.data(), chunk);
            if (calls < limit && out.size() <= total) continue;
            return result;
        }
        if (result == kZipOk && out.size() <= total)
            out.append(buffer.data(), std::min<size_t>(chunk, total - out.size()));
        return result;
    }
}

TEST_F(UnZipTest, NothingOpenRefusesEveryRequest) {
    CUnZip zip;
    char buffer[16];
    EXPECT_EQ(0, zip.ItemCount());
    EXPECT_EQ(kZipBadArgument, zip.GetItem(0));
    EXPECT_EQ(kZipBadArgument, zip.UnzipToMemory(0, buffer, sizeof(buffer)));

    std::wstring path = Write(L"closed.zip", {Member("a.txt", "a")});
    ASSERT_TRUE(zip.Open(path.c_str()));
    ASSERT_EQ(kZipOk, zip.GetItem(0));
    zip.Close();
    EXPECT_EQ(kZipBadArgument, zip.GetItem(0));
    EXPECT_EQ(kZipBadArgument, zip.UnzipToMemory(0, buffer, sizeof(buffer)));
    EXPECT_TRUE(Released(path));
}

TEST_F(UnZipTest, AnEmptyArchiveOpensWithNoItems) {
    struct Case {
        const char* label;
        std::string bytes;
    } cases[] = {
        {"only the end record", BuildZip({})},
        {"with an archive comment", BuildZip({}, false, "nothing here")},
        {"behind a self-extractor stub", "MZ" + std::string(510, '\x90') + BuildZip({})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        std::wstring path = WriteRaw(L"empty.zip", c.bytes);
        {
            CUnZip zip;
            ASSERT_TRUE(zip.Open(path.c_str()));
            EXPECT_EQ(0, zip.ItemCount());
            EXPECT_EQ(kZipBadArgument, zip.GetItem(0));
            char out[4];
            EXPECT_EQ(kZipBadArgument, zip.UnzipToMemory(0, out, sizeof(out)));
            ASSERT_EQ(kZipOk, zip.GetItem(-1));
            EXPECT_EQ(0, zip.Item().index);
        }
        EXPECT_TRUE(Released(path));
    }
}

TEST_F(UnZipTest, ArchivesInTheirUsualFormsOpenAndUnpack) {
    const std::string last = Content(5000, 7);
    std::vector<ZipMember> members = {Member("first.txt", "first"), Member("dir/"), Member("dir/last.bin", last, 8)};
    std::vector<ZipMember> described = members;
    for (ZipMember& m : described) m.dataDescriptor = true;
    struct Case {
        const char* label;
        std::string bytes;
    } cases[] = {
        {"plain", BuildZip(members)},
        {"with an archive comment", BuildZip(members, false, "made for Zorvel's tests")},
        {"behind a self-extractor stub", "MZ" + std::string(4094, '\x90') + BuildZip(members)},
        {"sizes in data descriptors", BuildZip(described)},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        std::wstring path = WriteRaw(L"usual" + std::to_wstring(n++) + L".zip", c.bytes);
        CUnZip zip;
        ASSERT_TRUE(zip.Open(path.c_str()));
        ASSERT_EQ(3, zip.ItemCount());
        ASSERT_EQ(kZipOk, zip.GetItem(2));
        EXPECT_STREQ(L"dir/last.bin", zip.Item().name);
        EXPECT_EQ(static_cast<int32_t>(last.size()), zip.Item().uncompressedSize);
        std::string out(last.size(), '\0');
        EXPECT_EQ(kZipOk, zip.UnzipToMemory(2, &out[0], static_cast<uint32_t>(out.size())));
        EXPECT_EQ(last, out);
        out.assign(5, '\0');
        EXPECT_EQ(kZipOk, zip.UnzipToMemory(0, &out[0], 5));
        EXPECT_EQ("first", out);
    }
}

TEST_F(UnZipTest, APathOutsideTheAnsiCodePageOpens) {
    std::wstring path = Write(L"写真 한글 ü \U0001F600.zip", {Member("a.txt", "a")});
    CUnZip zip;
    ASSERT_TRUE(zip.Open(path.c_str()));
    EXPECT_EQ(1, zip.ItemCount());
}

TEST_F(UnZipTest, FilesThatAreNotReadableArchivesAreRefusedAndTheOpenArchiveKept) {
    const std::string good = BuildZip({Member("keep/a.txt", "kept"), Member("keep/b.txt", "b")});
    const std::string other = BuildZip({Member("x/1", "1"), Member("x/2", "2"), Member("x/3", "3")});
    struct Case {
        const char* label;
        const wchar_t* name; // nullptr: the temporary folder itself
        bool write;
        std::string bytes;
    } cases[] = {
        {"missing file", L"missing.zip", false, ""},
        {"a folder", nullptr, false, ""},
        {"empty file", L"empty.zip", true, ""},
        {"text", L"text.zip", true, "This is not an archive.\r\n"},
        {"7z signature", L"seven.zip", true, std::string("7z\xBC\xAF\x27\x1C\0\x04", 8) + std::string(64, '\0')},
        {"local header but no directory", L"headonly.zip", true, other.substr(0, 40)},
        {"cut in the middle", L"half.zip", true, other.substr(0, other.size() / 2)},
        {"end record cut off", L"noend.zip", true, other.substr(0, other.size() - 22)},
        // Cuts inside the end record, which reads short fields as zeros: one
        // left only the signature would look like an empty archive.
        {"end record cut after its signature", L"endsig.zip", true, other.substr(0, other.size() - 18)},
        {"end record cut before the directory offset", L"endhalf.zip", true, other.substr(0, other.size() - 6)},
        {"empty archive with its comment cut short", L"emptycut.zip", true, BuildZip({}, false, "note").substr(0, 24)},
        {"spanned", L"spanned.zip", true, BuildZip({Member("x/1", "1"), Member("x/2", "2")}, true)},
    };
    std::wstring goodPath = WriteRaw(L"good.zip", good);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        std::wstring path = c.name ? dir_ / c.name : dir_.path();
        if (c.write) { ASSERT_TRUE(WriteBytes(path, c.bytes)); }

        {
            CUnZip fresh;
            EXPECT_FALSE(fresh.Open(path.c_str()));
            EXPECT_EQ(0, fresh.ItemCount());
            EXPECT_EQ(kZipBadArgument, fresh.GetItem(0));

            CUnZip zip;
            ASSERT_TRUE(zip.Open(goodPath.c_str()));
            EXPECT_FALSE(zip.Open(path.c_str()));
            EXPECT_EQ(2, zip.ItemCount());
            EXPECT_EQ(kZipOk, zip.GetItem(1));
            EXPECT_STREQ(L"keep/b.txt", zip.Item().name);
            char out[4] = {};
            EXPECT_EQ(kZipOk, zip.UnzipToMemory(0, out, 4));
            EXPECT_EQ("kept", std::string(out, 4));
        }
        if (c.write) { EXPECT_TRUE(Released(path)) << "the file is still held open"; }
    }
}

TEST_F(UnZipTest, TheArchiveIsSharedForReadingAndReleasedWhenDone) {
    const std::string bytes = BuildZip({Member("a.txt", "a")});
    std::wstring first = WriteRaw(L"first.zip", bytes);
    std::wstring second = WriteRaw(L"second.zip", BuildZip({Member("b.txt", "b"), Member("c.txt", "c")}));
    {
        CUnZip zip;
        ASSERT_TRUE(zip.Open(first.c_str()));
        EXPECT_EQ(bytes, ReadBytes(first)) << "another reader is shut out";
        ASSERT_TRUE(zip.Open(second.c_str()));
        EXPECT_EQ(2, zip.ItemCount());
        EXPECT_TRUE(Released(first)) << "opening another archive keeps the first open";
        ASSERT_EQ(kZipOk, zip.GetItem(0));
        EXPECT_STREQ(L"b.txt", zip.Item().name);
    }
    EXPECT_TRUE(Released(second)) << "the destructor keeps the archive open";
}

TEST_F(UnZipTest, NamesAreDecodedAsUtf8WhenValidElseInTheAnsiCodePage) {
    struct Case {
        std::string raw;
        uint16_t flags;
        const wchar_t* expected;
    } cases[] = {
        {"\x8E\xCA\x90\x5E/a.jpg", 0, L"写真/a.jpg"},                   // Shift-JIS
        {"\x83\x5C\x83\x74\x83\x67/\x95\x5C.txt", 0, L"ソフト/表.txt"}, // trail bytes equal to '\'
        {u8"写真/b.jpg", 0, L"写真/b.jpg"},                             // UTF-8 without its flag
        {u8"フォルダ/c.txt", 0x800, L"フォルダ/c.txt"},
        {u8"\U0001F600/d", 0x800, L"\U0001F600/d"},                     // four bytes: a surrogate pair
        {"\xC0\xAFx", 0, L"\xFF80\xFF6Fx"},  // an overlong '/' is not UTF-8: half-width ﾀｯ
        {"plain.txt", 0, L"plain.txt"},
    };
    std::vector<ZipMember> members;
    for (const Case& c : cases) {
        members.push_back(Member(c.raw, "x"));
        members.back().flags = c.flags;
    }
    std::wstring path = Write(L"names.zip", members);
    CUnZip zip;
    ASSERT_TRUE(zip.Open(path.c_str()));
    ASSERT_EQ(static_cast<int>(members.size()), zip.ItemCount());
    for (int i = 0; i < zip.ItemCount(); ++i) {
        ASSERT_EQ(kZipOk, zip.GetItem(i)) << i;
        EXPECT_STREQ(cases[i].expected, zip.Item().name) << i;
    }
}

TEST_F(UnZipTest, NamesAreCleanedOfDrivesLeadingSeparatorsAndParentSteps) {
    struct Case {
        const char* raw;
        const wchar_t* expected;
    } cases[] = {
        {"C:\\temp\\x", L"temp\\x"},
        {"c:/temp/x", L"temp/x"},
        {"\\x", L"x"},
        {"//x", L"x"},
        {"/x/y", L"x/y"},
        {"\\\\server\\share\\x", L"server\\share\\x"},
        {"a/../b/c", L"b/c"},
        {"a\\..\\b\\c", L"b\\c"},
        {"x/..\\y", L"y"},
        {"x\\../y", L"y"},
        // Left as they are.
        {"../a", L"../a"},
        {"a..b/c", L"a..b/c"},
        {"a/..b/c", L"a/..b/c"},
        {"a/b../c", L"a/b../c"},
        {"dir\\file", L"dir\\file"},
        {"a/b\\c", L"a/b\\c"},
    };
    std::vector<ZipMember> members;
    for (const Case& c : cases) members.push_back(Member(c.raw, "x"));
    std::wstring path = Write(L"clean.zip", members);
    CUnZip zip;
    ASSERT_TRUE(zip.Open(path.c_str()));
    ASSERT_EQ(static_cast<int>(members.size()), zip.ItemCount());
    for (int i = 0; i < zip.ItemCount(); ++i) {
        ASSERT_EQ(kZipOk, zip.GetItem(i)) << cases[i].raw;
        EXPECT_STREQ(cases[i].expected, zip.Item().name) << cases[i].raw;
    }
}

TEST_F(UnZipTest, NameLengthIsMeasuredInDecodedUnits) {
    std::string kanji932, kanji8;
    for (int i = 0; i < 200; ++i) kanji932 += "\x94\x5C"; // 能: 400 bytes, 200 units
    for (int i = 0; i < 200; ++i) kanji8 += u8"写";       // 600 bytes, 200 units
    struct Case {
        std::string raw;
        uint32_t result;
        std::wstring expected;
    } cases[] = {
        {std::string(259, 'n'), kZipOk, std::wstring(259, L'n')},
        {kanji932, kZipOk, std::wstring(200, L'能')},
        {kanji8, kZipOk, std::wstring(200, L'写')},
        {std::string(260, 'n'), kZipBadItem, L""},
        {std::string(1000, 'n'), kZipBadItem, L""},
    };
    std::vector<ZipMember> members;
    for (const Case& c : cases) {
        members.push_back(Member(c.raw, "x"));
        members.push_back(Member("after", "y"));
    }
    std::wstring path = Write(L"long.zip", members);
    CUnZip zip;
    ASSERT_TRUE(zip.Open(path.c_str()));
    for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
        SCOPED_TRACE(i);
        uint32_t result = zip.GetItem(2 * i);
        EXPECT_EQ(Hex(cases[i].result), Hex(result));
        if (result == kZipOk) { EXPECT_EQ(cases[i].expected, zip.Item().name); }
        ASSERT_EQ(kZipOk, zip.GetItem(2 * i + 1)) << "the item after a long name";
        EXPECT_STREQ(L"after", zip.Item().name);
    }
}

TEST_F(UnZipTest, AttributesFollowTheHostSystem) {
    const uint32_t kAll = kZipReadOnly | kZipHidden | kZipSystem | kZipDirectory | kZipArchive;
    struct Case {
        const char* name;
        uint8_t host;
        uint32_t external;
        uint32_t expected; // the five ZipAttribute bits
    } cases[] = {
        // Unix: the mode in the high 16 bits; owner-write clear means read-only.
        {"u-dir/", 3, 0x41ED0000, kZipDirectory | kZipArchive},      // drwxr-xr-x
        {"u-dir-no-slash", 3, 0x41ED0000, kZipDirectory | kZipArchive},
        {"u-dir-read-only/", 3, 0x416D0000, kZipDirectory | kZipArchive | kZipReadOnly}, // dr-xr-xr-x
        {"u-file-with-slash/", 3, 0x81A40000, kZipArchive},          // -rw-r--r--: not a folder
        {"u-file", 3, 0x81A40000, kZipArchive},
        {"u-read-only", 3, 0x81240000, kZipArchive | kZipReadOnly},  // -r--r--r--
        {"u-no-mode", 3, 0, kZipArchive | kZipReadOnly},
        // MS-DOS: the low byte is the attribute byte.
        {"d-dir/", 0, 0x10, kZipDirectory},
        {"d-dir-no-slash", 0, 0x10, kZipDirectory},
        {"d-file", 0, 0x20, kZipArchive},
        {"d-read-only", 0, 0x21, kZipArchive | kZipReadOnly},
        {"d-hidden-system", 0, 0x27, kZipArchive | kZipHidden | kZipSystem | kZipReadOnly},
        {"d-slash-only/", 0, 0, 0},
        {"d-unix-mode-ignored", 0, 0x41ED0000, 0},
    };
    std::vector<ZipMember> members;
    for (const Case& c : cases) {
        members.push_back(Member(c.name));
        members.back().host = c.host;
        members.back().externalAttributes = c.external;
    }
    std::wstring path = Write(L"attributes.zip", members);
    CUnZip zip;
    ASSERT_TRUE(zip.Open(path.c_str()));
    for (int i = 0; i < zip.ItemCount(); ++i) {
        SCOPED_TRACE(cases[i].name);
        ASSERT_EQ(kZipOk, zip.GetItem(i));
        EXPECT_EQ(Hex(cases[i].expected), Hex(zip.Item().attributes & kAll));
    }
}

TEST_F(UnZipTest, TheModificationTimeIsTheStoredDosTime) {
    ZipMember m = Member("dated.txt", "d");
    m.dosDate = (44 << 9) | (6 << 5) | 15;   // 2024-06-15
    m.dosTime = (12 << 11) | (34 << 5) | 28; // 12:34:56
    std::wstring path = Write(L"dated.zip", {m});
    CUnZip zip;
    ASSERT_TRUE(zip.Open(path.c_str()));
    ASSERT_EQ(kZipOk, zip.GetItem(0));
    // The stored time is local; accept it converted to UTC or left as it is.
    FILETIME local = zip.Item().modificationTime;
    FileTimeToLocalFileTime(&zip.Item().modificationTime, &local);
    bool matched = false;
    for (const FILETIME& t : {zip.Item().modificationTime, local}) {
        SYSTEMTIME s;
        ASSERT_TRUE(FileTimeToSystemTime(&t, &s));
        if (s.wYear == 2024 && s.wMonth == 6 && s.wDay == 15 && s.wHour == 12 && s.wMinute == 34 && s.wSecond == 56)
            matched = true;
    }
    EXPECT_TRUE(matched);
}

TEST_F(UnZipTest, ItemsAreReachedInAnyOrderAndTheSummaryOnRequest) {
    std::vector<ZipMember> members;
    for (int i = 0; i < 8; ++i) members.push_back(Member("item" + std::to_string(i), std::string(i * 10, 'c')));
    std::wstring path = Write(L"order.zip", members);
    CUnZip zip;
    ASSERT_TRUE(zip.Open(path.c_str()));
    ASSERT_EQ(8, zip.ItemCount());
    for (int index : {0, 1, 2, 2, 5, 0, 3, 7, 6, 1, -1, 1, 4, 8, 4, -2, 7, INT_MIN, 0}) {
        SCOPED_TRACE(index);
        uint32_t result = zip.GetItem(index);
        if (index >= 8 || index < -1) {
            EXPECT_EQ(Hex(kZipBadArgument), Hex(result));
        } else if (index == -1) {
            ASSERT_EQ(kZipOk, result);
            EXPECT_EQ(8, zip.Item().index);
            EXPECT_STREQ(L"", zip.Item().name);
            EXPECT_EQ(0u, zip.Item().attributes);
            EXPECT_EQ(0, zip.Item().compressedSize);
            EXPECT_EQ(0, zip.Item().uncompressedSize);
        } else {
            ASSERT_EQ(kZipOk, result);
            EXPECT_EQ(index, zip.Item().index);
            EXPECT_EQ(L"item" + std::to_wstring(index), zip.Item().name);
            EXPECT_EQ(index * 10, zip.Item().uncompressedSize);
        }
    }
}

TEST_F(UnZipTest, UnpackingDeliversTheExactBytesInAnyBufferSize) {
    struct Case {
        uint16_t method;
        size_t size;
        uint32_t chunk;
        bool descriptor;
    } cases[] = {
        {0, 100000, 100000, false}, // the buffer holds exactly the data: one call, not two
        {0, 100000, 100001, false},
        {0, 100000, 99999, false},
        {0, 100000, 4096, false},
        {0, 0, 16, false},
        {8, 300000, 300000, false},
        {8, 300000, 65536, false},
        {8, 1000, 1, false},
        {8, 0, 16, false},
        {8, 50000, 4096, true},
        {0, 50000, 5000, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("method " + std::to_string(c.method) + ", " + std::to_string(c.size) + " bytes in " +
                     std::to_string(c.chunk) + (c.descriptor ? ", data descriptor" : ""));
        const std::string data = Content(c.size, static_cast<uint32_t>(c.size + c.chunk));
        ZipMember target = Member("dir/target.bin", data, c.method);
        target.dataDescriptor = c.descriptor;
        std::wstring path = Write(L"unpack.zip", {Member("dir/", ""), target, Member("dir/z", "zz", 8)});
        CUnZip zip;
        ASSERT_TRUE(zip.Open(path.c_str()));

        ASSERT_EQ(kZipOk, zip.GetItem(1));
        EXPECT_EQ(static_cast<int32_t>(c.size), zip.Item().uncompressedSize);
        const size_t packed = c.method == 8 ? RawDeflate(data).size() : c.size;
        EXPECT_EQ(static_cast<int32_t>(packed), zip.Item().compressedSize);

        std::string out;
        int calls = 0;
        EXPECT_EQ(Hex(kZipOk), Hex(UnpackInChunks(zip, 1, c.chunk, c.size, out, calls)));
        EXPECT_TRUE(out == data) << "got " << out.size() << " bytes";
        const size_t expectedCalls = c.size == 0 ? 1 : (c.size + c.chunk - 1) / c.chunk;
        EXPECT_EQ(expectedCalls, static_cast<size_t>(calls));
        zip.Close();
        ASSERT_TRUE(DeleteFileW(path.c_str()));
    }
}

TEST_F(UnZipTest, AnotherIndexStartsItsItemFromTheBeginning) {
    const std::string one = Content(20000, 1), two = Content(30000, 2);
    std::wstring path = Write(L"switch.zip", {Member("one", one, 8), Member("two", two, 8)});
    CUnZip zip;
    ASSERT_TRUE(zip.Open(path.c_str()));
    std::string part(1000, '\0');
    ASSERT_EQ(kZipMoreData, zip.UnzipToMemory(0, &part[0], 1000));
    EXPECT_EQ(one.substr(0, 1000), part);

    std::string out;
    int calls = 0;
    EXPECT_EQ(kZipOk, UnpackInChunks(zip, 1, 7000, two.size(), out, calls));
    EXPECT_TRUE(out == two);
    EXPECT_EQ(kZipOk, UnpackInChunks(zip, 0, 7000, one.size(), out, calls));
    EXPECT_TRUE(out == one) << "item 0 was continued instead of restarted";

    // Going back to an earlier item after one was unpacked part way.
    ASSERT_EQ(kZipMoreData, zip.UnzipToMemory(1, &part[0], 1000));
    EXPECT_EQ(kZipOk, UnpackInChunks(zip, 0, 70000, one.size(), out, calls));
    EXPECT_TRUE(out == one);
}

TEST_F(UnZipTest, EncryptedItemsAreListedButNotUnpacked) {
    std::vector<ZipMember> members = {Member("open.txt", "open"), Member("secret/x.txt", "stored secret"),
                                      Member("secret/y.txt", Content(3000, 3), 8)};
    members[1].flags = members[2].flags = 1;
    std::wstring path = Write(L"encrypted.zip", members);
    CUnZip zip;
    ASSERT_TRUE(zip.Open(path.c_str()));
    ASSERT_EQ(kZipOk, zip.GetItem(1));
    EXPECT_STREQ(L"secret/x.txt", zip.Item().name);
    EXPECT_EQ(13, zip.Item().uncompressedSize);
    EXPECT_EQ(13 + 12, zip.Item().compressedSize); // the encryption header counts as packed data
    std::string out(5000, '\0');
    EXPECT_EQ(Hex(kZipBadPassword), Hex(zip.UnzipToMemory(1, &out[0], 5000)));
    EXPECT_EQ(Hex(kZipBadPassword), Hex(zip.UnzipToMemory(2, &out[0], 5000)));
    EXPECT_EQ(kZipOk, zip.UnzipToMemory(0, &out[0], 4));
    EXPECT_EQ("open", out.substr(0, 4));
}

TEST_F(UnZipTest, ItemsPackedWithUnsupportedMethodsAreBadItems) {
    for (uint16_t method : {12, 14, 9, 99}) { // bzip2, LZMA, Deflate64, AES
        SCOPED_TRACE(method);
        std::wstring path =
            Write(L"method" + std::to_wstring(method) + L".zip",
                  {Member("a/first", "1"), Member("a/packed", "opaque bytes", method), Member("a/last", "last")});
        CUnZip zip;
        ASSERT_TRUE(zip.Open(path.c_str()));
        ASSERT_EQ(kZipOk, zip.GetItem(0));
        EXPECT_EQ(Hex(kZipBadItem), Hex(zip.GetItem(1)));
        char out[64];
        EXPECT_EQ(Hex(kZipBadItem), Hex(zip.UnzipToMemory(1, out, sizeof(out))));
        ASSERT_EQ(kZipOk, zip.GetItem(2)) << "the item after an unsupported one";
        EXPECT_STREQ(L"a/last", zip.Item().name);
        EXPECT_EQ(kZipOk, zip.UnzipToMemory(2, out, sizeof(out)));
        EXPECT_EQ("last", std::string(out, 4));
    }
}

TEST_F(UnZipTest, DamagedDataFailsToUnpackButACrcIsNotChecked) {
    const std::string data = Content(40000, 4);
    const std::string deflated = RawDeflate(data);
    struct Case {
        const char* label;
        uint16_t method;
        std::string packed;
        bool badCrc;
        uint32_t result;
    } cases[] = {
        {"invalid deflate block", 8, std::string(64, '\xFF'), false, kZipUnpackFailed},
        {"deflate stream cut short", 8, deflated.substr(0, deflated.size() / 2), false, kZipUnpackFailed},
        // Data that unpacks without error is delivered as it comes: the
        // CRC-32 is never compared.
        {"deflated, wrong CRC", 8, "", true, kZipOk},
        {"stored, wrong CRC", 0, "", true, kZipOk},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        ZipMember m = Member("bad.bin", data, c.method);
        m.packed = c.packed;
        m.badCrc = c.badCrc;
        std::wstring path = Write(L"damaged.zip", {m, Member("good.txt", "good")});
        CUnZip zip;
        ASSERT_TRUE(zip.Open(path.c_str()));
        std::string out(data.size(), '\0');
        EXPECT_EQ(Hex(c.result), Hex(zip.UnzipToMemory(0, &out[0], static_cast<uint32_t>(out.size()))));
        if (c.result == kZipOk) {
            EXPECT_TRUE(out == data);
        }
        EXPECT_EQ(kZipOk, zip.UnzipToMemory(1, &out[0], 4));
        EXPECT_EQ("good", out.substr(0, 4));
        zip.Close();
        ASSERT_TRUE(DeleteFileW(path.c_str()));
    }
}

TEST_F(UnZipTest, ABrokenLocalHeaderIsABadItem) {
    std::string bytes = BuildZip({Member("a", "first"), Member("b", "second", 8), Member("c", "third")});
    ASSERT_TRUE(BreakLocalHeader(bytes, 1));
    std::wstring path = WriteRaw(L"local.zip", bytes);
    CUnZip zip;
    ASSERT_TRUE(zip.Open(path.c_str()));
    char out[16];
    EXPECT_EQ(Hex(kZipBadItem), Hex(zip.UnzipToMemory(1, out, sizeof(out))));
    EXPECT_EQ(kZipOk, zip.UnzipToMemory(2, out, 5));
    EXPECT_EQ("third", std::string(out, 5));
    EXPECT_EQ(kZipOk, zip.UnzipToMemory(0, out, 5));
    EXPECT_EQ("first", std::string(out, 5));
}

TEST_F(UnZipTest, SteppingIntoADamagedDirectoryStopsWithAnError) {
    const int count = 5;
    for (int broken : {0, 2, count - 1}) {
        SCOPED_TRACE("central record " + std::to_string(broken) + " broken");
        std::vector<ZipMember> members;
        for (int i = 0; i < count; ++i) members.push_back(Member("d/" + std::to_string(i), "data"));
        std::string bytes = BuildZip(members);
        ASSERT_TRUE(BreakCentralRecord(bytes, broken));
        std::wstring path = WriteRaw(L"directory" + std::to_wstring(broken) + L".zip", bytes);

        CUnZip zip;
        if (!zip.Open(path.c_str())) {
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
