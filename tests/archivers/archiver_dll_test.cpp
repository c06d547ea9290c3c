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
    const char* switches = nullptr; // of the program's ExtractMem command lines
    ScopedModule module;
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

    // Loaded and switched to UTF-8, as the program uses it.
    bool Load(const wchar_t* fileName, const char* exportPrefix, const char* extractSwitches) {
        prefix = exportPrefix;
        switches = extractSwitches;
        module.reset(LoadLibraryW((BuildFolder(L"bin") + L"\\" + fileName).c_str()));
        if (!module) return false;
#define FIND(fn) Find(&fn, #fn)
        FIND(SetUnicodeMode); FIND(CheckArchive); FIND(OpenArchive); FIND(CloseArchive);
        FIND(FindFirst); FIND(FindNext); FIND(GetFileName); FIND(GetAttribute); FIND(GetOriginalSizeEx);
        FIND(ExtractMem);
#undef FIND
        return !::testing::Test::HasFailure() && SetUnicodeMode(TRUE);
    }

    std::string Command(const std::string& archive, const std::string& member) const {
        return std::string(switches) + " \"" + archive + "\" \"" + member + "\"";
    }
};

// One listed item: what the record and the per-item queries said.
struct Listed {
    std::string name;        // from the record, offset 26
    std::string nameByCall;  // from GetFileName
    int attribute = 0;
    __int64 size = -1;
};

class ArchiverDllTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(FileExists(Fixture(L"photos.7z"))) << "fixtures missing; run scripts/make-archive-fixtures.sh";
        ASSERT_TRUE(seven.Load(L"7-zip32.dll", "SevenZip", "x -hide -y"));
        ASSERT_TRUE(cab.Load(L"cab32.dll", "Cab", "x -hide -y"));
        ASSERT_TRUE(lha.Load(L"unlha32.dll", "Unlha", "-n -gm"));
    }

    // Every item, as discovery walks them; no record is written past its 560 bytes.
    static std::vector<Listed> List(Library& lib, const std::string& path) {
        std::vector<Listed> items;
        HARC h = lib.OpenArchive(nullptr, path.c_str(), 0);
        if (!h) return items;
        std::vector<unsigned char> record(kItemRecordSize + 64, kGuard);
        for (int r = lib.FindFirst(h, "*", record.data()); r == 0; r = lib.FindNext(h, record.data())) {
            for (size_t i = kItemRecordSize; i < record.size(); ++i) EXPECT_EQ(record[i], kGuard) << "overrun at " << i;
            Listed it;
            const char* name = reinterpret_cast<const char*>(record.data() + kItemNameOffset);
            it.name.assign(name, strnlen(name, 513));
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

    // Runs an ExtractMem command line as the program does, with no outputs but the buffer of size
    // bytes, which *data receives; the result. Nothing is written past the buffer.
    static int Extract(Library& lib, const std::string& commandLine, std::string* data, DWORD size) {
        std::vector<BYTE> buf(size + 16, kGuard);
        int r = lib.ExtractMem(nullptr, commandLine.c_str(), buf.data(), size, nullptr, nullptr, nullptr);
        for (size_t i = size; i < buf.size(); ++i) EXPECT_EQ(buf[i], kGuard) << "overrun at " << i;
        data->assign(reinterpret_cast<const char*>(buf.data()), size);
        return r;
    }

    Library seven, cab, lha;
};

TEST_F(ArchiverDllTest, CheckArchiveAcceptsOnlyEachLibrarysFormats) {
    TempDir dir;
    // The format decides, not the name: a ZIP named .lzh is still a ZIP.
    const std::wstring disguised = dir.Write(L"zip-in-disguise.lzh", ReadBytes(Fixture(L"photos.zip")));
    const struct { std::wstring path; bool seven, cab, lha; } cases[] = {
        {Fixture(L"photos.7z"), true, false, false},  {Fixture(L"photos.zip"), true, false, false},
        {Fixture(L"photos.cab"), true, true, false},   {Fixture(L"photos.lzh"), true, false, true},
        {Fixture(L"notes.txt"), false, false, false}, {disguised, true, false, false},
    };
    for (const auto& c : cases) {
        const std::string path = Utf8(c.path);
        // OpenArchive agrees with CheckArchive.
        for (auto [lib, accepted] : {std::pair<Library*, bool>{&seven, c.seven}, {&cab, c.cab}, {&lha, c.lha}}) {
            EXPECT_EQ(lib->CheckArchive(path.c_str(), 0), accepted ? TRUE : FALSE) << lib->prefix << " " << path;
            HARC h = lib->OpenArchive(nullptr, path.c_str(), 0);
            EXPECT_EQ(h != nullptr, accepted) << lib->prefix << " " << path;
            if (h) { EXPECT_EQ(lib->CloseArchive(h), 0); }
        }
    }
}

// Names as meant (Shift-JIS 表, ソ end in 0x5C), in archive order, cleaned as the built-in
// reader cleans them; folders marked, the record's name the one GetFileName gives. Each
// member unpacks by its name, only whole: into a buffer of exactly its listed size, as the
// program unpacks it, not one byte less. A built member holds its own name.
TEST_F(ArchiverDllTest, ListsAndExtractsEveryFormat) {
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

    const std::vector<std::wstring> photos = {L"Photos\\", L"Photos\\a.jpg", L"Photos\\b c.jpg"};
    const std::vector<std::string> photoContents = {"", kContentA, kContentBC};

    const struct { const char* what; std::string archive; std::vector<Library*> libs; std::vector<std::wstring> names;
                   std::vector<std::string> contents = {}; } cases[] = {
        {"7z fixture", ReadBytes(Fixture(L"photos.7z")), {&seven}, photos, photoContents},
        {"zip fixture", ReadBytes(Fixture(L"photos.zip")), {&seven}, photos, photoContents},
        {"cab fixture", ReadBytes(Fixture(L"photos.cab")), {&seven, &cab}, {photos[1], photos[2]},
         {kContentA, kContentBC}},
        {"lzh fixture", ReadBytes(Fixture(L"photos.lzh")), {&seven, &lha}, photos, photoContents},
        // In a solid block a member needs the ones before it decoded.
        {"7z solid", ReadBytes(Fixture(L"solid.7z")), {&seven},
         {L"Solid\\", L"Solid\\1.txt", L"Solid\\2.txt", L"Solid\\3.txt"},
         {"", BigContent("one"), BigContent("two"), BigContent("three")}},
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
        const std::string path = Utf8(dir.Write(std::wstring(c.what, c.what + strlen(c.what)) + L".arc", c.archive));
        std::vector<std::string> expected;
        for (const std::wstring& n : c.names) expected.push_back(Utf8(n));
        for (Library* lib : c.libs) {
            SCOPED_TRACE(lib->prefix + " " + c.what);
            const std::vector<Listed> items = List(*lib, path);
            std::vector<std::string> names;
            for (const Listed& it : items) names.push_back(it.name);
            ASSERT_EQ(names, expected);
            for (size_t i = 0; i < items.size(); ++i) {
                const Listed& it = items[i];
                const bool folder = it.name.back() == '\\';
                EXPECT_EQ(it.name, it.nameByCall);
                EXPECT_EQ(it.attribute & 0x10, folder ? 0x10 : 0) << it.name; // -1, no attribute, fails too
                if (folder) continue;
                const std::string& content = c.contents.empty() ? it.name : c.contents[i];
                EXPECT_EQ(it.size, static_cast<__int64>(content.size())) << it.name;
                const std::string command = lib->Command(path, it.name);
                std::string data;
                EXPECT_NE(Extract(*lib, command, &data, DWORD(content.size() - 1)), 0) << it.name;
                EXPECT_EQ(Extract(*lib, command, &data, DWORD(content.size())), 0) << it.name;
                EXPECT_TRUE(data == content) << it.name;
            }
        }
    }
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
        const std::string path = Utf8(dir.Write(L"m.zip", bytes));
        for (size_t i = 0; i < members.size(); ++i) {
            std::string data;
            EXPECT_EQ(Extract(seven, seven.Command(path, members[i].name), &data, DWORD(text.size())), expected[i])
                << members[i].name;
            if (expected[i] == 0) { EXPECT_TRUE(data == text) << members[i].name; }
        }
    }
}

// A member the archive lacks (or names only by its end) or an archive that cannot be read fails.
TEST_F(ArchiverDllTest, MissingMembersAndArchivesFail) {
    const std::string path = Utf8(Fixture(L"photos.7z"));
    std::string data;
    for (const std::string& bad : {seven.Command(path, "Photos\\zz.jpg"), seven.Command(path, "b c.jpg"),
                                   seven.Command(Utf8(Fixture(L"missing.7z")), "Photos\\a.jpg")})
        EXPECT_NE(Extract(seven, bad, &data, 64), 0) << bad;
}

// The caller-facing text helpers, without an archive.
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
}

}  // namespace
