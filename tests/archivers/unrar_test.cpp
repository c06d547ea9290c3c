// unrar.dll (our own, on libarchive) through its exported interface, against
// RAR 4 and RAR 5 archives written byte by byte: what it refuses, archive
// flags from the main header, listing and names, data handed to the
// callback, and password requests.
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

namespace {

struct Library {
    HMODULE module = LoadLibraryW((BuildFolder(L"bin") + L"\\unrar.dll").c_str());
    ~Library() {
        if (module) FreeLibrary(module);
    }
    template <typename T>
    T Get(const char* name) const {
        return module ? reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
    }
    RarOpenArchiveExFn open = Get<RarOpenArchiveExFn>("RAROpenArchiveEx");
    RarCloseArchiveFn close = Get<RarCloseArchiveFn>("RARCloseArchive");
    RarReadHeaderExFn readHeader = Get<RarReadHeaderExFn>("RARReadHeaderEx");
    RarProcessFileFn processFile = Get<RarProcessFileFn>("RARProcessFile");
    RarProcessFileWFn processFileW = Get<RarProcessFileWFn>("RARProcessFileW");
    RarSetCallbackFn setCallback = Get<RarSetCallbackFn>("RARSetCallback");
    RarSetPasswordFn setPassword = Get<RarSetPasswordFn>("RARSetPassword");
    RarGetDllVersionFn version = Get<RarGetDllVersionFn>("RARGetDllVersion");
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
    std::string ansiName;
    unsigned flags;
    uint64_t size;
};

std::string Pattern(size_t size) {
    std::string s(size, '\0');
    uint32_t x = 12345;
    for (char& c : s) {
        x = x * 1103515245u + 12345u;
        c = char(x >> 16);
    }
    return s;
}

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
    // Opens the bytes for listing, closing what was open; the record stays in open_.
    bool Open(const std::string& bytes, const wchar_t* name = L"a.rar") {
        Close();
        path_ = dir_ / name;
        EXPECT_TRUE(WriteBytes(path_, bytes));
        std::memset(&open_, 0, sizeof open_);
        open_.ArcNameW = const_cast<wchar_t*>(path_.c_str());
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
            items.push_back({header_->FileNameW, header_->FileName, header_->Flags,
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

// Flags come from the main header, as a packer sets them; an archive whose
// headers are encrypted lists nothing.
TEST_F(UnrarTest, ArchiveFlagsAndListing) {
    const unsigned kMask = kRarVolume | kRarSolid | kRarEncryptedHeaders | kRarFirstVolume;
    // Real stubs are at least 64 KiB and end on a 16-byte boundary, which is
    // where readers look for the archive.
    const std::string stub = "MZ" + std::string(0x10000 - 2, '\x90');
    const struct { const char* what; std::string bytes; unsigned flags; bool lists; } cases[] = {
        {"plain 4", BuildRar4(Photos()), 0, true},
        {"plain 5", BuildRar5(Photos(true)), 0, true},
        {"solid 4", BuildRar4(Photos(), kRar4Solid), kRarSolid, true},
        {"solid 5", BuildRar5(Photos(true), kRar5Solid), kRarSolid, true},
        {"volume 4", BuildRar4(Photos(), kRar4Volume | kRar4FirstVolume), kRarVolume | kRarFirstVolume, true},
        {"volume 5", BuildRar5(Photos(true), kRar5Volume), kRarVolume | kRarFirstVolume, true},
        {"self-extracting", stub + BuildRar4(Photos(), kRar4Solid), kRarSolid, true},
        {"encrypted headers 4", BuildRar4(Photos(), kRar4EncryptedHeaders), kRarEncryptedHeaders, false},
        {"encrypted headers 5", BuildRar5(Photos(true), 0, true), kRarEncryptedHeaders, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(Open(c.bytes));
        EXPECT_EQ(0u, open_.OpenResult);
        EXPECT_EQ(c.flags, open_.Flags & kMask);
        const auto items = List();
        if (!c.lists) {
            EXPECT_TRUE(items.empty());
            EXPECT_NE(0, last_);
            continue;
        }
        EXPECT_EQ(kRarEndArchive, last_);
        ASSERT_EQ(2u, items.size());
        EXPECT_EQ(L"Photos", items[0].name);
        EXPECT_EQ(unsigned(kRarItemDirectory), items[0].flags & (kRarItemDirectory | kRarItemEncrypted));
        EXPECT_EQ(L"Photos\\a.jpg", items[1].name);
        EXPECT_EQ(0u, items[1].flags & (kRarItemDirectory | kRarItemEncrypted));
        EXPECT_EQ(10u, items[1].size);
        EXPECT_EQ(kRarEndArchive, lib_.readHeader(handle_, header_.get())) << "the end stays the end";
    }
    ASSERT_TRUE(Open(BuildRar4(Photos(), kRar4EncryptedHeaders)));
    EXPECT_EQ(kRarMissingPassword, lib_.readHeader(handle_, header_.get()));
    EXPECT_GE(calls_.passwordRequests, 1);
}

TEST_F(UnrarTest, NamesInUnicodeOemAndUtf8FormsAtTheirOffsets) {
    const std::wstring wide = L"\u5199\u771f\\\u30bd\u30d5\u30c8.txt"; // 写真\ソフト.txt
    const RarMember unicode = {Narrow(wide, 932), "u", false, false, wide};
    // Second bytes 0x5C: ソ is 83 5C, 表 is 95 5C.
    const std::string fiveC = "\x83\x5c\x83\x74\x83\x67\\\x95\x5c\x8e\x86.jpg"; // ソフト\表紙.jpg
    // か and a combining voiced mark: listed composed, as libarchive lists it.
    const RarMember decomposed = {"ka.txt", "k", false, false, L"\u304b\u3099.txt"};
    ASSERT_TRUE(Open(BuildRar4({unicode, {"\x8e\xca\x90\x5e\\b.txt", "a"}, {fiveC, "c"}, decomposed})));
    auto items = List();
    ASSERT_EQ(4u, items.size());
    EXPECT_EQ(L"\u304c.txt", items[3].name);
    EXPECT_EQ(wide, items[0].name);
    EXPECT_EQ(L"\u5199\u771f\\b.txt", items[1].name);
    EXPECT_EQ(L"\u30bd\u30d5\u30c8\\\u8868\u7d19.jpg", items[2].name);
    EXPECT_EQ(fiveC, items[2].ansiName);
    ASSERT_TRUE(Open(BuildRar5({{"\xe5\x86\x99\xe7\x9c\x9f/a.jpg", "x"}})));
    items = List();
    ASSERT_EQ(1u, items.size());
    EXPECT_EQ(L"\u5199\u771f\\a.jpg", items[0].name);

    // Opened by its ANSI name; a caller built elsewhere reads the record by
    // offset, and nothing is written past it.
    Close();
    const std::string ansi = Narrow(path_, CP_ACP);
    RAROpenArchiveDataEx d{};
    d.ArcName = const_cast<char*>(ansi.c_str());
    ASSERT_TRUE(WriteBytes(path_, BuildRar4(Photos())));
    handle_ = lib_.open(&d);
    ASSERT_NE(nullptr, handle_);
    std::vector<unsigned char> raw(sizeof(RARHeaderDataEx) + 16, 0xCC);
    auto* header = reinterpret_cast<RARHeaderDataEx*>(raw.data());
    header->CmtBuf = nullptr;
    header->CmtBufSize = 0;
    header->RedirName = nullptr;
    header->RedirNameSize = 0;
    ASSERT_EQ(0, lib_.readHeader(handle_, header));
    ASSERT_EQ(0, lib_.processFileW(handle_, kRarSkip, nullptr, nullptr));
    ASSERT_EQ(0, lib_.readHeader(handle_, header));
    EXPECT_EQ(std::wstring(L"Photos\\a.jpg"), reinterpret_cast<const wchar_t*>(raw.data() + 4096));
    EXPECT_EQ(std::string("Photos\\a.jpg"), reinterpret_cast<const char*>(raw.data() + 3072));
    EXPECT_EQ(path_, reinterpret_cast<const wchar_t*>(raw.data() + 1024));
    EXPECT_EQ(10u, *reinterpret_cast<const unsigned*>(raw.data() + 6156));
    for (size_t i = sizeof(RARHeaderDataEx); i < raw.size(); ++i) EXPECT_EQ(0xCC, raw[i]);
}

TEST_F(UnrarTest, DamagedAndCutArchivesEndWithAnError) {
    std::string rar = BuildRar4(Photos());
    rar[7 + 13 + 5] ^= 0x40; // inside the first file header: its check fails
    ASSERT_TRUE(Open(rar));
    EXPECT_TRUE(List().empty());
    EXPECT_NE(0, last_);
    EXPECT_NE(kRarEndArchive, last_);
    const std::string big = BuildRar4({{"Photos\\big.bin", Pattern(5000)}});
    for (size_t cut : {size_t(25), size_t(40), size_t(60), big.size() - 100}) {
        ASSERT_TRUE(Open(big.substr(0, cut)));
        EXPECT_NE(0, Next()) << cut;
        EXPECT_LT(calls_.data.size(), 5000u);
    }
}

// What the callback is handed while an item is tested, by how it answers:
// the data in blocks (an answer of -1 aborts), or a password request that
// never leads to plain data. The item after it still reads, and skipping
// hands nothing.
TEST_F(UnrarTest, TestingItemsThroughTheCallback) {
    const std::string big = Pattern(200 * 1024);
    const RarMember secret = {"Photos\\secret.jpg", "secret data", false, true};
    const int kFailed = -1, kSeveral = -1; // any error of the item itself; more than one block
    const struct { const char* what; bool rar5; RarMember item; int abortAfter; const char* password; int result, blocks; }
    cases[] = {
        {"rar 4", false, {"big.bin", big}, 0, nullptr, 0, kSeveral},
        {"rar 5", true, {"big.bin", big}, 0, nullptr, 0, kSeveral},
        {"small", false, {"a.jpg", "jpeg bytes"}, 0, nullptr, 0, 1},
        {"aborted", false, {"big.bin", big}, 1, nullptr, kFailed, 1},
        {"no password", false, secret, 0, nullptr, kRarMissingPassword, 0},
        {"a password", false, secret, 0, "pass", kFailed, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<RarMember> members = {c.item, {"next.txt", "plain"}};
        const std::string rar = c.rar5 ? BuildRar5(members) : BuildRar4(members);
        ASSERT_TRUE(Open(rar));
        calls_.abortAfterBlocks = c.abortAfter;
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

    // A callback set after opening, and the ANSI processing function.
    ASSERT_TRUE(Open(BuildRar4(Photos())));
    Calls later;
    lib_.setCallback(handle_, Record, reinterpret_cast<LPARAM>(&later));
    ASSERT_EQ(0, lib_.readHeader(handle_, header_.get()));
    EXPECT_EQ(0, lib_.processFile(handle_, kRarSkip, nullptr, nullptr));
    ASSERT_EQ(0, lib_.readHeader(handle_, header_.get()));
    EXPECT_EQ(0, lib_.processFile(handle_, kRarTest, nullptr, nullptr));
    EXPECT_EQ("jpeg bytes", later.data);
    EXPECT_TRUE(calls_.data.empty());
}

// Regression: extracting to disk reported success and wrote nothing. It is
// refused, to a folder or (without one) to the current folder.
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
