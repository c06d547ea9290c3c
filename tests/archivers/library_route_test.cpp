// Discovery, candidate names and extraction through the archiver libraries
// we ship, on archives made by Debian's tools before the test runs.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "CabBuilder.h"
#include "Libraries.h"
#include "LzhBuilder.h"
#include "RarBuilder.h"
#include "TestFiles.h"
#include "ZipBuilder.h"
#include "archive/ArcDll.h"
#include "archive/OptionalLibrary.h"
#include "filelist/Paths.h"
#include "naming/FolderDiscovery.h"
#include "settings/ConfigFile.h"
#include "settings/Settings.h"

namespace {

class LibraryRouteTest : public ::testing::Test {
protected:
    void SetUp() override { LoadSettingsFrom(nullptr, g_settings, 1280, 1024); }
    LibraryFolder libraries_{BuildFolder(L"bin")}; // where the program finds them: beside it
    std::wstring Fixture(const wchar_t* name) { return BuildFolder(L"fixtures") + L"\\" + name; }
};

TEST_F(LibraryRouteTest, EveryKindGivesItsFolder) {
    const struct { const wchar_t* file; const wchar_t* folder; } cases[] = {
        {L"photos.7z", L"Photos"},   {L"solid.7z", L"Solid"},     {L"japanese.7z", L"写真"},
        {L"photos.cab", L"Photos"},  {L"photos.lzh", L"Photos"},  {L"japanese.lzh", L"写真"},
        {L"photos.zip", L"Photos"},  {L"decomposed.7z", L"\u304c"}, {L"symlink.7z", L"Linked"},
    };
    for (const auto& c : cases) {
        std::wstring folder;
        EXPECT_EQ(0, Discover(Fixture(c.file), &folder)) << std::string(c.file, c.file + wcslen(c.file));
        EXPECT_EQ(std::wstring(c.folder), folder);
    }
}

TEST_F(LibraryRouteTest, FilesNoLibraryAccepts) {
    TempDir dir;
    std::wstring text = dir / L"text.7z";
    ASSERT_TRUE(CopyFileW(Fixture(L"notes.txt").c_str(), text.c_str(), FALSE));
    EXPECT_EQ(7, Discover(text));
    EXPECT_EQ(6, Discover(dir / L"missing.7z"));
    // An LZH named .cab still finds the library that reads it.
    std::wstring renamed = dir / L"lzh.cab";
    ASSERT_TRUE(CopyFileW(Fixture(L"photos.lzh").c_str(), renamed.c_str(), FALSE));
    EXPECT_EQ(0, Discover(renamed));
}

TEST_F(LibraryRouteTest, RarArchivesThroughTheRarLibrary) {
    TempDir dir;
    RarMember readme, photo;
    readme.name = "readme.txt";
    readme.data = "read me";
    photo.name = "Photos\\a.jpg";
    photo.data = "jpeg";
    const struct { const wchar_t* name; std::string bytes; int status; } cases[] = {
        {L"four.rar", BuildRar4({readme, photo}), 0},
        {L"five.rar", BuildRar5({readme, [] { RarMember m; m.name = "Photos/a.jpg"; m.data = "x"; return m; }()}), 0},
        {L"solid.rar", BuildRar4({readme, photo}, kRar4Solid), 7},
        {L"volume.rar", BuildRar5({photo}, kRar5Volume), 7},
        {L"roots.rar", BuildRar4({readme}), 12},
    };
    for (const auto& c : cases) {
        std::wstring path = dir / c.name;
        ASSERT_TRUE(WriteBytes(path, c.bytes));
        std::wstring folder;
        EXPECT_EQ(c.status, Discover(path, &folder)) << std::string(c.name, c.name + wcslen(c.name));
        if (c.status == 0) {
            EXPECT_EQ(L"Photos", folder);
        }
    }
}

// The folder is the one the archive means: names decoded as stored (Shift-JIS
// with 0x5C second bytes, UTF-8 flagged or not), ZIP items in central
// directory order, leading separators cleaned. ZIP goes through 7-zip32.dll.
TEST_F(LibraryRouteTest, FoldersAsTheArchiveMeansThem) {
    g_settings.Use7zip32 = true;
    auto bytes = [](const std::wstring& text, UINT codePage) {
        char out[64] = {};
        WideCharToMultiByte(codePage, 0, text.c_str(), -1, out, sizeof out, nullptr, nullptr);
        return std::string(out);
    };
    auto zip = [](const std::vector<std::string>& names, uint16_t flags) {
        std::vector<ZipMember> members(names.size());
        for (size_t i = 0; i < names.size(); ++i) {
            members[i].name = names[i];
            members[i].data = "x";
            members[i].flags = flags;
        }
        return BuildZip(members);
    };
    std::string order = zip({"B/y.jpg", "A/x.jpg"}, 0);
    ASSERT_TRUE(ReorderCentralRecords(order, {1, 0}));
    auto lzh = [](const std::string& folder, uint32_t codePage) {
        LzhMember m;
        m.level = 2;
        m.folder = folder + "\xff";
        m.name = "a.jpg";
        m.codePage = codePage;
        m.data = "x";
        return BuildLzh({m});
    };
    LzhMember level0;
    level0.name = bytes(L"表紙\\b.jpg", 932);
    level0.data = "x";
    RarMember leading;
    leading.name = "\\Photos\\a.jpg";
    leading.data = "x";
    const struct { const wchar_t* name; std::string bytes; const wchar_t* folder; } cases[] = {
        {L"sjis.zip", zip({bytes(L"表紙/b.jpg", 932)}, 0), L"表紙"},
        {L"flagged.zip", zip({bytes(L"写真/a.jpg", CP_UTF8)}, 0x800), L"写真"},
        {L"utf8.zip", zip({bytes(L"ソフト/c.txt", CP_UTF8)}, 0), L"ソフト"},
        {L"order.zip", order, L"A"},
        {L"leading.zip", zip({"/Photos/a.jpg"}, 0), L"Photos"},
        {L"sjis.cab", BuildCab({{bytes(L"ソフト\\c.txt", 932), "x", 0x20}}), L"ソフト"},
        {L"flagged.cab", BuildCab({{bytes(L"写真\\a.jpg", CP_UTF8), "x", 0xA0}}), L"写真"},
        {L"utf8.cab", BuildCab({{bytes(L"表紙\\b.jpg", CP_UTF8), "x", 0x20}}), L"表紙"},
        {L"sjis.lzh", BuildLzh({level0}), L"表紙"},
        {L"flagged.lzh", lzh(bytes(L"写真", CP_UTF8), 65001), L"写真"},
        {L"utf8.lzh", lzh(bytes(L"ソフト", CP_UTF8), 0), L"ソフト"},
        {L"leading.rar", BuildRar4({leading}), L"Photos"},
    };
    TempDir dir;
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteBytes(dir / c.name, c.bytes));
        std::wstring folder;
        EXPECT_EQ(0, Discover(dir / c.name, &folder)) << bytes(c.name, CP_UTF8);
        EXPECT_EQ(std::wstring(c.folder), folder) << bytes(c.name, CP_UTF8);
    }
}

TEST_F(LibraryRouteTest, CandidatesOfACabinet) {
    std::vector<std::wstring> names;
    EXPECT_TRUE(CollectNameCandidates(Fixture(L"photos.cab").c_str(), names));
    EXPECT_EQ((std::vector<std::wstring>{L"a.jpg", L"Photos", L"b c.jpg"}), names);
}

TEST_F(LibraryRouteTest, AMemberWithASpaceExtracts) {
    const struct { const wchar_t* dll; const wchar_t* prefix; const wchar_t* file; } cases[] = {
        {L"7-zip32.dll", L"SevenZip", L"photos.7z"},
        {L"unlha32.dll", L"Unlha", L"photos.lzh"},
    };
    const std::string expected = "Zorvel fixture: Photos/b c.jpg (a name with a space)\n";
    for (const auto& c : cases) {
        CArcDll dll;
        ASSERT_TRUE(dll.LoadDll(c.dll, c.prefix));
        std::string buffer(expected.size(), '\0');
        EXPECT_EQ(0, dll.ExtractMemberToMemory(Fixture(c.file).c_str(), L"Photos\\b c.jpg", &buffer[0],
                                               static_cast<DWORD>(buffer.size())));
        EXPECT_EQ(expected, buffer);
    }
}

} // namespace
