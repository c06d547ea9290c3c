// The main window as the program creates it, driven by messages: adding by
// hand-over and drop, the run gate, sorting and columns, closing.
#include "WindowFixture.h"
#include "app/dialogs/OptionsIds.h"

namespace {

class MainWindowTest : public WindowFixture {
protected:
    void ClickColumn(int column) {
        NMLISTVIEW click = {};
        click.hdr = {ListView(), static_cast<UINT_PTR>(GetDlgCtrlID(ListView())), LVN_COLUMNCLICK};
        click.iItem = -1;
        click.iSubItem = column;
        SendMessageW(window_, WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
    }
};

// Malformed hand-overs are ignored; a folder handed over is walked, its
// ZIPs first.
TEST_F(MainWindowTest, HandOversOfFoldersAndMalformedOnes) {
    Open();
    ASSERT_TRUE(CreateDirectoryW((files_ / L"sub").c_str(), nullptr));
    Make(L"A.rar");
    std::wstring path = Make(L"B.zip");
    Make(L"sub\\C.zip");
    Make(L"notes.txt");
    std::vector<wchar_t> unterminated(path.begin(), path.end());
    const struct { ULONG_PTR kind; DWORD bytes; const void* data; } cases[] = {
        {2, static_cast<DWORD>((path.size() + 1) * 2), path.c_str()},   // wrong kind
        {1, static_cast<DWORD>((path.size() + 1) * 2 - 1), path.c_str()}, // odd size
        {1, static_cast<DWORD>(unterminated.size() * 2), unterminated.data()}, // no terminator
        {1, 0, path.c_str()},
        {1, 600, path.c_str()}, // more than 260 units
    };
    for (const auto& c : cases) {
        COPYDATASTRUCT data = {c.kind, c.bytes, const_cast<void*>(c.data)};
        SendMessageW(window_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    }
    ASSERT_TRUE(PumpUntil([&] { return Idle(); }));
    EXPECT_EQ(0, Files().Count());

    HandOverAndWait(files_.path());
    EXPECT_EQ((std::vector<std::wstring>{L"B.zip", L"sub\\C.zip", L"A.rar"}), Names());
    EXPECT_EQ(L"合計 3 個のファイル", StatusPart(1));

    // A menu's help text in part 0 goes when the menu closes.
    SendMessageW(window_, WM_MENUSELECT, MAKEWPARAM(ID_FILE_OPEN, MF_STRING), reinterpret_cast<LPARAM>(GetMenu(window_)));
    EXPECT_EQ(L"選択したファイルを追加します", StatusPart(0));
    SendMessageW(window_, WM_EXITMENULOOP, FALSE, 0);
    EXPECT_EQ(L"ファイルやフォルダをドロップしてください", StatusPart(0));
}

TEST_F(MainWindowTest, EscDuringAFolderAddKeepsTheRowsAddedSoFar) {
    Open();
    const int total = 300;
    for (int i = 0; i < total; ++i) Make(L"f" + std::to_wstring(i) + L".zip");
    HandOver(window_, files_.path());
    Command(ID_CANCEL); // Esc while the worker walks
    ASSERT_TRUE(PumpUntil([&] { return Idle(); }));
    EXPECT_EQ(Files().Count(), ListView_GetItemCount(ListView())) << "the view shows every row that was added";
    // The run is over: the window takes commands and adds again.
    HandOverAndWait(files_.path());
    EXPECT_EQ(total, Files().Count()) << "the second walk adds the rest, duplicates refused";
}

TEST_F(MainWindowTest, DroppedFilesAndFoldersAreAddedAndLaterDropsWaitForTheRun) {
    Open();
    ASSERT_TRUE(CreateDirectoryW((files_ / L"dir").c_str(), nullptr));
    Make(L"dir\\in.zip");
    std::wstring a = Make(L"a.zip"), b = Make(L"b.7z"), c = Make(L"c.cab"); // CAB is off by default
    SendMessageW(ListView(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({files_ / L"dir", a, b, c})), 0);
    ASSERT_TRUE(PumpUntil([&] { return Idle(); }));
    EXPECT_EQ((std::vector<std::wstring>{L"dir\\in.zip", L"a.zip", L"b.7z"}), Names());

    // A run on the window's thread (as adding chosen files is) has no worker
    // to stop: Cancel leaves it running, and other commands are refused
    // until its end. A drop meanwhile is kept until then, and added.
    RunController::Start start;
    start.message = WM_APP_FILES_ADDED;
    ASSERT_TRUE(main_->Runs().Begin(std::move(start)));
    Command(ID_CANCEL);
    Command(ID_VIEW_SIZE_KB);
    std::wstring late = Make(L"late.zip");
    SendMessageW(ListView(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({late})), 0);
    PumpPending();
    EXPECT_TRUE(RunInProgress());
    EXPECT_TRUE(main_->SizeInKB());
    EXPECT_EQ(3, Files().Count());
    main_->Runs().Complete(3, 0); // the run's end
    ASSERT_TRUE(PumpUntil([&] { return Idle(); }));
    EXPECT_EQ(4, Files().Count());
    EXPECT_EQ(late, Files().At(3).fullPath);
    Command(ID_VIEW_SIZE_KB);
    EXPECT_FALSE(main_->SizeInKB());
}

TEST_F(MainWindowTest, NothingIsAddedWithEveryKindDisabled) {
    Open(L"[EnableFileType]\r\nZip=0\r\n7z=0\r\nCab=0\r\nLzh=0\r\nRar=0\r\n");
    Make(L"a.zip");
    std::wstring b = Make(L"b.rar");
    HandOver(window_, files_.path());
    HandOver(window_, b);
    SendMessageW(ListView(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({b})), 0);
    MessageBoxAnswerer answer(IDCANCEL);
    Command(ID_FILE_OPEN); // open file: no dialog at all
    ASSERT_TRUE(PumpUntil([&] { return Idle(); }));
    EXPECT_EQ(0, Files().Count());
    EXPECT_TRUE(answer.boxes().empty());
    // Passed over, but not without a word (the hand-over and the drop of b
    // waited for the folder's run and came as one drop).
    EXPECT_EQ(L"無効になっている種類のファイル 2 個は追加しませんでした", StatusPart(0));
}

// Settings that cannot be written (a folder stands where the temporary file
// goes) are said once, with the program folder, not lost without a word.
TEST_F(MainWindowTest, SettingsThatCannotBeSavedAreSaidOnce) {
    Open();
    ASSERT_TRUE(CreateDirectoryW((program_ / L"Zorvel.cfg.tmp").c_str(), nullptr));
    MessageBoxAnswerer answer(IDOK);
    SetDialogScript(IDC_OPTIONS_TABS, [](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDOK, 0); });
    Command(ID_TOOLS_OPTIONS);
    Command(ID_TOOLS_OPTIONS);
    ClearDialogScript();
    Close();
    ASSERT_EQ(1u, answer.boxes().size()) << "once per session";
    EXPECT_NE(std::wstring::npos, answer.boxes()[0].text.find(program_.path()));
}

TEST_F(MainWindowTest, AHandOverDuringADialogWaitsForIt) {
    Open();
    HandOverAndWait(Make(L"first.zip"));
    ASSERT_TRUE(CreateDirectoryW((files_ / L"dir").c_str(), nullptr));
    Make(L"dir\\second.zip");
    Select({0}, LVIS_FOCUSED);
    MessageBoxAnswerer answer(IDOK);
    bool workerDuringDialog = true;
    SetDialogScript(IDC_EDIT_NAME, [&](HWND dialog) {
        HandOver(window_, files_ / L"dir");
        workerDuringDialog = main_->Runs().WorkerRunning();
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    Command(ID_EDIT_NEW_NAME); // F2
    // Regression: the hand-over started a folder walk beside the dialog, or
    // waited for some later run.
    EXPECT_FALSE(workerDuringDialog);
    ASSERT_TRUE(PumpUntil([&] { return Idle() && Files().Count() == 2; }));
    EXPECT_EQ((std::vector<std::wstring>{L"first.zip", L"dir\\second.zip"}), Names());
}

// Regression: a first-row pivot recursed once per two rows here and
// overflowed the stack of the window's thread.
TEST_F(MainWindowTest, ColumnClicksSortManyRowsBothWaysAndKeepTheSelection) {
    Open();
    FileEntry entry = {};
    const int rows = 60000;
    for (int i = 0; i < rows; ++i) {
        swprintf(entry.name, 260, L"%06d.zip", i);
        swprintf(entry.fullPath, 260, L"C:\\rows\\%06d.zip", i);
        ASSERT_TRUE(Files().AppendEntry(entry));
    }
    Files().SyncView();
    Select({rows - 2});
    ClickColumn(0); // in order already
    ClickColumn(0); // the other way round
    EXPECT_STREQ(L"059999.zip", Files().At(0).name);
    EXPECT_STREQ(L"000000.zip", Files().At(rows - 1).name);
    EXPECT_EQ(LVIS_SELECTED, SendMessageW(ListView(), LVM_GETITEMSTATE, 1, LVIS_SELECTED));
    EXPECT_EQ(1, SendMessageW(ListView(), LVM_GETSELECTEDCOUNT, 0, 0));

    RunController::Busy busy(main_->Runs()); // a sort is refused while a run goes on
    ClickColumn(0);
    EXPECT_STREQ(L"059999.zip", Files().At(0).name);
    Files().RemoveAll();
}

TEST_F(MainWindowTest, HidingAndShowingAColumnRestoresItsWidth) {
    Open(L"[ListViewColumn]\r\nStatusWidth=150\r\n[Thumbnail]\r\nStartup=0\r\n"); // the report view
    EXPECT_EQ(150, SendMessageW(ListView(), LVM_GETCOLUMNWIDTH, 2, 0));
    Command(ID_COLUMN_STATUS);
    EXPECT_EQ(0, SendMessageW(ListView(), LVM_GETCOLUMNWIDTH, 2, 0));
    EXPECT_EQ(0, settings_.ColumnWidth[2]);
    Command(ID_COLUMN_STATUS);
    EXPECT_EQ(150, SendMessageW(ListView(), LVM_GETCOLUMNWIDTH, 2, 0));
    EXPECT_EQ(150, settings_.ColumnWidth[2]);
    // Hidden at start: it comes back at its default width.
    EXPECT_EQ(0, SendMessageW(ListView(), LVM_GETCOLUMNWIDTH, 3, 0));
    Command(ID_COLUMN_DIRECTORY);
    EXPECT_EQ(220, SendMessageW(ListView(), LVM_GETCOLUMNWIDTH, 3, 0));
    // The first column cannot be hidden.
    Command(ID_COLUMN_NAME);
    EXPECT_NE(0, SendMessageW(ListView(), LVM_GETCOLUMNWIDTH, 0, 0));
}

TEST_F(MainWindowTest, ClosingAsksOnlyWithRowsAndSavesPlacementAndColumnOrder) {
    Open(L"[WindowState]\r\nLeft=40\r\ntop=30\r\nWidth=640\r\nHeight=480\r\n");
    RECT rect;
    GetWindowRect(window_, &rect);
    EXPECT_EQ(40, rect.left);
    EXPECT_EQ(640, rect.right - rect.left);

    HandOverAndWait(Make(L"x.zip"));
    MessageBoxAnswerer answer(IDNO);
    SendMessageW(window_, WM_CLOSE, 0, 0);
    ASSERT_EQ(1u, answer.boxes().size());
    EXPECT_EQ(L"終了の確認", answer.boxes()[0].caption);
    EXPECT_EQ(L"Zorvelを終了しますか?", answer.boxes()[0].text);
    EXPECT_TRUE(IsWindow(window_)) << "No keeps the window open";

    Files().RemoveAll();
    int order[kColumnCount] = {6, 5, 4, 3, 2, 1, 0};
    SendMessageW(ListView(), LVM_SETCOLUMNORDERARRAY, kColumnCount, reinterpret_cast<LPARAM>(order));
    SetWindowPos(window_, nullptr, 100, 120, 700, 500, SWP_NOZORDER);
    SendMessageW(window_, WM_CLOSE, 0, 0);
    EXPECT_EQ(1u, answer.boxes().size()) << "an empty list closes without asking";
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(window_); }));

    Settings saved;
    LoadSettingsFrom(ConfigFilePath(), saved, 1280, 1024);
    EXPECT_EQ((std::vector<int>{100, 120, 700, 500}),
              (std::vector<int>{saved.Left, saved.Top, saved.Width, saved.Height}));
    for (int i = 0; i < kColumnCount; ++i) EXPECT_EQ(6 - i, saved.Order[i]);
}

} // namespace
