// Our unrar.dll through its exports, on RAR 4 and RAR 5 archives written byte by byte.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "RarBuilder.h"
#include "TestFiles.h"
#include "UnrarApi.h"
#include "ZipBuilder.h"
#include "base/FunctionCast.h"
#include "base/ScopedWin.h"

namespace {

struct Library {
    ScopedModule module{LoadLibraryW((BuildFolder(L"bin") + L"\\unrar.dll").c_str())};
    RarOpenArchiveExFn open = LookUp<RarOpenArchiveExFn>(module.get(), "RAROpenArchiveEx");
    RarCloseArchiveFn close = LookUp<RarCloseArchiveFn>(module.get(), "RARCloseArchive");
    RarReadHeaderExFn readHeader = LookUp<RarReadHeaderExFn>(module.get(), "RARReadHeaderEx");
    RarProcessFileFn processFile = LookUp<RarProcessFileFn>(module.get(), "RARProcessFile");
    RarProcessFileWFn processFileW = LookUp<RarProcessFileWFn>(module.get(), "RARProcessFileW");
    RarSetCallbackFn setCallback = LookUp<RarSetCallbackFn>(module.get(), "RARSetCallback");
    RarSetPasswordFn setPassword = LookUp<RarSetPasswordFn>(module.get(), "RARSetPassword");
    RarGetDllVersionFn version = LookUp<RarGetDllVersionFn>(module.get(), "RARGetDllVersion");
    bool Complete() const {
        return open && close && readHeader && processFile && processFileW && setCallback && setPassword && version;
    }
};

// What the callback saw. Like the program's, it declines password requests.
struct Calls {
    std::string data;
    int blocks = 0;
    int passwordRequests = 0;
    int abortAfterBlocks = -1; // answer -1 to this block number (1 = first)
};

int CALLBACK Record(UINT message, LPARAM userData, LPARAM p1, LPARAM p2) {
    Calls& calls = *reinterpret_cast<Calls*>(userData);
    if (message == kUcmProcessData) {
        calls.blocks++;
        calls.data.append(reinterpret_cast<const char*>(p1), size_t(p2));
        return calls.blocks == calls.abortAfterBlocks ? -1 : 1;
    }
    if (message == kUcmNeedPasswordW) calls.passwordRequests++;
    return -1;
}

// Bytes that differ throughout, so a block out of place shows.
std::string Pattern(size_t size) {
    std::string s;
    for (uint32_t i = 0; s.size() < size; ++i) s += std::to_string(i * 2654435761u);
    return s.substr(0, size);
}

// ソフト\表紙.jpg in Shift-JIS: second bytes 0x5C (83 5C, 95 5C) that must not split it.
const std::string kFiveC = "\x83\x5c\x83\x74\x83\x67\\\x95\x5c\x8e\x86.jpg";

// A folder and a file in it, as RAR 4 ('\') or RAR 5 ('/') stores them.
std::vector<RarMember> Photos(bool rar5 = false) {
    return {{"Photos", "", true}, {rar5 ? "Photos/a.jpg" : "Photos\\a.jpg", "jpeg bytes"}};
}

class UnrarTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(lib_.Complete()) << "unrar.dll or one of its functions is missing"; }
    void TearDown() override { Close(); }
    void Close() {
        if (handle_) { EXPECT_EQ(0, lib_.close(handle_)); }
        handle_ = nullptr;
        calls_ = Calls();
    }
    // Opens the bytes as the program does: by the path's Unicode form, the
    // callback set once open. Closes what was open; the record stays in open_.
    bool Open(const std::string& bytes) {
        Close();
        path_ = dir_.Write(L"a.rar", bytes);
        EXPECT_FALSE(path_.empty());
        std::memset(&open_, 0, sizeof open_);
        open_.ArcNameW = &path_[0];
        open_.OpenMode = kRarOpenExtract;
        handle_ = lib_.open(&open_);
        if (handle_) lib_.setCallback(handle_, Record, reinterpret_cast<LPARAM>(&calls_));
        return handle_ != nullptr;
    }
    // The next header, into a zeroed record; nothing is written past it.
    int ReadHeader() {
        std::memset(record_.data(), 0, sizeof(RARHeaderDataEx));
        const int r = lib_.readHeader(handle_, header_);
        for (size_t i = sizeof(RARHeaderDataEx); i < record_.size(); ++i) EXPECT_EQ(0xCC, record_[i]) << i;
        return r;
    }
    // Reads the next header and tests its item, or skips it through the ANSI
    // function as the program does; 1000 + the header's result when that fails.
    int Next(bool test = true) {
        const int r = ReadHeader();
        if (r != 0) return 1000 + r;
        return test ? lib_.processFileW(handle_, kRarTest, nullptr, nullptr)
                    : lib_.processFile(handle_, kRarSkip, nullptr, nullptr);
    }

    Library lib_;
    TempDir dir_;
    std::wstring path_;
    RAROpenArchiveDataEx open_{};
    std::vector<unsigned char> record_ = std::vector<unsigned char>(sizeof(RARHeaderDataEx) + 16, 0xCC);
    RARHeaderDataEx* header_ = reinterpret_cast<RARHeaderDataEx*>(record_.data());
    HANDLE handle_ = nullptr;
    Calls calls_;
};

// Directories carry 0x20 from version 6 on; what is not a RAR archive does not open.
TEST_F(UnrarTest, VersionAndFilesThatAreNotRar) {
    EXPECT_GE(lib_.version(), 6);
    for (const std::string& bytes : {BuildZip({{"a.txt", "a"}}), std::string("Rar!\x1A\x07\x00", 7), std::string()}) {
        EXPECT_FALSE(Open(bytes));
        EXPECT_NE(0u, open_.OpenResult);
    }
    open_.ArcNameW = const_cast<wchar_t*>(L"C:\\no such folder\\none.rar");
    EXPECT_EQ(nullptr, lib_.open(&open_));
}

// Flags from the main header; names from the Unicode, OEM and UTF-8 forms; the end, or an error.
TEST_F(UnrarTest, ArchiveFlagsAndListing) {
    const unsigned kMask = kRarVolume | kRarSolid | kRarEncryptedHeaders; // those the program refuses
    const int kError = -1; // any error other than the end
    // Real stubs are at least 64 KiB and end on a 16-byte boundary, where readers look.
    const std::string stub = "MZ" + std::string(0x10000 - 2, '\x90');
    std::string damaged = BuildRar4(Photos());
    damaged[7 + 13 + 5] ^= 0x40; // inside the first file header: its check fails
    const std::wstring wide = L"\u5199\u771f\\\u30bd\u30d5\u30c8.txt"; // 写真\ソフト.txt
    const std::vector<RarMember> names4 = {
        {Narrow(wide, 932), "u", false, false, wide}, {"\x8e\xca\x90\x5e\\b.txt", "a"}, {kFiveC, "c"},
        {"ka.txt", "k", false, false, L"\u304b\u3099.txt"}, // か and a combining mark: listed composed
        {"\\Lead\\d.txt", "d"},                              // cleaned as every library of ours cleans names
    };
    const std::vector<std::wstring> photos = {L"Photos", L"Photos\\a.jpg"};
    const struct { const char* what; std::string bytes; unsigned flags; std::vector<std::wstring> names; int end; }
    cases[] = {
        {"solid 4", BuildRar4(Photos(), kRar4Solid), kRarSolid, photos, kRarEndArchive},
        {"solid 5", BuildRar5(Photos(true), kRar5Solid), kRarSolid, photos, kRarEndArchive},
        {"volume 5", BuildRar5(Photos(true), kRar5Volume), kRarVolume, photos, kRarEndArchive},
        {"self-extracting", stub + BuildRar4(Photos()), 0, photos, kRarEndArchive},
        {"encrypted headers 4", BuildRar4(Photos(), kRar4EncryptedHeaders), kRarEncryptedHeaders, {},
         kRarMissingPassword},
        {"encrypted headers 5", BuildRar5(Photos(true), 0, true), kRarEncryptedHeaders, {}, kError},
        {"damaged", damaged, 0, {}, kError},
        {"names 4", BuildRar4(names4), 0, {wide, L"\u5199\u771f\\b.txt", L"\u30bd\u30d5\u30c8\\\u8868\u7d19.jpg",
         L"\u304c.txt", L"Lead\\d.txt"}, kRarEndArchive},
        {"names 5", BuildRar5({{"\xe5\x86\x99\xe7\x9c\x9f/a.jpg", "x"}}), 0, {L"\u5199\u771f\\a.jpg"}, kRarEndArchive},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(Open(c.bytes));
        EXPECT_EQ(0u, open_.OpenResult);
        EXPECT_EQ(c.flags, open_.Flags & kMask);
        // Every item, skipped as the program skips it, up to the end or an error.
        std::vector<std::wstring> names;
        int last = 0;
        while ((last = ReadHeader()) == 0) {
            names.push_back(header_->FileNameW);
            EXPECT_EQ(names.back() == L"Photos", (header_->Flags & kRarItemDirectory) != 0) << Utf8(names.back());
            if (names.back() == photos[1]) { EXPECT_EQ(10u, uint64_t(header_->UnpSizeHigh) << 32 | header_->UnpSize); }
            EXPECT_EQ(0, lib_.processFile(handle_, kRarSkip, nullptr, nullptr));
        }
        EXPECT_EQ(c.names, names);
        EXPECT_TRUE(c.end == kError ? last != 0 && last != kRarEndArchive : last == c.end) << last;
        if (c.end == kRarMissingPassword) { EXPECT_GT(calls_.passwordRequests, 0); }
    }
    // Cut anywhere, an archive ends with an error, not with data it lacks.
    const std::string big = BuildRar4({{"Photos\\big.bin", Pattern(5000)}});
    for (size_t cut : {size_t(25), size_t(40), size_t(60), big.size() - 100}) {
        ASSERT_TRUE(Open(big.substr(0, cut)));
        EXPECT_NE(0, Next()) << cut;
        EXPECT_LT(calls_.data.size(), 5000u);
    }
}

// Tested, an item's data reaches the callback in blocks (-1 aborts); a declined password
// request never leads to data. After any of these the next item still tests, as it does
// when the first is skipped.
TEST_F(UnrarTest, TestingItemsThroughTheCallback) {
    const std::string big = Pattern(200 * 1024);
    const RarMember secret = {"Photos\\secret.jpg", "secret data", false, true};
    const int kFailed = -1, kSeveral = -1; // any error of the item itself; more than one block
    const struct { const char* what; bool rar5; RarMember item; int abortAt; int result, blocks; } cases[] = {
        {"rar 4", false, {"big.bin", big}, 0, 0, kSeveral},
        {"rar 5", true, {"big.bin", big}, 0, 0, kSeveral},
        {"aborted", false, {"big.bin", big}, 1, kFailed, 1},
        {"encrypted", false, secret, 0, kRarMissingPassword, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<RarMember> members = {c.item, {"next.txt", "plain"}};
        const std::string rar = c.rar5 ? BuildRar5(members) : BuildRar4(members);
        ASSERT_TRUE(Open(rar));
        calls_.abortAfterBlocks = c.abortAt;
        const int r = Next();
        EXPECT_EQ(c.item.encrypted, calls_.passwordRequests > 0);
        EXPECT_EQ(c.result == 0, r == 0);
        EXPECT_TRUE(c.result == kFailed ? r < 1000 : r == c.result) << r << ": the header itself must read";
        EXPECT_TRUE(c.blocks == kSeveral ? calls_.blocks > 1 : calls_.blocks == c.blocks) << calls_.blocks;
        // All of the data, or less than all of it.
        EXPECT_EQ(r == 0, calls_.data == c.item.data);
        EXPECT_EQ(0, c.item.data.compare(0, calls_.data.size(), calls_.data));
        calls_.data.clear();
        EXPECT_EQ(0, Next());
        EXPECT_EQ("plain", calls_.data);

        ASSERT_TRUE(Open(rar));
        EXPECT_EQ(0, Next(false));
        EXPECT_EQ(0, Next());
        EXPECT_EQ("plain", calls_.data);
    }
}

// The library lists and tests; asked to extract to disk it says so instead
// of reporting success while writing nothing.
TEST_F(UnrarTest, ExtractionToDiskIsRefused) {
    ASSERT_TRUE(Open(BuildRar4(Photos())));
    EXPECT_EQ(0, Next(false));
    ASSERT_EQ(0, ReadHeader());
    std::wstring dest = dir_.path();
    EXPECT_EQ(kRarCreateError, lib_.processFileW(handle_, kRarExtract, &dest[0], nullptr));
    EXPECT_FALSE(FileExists(dir_ / L"Photos\\a.jpg"));
    EXPECT_TRUE(calls_.data.empty());
}

} // namespace
