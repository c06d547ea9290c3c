// Our 7-zip32.dll, cab32.dll and unlha32.dll through their exports (damaged input: fuzz_short).
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "ArchiverText.h"
#include "contracts/ArchiverRecords.h"
#include "CabBuilder.h"
#include "ItemName.h"
#include "LzhBuilder.h"
#include "TestFiles.h"
#include "ZipBuilder.h"
#include "archive/UnZip.h"
#include "base/ScopedWin.h"

namespace {

constexpr unsigned char kGuard = 0xA5;

std::string Sjis(const std::wstring& w) { return Narrow(w, 932); }

// A name as the built-in ZIP reader cleans it, with '\' separators.
std::wstring CleanZipName(std::wstring name) {
    CleanZipItemName(&name[0]);
    name.resize(wcslen(name.c_str()));
    return archiver::ToBackslashes(name);
}

// The member contents the fixture script writes.
const std::string kContentA = "Zorvel fixture: Photos/a.jpg\n";
const std::string kContentBC = "Zorvel fixture: Photos/b c.jpg (a name with a space)\n";
std::string BigContent(const char* word) {
    std::string s;
    char line[64];
    for (int i = 0; i < 4000; ++i) {
        snprintf(line, sizeof(line), "%s line %05d\n", word, i);
        s += line;
    }
    return s;
}

// One loaded library and its functions, looked up by prefixed name.
struct Library {
    std::string prefix;
    ScopedModule module;
    BOOL(WINAPI* GetRunning)() = nullptr;
    BOOL(WINAPI* SetUnicodeMode)(BOOL) = nullptr;
    BOOL(WINAPI* CheckArchive)(LPCSTR, int) = nullptr;
    HARC(WINAPI* OpenArchive)(HWND, LPCSTR, DWORD) = nullptr;
    int(WINAPI* CloseArchive)(HARC) = nullptr;
    int(WINAPI* FindFirst)(HARC, LPCSTR, void*) = nullptr;
    int(WINAPI* FindNext)(HARC, void*) = nullptr;
    int(WINAPI* GetFileName)(HARC, LPSTR, int) = nullptr;
    int(WINAPI* GetAttribute)(HARC) = nullptr;
    BOOL(WINAPI* GetOriginalSizeEx)(HARC, __int64*) = nullptr;
    int(WINAPI* ExtractMem)(HWND, LPCSTR, LPBYTE, DWORD, time_t*, LPWORD, LPDWORD) = nullptr;

    template <typename F>
    void Find(F* fn, const char* name) {
        *fn = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module.get(), (prefix + name).c_str())));
        EXPECT_NE(*fn, nullptr) << prefix << name;
    }

    bool Load(const wchar_t* fileName, const char* exportPrefix) {
        prefix = exportPrefix;
        module.reset(LoadLibraryW((BuildFolder(L"bin") + L"\\" + fileName).c_str()));
        if (!module) return false;
#define FIND(fn) Find(&fn, #fn)
        FIND(GetRunning); FIND(SetUnicodeMode); FIND(CheckArchive); FIND(OpenArchive); FIND(CloseArchive);
        FIND(FindFirst); FIND(FindNext); FIND(GetFileName); FIND(GetAttribute); FIND(GetOriginalSizeEx);
        FIND(ExtractMem);
#undef FIND
        return !::testing::Test::HasFailure();
    }
};

// One listed item: what the record and the per-item queries said.
struct Listed {
    std::string name;        // from the record, offset 26
    std::string nameByCall;  // from GetFileName
    int attribute = 0;
    __int64 size = -1;
    DWORD recordSize = 0;           // offset 0
    WORD dosDate = 0, dosTime = 0;  // offsets 22 and 24
};

class ArchiverDllTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(FileExists(Fixture(L"photos.7z"))) << "fixtures missing; run scripts/make-archive-fixtures.sh";
        ASSERT_TRUE(seven.Load(L"7-zip32.dll", "SevenZip"));
        ASSERT_TRUE(cab.Load(L"cab32.dll", "Cab"));
        ASSERT_TRUE(lha.Load(L"unlha32.dll", "Unlha"));
    }
    // Our libraries stay loaded (they pin themselves), and so does their mode.
    void TearDown() override {
        for (Library* l : {&seven, &cab, &lha}) if (l->SetUnicodeMode) l->SetUnicodeMode(FALSE);
    }

    // Every item matching `wildcard`; no record is written past its 560 bytes.
    static std::vector<Listed> List(Library& lib, const std::string& path, const char* wildcard = "*") {
        std::vector<Listed> items;
        HARC h = lib.OpenArchive(nullptr, path.c_str(), 0);
        if (!h) return items;
        std::vector<unsigned char> record(kItemRecordSize + 64, kGuard);
        for (int r = lib.FindFirst(h, wildcard, record.data()); r == 0; r = lib.FindNext(h, record.data())) {
            for (size_t i = kItemRecordSize; i < record.size(); ++i) EXPECT_EQ(record[i], kGuard) << "overrun at " << i;
            Listed it;
            const char* name = reinterpret_cast<const char*>(record.data() + kItemNameOffset);
            it.name.assign(name, strnlen(name, 513));
            memcpy(&it.recordSize, record.data(), 4);
            memcpy(&it.dosDate, record.data() + 22, 2);
            memcpy(&it.dosTime, record.data() + 24, 2);
            char buf[600];
            EXPECT_EQ(lib.GetFileName(h, buf, sizeof(buf)), 0);
            it.nameByCall = buf;
            it.attribute = lib.GetAttribute(h);
            EXPECT_TRUE(lib.GetOriginalSizeEx(h, &it.size));
            items.push_back(it);
            memset(record.data(), kGuard, record.size());
        }
        EXPECT_EQ(lib.CloseArchive(h), 0);
        return items;
    }

    static std::vector<std::string> Names(const std::vector<Listed>& items) {
        std::vector<std::string> names;
        for (const Listed& it : items) names.push_back(it.name);
        return names;
    }

    // Extracts `member` of `archivePath`; the bytes written, or the error.
    static int Extract(Library& lib, const std::string& commandLine, std::string* data, DWORD size = 1 << 20,
                       WORD* attr = nullptr, time_t* mtime = nullptr) {
        std::vector<BYTE> buf(size + 16, kGuard);
        DWORD written = 12345;
        WORD a = 0;
        time_t t = 0;
        int r = lib.ExtractMem(nullptr, commandLine.c_str(), buf.data(), size, &t, &a, &written);
        for (size_t i = size; i < buf.size(); ++i) EXPECT_EQ(buf[i], kGuard) << "overrun at " << i;
        if (r == 0) {
            EXPECT_LE(written, size);
            data->assign(reinterpret_cast<const char*>(buf.data()), written);
        } else {
            EXPECT_EQ(written, 0u);
        }
        if (attr) *attr = a;
        if (mtime) *mtime = t;
        return r;
    }

    Library seven, cab, lha;
};

TEST_F(ArchiverDllTest, CheckArchiveAcceptsOnlyEachLibrarysFormats) {
    TempDir dir;
    // The format decides, not the name: a ZIP named .lzh is still a ZIP.
    ASSERT_TRUE(WriteBytes(dir / L"zip-in-disguise.lzh", ReadBytes(Fixture(L"photos.zip"))));
    const struct { std::wstring path; bool seven, cab, lha; } cases[] = {
        {Fixture(L"photos.7z"), true, false, false},   {Fixture(L"photos.zip"), true, false, false},
        {Fixture(L"photos.cab"), true, true, false},    {Fixture(L"photos.lzh"), true, false, true},
        {Fixture(L"notes.txt"), false, false, false},  {Fixture(L"missing.7z"), false, false, false},
        {dir / L"zip-in-disguise.lzh", true, false, false},
        {dir.path(), false, false, false},              {L"", false, false, false},
    };
    for (const auto& c : cases) {
        const std::string path = Ansi(c.path);
        // OpenArchive agrees with CheckArchive.
        for (auto [lib, accepted] : {std::pair<Library*, bool>{&seven, c.seven}, {&cab, c.cab}, {&lha, c.lha}}) {
            EXPECT_EQ(lib->CheckArchive(path.c_str(), 0), accepted ? TRUE : FALSE) << lib->prefix << " " << path;
            HARC h = lib->OpenArchive(nullptr, path.c_str(), 0);
            EXPECT_EQ(h != nullptr, accepted) << lib->prefix << " " << path;
            if (h) { EXPECT_EQ(lib->CloseArchive(h), 0); }
        }
    }
}

// Listing in archive order with sizes, attributes and times; a member unpacks only whole.
TEST_F(ArchiverDllTest, ListsAndExtractsTheFixtures) {
    const struct { Library* lib; const wchar_t* file; bool folder; const char* command; } cases[] = {
        {&seven, L"photos.7z", true, "x -hide -y"}, {&seven, L"photos.zip", true, "x -y"},
        {&seven, L"photos.cab", false, "x"},        {&seven, L"photos.lzh", true, "x -y"},
        {&cab, L"photos.cab", false, "-x"},         {&lha, L"photos.lzh", true, "-n -gm"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lib->prefix + " " + Ansi(c.file));
        std::vector<Listed> items = List(*c.lib, Ansi(Fixture(c.file)));
        std::vector<std::string> expected = {"Photos\\a.jpg", "Photos\\b c.jpg"};
        if (c.folder) expected.insert(expected.begin(), "Photos\\");
        ASSERT_EQ(Names(items), expected);
        const Listed& a = items[c.folder ? 1 : 0];
        EXPECT_EQ(a.size, static_cast<__int64>(kContentA.size()));
        EXPECT_EQ(items.back().size, static_cast<__int64>(kContentBC.size()));
        EXPECT_EQ(a.recordSize, kContentA.size());
        // The stored local time, 2020-01-02 03:04:06, as DOS date and time.
        EXPECT_EQ(a.dosDate, 0x5022);
        EXPECT_EQ(a.dosTime, 0x1883);
        EXPECT_EQ(a.attribute & 0x10, 0); // -1, no attribute, fails too
        if (c.folder) {
            EXPECT_EQ(items[0].attribute & 0x10, 0x10);
            EXPECT_EQ(items[0].size, 0);
        }
        for (const Listed& it : items) EXPECT_EQ(it.name, it.nameByCall);

        const std::string start = std::string(c.command) + " \"" + Ansi(Fixture(c.file)) + "\" \"";
        std::string data;
        WORD attr = 0;
        time_t mtime = 0;
        ASSERT_EQ(Extract(*c.lib, start + "Photos\\b c.jpg\"", &data, 1 << 16, &attr, &mtime), 0);
        EXPECT_EQ(data, kContentBC);
        EXPECT_EQ(attr & 0x10, 0);
        // 2020-01-02 03:04:06 local time, within a day of any time zone.
        EXPECT_NEAR(static_cast<double>(mtime), 1577934246.0, 86400.0);
        ASSERT_EQ(Extract(*c.lib, start + "Photos/a.jpg\"", &data), 0) << "'/' names the same member as '\\'";
        EXPECT_EQ(data, kContentA);
        // A member that is not there, or only differs in case, fails.
        EXPECT_NE(Extract(*c.lib, start + "Photos\\zz.jpg\"", &data), 0);
        EXPECT_NE(Extract(*c.lib, start + "b c.jpg\"", &data), 0);
        // A buffer one byte short of the member is refused, not filled.
        EXPECT_EQ(Extract(*c.lib, start + "Photos\\b c.jpg\"", &data, DWORD(kContentBC.size() - 1)), 0x801E);
        EXPECT_EQ(Extract(*c.lib, start + "Photos\\b c.jpg\"", &data, DWORD(kContentBC.size())), 0);
    }
    // In a solid block the last member needs the ones before it decoded.
    const std::string solid = "x -y \"" + Ansi(Fixture(L"solid.7z")) + "\" \"Solid\\";
    EXPECT_EQ(Names(List(seven, Ansi(Fixture(L"solid.7z")))),
              (std::vector<std::string>{"Solid\\", "Solid\\1.txt", "Solid\\2.txt", "Solid\\3.txt"}));
    std::string data;
    ASSERT_EQ(Extract(seven, solid + "3.txt\"", &data), 0);
    EXPECT_EQ(data, BigContent("three"));
    ASSERT_EQ(Extract(seven, solid + "1.txt\"", &data), 0);
    EXPECT_EQ(data, BigContent("one"));
    EXPECT_NE(Extract(seven, solid + "4.txt\"", &data), 0);
}

// Names as meant (Shift-JIS 表, ソ end in 0x5C), in archive order, cleaned as the built-in
// reader cleans them; each member holds its expected name, so extracting by it proves both.
TEST_F(ArchiverDllTest, NamesOrderAndCleaningOfEveryFormat) {
    const std::vector<std::wstring> japanese = {L"写真\\a.jpg", L"表紙\\b.jpg", L"ソフト\\c.txt"};
    auto slashes = [](std::wstring w) { return std::replace(w.begin(), w.end(), L'\\', L'/'), w; };
    // Stored name bytes of each listed name, from `encode`.
    auto makeZip = [&](auto encode, uint16_t flags, const std::vector<std::wstring>& names) {
        std::vector<ZipMember> members;
        for (const std::wstring& n : names) members.push_back({encode(n), Utf8(CleanZipName(n)), 8, flags});
        return BuildZip(members);
    };
    auto makeCab = [&](auto encode, uint16_t attributes, const std::vector<std::wstring>& names) {
        std::vector<CabMember> members;
        for (const std::wstring& n : names) members.push_back({encode(n), Utf8(CleanZipName(n)), attributes});
        return BuildCab(members);
    };
    auto sjisSlash = [&](const std::wstring& n) { return Sjis(slashes(n)); };
    auto utf8Slash = [&](const std::wstring& n) { return Utf8(slashes(n)); };

    // ZIP: local headers in the order B, A; the central directory says A, B.
    std::string reordered = makeZip(utf8Slash, 0, {L"B\\y.jpg", L"A\\x.jpg"});
    ASSERT_TRUE(ReorderCentralRecords(reordered, {1, 0}));
    const std::vector<std::wstring> leading = {L"/Photos/a.jpg", L"C:\\Photos\\b.jpg", L"x/../Photos/c.jpg"};
    const std::string stub = "MZ" + std::string(3000, '\x90');
    // LZH: a whole path in level 0; folder, UTF-16 (which wins) and code page in levels 1 and 2.
    const std::vector<LzhMember> lzh = {
        {0, Sjis(japanese[1]), "", L"", L"", 0, Utf8(japanese[1])},
        {2, "c.txt", Sjis(L"ソフト") + "\xff", L"", L"", 0, Utf8(japanese[2])},
        {2, "a.jpg", Utf8(L"写真") + "\xff", L"", L"", 0, Utf8(japanese[0])},
        {2, "d.jpg", Utf8(L"表紙") + "\xff", L"", L"", 65001, Utf8(L"表紙\\d.jpg")},
        {2, "cafe.jpg", "", L"café.jpg", L"Ünï\xFFFF", 0, Utf8(L"Ünï\\café.jpg")},
        {2, "caf\xe9.txt", "", L"", L"", 1252, Utf8(L"café.txt")},
        {1, "e.jpg", Sjis(L"ソフト") + "\xff", L"", L"", 0, Utf8(L"ソフト\\e.jpg")},
    };

    const struct { const char* what; std::string archive; std::vector<Library*> libs; std::vector<std::wstring> names; }
    cases[] = {
        {"zip shift-jis", makeZip(sjisSlash, 0, japanese), {&seven}, japanese},
        {"zip utf-8 flagged", makeZip(utf8Slash, 0x800, japanese), {&seven}, japanese},
        {"zip utf-8 unflagged", makeZip(utf8Slash, 0, japanese), {&seven}, japanese},
        {"zip order", reordered, {&seven}, {L"A\\x.jpg", L"B\\y.jpg"}},
        {"zip leading", makeZip(Utf8, 0, leading), {&seven}, {L"Photos\\a.jpg", L"Photos\\b.jpg", L"Photos\\c.jpg"}},
        {"cab shift-jis", makeCab(Sjis, 0x20, japanese), {&seven, &cab}, japanese},
        {"cab utf-8 flagged", makeCab(Utf8, 0xA0, japanese), {&seven, &cab}, japanese},
        {"cab utf-8 unflagged", makeCab(Utf8, 0x20, japanese), {&seven, &cab}, japanese},
        {"cab leading", makeCab(Utf8, 0x20, {L"\\Photos\\a.jpg"}), {&seven, &cab}, {L"Photos\\a.jpg"}},
        {"lzh", BuildLzh(lzh), {&seven, &lha},
         {japanese[1], japanese[2], japanese[0], L"表紙\\d.jpg", L"Ünï\\café.jpg", L"café.txt", L"ソフト\\e.jpg"}},
        {"lzh leading", BuildLzh({{0, "\\Photos\\a.jpg", "", L"", L"", 0, "Photos\\a.jpg"}}), {&seven, &lha},
         {L"Photos\\a.jpg"}},
        // Behind the stub of a self-extracting program.
        {"zip sfx", stub + makeZip(sjisSlash, 0, japanese), {&seven}, japanese},
        {"cab sfx", stub + makeCab(Sjis, 0x20, japanese), {&seven, &cab}, japanese},
        {"lzh sfx", stub + BuildLzh({lzh[0]}), {&seven, &lha}, {japanese[1]}},
    };
    TempDir dir;
    for (const auto& c : cases) {
        const std::wstring path = dir / (std::wstring(c.what, c.what + strlen(c.what)) + L".arc");
        ASSERT_TRUE(WriteBytes(path, c.archive));
        for (Library* lib : c.libs) {
            SCOPED_TRACE(lib->prefix + " " + c.what);
            ASSERT_TRUE(lib->SetUnicodeMode(TRUE));
            std::vector<std::string> expected;
            for (const std::wstring& n : c.names) expected.push_back(Utf8(n));
            EXPECT_EQ(Names(List(*lib, Utf8(path))), expected);
            for (const std::string& name : expected) {
                std::string data;
                EXPECT_EQ(Extract(*lib, "x \"" + Utf8(path) + "\" \"" + name + "\"", &data), 0) << name;
                EXPECT_EQ(data, name);
            }
            ASSERT_TRUE(lib->SetUnicodeMode(FALSE));
        }
    }
}

TEST_F(ArchiverDllTest, WildcardsAndRestartingTheSearch) {
    std::string path = Ansi(Fixture(L"photos.7z"));
    const struct { const char* wildcard; std::vector<std::string> names; } cases[] = {
        {"*.*", {"Photos\\", "Photos\\a.jpg", "Photos\\b c.jpg"}}, // "*.*" takes the dotless folder too
        {"Photos/b*", {"Photos\\b c.jpg"}},
        {"*.png", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(Names(List(seven, path, c.wildcard)), c.names) << c.wildcard;

    HARC h = seven.OpenArchive(nullptr, path.c_str(), 0);
    ASSERT_NE(h, nullptr);
    char record[kItemRecordSize], name[64];
    ASSERT_EQ(seven.FindFirst(h, "*", record), 0);
    memset(name, 'Z', sizeof(name));
    EXPECT_NE(seven.GetFileName(h, name, 5), 0) << "\"Photos\\\" does not fit";
    EXPECT_EQ(name[5], 'Z') << "written past the size given";
    ASSERT_EQ(seven.FindNext(h, nullptr), 0);  // a null record is allowed
    EXPECT_EQ(seven.GetFileName(h, name, sizeof(name)), 0);
    EXPECT_STREQ(name, "Photos\\a.jpg");
    ASSERT_EQ(seven.FindNext(h, record), 0);
    EXPECT_EQ(seven.FindNext(h, record), -1);
    EXPECT_EQ(seven.FindNext(h, record), -1);  // stays at the end
    EXPECT_EQ(seven.GetAttribute(h), -1);      // no current item any more
    EXPECT_NE(seven.GetFileName(h, name, sizeof(name)), 0);
    ASSERT_EQ(seven.FindFirst(h, "*", record), 0) << "a new search starts from the first item again";
    EXPECT_STREQ(record + kItemNameOffset, "Photos\\");
    EXPECT_EQ(seven.CloseArchive(h), 0);
    EXPECT_NE(seven.CloseArchive(h), 0);  // closed twice: refused, not freed again
}

// Each way a ZIP member can fail has its own answer, also through ZIP64 records.
TEST_F(ArchiverDllTest, ZipMembersUnpackOrSayWhyNot) {
    const std::string text = BigContent("zip");
    std::vector<ZipMember> members = {{"stored", text},        {"deflated", text, 8},  {"descriptor", text, 8},
                                      {"zip64", text, 8},      {"encrypted", text, 8, 1}, {"shrunk", text, 1},
                                      {"damaged", text, 8},    {"no local header", text}};
    members[2].dataDescriptor = true;
    members[3].zip64 = true;
    members[6].badCrc = true;
    const int expected[] = {0, 0, 0, 0, 0x800A, 0x8009, 0x800C, 0x8017};
    std::string zip = BuildZip(members);
    ASSERT_TRUE(BreakLocalHeader(zip, 7));
    std::string zip64 = zip;
    ASSERT_TRUE(AddZip64End(zip64));
    TempDir dir;
    for (const std::string& bytes : {zip, zip64}) {
        ASSERT_TRUE(WriteBytes(dir / L"m.zip", bytes));
        for (size_t i = 0; i < members.size(); ++i) {
            std::string data;
            EXPECT_EQ(Extract(seven, "x \"" + Ansi(dir / L"m.zip") + "\" \"" + members[i].name + "\"", &data),
                      expected[i])
                << members[i].name;
            if (expected[i] == 0) { EXPECT_TRUE(data == text) << members[i].name; }
        }
    }
}

// Bad command lines, null paths and outputs, and handles that are not (or no longer) open.
TEST_F(ArchiverDllTest, BadCommandLinesAndHandlesFailSafely) {
    std::string path = Ansi(Fixture(L"photos.7z"));
    std::string data;
    for (const std::string& bad : {std::string(""), std::string("x -y"), "x \"" + path + "\"",
                                   "x \"" + path + "\" \"Photos\\a.jpg",
                                   "x \"" + Ansi(Fixture(L"missing.7z")) + "\" \"Photos\\a.jpg\"",
                                   "x \"" + Ansi(Fixture(L"notes.txt")) + "\" \"Photos\\a.jpg\"",
                                   std::string(70000, 'x')}) {
        EXPECT_NE(Extract(seven, bad, &data), 0) << bad.substr(0, 200);
    }
    DWORD written = 1;
    EXPECT_NE(seven.ExtractMem(nullptr, nullptr, nullptr, 0, nullptr, nullptr, &written), 0);
    EXPECT_EQ(written, 0u);
    BYTE buf[64];
    EXPECT_EQ(seven.ExtractMem(nullptr, ("x \"" + path + "\" \"Photos\\a.jpg\"").c_str(), buf, sizeof(buf), nullptr,
                               nullptr, nullptr), 0) << "null outputs are allowed";
    for (Library* lib : {&seven, &cab, &lha}) {
        EXPECT_FALSE(lib->CheckArchive(nullptr, 0));
        EXPECT_EQ(lib->OpenArchive(nullptr, nullptr, 0), nullptr);
        char name[16];
        for (HARC h : {static_cast<HARC>(nullptr), reinterpret_cast<HARC>(static_cast<uintptr_t>(0x12345678))}) {
            EXPECT_EQ(lib->FindFirst(h, "*", nullptr), -1);
            EXPECT_NE(lib->GetFileName(h, name, sizeof(name)), 0);
            EXPECT_EQ(lib->GetAttribute(h), -1);
            EXPECT_NE(lib->CloseArchive(h), 0);
        }
        EXPECT_FALSE(lib->GetRunning());
    }
}

// The caller-facing text helpers, without an archive.
TEST(ArchiverText, WildcardMatching) {
    const struct { const wchar_t* pattern; const wchar_t* name; bool matches; } cases[] = {
        {L"*", L"Photos\\a.jpg", true}, {L"*.*", L"Photos\\", true},   {L"*.*", L"README", true},
        {L"*.*", L"a.b.c", true},        {L"", L"anything", true},      {L"a.*", L"a", true},
        {L"*.JPG", L"x\\y.jpg", true},   {L"?", L"\x5199", true},       {L"a*b*c", L"aXXbYYbZc", true},
        {L"a*b*c", L"aXXbYYbZ", false},  {L"*.jpg", L"a.jpeg", false},  {L"?", L"", false},
        {L"a.*x", L"a", false},          {L"abc", L"ab", false},        {L"ab", L"abc", false},
        {L"\x00c4", L"\x00e4", false}, // only ASCII letters fold
    };
    for (const auto& c : cases) EXPECT_EQ(c.matches, archiver::MatchWildcard(c.pattern, c.name)) << Utf8(c.pattern);
}

TEST(ArchiverText, CleansNamesAsTheBuiltInReader) {
    for (const wchar_t* name : {L"/Photos/a.jpg", L"\\\\server\\share\\a", L"C:\\x\\a.jpg", L"C:/..\\b", L"a/../b/../c",
                                L"a\\..\\..\\b", L"../a", L"x:y:z", L"Photos/", L"", L"/", L"a/..b/c", L"写真/a.jpg"}) {
        EXPECT_EQ(archiver::CleanItemName(name), CleanZipName(name)) << Utf8(name);
    }
}

// Copies to the caller take whole characters only and never overrun.
TEST(ArchiverText, CopiesNeverOverrunOrSplitCharacters) {
    const struct { const wchar_t* text; size_t size; bool fits; std::string copied; } cases[] = {
        {L"abc", 4, true, "abc"},      {L"abcd", 4, false, "abc"}, {L"写真写真", 8, false, Utf8(L"写真")},
        {L"ab\xD83D\xDE00", 5, false, "ab"}, // a surrogate pair is never cut in half
    };
    for (const auto& c : cases) {
        char buf[16];
        memset(buf, 'Z', sizeof(buf));
        EXPECT_EQ(c.fits, archiver::CopyToCaller(c.text, CP_UTF8, buf, c.size)) << c.copied;
        EXPECT_EQ(c.copied, buf);
        EXPECT_EQ('Z', buf[c.size]);
    }
    char buf[4];
    EXPECT_FALSE(archiver::CopyToCaller(L"x", CP_UTF8, buf, 0));
    EXPECT_FALSE(archiver::CopyToCaller(L"x", CP_UTF8, nullptr, 4));
}

}  // namespace
