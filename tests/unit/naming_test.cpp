// Folder discovery in ZIP archives and the new-name format.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlwapi.h>

#include <string>
#include <vector>

#include "Libraries.h"
#include "TestFiles.h"
#include "ZipBuilder.h"
#include "filelist/FileList.h"
#include "filelist/RunState.h"
#include "naming/FolderDiscovery.h"
#include "naming/NameFormat.h"
#include "settings/ConfigFile.h"

namespace {

ZipMember File(const std::string& name, const std::string& data = "x") {
    ZipMember m;
    m.name = name;
    m.data = data;
    return m;
}

ZipMember Dir(const std::string& name) {
    ZipMember m;
    m.name = name;
    m.externalAttributes = 0x10;
    return m;
}

std::string Narrow(const std::wstring& w) {
    int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string s(n > 0 ? n - 1 : 0, '\0');
    if (n > 1) WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, &s[0], n, nullptr, nullptr);
    return s;
}

class NamingTest : public ::testing::Test {
protected:
    void SetUp() override {
        LoadSettingsFrom(nullptr, g_settings, 1280, 1024);
        BatchMode = false;
    }
    std::wstring Zip(const std::wstring& name, const std::vector<ZipMember>& members) {
        std::wstring path = dir_ / name;
        EXPECT_TRUE(WriteZip(path, members));
        return path;
    }
    // Adds path to the list and derives its name with format.
    FileEntry& Derive(const std::wstring& path, const wchar_t* format) {
        wcscpy(g_settings.Format, format);
        EXPECT_TRUE(list_.AddFileEntry(path.c_str())) << Narrow(path);
        int row = list_.Count() - 1;
        DeriveNewName(list_, row);
        return list_.At(row);
    }

    TempDir dir_;
    FileList list_;
};

TEST(TopFolderOf, CutsAtTheFirstBackslashBeforeAnySlash) {
    const struct { const wchar_t* path; const wchar_t* top; bool separated; } cases[] = {
        {L"Photos/a.jpg", L"Photos", true}, {L"dir\\sub/x.jpg", L"dir", true}, {L"a/b\\c", L"a/b", true},
        {L"/x", L"", true},                 {L"plain.txt", L"plain.txt", false}, {L"", L"", false},
    };
    for (const auto& c : cases) {
        std::wstring top;
        EXPECT_EQ(c.separated, TopFolderOf(c.path, top)) << Narrow(c.path);
        EXPECT_EQ(std::wstring(c.top), top) << Narrow(c.path);
    }
}

TEST(FormatHelpers, ForbiddenCharactersAndReplacement) {
    for (const wchar_t* bad : {L"\\", L"a/b", L"C:", L"*", L"why?", L"\"q\"", L"<", L">", L"a|b", L"a\r\nb", L"\x1f",
                               L"\x7f"})
        EXPECT_TRUE(HasForbiddenChar(bad)) << Narrow(bad);
    for (const wchar_t* good : {L"", L"a,b", L"a;b", L"写真 2024", L"%new", L" ~"})
        EXPECT_FALSE(HasForbiddenChar(good)) << Narrow(good);

    EXPECT_EQ(3, FindLastChar(L"a.b.c", L'.'));
    EXPECT_EQ(-1, FindLastChar(L"abc", L'.'));

    EXPECT_EQ(L"ba", ReplaceAll(L"aaa", L"aa", L"b"));          // occurrences never overlap
    EXPECT_EQ(L"xxy", ReplaceAll(L"x", L"x", L"xxy"));          // the replacement is not searched again
    EXPECT_EQ(L"%Photos", ReplaceAll(L"%%new", L"%new", L"Photos"));
    EXPECT_EQ(L"%Date", ReplaceAll(L"%Date", L"%date", L"20240501")); // case-sensitive
}

TEST_F(NamingTest, FirstItemWithASlashInDirectoryOrderWins) {
    std::wstring folder;
    EXPECT_EQ(0, Discover(Zip(L"a.zip", {File("readme.txt"), File("Photos/a.jpg")}), &folder));
    EXPECT_EQ(L"Photos", folder);
    EXPECT_EQ(0, Discover(Zip(L"b.zip", {File("B/y.jpg"), File("A/x.jpg")}), &folder));
    EXPECT_EQ(L"B", folder);
    EXPECT_EQ(0, Discover(Zip(L"c.zip", {File("dir\\sub/x.jpg")}), &folder));
    EXPECT_EQ(L"dir", folder);
    // Drive and leading separators are cleaned off before the folder is taken.
    EXPECT_EQ(0, Discover(Zip(L"d.zip", {File("C:/Photos/a.jpg")}), &folder));
    EXPECT_EQ(L"Photos", folder);
    // A Shift-JIS folder name (not valid UTF-8) comes through the ANSI code page.
    EXPECT_EQ(0, Discover(Zip(L"e.zip", {File("\x8e\xca\x90\x5e/a.jpg")}), &folder));
    EXPECT_EQ(L"写真", folder);
}

TEST_F(NamingTest, ArchivesWithoutAUsableFolder) {
    const struct { const wchar_t* name; std::vector<ZipMember> members; int status; } cases[] = {
        {L"roots.zip", {File("a.txt"), File("b.txt")}, 12},
        {L"empty.zip", {}, 12},
        {L"backslash.zip", {File("Photos\\a.jpg")}, 12}, // only '/' counts in a ZIP
        {L"bzip2.zip", {[] { ZipMember m = File("Photos/a.jpg"); m.method = 12; return m; }()}, 10},
    };
    for (const auto& c : cases) EXPECT_EQ(c.status, Discover(Zip(c.name, c.members))) << Narrow(c.name);

    std::wstring notZip = dir_ / L"notzip.zip";
    ASSERT_TRUE(WriteBytes(notZip, "this is not an archive"));
    EXPECT_EQ(9, Discover(notZip));
    EXPECT_EQ(9, Discover(dir_ / L"missing.zip"));
    EXPECT_EQ(6, Discover(dir_ / L"missing.7z"));
    std::wstring seven = dir_ / L"present.7z";
    ASSERT_TRUE(WriteBytes(seven, "7z\xbc\xaf\x27\x1c"));
    EXPECT_EQ(7, Discover(seven)); // no archiver library accepts it
    std::wstring rar = dir_ / L"x.rar";
    ASSERT_TRUE(WriteBytes(rar, "Rar!\x1a\x07\x00"));
    EXPECT_EQ(9, Discover(rar)); // the RAR library is not loaded
}

TEST_F(NamingTest, ZipIsReadByTheBuiltInReaderWithOrWithoutTheLibrarySetting) {
    std::wstring path = Zip(L"Mixed.ZIP", {File("Photos/a.jpg")});
    for (bool use7zip : {true, false}) {
        g_settings.Use7zip32 = use7zip;
        std::wstring folder;
        EXPECT_EQ(0, Discover(path, &folder)) << use7zip;
        EXPECT_EQ(L"Photos", folder);
    }
}

TEST_F(NamingTest, CandidatesListFoldersBeforeDeeperItems) {
    std::vector<std::wstring> names;
    EXPECT_TRUE(CollectNameCandidates(Zip(L"p.zip", {Dir("Photos/"), File("Photos/a.jpg")}).c_str(), names));
    EXPECT_EQ((std::vector<std::wstring>{L"Photos", L"Photos", L"a.jpg"}), names);

    names.clear();
    EXPECT_TRUE(CollectNameCandidates(
        Zip(L"q.zip", {File("readme.txt"), File("A/B/c.jpg"), File("A/B/d.jpg"), File("e.txt")}).c_str(), names));
    EXPECT_EQ((std::vector<std::wstring>{L"readme.txt", L"B", L"c.jpg", L"d.jpg", L"e.txt", L"e.txt"}), names);

    names.clear();
    EXPECT_FALSE(CollectNameCandidates(Zip(L"none.zip", {}).c_str(), names));
    EXPECT_FALSE(CollectNameCandidates((dir_ / L"missing.zip").c_str(), names));
    EXPECT_TRUE(names.empty());
}

TEST_F(NamingTest, DefaultFormatGivesTheFolderNameWithTheExtension) {
    std::wstring path = Zip(L"x.zip", {File("Photos/a.jpg")});
    FileEntry& e = Derive(path, L"%new");
    EXPECT_EQ(1, e.status);
    EXPECT_STREQ(L"Photos.zip", e.newName);
    EXPECT_EQ(dir_ / L"Photos.zip", e.newFullPath);
}

TEST_F(NamingTest, SameNameIgnoringAsciiCaseOnly) {
    FileEntry& same = Derive(Zip(L"photos.zip", {File("Photos/a.jpg")}), L"%new");
    EXPECT_EQ(5, same.status);
    EXPECT_STREQ(L"", same.newName);
    EXPECT_STREQ(L"", same.newFullPath);
    // Full-width letters differ in case as other characters: not the same name.
    FileEntry& wide = Derive(Zip(L"ｐｈｏｔｏ.zip", {File("\xef\xbc\xb0\xef\xbc\xa8\xef\xbc\xaf\xef\xbc\xb4\xef\xbc\xaf/a")}),
                             L"%new");
    EXPECT_EQ(1, wide.status);
    EXPECT_STREQ(L"ＰＨＯＴＯ.zip", wide.newName);
}

TEST_F(NamingTest, PlaceholdersExpandInOrder) {
    std::wstring photos = Zip(L"x.zip", {File("Photos/a.jpg")});
    std::wstring timeFolder = Zip(L"t.zip", {File("%time/a.jpg")});
    std::wstring origFolder = Zip(L"o.zip", {File("%orig/a.jpg")});
    std::wstring dotted = Zip(L"a.b.zip", {File("F/a.jpg")});
    std::wstring dirName = PathFindFileNameW(dir_.path().c_str());

    const struct { std::wstring path; const wchar_t* format; std::wstring name; } cases[] = {
        {photos, L"%%new", L"%Photos.zip"},
        {photos, L"%Date-%new", L"%Date-Photos.zip"},
        {photos, L"Fixed", L"Fixed.zip"},
        {photos, L"%orig_%new", L"x_Photos.zip"},
        {origFolder, L"%new", L"%orig.zip"}, // inserted text is not searched by the same step
        {dotted, L"%orig-1", L"a.b-1.zip"},
        {photos, L"%dir_%orig", dirName + L"_x.zip"},
    };
    for (const auto& c : cases) {
        FileEntry& e = Derive(c.path, c.format);
        EXPECT_EQ(1, e.status) << Narrow(c.format);
        EXPECT_EQ(c.name, e.newName) << Narrow(c.format);
        list_.RemoveEntry(list_.Count() - 1);
    }

    // A folder named %time becomes the time of day, which %date/%time give
    // from the last-write time in local time.
    FileEntry& t = Derive(timeFolder, L"%new=%date");
    SYSTEMTIME st;
    FILETIME lt;
    FileTimeToLocalFileTime(&t.lastWriteTime, &lt);
    FileTimeToSystemTime(&lt, &st);
    wchar_t expected[64];
    swprintf(expected, 64, L"%02d%02d=%04d%02d%02d.zip", st.wHour, st.wMinute, st.wYear, st.wMonth, st.wDay);
    EXPECT_EQ(1, t.status);
    EXPECT_STREQ(expected, t.newName);
    EXPECT_EQ(17u, wcslen(t.newName)); // four time digits, '=', eight date digits, ".zip"
}

TEST_F(NamingTest, DirPlaceholderIsEmptyForADriveRoot) {
    g_settings.AllowDuplicate = true;
    std::wstring root = L"C:\\zorvel-root-" + std::to_wstring(GetCurrentProcessId()) + L".zip";
    ASSERT_TRUE(WriteZip(root, {File("Photos/a.jpg")}));
    FileEntry& a = Derive(root, L"%dir_%orig");
    EXPECT_EQ(1, a.status);
    EXPECT_EQ(L"_zorvel-root-" + std::to_wstring(GetCurrentProcessId()) + L".zip", a.newName);
    FileEntry& b = Derive(root, L"%dir");
    EXPECT_EQ(1, b.status);
    EXPECT_STREQ(L".zip", b.newName);
    EXPECT_STREQ(L"C:\\.zip", b.newFullPath);
    DeleteFileW(root.c_str());
}

TEST_F(NamingTest, FailuresLeaveNoProposal) {
    g_settings.AllowDuplicate = true;
    const struct { std::vector<ZipMember> members; const wchar_t* format; int status; } cases[] = {
        {{File("a?b/x.jpg")}, L"%new", 4},
        {{File("a\"b/x.jpg")}, L"%new", 4},
        {{File("roots.txt")}, L"Fixed", 12}, // the archive is read even without %new
        {{File("a,b;c/x.jpg")}, L"%new", 1},
        {{File("ab\r\n2026 00,Success,spoofed/a.jpg")}, L"%new", 4}, // would split its log record
    };
    int n = 0;
    for (const auto& c : cases) {
        FileEntry& e = Derive(Zip(L"f" + std::to_wstring(n++) + L".zip", c.members), c.format);
        EXPECT_EQ(c.status, e.status) << Narrow(c.format);
        if (c.status != 1) {
            EXPECT_STREQ(L"", e.newName);
            EXPECT_STREQ(L"", e.newFullPath);
        }
    }
}

TEST_F(NamingTest, TooLongNamesAreRefusedNotCut) {
    std::wstring path = Zip(L"long.zip", {File("Photos/a.jpg")});
    std::wstring format(125, L'x');
    format += L"%new%new%new%new%new%new%new%new%new%new%new%new%new%new%new%new%new%new%new%new";
    FileEntry& e = Derive(path, format.c_str());
    EXPECT_EQ(kStatusNameTooLong, e.status);
    EXPECT_STREQ(L"", e.newName);
    EXPECT_STREQ(L"", e.newFullPath);
    EXPECT_STRNE(L"", StatusText(kStatusNameTooLong));

    // The name alone fits, but not the full path in a deep folder.
    std::wstring deep = dir_.path();
    while (deep.size() < 200) {
        deep += L"\\" + std::wstring(30, L'd');
        ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr));
    }
    std::wstring deepZip = deep + L"\\z.zip";
    ASSERT_TRUE(WriteZip(deepZip, {File("Photos/a.jpg")}));
    FileEntry& d = Derive(deepZip, (std::wstring(70, L'y') + L"%new").c_str());
    EXPECT_EQ(kStatusNameTooLong, d.status);
}

TEST_F(NamingTest, RenamedEntriesAreNotDerivedAgainOthersAre) {
    FileEntry& e = Derive(Zip(L"x.zip", {File("Photos/a.jpg")}), L"%new");
    e.status = kStatusRenamed;
    wcscpy(e.newName, L"kept");
    EXPECT_FALSE(DeriveNewName(list_, 0));
    EXPECT_EQ(kStatusRenamed, e.status);
    EXPECT_STREQ(L"kept", e.newName);

    e.status = kStatusRenameFailed;
    EXPECT_TRUE(DeriveNewName(list_, 0));
    EXPECT_EQ(kStatusReady, e.status);
    EXPECT_STREQ(L"Photos.zip", e.newName);
}

} // namespace
