// Our unrar.dll through its exports, on RAR 4 and RAR 5 archives written byte by byte.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <memory>
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

// What the callback saw, and how it answers.
struct Calls {
    std::string data;
    int blocks = 0;
    int passwordRequests = 0;
    int abortAfterBlocks = -1;      // answer -1 to this block number (1 = first)
    const char* password = nullptr; // answer for password requests; null declines
};

int CALLBACK Record(UINT message, LPARAM userData, LPARAM p1, LPARAM p2) {
    Calls& calls = *reinterpret_cast<Calls*>(userData);
    if (message == kUcmProcessData) {
        calls.blocks++;
        calls.data.append(reinterpret_cast<const char*>(p1), size_t(p2));
        return calls.blocks == calls.abortAfterBlocks ? -1 : 1;
    }
    if (message == kUcmNeedPasswordW) {
        calls.passwordRequests++;
        if (calls.password == nullptr) return -1;
        MultiByteToWideChar(CP_ACP, 0, calls.password, -1, reinterpret_cast<wchar_t*>(p1), int(p2));
        return 1;
    }
    return 0;
}

struct Item {
    std::wstring name;
    unsigned flags;
    uint64_t size;
};

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
    // Opens the bytes for listing by the path's Unicode or ANSI form, closing
    // what was open; the record stays in open_.
    bool Open(const std::string& bytes, bool byAnsiName = false) {
        Close();
        path_ = dir_ / L"a.rar";
        ansiPath_ = Ansi(path_);
        EXPECT_TRUE(WriteBytes(path_, bytes));
        std::memset(&open_, 0, sizeof open_);
        if (byAnsiName) open_.ArcName = &ansiPath_[0];
        else open_.ArcNameW = &path_[0];
        open_.OpenMode = kRarOpenExtract;
        open_.Callback = Record;
        open_.UserData = reinterpret_cast<LPARAM>(&calls_);
        handle_ = lib_.open(&open_);
        return handle_ != nullptr;
    }
    // Every item, skipping its data; the last result (10 at the end) in last_.
    std::vector<Item> List() {
        std::vector<Item> items;
        while ((last_ = lib_.readHeader(handle_, header_.get())) == 0) {
            items.push_back({header_->FileNameW, header_->Flags,
                             (uint64_t(header_->UnpSizeHigh) << 32) | header_->UnpSize});
            EXPECT_EQ(0, lib_.processFileW(handle_, kRarSkip, nullptr, nullptr));
        }
        return items;
    }
    // Reads the next header and processes its item; 1000 + the header's
    // result when that fails.
    int Next(int operation = kRarTest) {
        const int r = lib_.readHeader(handle_, header_.get());
        return r != 0 ? 1000 + r : lib_.processFileW(handle_, operation, nullptr, nullptr);
    }

    Library lib_;
    TempDir dir_;
    std::wstring path_;
    std::string ansiPath_;
    RAROpenArchiveDataEx open_{};
    std::unique_ptr<RARHeaderDataEx> header_ = std::make_unique<RARHeaderDataEx>();
    HANDLE handle_ = nullptr;
    Calls calls_;
    int last_ = 0;
};

TEST_F(UnrarTest, RefusesNullsStaleHandlesAndFilesThatAreNotRar) {
    EXPECT_GE(lib_.version(), 6) << "directories carry 0x20";
    EXPECT_EQ(nullptr, lib_.open(nullptr));
    RAROpenArchiveDataEx d{};
    EXPECT_EQ(nullptr, lib_.open(&d));
    EXPECT_NE(0u, d.OpenResult);
    EXPECT_NE(0, lib_.readHeader(nullptr, header_.get()));
    EXPECT_NE(0, lib_.processFileW(nullptr, kRarTest, nullptr, nullptr));
    EXPECT_NE(0, lib_.close(nullptr));
    lib_.setCallback(nullptr, Record, 0);
    lib_.setPassword(nullptr, nullptr);

    ASSERT_TRUE(Open(BuildRar4(Photos())));
    EXPECT_NE(0, lib_.readHeader(handle_, nullptr));
    EXPECT_NE(0, lib_.processFileW(handle_, kRarTest, nullptr, nullptr)) << "no header read yet";
    lib_.setPassword(handle_, nullptr);
    EXPECT_EQ(0, lib_.close(handle_));
    EXPECT_NE(0, lib_.readHeader(handle_, header_.get())) << "a closed handle";
    EXPECT_NE(0, lib_.close(handle_));
    handle_ = nullptr;

    for (const std::string& bytes : {BuildZip({{"a.txt", "a"}}), std::string("Rar!\x1A\x07\x00", 7), std::string()}) {
        EXPECT_FALSE(Open(bytes));
        EXPECT_NE(0u, open_.OpenResult);
    }
    open_.ArcNameW = const_cast<wchar_t*>(L"C:\\no such folder\\none.rar");
    EXPECT_EQ(nullptr, lib_.open(&open_));
}

// Flags from the main header; names from the Unicode, OEM and UTF-8 forms; the end, or an error.
TEST_F(UnrarTest, ArchiveFlagsAndListing) {
    const unsigned kMask = kRarVolume | kRarSolid | kRarEncryptedHeaders | kRarFirstVolume;
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
        {"volume 4", BuildRar4(Photos(), kRar4Volume | kRar4FirstVolume), kRarVolume | kRarFirstVolume, photos,
         kRarEndArchive},
        {"volume 5", BuildRar5(Photos(true), kRar5Volume), kRarVolume | kRarFirstVolume, photos, kRarEndArchive},
        {"self-extracting", stub + BuildRar4(Photos(), kRar4Solid), kRarSolid, photos, kRarEndArchive},
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
        std::vector<std::wstring> names;
        for (const Item& item : List()) {
            names.push_back(item.name);
            EXPECT_EQ(item.name == L"Photos", (item.flags & kRarItemDirectory) != 0) << Utf8(item.name);
            EXPECT_EQ(0u, item.flags & kRarItemEncrypted);
            if (item.name == photos[1]) { EXPECT_EQ(10u, item.size); }
        }
        EXPECT_EQ(c.names, names);
        EXPECT_TRUE(c.end == kError ? last_ != 0 && last_ != kRarEndArchive : last_ == c.end) << last_;
        EXPECT_EQ(last_, lib_.readHeader(handle_, header_.get())) << "the end stays the end";
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

// Through the ANSI name, a callback set after opening and the ANSI processing function:
// the record (read by offset) holds both name forms, nothing past it, and the item tests.
TEST_F(UnrarTest, OpenedByItsAnsiNameTheRecordIsReadByOffset) {
    ASSERT_TRUE(Open(BuildRar4({{"Photos", "", true}, {kFiveC, "jpeg bytes"}}), true));
    Calls later;
    lib_.setCallback(handle_, Record, reinterpret_cast<LPARAM>(&later));
    std::vector<unsigned char> raw(sizeof(RARHeaderDataEx) + 16, 0xCC);
    auto* header = reinterpret_cast<RARHeaderDataEx*>(raw.data());
    header->CmtBuf = nullptr;
    header->CmtBufSize = 0;
    header->RedirName = nullptr;
    header->RedirNameSize = 0;
    ASSERT_EQ(0, lib_.readHeader(handle_, header));
    ASSERT_EQ(0, lib_.processFile(handle_, kRarSkip, nullptr, nullptr));
    ASSERT_EQ(0, lib_.readHeader(handle_, header));
    EXPECT_STREQ(L"\u30bd\u30d5\u30c8\\\u8868\u7d19.jpg", reinterpret_cast<const wchar_t*>(raw.data() + 4096));
    EXPECT_EQ(kFiveC, reinterpret_cast<const char*>(raw.data() + 3072));
    EXPECT_EQ(path_, reinterpret_cast<const wchar_t*>(raw.data() + 1024));
    EXPECT_EQ(10u, *reinterpret_cast<const unsigned*>(raw.data() + 6156));
    for (size_t i = sizeof(RARHeaderDataEx); i < raw.size(); ++i) EXPECT_EQ(0xCC, raw[i]);
    EXPECT_EQ(0, lib_.processFile(handle_, kRarTest, nullptr, nullptr));
    EXPECT_EQ("jpeg bytes", later.data);
    EXPECT_TRUE(calls_.data.empty());
}

// Tested, an item's data reaches the callback in blocks (-1 aborts); a password request never leads to data.
TEST_F(UnrarTest, TestingItemsThroughTheCallback) {
    const std::string big = Pattern(200 * 1024);
    const RarMember secret = {"Photos\\secret.jpg", "secret data", false, true};
    const int kFailed = -1, kSeveral = -1; // any error of the item itself; more than one block
    const struct { const char* what; bool rar5; RarMember item; int abortAt; const char* password; int result, blocks; }
    cases[] = {
        {"rar 4", false, {"big.bin", big}, 0, nullptr, 0, kSeveral},
        {"rar 5", true, {"big.bin", big}, 0, nullptr, 0, kSeveral},
        {"aborted", false, {"big.bin", big}, 1, nullptr, kFailed, 1},
        {"no password", false, secret, 0, nullptr, kRarMissingPassword, 0},
        {"a password", false, secret, 0, "pass", kFailed, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<RarMember> members = {c.item, {"next.txt", "plain"}};
        const std::string rar = c.rar5 ? BuildRar5(members) : BuildRar4(members);
        ASSERT_TRUE(Open(rar));
        calls_.abortAfterBlocks = c.abortAt;
        calls_.password = c.password;
        const int r = Next();
        EXPECT_EQ(c.item.encrypted, (header_->Flags & kRarItemEncrypted) != 0);
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
        EXPECT_EQ(0u, header_->Flags & kRarItemEncrypted);

        ASSERT_TRUE(Open(rar));
        EXPECT_EQ(0, Next(kRarSkip));
        EXPECT_EQ(0, Next());
        EXPECT_EQ("plain", calls_.data);
    }
}

// Regression: extracting to disk reported success and wrote nothing; it is refused.
TEST_F(UnrarTest, ExtractionToDiskIsRefused) {
    ASSERT_TRUE(Open(BuildRar4(Photos())));
    EXPECT_EQ(0, Next(kRarSkip));
    ASSERT_EQ(0, lib_.readHeader(handle_, header_.get()));
    std::wstring dest = dir_.path();
    EXPECT_EQ(kRarCreateError, lib_.processFileW(handle_, kRarExtract, &dest[0], nullptr));
    EXPECT_FALSE(FileExists(dir_ / L"Photos\\a.jpg"));
    ASSERT_TRUE(Open(BuildRar4(Photos())));
    ASSERT_EQ(0, lib_.readHeader(handle_, header_.get()));
    EXPECT_EQ(kRarCreateError, lib_.processFile(handle_, kRarExtract, nullptr, nullptr));
    EXPECT_EQ(kRarCreateError, Next(kRarExtract));
    EXPECT_TRUE(calls_.data.empty());
}

} // namespace
