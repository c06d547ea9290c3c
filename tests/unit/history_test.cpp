// Zorvel.history: records, undo in reverse without overwriting, damaged lines. That a run is
// undone only once the command-line test checks; that the newest twenty runs stay, the crash-safety test.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "TestFiles.h"
#include "base/ProgramFolder.h"
#include "rename/CheckedMove.h"
#include "rename/RenameHistory.h"

namespace {

class HistoryTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SetProgramFolder(program_.path().c_str())); }
    // Makes from, moves it to `to` and records the move in run.
    void Move(HistoryRun& run, const std::wstring& from, const std::wstring& to) {
        ASSERT_TRUE(WriteBytes(files_ / from, "x"));
        ASSERT_TRUE(MoveFileChecked((files_ / from).c_str(), (files_ / to).c_str()));
        run.Moved((files_ / from).c_str(), (files_ / to).c_str());
        ASSERT_FALSE(run.Failed());
    }
    TempDir program_, files_;
};

TEST_F(HistoryTest, ARunIsUndoneInReverseAndNothingIsOverwritten) {
    HistoryRun run(HistorySource::CommandLine, 4);
    Move(run, L"a.zip", L"100% \u5199\u771F.zip"); // '%' and Japanese
    Move(run, L"b.zip", L"B.zip"); // letter case alone
    Move(run, L"c.zip", L"C.zip");
    Move(run, L"d.zip", L"Dee.zip");
    std::vector<HistoryEntry> read = ReadHistory();
    ASSERT_EQ(1u, read.size());
    EXPECT_EQ(HistorySource::CommandLine, read[0].source);
    EXPECT_EQ(4, read[0].files);
    ASSERT_EQ(4u, read[0].moves.size());
    EXPECT_EQ(files_ / L"100% \u5199\u771F.zip", read[0].moves[0].to);

    ASSERT_TRUE(DeleteFileW((files_ / L"C.zip").c_str()));              // gone since
    ASSERT_TRUE(WriteBytes(files_ / L"d.zip", "somebody else's d.zip")); // old name taken
    HistoryUndo undo = UndoHistoryRun(read[0].id);
    EXPECT_TRUE(undo.found);
    EXPECT_TRUE(undo.marked);
    ASSERT_EQ(2u, undo.restored.size());
    EXPECT_EQ(files_ / L"B.zip", undo.restored[0].to) << "the last move first";
    ASSERT_EQ(2u, undo.skipped.size());
    EXPECT_EQ(FailureReason::TargetExists, undo.skipped[0].reason);
    EXPECT_EQ(FailureReason::SourceGone, undo.skipped[1].reason);
    EXPECT_EQ("somebody else's d.zip", ReadBytes(files_ / L"d.zip"));
    EXPECT_TRUE(FileExists(files_ / L"Dee.zip"));
    EXPECT_TRUE(FileExists(files_ / L"a.zip"));

    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((files_ / L"b.zip").c_str(), &found);
    ASSERT_NE(INVALID_HANDLE_VALUE, find);
    FindClose(find);
    EXPECT_STREQ(L"b.zip", found.cFileName) << "back under its old letter case";
}

// A record is one line whatever a name holds; damaged lines are passed over.
TEST_F(HistoryTest, DamagedLinesArePassedOver) {
    {
        HistoryRun run(HistorySource::Window, 1);
        run.Moved(L"C:\\a\tb\r\nc.zip", L"C:\\x%y.zip");
    }
    std::wstring junk = L"MOVE\tno-such-run\tC:\\a\tC:\\b\r\nRUN\tbroken\r\n\x01\x02\r\nMOVE\t";
    std::string bytes = ReadBytes(HistoryPath());
    bytes.append(reinterpret_cast<const char*>(junk.data()), junk.size() * 2);
    ASSERT_TRUE(WriteBytes(HistoryPath(), bytes));
    std::vector<HistoryEntry> read = ReadHistory();
    ASSERT_EQ(1u, read.size());
    ASSERT_EQ(1u, read[0].moves.size());
    EXPECT_EQ(L"C:\\a\tb\r\nc.zip", read[0].moves[0].from);
    EXPECT_EQ(L"C:\\x%y.zip", read[0].moves[0].to);
}

} // namespace
