// Clashes foreseen before anything moves, the failures' reasons, and the
// option that turns forbidden characters into their full-width forms.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "TestFiles.h"
#include "ZipBuilder.h"
#include "filelist/FileList.h"
#include "filelist/ListPresentation.h"
#include "naming/Clashes.h"
#include "naming/EditedName.h"
#include "naming/NameFormat.h"
#include "base/ScopedWin.h"
#include "settings/Settings.h"
#include "rename/EntryBatch.h"
#include "rename/RenameEntry.h"

namespace {

class ClashTest : public ::testing::Test {
protected:
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
};

const std::wstring kComposed = L"\u30C0.zip", kDecomposed = L"\u30BF\u3099.zip";

TEST_F(ClashTest, ProposalsClashWithTheDiskAndWithEarlierRows) {
    const struct Case {
        const char* what;
        std::vector<std::pair<std::wstring, std::wstring>> rows; // current, proposed
        std::vector<std::wstring> onDisk;
        std::vector<int> statuses;
    } cases[] = {
        {"on disk", {{L"a.zip", L"X.zip"}}, {L"X.zip"}, {kStatusTargetExists}},
        {"a folder on disk", {{L"a.zip", L"Dir"}}, {L"Dir\\"}, {kStatusTargetExists}},
        {"in the list", {{L"a.zip", L"S.zip"}, {L"b.zip", L"S.zip"}}, {}, {kStatusReady, kStatusSameAsOther}},
        {"case only", {{L"a.zip", L"S.zip"}, {L"b.zip", L"s.ZIP"}}, {}, {kStatusReady, kStatusSameAsOther}},
        {"NFC only", {{L"a.zip", kComposed}, {L"b.zip", kDecomposed}}, {}, {kStatusReady, kStatusSameAsOther}},
        {"a chain of three", {{L"a.zip", L"S.zip"}, {L"b.zip", L"S.zip"}, {L"c.zip", L"S.zip"}}, {},
         {kStatusReady, kStatusSameAsOther, kStatusSameAsOther}},
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
        for (const std::wstring& name : c.onDisk) {
            DeleteFileW((dir_ / name).c_str());
            RemoveDirectoryW((dir_ / name.substr(0, name.size() - 1)).c_str());
        }
        for (const auto& row : c.rows) DeleteFileW((dir_ / row.first).c_str());
    }
}

// A row that clashed is ready again once what it clashed with is removed,
// edited, renamed away or undone; a failed row keeps its status.
TEST_F(ClashTest, ProposalsAreLookedAtAgainAfterEveryChange) {
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

// A run counts as done only the rows whose proposal still stands once the
// clashes have been looked at: three names derived alike are one success.
struct Finish final : RunEvents {
    void Progress(int) override {}
    void Finished(WPARAM ok, LPARAM rows) override { done = {static_cast<int>(ok), static_cast<int>(rows)}; }
    std::pair<int, int> done{-1, -1};
};
bool ProposeAsIs(FileList&, int, const RenameOptions&) { return true; }

TEST_F(ClashTest, ARunCountsNoClashAsDone) {
    for (const wchar_t* name : {L"a.zip", L"b.zip", L"c.zip"}) Row(name, L"S.zip");
    EntryBatch batch{ProposeAsIs, RenameOptions{}, false, 3, 0, false, {}};
    Finish events;
    ::Run run;
    ASSERT_TRUE(run.Start([&](::Run& r) { return RunEntryBatch(batch, list_, r); }, events));
    run.Join();
    EXPECT_EQ(std::make_pair(1, 3), events.done);
}

// Why a move failed, as each cause can be made under Wine, and how the list
// shows it.
TEST_F(ClashTest, FailuresKeepTheirReason) {
    RenameOptions options;
    Row(L"held.zip", L"Free.zip");
    Row(L"gone.zip", L"Gone.zip");
    Row(L"late.zip", L"Later.zip");
    ScopedFile held(CreateFileW((dir_ / L"held.zip").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    DeleteFileW((dir_ / L"gone.zip").c_str());
    WriteBytes(dir_ / L"Later.zip", "appeared after the preview");
    const FailureReason reasons[] = {FailureReason::InUse, FailureReason::SourceGone, FailureReason::TargetExists};
    for (int row = 0; row < 3; ++row) {
        EXPECT_FALSE(RenameEntry(list_, row, options));
        EXPECT_EQ(reasons[row], list_.Note(row).reason) << row;
    }
    FileEntry e = list_.At(0);
    EXPECT_EQ(L"リネームに失敗しました（使用中）", CellText(e, list_.Note(0), kColStatus, true));
    EXPECT_NE(std::wstring::npos, InfoTipText(e, list_.Note(0)).find(NoteMessage(list_.Note(0))));
    EXPECT_NE(L"", NoteMessage(list_.Note(0)));
    // The reason goes with the row when the row moves, and when it is ready again.
    list_.RemoveRows({1});
    EXPECT_EQ(FailureReason::TargetExists, list_.Note(1).reason);
    held.reset();
    ASSERT_TRUE(StoreEditedName(list_, 0, L"Free.zip"));
    EXPECT_EQ(FailureReason::None, list_.Note(0).reason);
}

TEST(ForbiddenCharacters, BecomeFullWidthWhenAsked) {
    EXPECT_EQ(L"\uFF3C\uFF0F\uFF1A\uFF0A\uFF1F\uFF02\uFF1C\uFF1E\uFF5C,;", WithFullWidthForbidden(L"\\/:*?\"<>|,;"));
    TempDir dir;
    const struct { const char* folder; bool replace; int status; const wchar_t* name; } rows[] = {
        {"ab:c*d", true, kStatusReady, L"ab\uFF1Ac\uFF0Ad.zip"},
        {"ab:c*d", false, kStatusForbiddenChar, L""},
        {"a\x01:b", true, kStatusForbiddenChar, L""}, // control characters stay refused
    };
    int n = 0;
    for (const auto& r : rows) {
        std::wstring path = dir / (L"x" + std::to_wstring(n++) + L".zip");
        ASSERT_TRUE(WriteZip(path, {{std::string(r.folder) + "/a.jpg", "x"}}));
        FileEntry e = {};
        wcscpy(e.fullPath, path.c_str());
        NamingOptions naming;
        naming.replaceForbidden = r.replace;
        DeriveNewName(e, naming);
        EXPECT_EQ(r.status, e.status) << r.folder;
        EXPECT_STREQ(r.name, e.newName) << r.folder;
    }
}

} // namespace
