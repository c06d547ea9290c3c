// Discovery and candidates through our libraries, and through stand-ins (build\doubles)
// for what ours never do: be busy, be old, lack a function, hand out raw names.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "Libraries.h"
#include "RarBuilder.h"
#include "TestFiles.h"
#include "ZipBuilder.h"
#include "archive/UnRar.h"

namespace {

// Ours ("bin"), a stand-in variant, or a folder that does not exist ("none").
std::wstring Libraries(const std::wstring& variant) {
    return variant == L"bin" ? BuildFolder(L"bin") : BuildFolder(L"doubles") + L"\\" + variant;
}

std::string Fake(const std::vector<std::string>& items, const char* header = "FAKEARC") {
    std::string text = std::string(header) + "\r\n";
    for (const auto& item : items) text += item + "\r\n";
    return text;
}

std::string Zip(const std::vector<std::string>& names) {
    std::vector<ZipMember> members;
    for (const std::string& name : names) members.push_back({name, "x"});
    return BuildZip(members);
}

RarMember Rar(const std::string& name) { return {name, "x"}; }

class RouteTest : public ::testing::Test {
protected:
    TempDir dir_;
};

// Tests run in this order: once one of our libraries is loaded, it stays.
TEST_F(RouteTest, TheRarDirectoryTestDependsOnTheLibraryVersion) {
    ASSERT_TRUE(WriteBytes(dir_ / L"dir.rar", Fake({"Photos\\"}, "FAKERAR 0")));
    for (const wchar_t* variant : {L"rar", L"rar_old"}) {
        LibraryFolder libraries(Libraries(variant));
        CUnRar unrar;
        ASSERT_TRUE(unrar.Open((dir_ / L"dir.rar").c_str(), true));
        ASSERT_TRUE(unrar.ReadHeader());
        // The header carries 0x20 only: a directory for version 6 and later.
        EXPECT_EQ(unrar.Version() >= 6, unrar.IsDirectory()) << unrar.Version();
    }
}

// Discovery through each library and through none (each reader's name decoding is tested
// with the reader: archiver_dll_test, unrar_test, unzip_test).
// "ダウン" as macOS stores it (タ and a combining voiced mark), and composed.
const std::string kDecomposed = "\xe3\x82\xbf\xe3\x82\x99\xe3\x82\xa6\xe3\x83\xb3";
const wchar_t kComposed[] = L"\u30c0\u30a6\u30f3";

TEST_F(RouteTest, DiscoveryThroughEachLibrary) {
    std::string kanji; // a path over 260 bytes whose folder is short
    for (int i = 0; i < 60; ++i) kanji += Utf8(L"漢");
    const std::string missing = "\x01";
    const struct { const wchar_t* libraries; const wchar_t* name; std::string bytes; int status; const wchar_t* folder; }
    cases[] = {
        // Our libraries stay loaded once loaded (they pin themselves): stand-ins first.
        {L"none", L"missing.7z", missing, 6, L""},
        {L"none", L"x.7z", Fake({"Photos\\a.jpg"}), 7, L""},
        {L"none", L"x.rar", BuildRar4({Rar("Photos\\a.jpg")}), 9, L""},
        // ZIP through the built-in reader: the first item with a '/' in directory order gives the folder.
        {L"none", L"a.zip", Zip({"readme.txt", "B/y.jpg", "A/x.jpg"}), 0, L"B"},
        {L"none", L"empty.zip", Zip({}), 12, L""},
        {L"none", L"backslash.zip", Zip({"Photos\\a.jpg"}), 12, L""}, // only '/' counts in a ZIP
        {L"none", L"bzip2.zip", BuildZip({{"Photos/a.jpg", "x", 12}}), 10, L""},
        // macOS's resource forks are never the folder, and the name is composed (NFC).
        {L"none", L"finder.zip", Zip({"__MACOSX/Photos/._a.jpg", "Photos/a.jpg"}), 0, L"Photos"},
        {L"none", L"nfd.zip", Zip({kDecomposed + "/a.jpg"}), 0, kComposed},
        {L"none", L"notzip.zip", "this is not an archive", 9, L""},
        // A RAR library without one of its functions is not used.
        {L"rar_noversion", L"x.rar", Fake({"Photos\\a.jpg"}, "FAKERAR 0"), 9, L""},
        {L"running", L"busy.7z", Fake({"Photos\\a.jpg"}), 8, L""},
        {L"old", L"sjis.7z", Fake({"\x8e\xca\x90\x5e\\a.jpg"}), 0, L"写真"},
        // A path outside the ANSI code page cannot reach such a library intact,
        // and without FindNext only the first item counts.
        {L"old", L"한국.7z", Fake({"Photos\\a.jpg"}), 7, L""},
        {L"old", L"flat.7z", Fake({"readme.txt", "Photos\\a.jpg"}), 12, L""},
        // Regression: a leading separator gave an empty folder and the name ".lzh".
        {L"plain", L"c.lzh", Fake({"\\lead\\a.jpg"}), 12, L""},
        // Regression: a path over 260 bytes failed with 11 though its folder is short.
        {L"plain", L"long.7z", Fake({"Photos/" + kanji + "/" + kanji + ".jpg"}), 0, L"Photos"},
        // A ZIP the library accepts is read by it, past a root item, while Use7zip32
        // is on; one it refuses goes to the built-in reader.
        {L"plain", L"fake.zip", Fake({"readme.txt", "ByLibrary\\a.jpg"}), 0, L"ByLibrary"},
        {L"plain", L"real.zip", Zip({"Zipped/a.jpg"}), 0, L"Zipped"},
        // RAR: only '\' counts, and an empty top component is passed over.
        {L"rar", L"a.rar", Fake({"readme.txt", "a/b.jpg", "\\lead.jpg", "Photos\\a.jpg"}, "FAKERAR 0"), 0, L"Photos"},
        // Ours: a 7z with non-ASCII names and one left to libarchive, a ZIP through
        // 7-zip32.dll whose only folder is a resource fork's, and RAR archives.
        {L"bin", L"japanese.7z", ReadBytes(Fixture(L"japanese.7z")), 0, L"写真"},
        {L"bin", L"symlink.7z", ReadBytes(Fixture(L"symlink.7z")), 0, L"Linked"},
        {L"bin", L"finder.zip", Zip({"a.txt", "__MACOSX/._a.txt"}), 12, L""},
        {L"bin", L"four.rar", BuildRar4({Rar("readme.txt"), Rar("Photos\\a.jpg")}), 0, L"Photos"},
        {L"bin", L"text.rar", "not an archive", 9, L""},
        {L"bin", L"solid.rar", BuildRar4({Rar("Photos\\a.jpg")}, kRar4Solid), 7, L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf8(std::wstring(c.libraries) + L" " + c.name));
        LibraryFolder libraries(Libraries(c.libraries));
        const std::wstring path = dir_ / c.name;
        if (c.bytes != missing) { ASSERT_TRUE(WriteBytes(path, c.bytes)); }
        std::wstring folder;
        EXPECT_EQ(c.status, Discover(path, &folder));
        EXPECT_EQ(c.folder, folder);
    }
    LibraryFolder libraries(Libraries(L"plain"));
    NamingOptions builtIn;
    builtIn.use7zip32 = false;
    EXPECT_EQ(9, Discover(dir_ / L"fake.zip", nullptr, builtIn)) << "the built-in reader cannot open the stand-in";
}

// Candidates, folders before deeper items, from the built-in ZIP reader and our libraries.
TEST_F(RouteTest, CandidateNames) {
    LibraryFolder libraries(Libraries(L"bin"));
    NamingOptions builtInZip;
    builtInZip.use7zip32 = false;
    const struct { const wchar_t* name; std::string bytes; std::vector<std::wstring> names; } cases[] = {
        {L"dir.zip", BuildZip({{"Photos/", "", 0, 0, 0x10}, {"Photos/a.jpg", "x"}}), {L"Photos", L"Photos", L"a.jpg"}},
        {L"deep.zip", Zip({"readme.txt", "A/B/c.jpg", "A/B/d.jpg", "e.txt"}),
         {L"readme.txt", L"B", L"c.jpg", L"d.jpg", L"e.txt", L"e.txt"}},
        {L"empty.zip", Zip({}), {}},
        {L"photos.cab", ReadBytes(Fixture(L"photos.cab")), {L"a.jpg", L"Photos", L"b c.jpg"}},
        {L"dir.rar", BuildRar4({{"Photos", "", true}, Rar("Photos\\a.jpg")}), {L"Photos", L"a.jpg"}},
        {L"solid.rar", BuildRar4({Rar("Photos\\a.jpg")}, kRar4Solid), {}},
        {L"text.7z", ReadBytes(Fixture(L"notes.txt")), {}},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteBytes(dir_ / c.name, c.bytes));
        std::vector<std::wstring> names;
        EXPECT_EQ(!c.names.empty(), CollectNameCandidates((dir_ / c.name).c_str(), builtInZip, names)) << Utf8(c.name);
        EXPECT_EQ(c.names, names);
    }
}

} // namespace
