// The RAR library adapter and the RAR route of discovery, against a
// stand-in library whose "archives" are text files listing item headers.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "Libraries.h"
#include "TestFiles.h"
#include "archive/ArcDll.h"
#include "archive/OptionalLibrary.h"
#include "archive/UnRar.h"
#include "base/ScopedWin.h"
#include "base/Paths.h"
#include "naming/FolderDiscovery.h"
#include "settings/ConfigFile.h"

namespace {

std::wstring Variant(const wchar_t* name) {
    return BuildFolder(L"doubles") + L"\\" + name;
}

class UnRarTest : public ::testing::Test {
protected:
    void SetUp() override { LoadSettingsFrom(nullptr, g_settings, 1280, 1024); }
    std::wstring Fake(const std::wstring& name, const char* flags, const std::vector<std::string>& items) {
        std::string text = std::string("FAKERAR ") + flags + "\r\n";
        for (const auto& item : items) text += item + "\r\n";
        std::wstring path = dir_ / name;
        EXPECT_TRUE(WriteBytes(path, text));
        return path;
    }
    TempDir dir_;
};

TEST_F(UnRarTest, WithoutTheLibraryOrWithoutAFunctionNothingIsCalled) {
    std::wstring rar = Fake(L"a.rar", "0", {"Photos\\a.jpg"});
    {
        TempDir empty;
        LibraryFolder libraries(empty.path());
        CUnRar unrar;
        EXPECT_FALSE(unrar.Loaded());
        EXPECT_FALSE(unrar.Open(rar.c_str(), true));
        EXPECT_EQ(9, Discover(rar));
    }
    LibraryFolder libraries(Variant(L"rar_noversion"));
    CUnRar unrar;
    EXPECT_FALSE(unrar.Loaded());
    EXPECT_FALSE(unrar.Open(rar.c_str(), true));
    EXPECT_EQ(9, Discover(rar));
}

TEST_F(UnRarTest, DiscoveryTakesTheFirstBackslashItemAndRefusesSomeArchives) {
    LibraryFolder libraries(Variant(L"rar"));
    std::wstring folder;
    EXPECT_EQ(0, Discover(Fake(L"a.rar", "0", {"readme.txt", "a/b.jpg", "\\lead.jpg", "Photos\\a.jpg"}), &folder));
    EXPECT_EQ(L"Photos", folder) << "'/' does not count and an empty top component is passed over";
    EXPECT_EQ(12, Discover(Fake(L"b.rar", "0", {"a.txt"})));
    EXPECT_EQ(7, Discover(Fake(L"solid.rar", "8", {"Photos\\a.jpg"}))) << "solid";
    EXPECT_EQ(7, Discover(Fake(L"vol.rar", "1", {"Photos\\a.jpg"}))) << "volume";
    EXPECT_EQ(7, Discover(Fake(L"enc.rar", "80", {"Photos\\a.jpg"}))) << "encrypted headers";
    ASSERT_TRUE(WriteBytes(dir_ / L"text.rar", "not an archive"));
    EXPECT_EQ(9, Discover(dir_ / L"text.rar"));

    std::vector<std::wstring> names;
    EXPECT_TRUE(CollectNameCandidates(Fake(L"c.rar", "0", {"Photos\\", "Photos\\a.jpg"}).c_str(), names));
    EXPECT_EQ((std::vector<std::wstring>{L"Photos", L"a.jpg"}), names);
    names.clear();
    EXPECT_FALSE(CollectNameCandidates(Fake(L"d.rar", "8", {"Photos\\a.jpg"}).c_str(), names));
    EXPECT_TRUE(names.empty());
}

TEST_F(UnRarTest, TestingAnItemWritesItsBlocksToTheSink) {
    LibraryFolder libraries(Variant(L"rar"));
    std::wstring rar = Fake(L"x.rar", "0", {"first.jpg", "Photos\\second.jpg", "*secret.jpg"});
    CUnRar unrar;
    ASSERT_TRUE(unrar.Loaded());
    ASSERT_TRUE(unrar.Open(rar.c_str(), false));
    EXPECT_FALSE(unrar.Open(rar.c_str(), false)) << "one archive at a time";
    EXPECT_TRUE(unrar.SkipItems(0));
    ASSERT_TRUE(unrar.SkipItems(1));
    ASSERT_TRUE(unrar.ReadHeader());
    EXPECT_STREQ(L"Photos\\second.jpg", unrar.Header().FileNameW);

    ScopedGlobal memory(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 64));
    IStream* stream = nullptr;
    ASSERT_EQ(S_OK, CreateStreamOnHGlobal(memory.get(), FALSE, &stream));
    unrar.SetDataSink(stream);
    EXPECT_TRUE(unrar.TestCurrent());
    const char* data = static_cast<const char*>(GlobalLock(memory.get()));
    EXPECT_STREQ("DATA:Photos\\second.jpg", data);
    GlobalUnlock(memory.get());

    // An encrypted item: the password request is refused, the test fails.
    ASSERT_TRUE(unrar.ReadHeader());
    EXPECT_FALSE(unrar.TestCurrent());
    EXPECT_EQ(kRarMissingPassword, unrar.LastResult());
    EXPECT_FALSE(unrar.ReadHeader()) << "the end of the archive";
    stream->Release();

    // Without a sink the first block aborts the test.
    unrar.Close();
    ASSERT_TRUE(unrar.Open(rar.c_str(), false));
    ASSERT_TRUE(unrar.ReadHeader());
    EXPECT_FALSE(unrar.TestCurrent());
}

TEST_F(UnRarTest, TheDirectoryTestDependsOnTheLibraryVersion) {
    for (const wchar_t* variant : {L"rar", L"rar_old"}) {
        LibraryFolder libraries(Variant(variant));
        CUnRar unrar;
        ASSERT_TRUE(unrar.Loaded());
        ASSERT_TRUE(unrar.Open(Fake(L"dir.rar", "0", {"Photos\\"}).c_str(), true));
        ASSERT_TRUE(unrar.ReadHeader());
        // The header carries 0x20 only: a directory for version 6 and later.
        EXPECT_EQ(unrar.Version() >= 6, unrar.IsDirectory()) << unrar.Version();
    }
}

} // namespace
