// Folder discovery in ZIP archives, the new-name format, clashes foreseen, and failures' reasons.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlwapi.h>

#include <string>
#include <vector>

#include "TestFiles.h"
#include "ZipBuilder.h"
#include "base/Text.h"
#include "filelist/FileList.h"
#include "naming/Clashes.h"
#include "naming/EditedName.h"
#include "naming/FolderDiscovery.h"
#include "naming/NameFormat.h"
#include "rename/EntryBatch.h"
#include "rename/RenameEntry.h"

namespace {

class NamingTest : public ::testing::Test {
protected:
    void SetUp() override { list_.SetOptions({true, true}); }
    std::wstring Zip(const std::wstring& name, const std::vector<ZipMember>& members) {
        return dir_.Write(name, BuildZip(members));
    }
    // Adds path to the list and derives its name with format.
    FileEntry& Derive(const std::wstring& path, const std::wstring& format) {
        EXPECT_TRUE(CopyText(options_.format, format.c_str())) << "a format fits its field";
        EXPECT_TRUE(list_.AddFileEntry(path.c_str())) << Utf8(path);
        DeriveNewName(list_, list_.Count() - 1, options_);
        return list_.At(list_.Count() - 1);
    }
    // A row for current, proposing proposed, in status (ready unless told).
    void Row(const std::wstring& current, const std::wstring& proposed, int status = kStatusReady) {
        WriteBytes(dir_ / current, "x");
        FileEntry e = {};
        wcscpy(e.fullPath, (dir_ / current).c_str());
        wcscpy(e.name, current.c_str());
        wcscpy(e.directory, dir_.path().c_str());
        wcscpy(e.newName, proposed.c_str());
        wcscpy(e.newFullPath, (dir_ / proposed).c_str());
        e.status = status;
        ASSERT_TRUE(list_.AppendEntry(e));
    }
    std::vector<int> Statuses() const {
        std::vector<int> s;
        for (int i = 0; i < list_.Count(); ++i) s.push_back(list_.At(i).status);
        return s;
    }

    TempDir dir_;
    FileList list_;
    NamingOptions options_;
};

TEST(NamingRules, TopFolderForbiddenCharactersAndReplacement) {
    using P = ItemPlace;
    const struct { const wchar_t* path; P place; const wchar_t* top; } cases[] = {
        {L"Photos/a.jpg", P::Folder, L"Photos"}, {L"a/b\\c", P::Folder, L"a/b"}, {L"plain.txt", P::Top, L"plain.txt"},
        {L"/x", P::NoFolder, L""},
        // Regression: "./Photos/a.jpg" gave "..zip", "../x/a.txt" "...zip" and
        // the resource forks of a Finder archive "__MACOSX.zip".
        {L"./Photos/a.jpg", P::Folder, L"Photos"}, {L"./", P::Top, L""}, {L"../x/a.txt", P::NoFolder, L".."},
        {L"__MACOSX/._a.txt", P::Ignored, L"__MACOSX"},
    };
    for (const auto& c : cases) {
        std::wstring top;
        EXPECT_EQ(c.place, PlaceOfItem(c.path, top)) << Utf8(c.path);
        EXPECT_EQ(std::wstring(c.top), top) << Utf8(c.path);
    }
    for (const wchar_t* bad : {L"\\", L"a/b", L"C:", L"*", L"why?", L"\"q\"", L"<", L">", L"a|b", L"a\r\nb", L"\x1f",
                               L"\x7f"})
        EXPECT_TRUE(HasForbiddenChar(bad)) << Utf8(bad);
    for (const wchar_t* good : {L"", L"a,b", L"a;b", L"写真 2024", L"%new", L" ~"})
        EXPECT_FALSE(HasForbiddenChar(good)) << Utf8(good);
    EXPECT_EQ(L"%Date", ReplaceAll(L"%Date", L"%date", L"20240501")); // case-sensitive
    EXPECT_EQ(L"\uFF3C\uFF0F\uFF1A\uFF0A\uFF1F\uFF02\uFF1C\uFF1E\uFF5C,;", WithFullWidthForbidden(L"\\/:*?\"<>|,;"));
}

// What a format makes of an archive's folder; a refused name leaves no proposal.
TEST_F(NamingTest, TheFormatGivesTheNewName) {
    const std::wstring dirName = PathFindFileNameW(dir_.path().c_str());
    const std::string longFolder(100, 'F'); // three times over: no name fits 259 units
    const struct { const wchar_t* file; const char* folder; std::wstring format; int status; std::wstring name;
                   bool fullWidth = false; } cases[] = {
        {L"x.zip", "Photos", L"%new", 1, L"Photos.zip"},
        {L"x.zip", "Photos", L"%orig_%new", 1, L"x_Photos.zip"},
        {L"x.zip", "Photos", L"%dir_%orig", 1, dirName + L"_x.zip"},
        {L"o.zip", "%orig", L"%new", 1, L"%orig.zip"}, // inserted text is not searched by the same step
        {L"a.b.zip", "F", L"%orig-1", 1, L"a.b-1.zip"},
        {L"photos.zip", "Photos", L"%new", 5, L""}, // the same name but for ASCII case
        // Full-width letters differ in case as other characters: not the same name.
        {L"ｐｈｏｔｏ.zip", "\xef\xbc\xb0\xef\xbc\xa8\xef\xbc\xaf\xef\xbc\xb4\xef\xbc\xaf", L"%new", 1, L"ＰＨＯＴＯ.zip"},
        {L"f.zip", "", L"Fixed", 12, L""}, // the archive is read even without %new
        {L"f.zip", "ab\r\n2026 00,Success,spoofed", L"%new", 4, L""}, // would split its log record
        {L"f.zip", longFolder.c_str(), L"%new%new%new", kStatusNameTooLong, L""},
        // Forbidden characters become full-width when asked; control characters stay refused.
        {L"f.zip", "ab:c*d", L"%new", 1, L"ab\uFF1Ac\uFF0Ad.zip", true},
        {L"f.zip", "a\x01:b", L"%new", 4, L"", true},
    };
    for (const auto& c : cases) {
        const std::string folder = c.folder;
        options_.replaceForbidden = c.fullWidth;
        FileEntry& e = Derive(Zip(c.file, {{folder.empty() ? "root.txt" : folder + "/a.jpg", "x"}}), c.format);
        EXPECT_EQ(c.status, e.status) << Utf8(c.format) << " " << folder;
        EXPECT_EQ(c.name, e.newName) << Utf8(c.format);
        EXPECT_EQ(c.name.empty() ? L"" : dir_ / c.name, e.newFullPath);
        list_.RemoveAll();
    }

    // A folder named %time becomes the time of day, which %date/%time give
    // from the last-write time in local time.
    FileEntry& t = Derive(Zip(L"t.zip", {{"%time/a.jpg", "x"}}), L"%new=%date");
    SYSTEMTIME st;
    FILETIME lt;
    FileTimeToLocalFileTime(&t.lastWriteTime, &lt);
    FileTimeToSystemTime(&lt, &st);
    wchar_t expected[64];
    swprintf(expected, 64, L"%02d%02d=%04d%02d%02d.zip", st.wHour, st.wMinute, st.wYear, st.wMonth, st.wDay);
    EXPECT_STREQ(expected, t.newName);

    // The name alone fits, but not the full path in a deep folder.
    std::wstring deep = dir_.path();
    while (deep.size() < 200) {
        deep += L"\\" + std::wstring(30, L'd');
        ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr));
    }
    ASSERT_TRUE(WriteZip(deep + L"\\z.zip", {{"Photos/a.jpg", "x"}}));
    EXPECT_EQ(kStatusNameTooLong, Derive(deep + L"\\z.zip", std::wstring(70, L'y') + L"%new").status);
}

TEST_F(NamingTest, DirPlaceholderIsEmptyForADriveRoot) {
    std::wstring root = L"C:\\zorvel-root-" + std::to_wstring(GetCurrentProcessId()) + L".zip";
    ASSERT_TRUE(WriteZip(root, {{"Photos/a.jpg", "x"}}));
    EXPECT_EQ(L"_zorvel-root-" + std::to_wstring(GetCurrentProcessId()) + L".zip",
              Derive(root, L"%dir_%orig").newName);
    DeleteFileW(root.c_str());
}

// Derivation reports whether the row is ready now.
TEST_F(NamingTest, RenamedEntriesAreNotDerivedAgainOthersAre) {
    FileEntry& e = Derive(Zip(L"x.zip", {{"Photos/a.jpg", "x"}}), L"%new");
    e.status = kStatusRenamed;
    wcscpy(e.newName, L"kept");
    EXPECT_FALSE(DeriveNewName(list_, 0, options_));
    EXPECT_STREQ(L"kept", e.newName);
    e.status = kStatusRenameFailed;
    EXPECT_TRUE(DeriveNewName(list_, 0, options_));
    EXPECT_STREQ(L"Photos.zip", e.newName);
}

const std::wstring kComposed = L"\u30C0.zip", kDecomposed = L"\u30BF\u3099.zip";

TEST_F(NamingTest, ProposalsClashWithTheDiskAndWithEarlierRows) {
    const struct Case {
        const char* what;
        std::vector<std::pair<std::wstring, std::wstring>> rows; // current, proposed
        std::vector<std::wstring> onDisk;
        std::vector<int> statuses;
    } cases[] = { // a name on disk is proposed in its own case only, so it may stay for the next
        {"on disk", {{L"a.zip", L"X.zip"}}, {L"X.zip"}, {kStatusTargetExists}},
        {"a folder on disk", {{L"a.zip", L"Dir"}}, {L"Dir\\"}, {kStatusTargetExists}},
        {"case only", {{L"a.zip", L"S.zip"}, {L"b.zip", L"s.ZIP"}}, {}, {kStatusReady, kStatusSameAsOther}},
        {"NFC only", {{L"a.zip", kComposed}, {L"b.zip", kDecomposed}}, {}, {kStatusReady, kStatusSameAsOther}},
        // Its own file under another case is no clash.
        {"own file", {{L"\uFF50\uFF48\uFF4F\uFF54\uFF4F.zip", L"\uFF30\uFF28\uFF2F\uFF34\uFF2F.zip"}}, {}, {kStatusReady}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        list_.RemoveAll();
        for (const std::wstring& name : c.onDisk) {
            if (name.back() == L'\\') CreateDirectoryW((dir_ / name.substr(0, name.size() - 1)).c_str(), nullptr);
            else WriteBytes(dir_ / name, "taken");
        }
        for (const auto& row : c.rows) Row(row.first, row.second);
        ForeseeClashes(list_, DiskCheck::All);
        EXPECT_EQ(c.statuses, Statuses());
    }
}

// A clashing row is ready again once its partner is removed, edited, renamed or undone.
TEST_F(NamingTest, ProposalsAreLookedAtAgainAfterEveryChange) {
    Row(L"a.zip", L"S.zip");
    Row(L"b.zip", L"S.zip");
    Row(L"c.zip", L"S.zip", kStatusRenameFailed);
    ForeseeClashes(list_, DiskCheck::All);
    EXPECT_EQ((std::vector<int>{kStatusReady, kStatusSameAsOther, kStatusRenameFailed}), Statuses());

    ASSERT_TRUE(StoreEditedName(list_, 0, L"T.zip"));
    ForeseeClashes(list_, DiskCheck::Unsettled, 0);
    EXPECT_EQ((std::vector<int>{kStatusReady, kStatusReady, kStatusRenameFailed}), Statuses()) << "edited";

    ASSERT_TRUE(StoreEditedName(list_, 0, L"S.zip"));
    ForeseeClashes(list_, DiskCheck::Unsettled, 0);
    EXPECT_EQ(kStatusSameAsOther, list_.At(1).status);
    list_.RemoveRows({1});
    ForeseeClashes(list_, DiskCheck::Unsettled);
    EXPECT_EQ((std::vector<int>{kStatusReady, kStatusRenameFailed}), Statuses()) << "removed";

    Row(L"d.zip", L"S.zip");
    ForeseeClashes(list_, DiskCheck::Unsettled);
    RenameOptions options;
    ASSERT_TRUE(RenameEntry(list_, 0, options));
    ForeseeClashes(list_, DiskCheck::All);
    EXPECT_EQ(kStatusTargetExists, list_.At(2).status) << "renamed: the disk has the name now";
    ASSERT_TRUE(UndoRename(list_, 0, options));
    ForeseeClashes(list_, DiskCheck::All);
    EXPECT_EQ(kStatusReady, list_.At(2).status) << "undone: free again";
}

// A run counts as done only rows whose proposal stands after the clashes: three alike are one.
struct Finish final : RunEvents {
    void Progress(int) override {}
    void Finished(WPARAM ok, LPARAM rows) override { done = {static_cast<int>(ok), static_cast<int>(rows)}; }
    std::pair<int, int> done{-1, -1};
};
bool ProposeAsIs(FileList&, int, const RenameOptions&) { return true; }

TEST_F(NamingTest, ARunCountsNoClashAsDone) {
    for (const wchar_t* name : {L"a.zip", L"b.zip", L"c.zip"}) Row(name, L"S.zip");
    EntryBatch batch{ProposeAsIs, RenameOptions{}, false, 3, 0, false, {}};
    Finish events;
    ::Run run;
    ASSERT_TRUE(run.Start([&](::Run& r) { return RunEntryBatch(batch, list_, r); }, events));
    run.Join();
    EXPECT_EQ(std::make_pair(1, 3), events.done);
}

} // namespace
