// Deriving, renaming and undoing from the main window: which rows a run
// covers, the completion text, the format check and Cancel.
#include "WindowFixture.h"

namespace {

class BatchRunTest : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        Open();
    }
    void Run(int command) {
        Command(command);
        ASSERT_TRUE(PumpUntil([this] { return !RunInProgress(); }));
    }
    // rN.zip holding the folder FN, for N below rows, added as one folder.
    void AddFolderOfArchives(int rows) {
        for (int i = 0; i < rows; ++i) {
            const std::wstring name = L"r" + std::to_wstring(i) + L".zip";
            ASSERT_TRUE(WriteZip(files_ / name, {{"F" + std::to_string(i) + "/a.jpg", "x"}}));
        }
        HandOverAndWait(files_.path());
        ASSERT_EQ(rows, Files().Count());
    }
    int Status(int row) const { return Files().At(row).status; }
};

TEST_F(BatchRunTest, DeriveRenameSelectedAndUndoAll) {
    AddZip(L"x1.zip", {{"Alpha/a.jpg", "x"}});
    AddZip(L"x2.zip", {{"Beta/a.jpg", "x"}});
    AddZip(L"x3.zip", {{"root.txt", "x"}});

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

    Run(ID_UNDO_ALL); // Ctrl+Z: undo all
    EXPECT_EQ(0, Status(0));
    EXPECT_TRUE(FileExists(files_ / L"x1.zip"));
    EXPECT_EQ(L"3 個中 1 個のファイル処理は正常に完了しました", StatusPart(0));
}

TEST_F(BatchRunTest, AFormatWithAForbiddenCharacterStartsNothing) {
    AddZip(L"x1.zip", {{"Alpha/a.jpg", "x"}});
    wcscpy(settings_.Format, L"%new?");
    MessageBoxAnswerer answer(IDOK);
    Command(ID_DERIVE_ALL);
    Command(ID_RENAME_ALL);
    PumpPending();
    ASSERT_EQ(2u, answer.boxes().size());
    EXPECT_EQ(L"新しいファイル名のフォーマット", answer.boxes()[0].caption);
    EXPECT_EQ(L"新しいファイル名には次の文字は使えません。\n\t\\ / : , ; * ? \" < > |", answer.boxes()[0].text);
    EXPECT_FALSE(RunInProgress());
    EXPECT_EQ(0, Status(0));
    Run(ID_UNDO_ALL);
    EXPECT_EQ(2u, answer.boxes().size()) << "undo needs no format check";
    EXPECT_EQ(L"1 個中 0 個のファイル処理は正常に完了しました", StatusPart(0));
}

TEST_F(BatchRunTest, CancelStopsTheRunAndTheLogIsStillTrimmed) {
    settings_.MaxLine = 3;
    const int rows = 40;
    AddFolderOfArchives(rows);
    Command(ID_RENAME_ALL); // Ctrl+R
    Command(ID_CANCEL);     // Esc
    // Nothing else starts until the finishing run has reported.
    Command(ID_VIEW_SIZE_KB);
    EXPECT_TRUE(main_->SizeInKB());
    ASSERT_TRUE(PumpUntil([this] { return !RunInProgress(); }));
    int renamed = 0;
    for (int i = 0; i < rows; ++i) renamed += Status(i) == 2;
    EXPECT_GE(renamed, 1) << "the row in hand is finished";
    EXPECT_LE(CountLogLines(), 3);
}

TEST_F(BatchRunTest, ClosingDuringARunCancelsItAndWaitsBeforeClosing) {
    const int rows = 300;
    AddFolderOfArchives(rows);
    settings_.ConfirmExit = false;
    Command(ID_RENAME_ALL); // Ctrl+R
    // Regression: the list was freed under the renaming worker, which crashed.
    // The toolbar's Exit is a close, taken during a run too.
    Command(IDB_TB_EXIT);
    MSG close;
    ASSERT_TRUE(PeekMessageW(&close, window_, WM_SYSCOMMAND, WM_SYSCOMMAND, PM_REMOVE));
    DispatchMessageW(&close);
    EXPECT_TRUE(IsWindow(window_)) << "the close waits until the run has stopped";
    EXPECT_TRUE(main_->Runs().CurrentRun().Cancelled()) << "and cancels it";
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(window_); }));
    // Every file moved before the close has its log line.
    int renamed = 0;
    for (int i = 0; i < rows; ++i) renamed += FileExists(files_ / (L"F" + std::to_wstring(i) + L".zip"));
    EXPECT_EQ(renamed, CountLogLines());
}

} // namespace
