// Deriving, renaming and undoing from the main window: which rows a run
// covers, the completion text, the format check and Cancel.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "WindowFixture.h"
#include "ZipBuilder.h"
#include "app/MainWindow.h"
#include "base/ProgramFolder.h"
#include "filelist/FileList.h"
#include "rename/RenameLog.h"
#include "settings/ConfigFile.h"

namespace {

class BatchRunTest : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        Open();
    }
    // Adds an archive holding folder (none when empty) to the list.
    void AddArchive(const std::wstring& name, const std::string& folder) {
        ZipMember member;
        member.name = folder.empty() ? "root.txt" : folder + "/a.jpg";
        member.data = "x";
        ASSERT_TRUE(WriteZip(files_ / name, {member}));
        HandOverAndWait(files_ / name);
    }
    void Run(int command) {
        SendMessageW(window_, WM_COMMAND, command, 0);
        ASSERT_TRUE(PumpUntil([this] { return !RunInProgress(); }));
    }
    int Status(int row) const { return Files().At(row).status; }

};

TEST_F(BatchRunTest, DeriveRenameSelectedAndUndoAll) {
    AddArchive(L"x1.zip", "Alpha");
    AddArchive(L"x2.zip", "Beta");
    AddArchive(L"x3.zip", "");

    Run(ID_DERIVE_ALL); // F5: all rows
    EXPECT_EQ(1, Status(0));
    EXPECT_EQ(1, Status(1));
    EXPECT_EQ(12, Status(2));
    EXPECT_EQ(L"3 個中 2 個のファイル処理は正常に完了しました", StatusPart(0));

    Select({0, 2});
    Run(ID_RENAME_SELECTED); // Shift+R: the selected rows only
    EXPECT_EQ(2, Status(0));
    EXPECT_EQ(1, Status(1)) << "an unselected row is left alone";
    EXPECT_EQ(12, Status(2));
    EXPECT_EQ(L"2 個中 1 個のファイル処理は正常に完了しました", StatusPart(0));
    EXPECT_TRUE(FileExists(files_ / L"Alpha.zip"));
    EXPECT_EQ(2, CountLogLines()); // Success for row 0, Error for row 2

    Run(ID_DERIVE_ALL); // deriving again leaves the renamed row as it is
    EXPECT_EQ(2, Status(0));

    Run(ID_UNDO_ALL); // Ctrl+Z: undo all, without the format check
    EXPECT_EQ(0, Status(0));
    EXPECT_TRUE(FileExists(files_ / L"x1.zip"));
    EXPECT_EQ(L"3 個中 1 個のファイル処理は正常に完了しました", StatusPart(0));
    EXPECT_EQ(2, CountLogLines()) << "an undo writes no line";
}

TEST_F(BatchRunTest, AFormatWithAForbiddenCharacterStartsNothing) {
    AddArchive(L"x1.zip", "Alpha");
    wcscpy(settings_.Format, L"%new?");
    MessageBoxAnswerer answer(IDOK);
    SendMessageW(window_, WM_COMMAND, ID_DERIVE_ALL, 0);
    SendMessageW(window_, WM_COMMAND, ID_RENAME_ALL, 0);
    PumpPending();
    ASSERT_EQ(2u, answer.boxes().size());
    EXPECT_EQ(L"新しいファイル名のフォーマット", answer.boxes()[0].caption);
    EXPECT_EQ(L"新しいファイル名には次の文字は使えません。\n\t\\ / : , ; * ? \" < > |", answer.boxes()[0].text);
    EXPECT_FALSE(RunInProgress());
    EXPECT_EQ(0, Status(0));
    // Undo needs no format check.
    Run(ID_UNDO_ALL);
    EXPECT_TRUE(answer.boxes().size() == 2u);
    EXPECT_EQ(L"1 個中 0 個のファイル処理は正常に完了しました", StatusPart(0));
}

TEST_F(BatchRunTest, CancelStopsTheRunAndTheLogIsStillTrimmed) {
    settings_.MaxLine = 3;
    const int rows = 40;
    for (int i = 0; i < rows; ++i) AddArchive(L"r" + std::to_wstring(i) + L".zip", "F" + std::to_string(i));
    SendMessageW(window_, WM_COMMAND, ID_RENAME_ALL, 0); // Ctrl+R
    SendMessageW(window_, WM_COMMAND, ID_CANCEL, 0); // Esc
    // Nothing else starts until the finishing run has reported.
    SendMessageW(window_, WM_COMMAND, ID_VIEW_SIZE_KB, 0);
    EXPECT_TRUE(main_->SizeInKB());
    ASSERT_TRUE(PumpUntil([this] { return !RunInProgress(); }));
    int renamed = 0;
    for (int i = 0; i < rows; ++i) renamed += Status(i) == 2;
    EXPECT_GE(renamed, 1) << "the row in hand is finished";
    EXPECT_LE(CountLogLines(), 3);
}

TEST_F(BatchRunTest, ClosingDuringARunCancelsItAndWaitsBeforeClosing) {
    const int rows = 300;
    for (int i = 0; i < rows; ++i) {
        ZipMember member;
        member.name = "F" + std::to_string(i) + "/a.jpg";
        ASSERT_TRUE(WriteZip(files_ / (L"r" + std::to_wstring(i) + L".zip"), {member}));
    }
    HandOverAndWait(files_.path());
    ASSERT_EQ(rows, Files().Count());
    settings_.ConfirmExit = false;
    SendMessageW(window_, WM_COMMAND, ID_RENAME_ALL, 0); // Ctrl+R
    // Regression: the list was freed under the renaming worker, which crashed.
    SendMessageW(window_, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(window_)) << "the close waits until the run has stopped";
    EXPECT_TRUE(main_->Runs().CurrentRun().Cancelled()) << "and cancels it";
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(window_); }));
    // Every file moved before the close has its log line.
    int renamed = 0;
    for (int i = 0; i < rows; ++i) renamed += FileExists(files_ / (L"F" + std::to_wstring(i) + L".zip"));
    EXPECT_EQ(renamed, CountLogLines());
}

} // namespace
