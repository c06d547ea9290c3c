// Removing rows, recycling files and editing one new name by hand.
#include "WindowFixture.h"

#include <algorithm>

#include "naming/NameFormat.h"

namespace {

// The first column of every row of a list view, as it shows them.
std::vector<std::wstring> RowTexts(HWND view) {
    std::vector<std::wstring> texts;
    for (int i = 0; i < ListView_GetItemCount(view); ++i) {
        wchar_t text[260] = L"";
        ListView_GetItemText(view, i, 0, text, 260);
        texts.push_back(text);
    }
    return texts;
}

class RemoveEditTest : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        Open(L"[Other]\r\nConfirmExit=0\r\n[Thumbnail]\r\nStartup=0\r\n"); // no thumbnail runs
    }
};

// (Pictures following their rows: thumbnail_window_test.)
TEST_F(RemoveEditTest, RemovingSelectedRowsAndErrorRowsKeepsTheRestInOrder) {
    auto addRow = [this](int i) { AddZip(L"f" + std::to_wstring(i) + L".zip", {}); };
    for (int i = 1; i <= 5; ++i) addRow(i);
    Select({1, 2});
    Command(ID_EDIT_REMOVE); // Delete
    EXPECT_EQ((std::vector<std::wstring>{L"f1.zip", L"f4.zip", L"f5.zip"}), Names());
    EXPECT_EQ(Names(), RowTexts(ListView()));

    addRow(6);
    addRow(7);
    const int statuses[] = {0, 3, 5, 1, 12};
    for (int i = 0; i < 5; ++i) Files().At(i).status = statuses[i];
    Select({3});
    Command(ID_EDIT_REMOVE_ERRORS); // Ctrl+E
    EXPECT_EQ((std::vector<std::wstring>{L"f1.zip", L"f6.zip"}), Names());
    EXPECT_EQ(LVIS_SELECTED, SendMessageW(ListView(), LVM_GETITEMSTATE, 1, LVIS_SELECTED))
        << "the selection moves with its row";
    EXPECT_EQ(Names(), RowTexts(ListView())) << "the view shows the records that moved";
}

TEST_F(RemoveEditTest, RecyclingAndClearingAskFirst) {
    std::wstring a = AddZip(L"a.zip", {}), b = AddZip(L"b.zip", {});
    AddZip(L"kept.zip", {});
    MessageBoxAnswerer answer(IDNO);
    Select({0});
    Command(ID_EDIT_RECYCLE);
    ASSERT_EQ(1u, answer.boxes().size());
    EXPECT_EQ(L"ファイルの削除の確認", answer.boxes()[0].caption);
    EXPECT_EQ(L"'" + a + L"' をごみ箱に移しますか?", answer.boxes()[0].text);
    EXPECT_TRUE(FileExists(a)) << "No deletes nothing";
    EXPECT_EQ(3, Files().Count());

    answer.set_answer(IDYES);
    Select({1});
    Command(ID_EDIT_RECYCLE);
    ASSERT_EQ(2u, answer.boxes().size());
    EXPECT_EQ(L"複数ファイルの削除の確認", answer.boxes()[1].caption);
    EXPECT_EQ(L"これら 2 個のファイルをごみ箱に移しますか?", answer.boxes()[1].text);
    EXPECT_FALSE(FileExists(a));
    EXPECT_FALSE(FileExists(b));
    EXPECT_EQ((std::vector<std::wstring>{L"kept.zip"}), Names());
    // Under Wine the recycle bin is the desktop's trash: the test runner
    // gives each test program an empty one of its own, never the user's.
    wchar_t data[MAX_PATH] = L"";
    ASSERT_GT(GetEnvironmentVariableW(L"XDG_DATA_HOME", data, MAX_PATH), 0u) << "the runner sets a trash of its own";
    std::wstring trash = std::wstring(L"Z:") + data + L"/Trash/files/";
    std::replace(trash.begin(), trash.end(), L'/', L'\\');
    EXPECT_TRUE(FileExists(trash + L"a.zip")) << "in the trash, not deleted";
    EXPECT_TRUE(FileExists(trash + L"b.zip"));

    answer.set_answer(IDNO);
    Command(ID_EDIT_CLEAR);
    ASSERT_EQ(3u, answer.boxes().size());
    EXPECT_EQ(L"リストクリアの確認", answer.boxes()[2].caption);
    EXPECT_EQ(L"リストをすべてクリアしますか?", answer.boxes()[2].text);
    EXPECT_EQ(1, Files().Count());
    answer.set_answer(IDYES);
    Command(ID_EDIT_CLEAR);
    EXPECT_EQ(0, Files().Count());
    EXPECT_EQ(0, ListView_GetItemCount(ListView()));
    EXPECT_FALSE(Files().IsListedPath((files_ / L"kept.zip").c_str())) << "a cleared path can be added again";
}

TEST_F(RemoveEditTest, EditingPicksACandidateAndRefusesAForbiddenOrTooLongName) {
    // A folder's own record (MS-DOS attribute 0x10), then a file in it.
    AddZip(L"x.zip", {{"Photos/", "", 0, 0, 0x10}, {"Photos/a.jpg", "x"}});
    Select({0}, LVIS_FOCUSED);

    MessageBoxAnswerer answer(IDOK);
    std::wstring initial, chosen, counter;
    std::vector<std::wstring> candidates;
    SetDialogScript(IDC_EDIT_NAME, [&](HWND dialog) {
        initial = ControlText(dialog, IDC_EDIT_NAME);
        candidates = RowTexts(GetDlgItem(dialog, IDC_EDIT_CANDIDATES));
        LVITEMW item = {};
        item.state = item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        SendDlgItemMessageW(dialog, IDC_EDIT_CANDIDATES, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
        chosen = ControlText(dialog, IDC_EDIT_NAME);
        counter = ControlText(dialog, IDC_EDIT_COUNTER);
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    Command(ID_EDIT_NEW_NAME); // F2
    EXPECT_EQ(std::wstring(Files().At(0).name), initial) << "status 0 opens with the current name";
    EXPECT_EQ((std::vector<std::wstring>{L"Photos", L"a.jpg"}), candidates);
    EXPECT_EQ(L"Photos.zip", chosen);
    EXPECT_EQ(L"1/2", counter);
    EXPECT_EQ(1, Files().At(0).status);
    EXPECT_STREQ(L"Photos.zip", Files().At(0).newName);
    EXPECT_EQ(files_ / L"Photos.zip", Files().At(0).newFullPath);

    // Now it opens with the proposal; a change of letter case only changes nothing.
    SetDialogScript(IDC_EDIT_NAME, [&](HWND dialog) {
        initial = ControlText(dialog, IDC_EDIT_NAME);
        SetDlgItemTextW(dialog, IDC_EDIT_NAME, L"PHOTOS.ZIP");
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    Command(ID_EDIT_NEW_NAME);
    EXPECT_EQ(L"Photos.zip", initial);
    EXPECT_STREQ(L"Photos.zip", Files().At(0).newName);
    EXPECT_TRUE(answer.boxes().empty());

    // A forbidden character, or a name too long for the folder, is said and
    // the dialog stays open; given up then, it changes nothing.
    const std::wstring refused[] = {L"a:b.zip", std::wstring(250, L'n')};
    int activations = 0;
    SetDialogScript(IDC_EDIT_NAME, [&](HWND dialog) {
        bool typing = activations < 2;
        if (typing) SetDlgItemTextW(dialog, IDC_EDIT_NAME, refused[activations++].c_str());
        PostMessageW(dialog, WM_COMMAND, typing ? IDOK : IDCANCEL, 0);
    });
    Command(ID_EDIT_NEW_NAME);
    ASSERT_EQ(2u, answer.boxes().size()) << "the dialog was still open after each message";
    EXPECT_EQ(L"新しいファイル名の変更", answer.boxes()[0].caption);
    EXPECT_EQ(std::wstring(kForbiddenInNameMessage), answer.boxes()[0].text);
    EXPECT_EQ(L"新しいファイル名が長すぎます。", answer.boxes()[1].text);
    EXPECT_STREQ(L"Photos.zip", Files().At(0).newName);
}

} // namespace
