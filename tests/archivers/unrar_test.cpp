// unrar.dll (our own, on libarchive) through its exported interface, against
// RAR 4 and RAR 5 archives written byte by byte: listing, archive flags read
// from the main header, data handed to the callback, password requests,
// and what it must refuse.
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


// build\bin\unrar.dll, from build\tests\unrar_tests.exe.
std::wstring LibraryPath() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    path.resize(path.find_last_of(L'\\'));
    path.resize(path.find_last_of(L'\\'));
    return path + L"\\bin\\unrar.dll";
}

struct Library {
    HMODULE module = LoadLibraryW(LibraryPath().c_str());
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
    int abortAfterBlocks = -1;    // answer -1 to this block number (1 = first)
    const char* password = nullptr; // answer for password requests; null declines
};

int CALLBACK Record(UINT message, LPARAM userData, LPARAM p1, LPARAM p2) {
    Calls& calls = *reinterpret_cast<Calls*>(userData);
    if (message == kUcmProcessData) {
        calls.blocks++;
        calls.data.append(reinterpret_cast<const char*>(p1), size_t(p2));
        return calls.blocks == calls.abortAfterBlocks ? -1 : 1;
    }
    if (message == kUcmNeedPasswordW || message == kUcmNeedPassword) {
        calls.passwordRequests++;
        if (calls.password == nullptr) return -1;
        if (message == kUcmNeedPasswordW) {
            MultiByteToWideChar(CP_ACP, 0, calls.password, -1, reinterpret_cast<wchar_t*>(p1), int(p2));
        } else {
            lstrcpynA(reinterpret_cast<char*>(p1), calls.password, int(p2));
        }
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

class UnrarTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(lib_.Complete()) << "unrar.dll or one of its functions is missing"; }
    void TearDown() override { Close(); }
    void Close() {
        if (handle_) {
            EXPECT_EQ(0, lib_.close(handle_));
        }
        handle_ = nullptr;
    }

    std::wstring Write(const std::wstring& name, const std::string& bytes) {
        std::wstring path = dir_ / name;
        EXPECT_TRUE(WriteBytes(path, bytes));
        return path;
    }
    // Opens path for listing; the open record stays in open_.
    bool Open(const std::wstring& path) {
        std::memset(&open_, 0, sizeof open_);
        open_.ArcNameW = const_cast<wchar_t*>(path.c_str());
        open_.OpenMode = kRarOpenExtract;
        open_.Callback = Record;
        open_.UserData = reinterpret_cast<LPARAM>(&calls_);
        handle_ = lib_.open(&open_);
        return handle_ != nullptr;
    }
    // Every item, skipping its data; the last result (10 at the end) in last_.
    std::vector<Item> List() {
        std::vector<Item> items;
        auto header = std::make_unique<RARHeaderDataEx>();
        for (;;) {
            std::memset(header.get(), 0, sizeof *header);
            last_ = lib_.readHeader(handle_, header.get());
            if (last_ != 0) break;
            items.push_back({header->FileNameW, header->FileName, header->Flags,
                             (uint64_t(header->UnpSizeHigh) << 32) | header->UnpSize});
            EXPECT_EQ(0, lib_.processFileW(handle_, kRarSkip, nullptr, nullptr));
        }
        return items;
    }
    // Reads the next header and tests its item; the test's result.
    int TestNext() {
        auto header = std::make_unique<RARHeaderDataEx>();
        const int r = lib_.readHeader(handle_, header.get());
        if (r != 0) return 1000 + r;
        return lib_.processFileW(handle_, kRarTest, nullptr, nullptr);
    }

    Library lib_;
    TempDir dir_;
    RAROpenArchiveDataEx open_{};
    HANDLE handle_ = nullptr;
    Calls calls_;
    int last_ = 0;
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

std::vector<RarMember> PhotoMembers() {
    RarMember dir;
    dir.name = "Photos";
    dir.directory = true;
    RarMember a;
    a.name = "Photos\\a.jpg";
    a.data = "jpeg bytes";
    return {dir, a};
}
std::vector<RarMember> PhotoMembers5() {
    auto members = PhotoMembers();
    members[1].name = "Photos/a.jpg"; // RAR 5 stores '/'
    return members;
}

// --- The library itself -------------------------------------------------

TEST_F(UnrarTest, AnswersAVersionWithDirectoryFlag) { EXPECT_GE(lib_.version(), 6); }

TEST_F(UnrarTest, RefusesNullsAndStaleHandles) {
    EXPECT_EQ(nullptr, lib_.open(nullptr));
    RAROpenArchiveDataEx d{};
    EXPECT_EQ(nullptr, lib_.open(&d));
    EXPECT_NE(0u, d.OpenResult);
    RARHeaderDataEx* header = new RARHeaderDataEx();
    EXPECT_NE(0, lib_.readHeader(nullptr, header));
    EXPECT_NE(0, lib_.processFileW(nullptr, kRarTest, nullptr, nullptr));
    EXPECT_NE(0, lib_.close(nullptr));
    lib_.setCallback(nullptr, Record, 0);
    lib_.setPassword(nullptr, nullptr);

    ASSERT_TRUE(Open(Write(L"p.rar", BuildRar4(PhotoMembers()))));
    EXPECT_NE(0, lib_.readHeader(handle_, nullptr));
    // Processing before any header has nothing to work on.
    EXPECT_NE(0, lib_.processFileW(handle_, kRarTest, nullptr, nullptr));
    lib_.setPassword(handle_, nullptr);
    EXPECT_EQ(0, lib_.close(handle_));
    // A closed handle is not used again.
    EXPECT_NE(0, lib_.readHeader(handle_, header));
    EXPECT_NE(0, lib_.close(handle_));
    handle_ = nullptr;
    delete header;
}

// --- Opening --------------------------------------------------------------

TEST_F(UnrarTest, MissingFileFailsToOpen) {
    EXPECT_FALSE(Open(dir_ / L"none.rar"));
    EXPECT_NE(0u, open_.OpenResult);
}

TEST_F(UnrarTest, NonRarFileFailsToOpen) {
    ZipMember zipped;
    zipped.name = "a.txt";
    zipped.data = "x";
    EXPECT_FALSE(Open(Write(L"zip.rar", BuildZip({zipped}))));
    EXPECT_NE(0u, open_.OpenResult);
    EXPECT_FALSE(Open(Write(L"cut.rar", std::string("Rar!\x1A\x07\x00", 7))));
    EXPECT_NE(0u, open_.OpenResult);
    EXPECT_FALSE(Open(Write(L"empty.rar", "")));
    EXPECT_NE(0u, open_.OpenResult);
}

TEST_F(UnrarTest, OpensByAnsiNameWhenNoWideName) {
    const std::wstring path = Write(L"ansi.rar", BuildRar4(PhotoMembers()));
    char ansi[MAX_PATH] = {};
    ASSERT_GT(WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, ansi, MAX_PATH, nullptr, nullptr), 0);
    RAROpenArchiveDataEx d{};
    d.ArcName = ansi;
    handle_ = lib_.open(&d);
    ASSERT_NE(nullptr, handle_);
    EXPECT_EQ(0u, d.OpenResult);
    EXPECT_EQ(2u, List().size());
}

// --- Archive flags from the main header -------------------------------------

TEST_F(UnrarTest, PlainArchivesCarryNoFlags) {
    ASSERT_TRUE(Open(Write(L"p4.rar", BuildRar4(PhotoMembers()))));
    EXPECT_EQ(0u, open_.OpenResult);
    EXPECT_EQ(0u, open_.Flags & (kRarVolume | kRarSolid | kRarEncryptedHeaders));
    lib_.close(handle_);
    handle_ = nullptr;
    ASSERT_TRUE(Open(Write(L"p5.rar", BuildRar5(PhotoMembers5()))));
    EXPECT_EQ(0u, open_.Flags & (kRarVolume | kRarSolid | kRarEncryptedHeaders));
}

TEST_F(UnrarTest, SolidFlagOfRar4AndRar5) {
    ASSERT_TRUE(Open(Write(L"s4.rar", BuildRar4(PhotoMembers(), kRar4Solid))));
    EXPECT_EQ(unsigned(kRarSolid), open_.Flags & (kRarVolume | kRarSolid | kRarEncryptedHeaders));
    EXPECT_EQ(2u, List().size());
    EXPECT_EQ(kRarEndArchive, last_);
    lib_.close(handle_);
    handle_ = nullptr;
    ASSERT_TRUE(Open(Write(L"s5.rar", BuildRar5(PhotoMembers5(), kRar5Solid))));
    EXPECT_EQ(unsigned(kRarSolid), open_.Flags & (kRarVolume | kRarSolid | kRarEncryptedHeaders));
    EXPECT_EQ(2u, List().size());
}

TEST_F(UnrarTest, VolumeFlagOfRar4AndRar5) {
    ASSERT_TRUE(Open(Write(L"v4.part1.rar", BuildRar4(PhotoMembers(), kRar4Volume | kRar4FirstVolume))));
    EXPECT_EQ(unsigned(kRarVolume | kRarFirstVolume), open_.Flags & (kRarVolume | kRarSolid | kRarFirstVolume));
    lib_.close(handle_);
    handle_ = nullptr;
    ASSERT_TRUE(Open(Write(L"v5.part1.rar", BuildRar5(PhotoMembers5(), kRar5Volume))));
    EXPECT_EQ(unsigned(kRarVolume | kRarFirstVolume), open_.Flags & (kRarVolume | kRarSolid | kRarFirstVolume));
}

TEST_F(UnrarTest, EncryptedHeadersAreReportedAndNotListed) {
    ASSERT_TRUE(Open(Write(L"e4.rar", BuildRar4(PhotoMembers(), kRar4EncryptedHeaders))));
    EXPECT_EQ(unsigned(kRarEncryptedHeaders), open_.Flags & (kRarVolume | kRarSolid | kRarEncryptedHeaders));
    auto header = std::make_unique<RARHeaderDataEx>();
    EXPECT_EQ(kRarMissingPassword, lib_.readHeader(handle_, header.get()));
    EXPECT_GE(calls_.passwordRequests, 1);
    lib_.close(handle_);
    handle_ = nullptr;
    ASSERT_TRUE(Open(Write(L"e5.rar", BuildRar5(PhotoMembers5(), 0, true))));
    EXPECT_EQ(unsigned(kRarEncryptedHeaders), open_.Flags & (kRarVolume | kRarSolid | kRarEncryptedHeaders));
    EXPECT_NE(0, lib_.readHeader(handle_, header.get()));
}

TEST_F(UnrarTest, SelfExtractingArchiveIsFoundAfterItsStub) {
    // Real stubs are at least 64 KiB and end on a 16-byte boundary, which is
    // where readers look for the archive.
    std::string stub = "MZ" + std::string(0x10000 - 2, '\x90');
    ASSERT_TRUE(Open(Write(L"sfx.exe", stub + BuildRar4(PhotoMembers(), kRar4Solid))));
    EXPECT_EQ(unsigned(kRarSolid), open_.Flags & (kRarVolume | kRarSolid | kRarEncryptedHeaders));
    const auto items = List();
    ASSERT_EQ(2u, items.size());
    EXPECT_EQ(L"Photos\\a.jpg", items[1].name);
}

// --- Listing --------------------------------------------------------------

TEST_F(UnrarTest, ListsBothFormatsWithBackslashesAndDirectoryFlag) {
    const struct { const wchar_t* file; std::string bytes; bool rar4; } cases[] = {
        {L"l4.rar", BuildRar4(PhotoMembers()), true},
        {L"l5.rar", BuildRar5(PhotoMembers5()), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rar4 ? "RAR 4" : "RAR 5");
        ASSERT_TRUE(Open(Write(c.file, c.bytes)));
        const auto items = List();
        EXPECT_EQ(kRarEndArchive, last_);
        ASSERT_EQ(2u, items.size());
        EXPECT_EQ(L"Photos", items[0].name);
        EXPECT_EQ(unsigned(kRarItemDirectory), items[0].flags & (kRarItemDirectory | kRarItemEncrypted));
        EXPECT_EQ(L"Photos\\a.jpg", items[1].name);
        EXPECT_EQ(0u, items[1].flags & (kRarItemDirectory | kRarItemEncrypted));
        if (c.rar4) {
            EXPECT_EQ("Photos\\a.jpg", items[1].ansiName);
            EXPECT_EQ(10u, items[1].size);
            // The end stays the end.
            auto header = std::make_unique<RARHeaderDataEx>();
            EXPECT_EQ(kRarEndArchive, lib_.readHeader(handle_, header.get()));
        }
        Close();
    }
}

TEST_F(UnrarTest, HeaderRecordCarriesNamesAtTheirOffsets) {
    const std::wstring path = Write(L"o.rar", BuildRar4(PhotoMembers()));
    ASSERT_TRUE(Open(path));
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
    EXPECT_EQ(path, reinterpret_cast<const wchar_t*>(raw.data() + 1024));
    EXPECT_EQ(10u, *reinterpret_cast<const unsigned*>(raw.data() + 6156));
    // Nothing written past the record.
    for (size_t i = sizeof(RARHeaderDataEx); i < raw.size(); ++i) EXPECT_EQ(0xCC, raw[i]);
}

TEST_F(UnrarTest, JapaneseNamesInUnicodeAndOemForms) {
    const std::wstring wide = L"\u5199\u771f\\\u30bd\u30d5\u30c8.txt"; // 写真\ソフト.txt
    char oem[64] = {};
    ASSERT_GT(WideCharToMultiByte(932, 0, wide.c_str(), -1, oem, sizeof oem, nullptr, nullptr), 0);
    RarMember unicode;
    unicode.name = oem;
    unicode.unicodeName = wide;
    unicode.data = "u";
    RarMember ansiOnly;
    ansiOnly.name = "\x8e\xca\x90\x5e\\b.txt"; // 写真\b.txt in code page 932
    ansiOnly.data = "a";
    // Second bytes 0x5C: ソ is 83 5C, 表 is 95 5C.
    RarMember fiveC;
    fiveC.name = "\x83\x5c\x83\x74\x83\x67\\\x95\x5c\x8e\x86.jpg"; // ソフト\表紙.jpg
    fiveC.data = "c";
    RarMember decomposed; // か and a combining voiced mark: listed composed, as libarchive lists it
    decomposed.name = "ka.txt";
    decomposed.unicodeName = L"\u304b\u3099.txt";
    ASSERT_TRUE(Open(Write(L"j4.rar", BuildRar4({unicode, ansiOnly, fiveC, decomposed}))));
    const auto items = List();
    ASSERT_EQ(4u, items.size());
    EXPECT_EQ(L"\u304c.txt", items[3].name);
    EXPECT_EQ(wide, items[0].name);
    EXPECT_EQ(L"\u5199\u771f\\b.txt", items[1].name);
    EXPECT_EQ(L"\u30bd\u30d5\u30c8\\\u8868\u7d19.jpg", items[2].name);
    EXPECT_EQ("\x83\x5c\x83\x74\x83\x67\\\x95\x5c\x8e\x86.jpg", items[2].ansiName);
    lib_.close(handle_);
    handle_ = nullptr;
    RarMember utf8;
    utf8.name = "\xe5\x86\x99\xe7\x9c\x9f/a.jpg";
    utf8.data = "x";
    ASSERT_TRUE(Open(Write(L"j5.rar", BuildRar5({utf8}))));
    const auto items5 = List();
    ASSERT_EQ(1u, items5.size());
    EXPECT_EQ(L"\u5199\u771f\\a.jpg", items5[0].name);
}

TEST_F(UnrarTest, DamagedHeaderEndsListingWithAnError) {
    std::string rar = BuildRar4(PhotoMembers());
    rar[7 + 13 + 5] ^= 0x40; // inside the first file header: its check fails
    ASSERT_TRUE(Open(Write(L"d.rar", rar)));
    const auto items = List();
    EXPECT_TRUE(items.empty());
    EXPECT_NE(0, last_);
    EXPECT_NE(kRarEndArchive, last_);
}

TEST_F(UnrarTest, CutArchiveNeverReadsPastItsEnd) {
    RarMember big;
    big.name = "Photos\\big.bin";
    big.data = Pattern(5000);
    const std::string rar = BuildRar4({big});
    for (size_t cut : {size_t(25), size_t(40), size_t(60), rar.size() - 100}) {
        ASSERT_TRUE(Open(Write(L"cut" + std::to_wstring(cut) + L".rar", rar.substr(0, cut))));
        auto header = std::make_unique<RARHeaderDataEx>();
        int r = lib_.readHeader(handle_, header.get());
        if (r == 0) r = lib_.processFileW(handle_, kRarTest, nullptr, nullptr);
        EXPECT_NE(0, r) << cut;
        EXPECT_LT(calls_.data.size(), big.data.size());
        lib_.close(handle_);
        handle_ = nullptr;
        calls_ = Calls();
    }
}

// --- Testing items: data to the callback ----------------------------------

TEST_F(UnrarTest, DeliversDataInBlocksToTheCallback) {
    RarMember big;
    big.name = "Photos\\big.bin";
    big.data = Pattern(200 * 1024);
    RarMember small;
    small.name = "Photos\\a.jpg";
    small.data = "jpeg bytes";
    ASSERT_TRUE(Open(Write(L"b4.rar", BuildRar4({big, small}))));
    EXPECT_EQ(0, TestNext());
    EXPECT_GT(calls_.blocks, 1);
    EXPECT_TRUE(calls_.data == big.data);
    calls_.data.clear();
    EXPECT_EQ(0, TestNext());
    EXPECT_EQ("jpeg bytes", calls_.data);
    lib_.close(handle_);
    handle_ = nullptr;

    big.name = "Photos/big.bin";
    calls_ = Calls();
    ASSERT_TRUE(Open(Write(L"b5.rar", BuildRar5({big}))));
    EXPECT_EQ(0, TestNext());
    EXPECT_GT(calls_.blocks, 1);
    EXPECT_TRUE(calls_.data == big.data);
}

TEST_F(UnrarTest, CallbackSetLaterAndAnsiProcessingWork) {
    ASSERT_TRUE(Open(Write(L"c.rar", BuildRar4(PhotoMembers()))));
    Calls later;
    lib_.setCallback(handle_, Record, reinterpret_cast<LPARAM>(&later));
    auto header = std::make_unique<RARHeaderDataEx>();
    ASSERT_EQ(0, lib_.readHeader(handle_, header.get()));
    EXPECT_EQ(0, lib_.processFile(handle_, kRarSkip, nullptr, nullptr));
    ASSERT_EQ(0, lib_.readHeader(handle_, header.get()));
    EXPECT_EQ(0, lib_.processFile(handle_, kRarTest, nullptr, nullptr));
    EXPECT_EQ("jpeg bytes", later.data);
    EXPECT_TRUE(calls_.data.empty());
}

TEST_F(UnrarTest, SkipDeliversNothingAndMovesOn) {
    RarMember first;
    first.name = "one.bin";
    first.data = Pattern(3000);
    RarMember second;
    second.name = "two.txt";
    second.data = "second";
    ASSERT_TRUE(Open(Write(L"k.rar", BuildRar4({first, second}))));
    auto header = std::make_unique<RARHeaderDataEx>();
    ASSERT_EQ(0, lib_.readHeader(handle_, header.get()));
    EXPECT_EQ(0, lib_.processFileW(handle_, kRarSkip, nullptr, nullptr));
    EXPECT_EQ(0, calls_.blocks);
    ASSERT_EQ(0, lib_.readHeader(handle_, header.get()));
    EXPECT_EQ(std::wstring(L"two.txt"), header->FileNameW);
    EXPECT_EQ(0, lib_.processFileW(handle_, kRarTest, nullptr, nullptr));
    EXPECT_EQ("second", calls_.data);
}

TEST_F(UnrarTest, CallbackAnsweringMinusOneAborts) {
    RarMember big;
    big.name = "big.bin";
    big.data = Pattern(200 * 1024);
    calls_.abortAfterBlocks = 1;
    ASSERT_TRUE(Open(Write(L"a.rar", BuildRar4({big}))));
    const int r = TestNext();
    EXPECT_NE(0, r);
    EXPECT_LT(r, 1000) << "the header itself must read";
    EXPECT_EQ(1, calls_.blocks);
}

TEST_F(UnrarTest, EncryptedItemAsksForPasswordAndFailsWhenDeclined) {
    RarMember secret;
    secret.name = "Photos\\secret.jpg";
    secret.data = "secret data";
    secret.encrypted = true;
    RarMember plain;
    plain.name = "Photos\\a.jpg";
    plain.data = "jpeg bytes";
    ASSERT_TRUE(Open(Write(L"enc.rar", BuildRar4({secret, plain}))));
    auto header = std::make_unique<RARHeaderDataEx>();
    ASSERT_EQ(0, lib_.readHeader(handle_, header.get()));
    EXPECT_EQ(std::wstring(L"Photos\\secret.jpg"), header->FileNameW);
    EXPECT_EQ(unsigned(kRarItemEncrypted), header->Flags & kRarItemEncrypted);
    EXPECT_EQ(kRarMissingPassword, lib_.processFileW(handle_, kRarTest, nullptr, nullptr));
    EXPECT_GE(calls_.passwordRequests, 1);
    EXPECT_TRUE(calls_.data.empty());
    // The next item still reads.
    ASSERT_EQ(0, lib_.readHeader(handle_, header.get()));
    EXPECT_EQ(0u, header->Flags & kRarItemEncrypted);
    EXPECT_EQ(0, lib_.processFileW(handle_, kRarTest, nullptr, nullptr));
    EXPECT_EQ("jpeg bytes", calls_.data);
}

TEST_F(UnrarTest, EncryptedItemWithAPasswordStillDeliversNoPlainData) {
    RarMember secret;
    secret.name = "secret.jpg";
    secret.data = "secret data";
    secret.encrypted = true;
    calls_.password = "pass";
    ASSERT_TRUE(Open(Write(L"encp.rar", BuildRar4({secret}))));
    const int r = TestNext();
    EXPECT_NE(0, r);
    EXPECT_LT(r, 1000);
    EXPECT_TRUE(calls_.data.empty());
}

TEST_F(UnrarTest, ExtractingToDiskIsRefused) {
    ASSERT_TRUE(Open(Write(L"x.rar", BuildRar4(PhotoMembers()))));
    auto header = std::make_unique<RARHeaderDataEx>();
    ASSERT_EQ(0, lib_.readHeader(handle_, header.get()));
    ASSERT_EQ(0, lib_.processFileW(handle_, kRarSkip, nullptr, nullptr));
    ASSERT_EQ(0, lib_.readHeader(handle_, header.get()));
    std::wstring dest = dir_.path();
    EXPECT_EQ(kRarCreateError, lib_.processFileW(handle_, kRarExtract, &dest[0], nullptr));
    EXPECT_FALSE(FileExists(dir_ / L"Photos\\a.jpg"));
    // Without a destination (the current folder) it is not done either, and
    // not reported as done.
    Close();
    ASSERT_TRUE(Open(Write(L"y.rar", BuildRar4(PhotoMembers()))));
    ASSERT_EQ(0, lib_.readHeader(handle_, header.get()));
    EXPECT_EQ(kRarCreateError, lib_.processFile(handle_, kRarExtract, nullptr, nullptr));
    ASSERT_EQ(0, lib_.readHeader(handle_, header.get()));
    EXPECT_EQ(kRarCreateError, lib_.processFileW(handle_, kRarExtract, nullptr, nullptr));
    EXPECT_TRUE(calls_.data.empty());
}

} // namespace
