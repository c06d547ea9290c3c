// The archiver-library adapter and the library route of discovery, against
// stand-in libraries whose "archives" are text files listing item names.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "Libraries.h"
#include "TestFiles.h"
#include "ZipBuilder.h"
#include "archive/ArcDll.h"
#include "archive/OptionalLibrary.h"
#include "base/Paths.h"
#include "naming/FolderDiscovery.h"
#include "settings/ConfigFile.h"

namespace {

std::wstring Variant(const wchar_t* name) {
    return BuildFolder(L"doubles") + L"\\" + name;
}

std::string Utf8(const std::wstring& w) {
    int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string s(n - 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, &s[0], n, nullptr, nullptr);
    return s;
}

class ArcDllTest : public ::testing::Test {
protected:
    void SetUp() override { LoadSettingsFrom(nullptr, g_settings, 1280, 1024); }
    // A stand-in archive listing names (already in the bytes the library hands out).
    std::wstring Fake(const std::wstring& name, const std::vector<std::string>& items) {
        std::string text = "FAKEARC\r\n";
        for (const auto& item : items) text += item + "\r\n";
        std::wstring path = dir_ / name;
        EXPECT_TRUE(WriteBytes(path, text));
        return path;
    }
    TempDir dir_;
};

TEST_F(ArcDllTest, WithoutTheLibraryEveryWrapperFails) {
    TempDir empty;
    LibraryFolder libraries(empty.path());
    CArcDll dll;
    EXPECT_FALSE(dll.LoadDll(L"unlha32.dll", L"Unlha"));
    EXPECT_FALSE(dll.CheckArchive(L"C:\\x.lzh"));
    EXPECT_EQ(nullptr, dll.OpenArchive(L"C:\\x.lzh"));
    EXPECT_EQ(-1, dll.FindFirst(L"*", nullptr));
    std::wstring name;
    EXPECT_EQ(-1, dll.GetFileName(name));
    EXPECT_EQ(-1, dll.CloseArchive());
    char buffer[8];
    EXPECT_EQ(-1, dll.ExtractMem(L"x \"a\" \"b\"", buffer, sizeof(buffer)));
    EXPECT_EQ(nullptr, dll.GetFunction("CheckArchive"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());

    // Discovery then reports a missing or an unsupported file.
    EXPECT_EQ(6, Discover(dir_ / L"missing.7z"));
    EXPECT_EQ(7, Discover(Fake(L"x.7z", {"Photos\\a.jpg"})));
}

TEST_F(ArcDllTest, TheFirstItemWithASeparatorGivesTheFolder) {
    LibraryFolder libraries(Variant(L"plain"));
    std::wstring folder;
    EXPECT_EQ(0, Discover(Fake(L"a.7z", {"readme.txt", Utf8(L"写真\\a.jpg"), "Other\\b.jpg"}), &folder));
    EXPECT_EQ(L"写真", folder) << "names come in UTF-8 once the library accepts it";
    EXPECT_EQ(0, Discover(Fake(L"b.cab", {"x/y.jpg"}), &folder));
    EXPECT_EQ(L"x", folder) << "either separator counts";
    // Regression: a leading separator gave an empty folder and the name ".lzh".
    EXPECT_EQ(12, Discover(Fake(L"c.lzh", {"\\lead\\a.jpg"})));
    // Regression: a path over 260 bytes failed with 11 though its folder is short.
    std::string kanji;
    for (int i = 0; i < 60; ++i) kanji += Utf8(L"漢");
    EXPECT_EQ(0, Discover(Fake(L"long.7z", {"Photos/" + kanji + "/" + kanji + ".jpg"}), &folder));
    EXPECT_EQ(L"Photos", folder);
    EXPECT_EQ(12, Discover(Fake(L"d.7z", {"a.txt", "b.txt"})));
    EXPECT_EQ(6, Discover(dir_ / L"missing.7z"));

    // A ZIP the library refuses goes to the built-in reader.
    ZipMember member;
    member.name = "Zipped/a.jpg";
    member.data = "x";
    ASSERT_TRUE(WriteZip(dir_ / L"real.zip", {member}));
    EXPECT_EQ(0, Discover(dir_ / L"real.zip", &folder));
    EXPECT_EQ(L"Zipped", folder);
    // ...and a ZIP it accepts is read by it while Use7zip32 is on.
    std::wstring fakeZip = Fake(L"fake.zip", {"ByLibrary\\a.jpg"});
    EXPECT_EQ(0, Discover(fakeZip, &folder));
    EXPECT_EQ(L"ByLibrary", folder);
    g_settings.Use7zip32 = false;
    EXPECT_EQ(9, Discover(fakeZip)) << "the built-in reader cannot open the stand-in";
}

TEST_F(ArcDllTest, ABusyLibraryAndAnAnsiLibrary) {
    {
        LibraryFolder libraries(Variant(L"running"));
        EXPECT_EQ(8, Discover(Fake(L"busy.7z", {"Photos\\a.jpg"})));
    }
    LibraryFolder libraries(Variant(L"ansi"));
    CArcDll dll;
    ASSERT_TRUE(dll.LoadDll(L"7-zip32.dll", L"SevenZip"));
    EXPECT_FALSE(dll.Utf8Mode());
    std::wstring folder;
    EXPECT_EQ(0, Discover(Fake(L"sjis.7z", {"\x8e\xca\x90\x5e\\a.jpg"}), &folder));
    EXPECT_EQ(L"写真", folder) << "names in the ANSI code page";
    // A path outside the ANSI code page cannot reach such a library intact.
    EXPECT_EQ(7, Discover(Fake(L"한국.7z", {"Photos\\a.jpg"})));
}

TEST_F(ArcDllTest, CandidatesFromTheItemRecords) {
    LibraryFolder libraries(Variant(L"plain"));
    std::vector<std::wstring> names;
    EXPECT_TRUE(CollectNameCandidates(Fake(L"one.7z", {"Photos\\a.jpg"}).c_str(), names));
    EXPECT_EQ((std::vector<std::wstring>{L"a.jpg"}), names);
    names.clear();
    EXPECT_TRUE(CollectNameCandidates(Fake(L"two.7z", {"Photos\\a.jpg", "Photos\\b.jpg"}).c_str(), names));
    EXPECT_EQ((std::vector<std::wstring>{L"a.jpg", L"Photos", L"b.jpg"}), names);
    names.clear();
    EXPECT_FALSE(CollectNameCandidates((dir_ / L"notfake.7z").c_str(), names));
}

TEST_F(ArcDllTest, ExtractionQuotesTheMemberAndIgnoresTheFunctionList) {
    const struct { const wchar_t* variant; const wchar_t* dll; const wchar_t* prefix; const char* expected; } cases[] = {
        {L"deny", L"7-zip32.dll", L"SevenZip", "x -hide -y |Photos\\a b.jpg"},
        {L"lha", L"unlha32.dll", L"Unlha", "-n -gm |Photos\\a b.jpg"},
    };
    for (const auto& c : cases) {
        LibraryFolder libraries(Variant(c.variant));
        CArcDll dll;
        ASSERT_TRUE(dll.LoadDll(c.dll, c.prefix));
        char buffer[64] = {};
        EXPECT_EQ(0, dll.ExtractMemberToMemory(L"C:\\in\\x y.7z", L"Photos\\a b.jpg", buffer, sizeof(buffer)));
        EXPECT_STREQ(c.expected, buffer);
    }
}

} // namespace
