// Removing rows, recycling files and editing one new name by hand.
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
#include "app/dialogs/EditNameDialog.h"
#include "naming/EditedName.h"
#include "naming/NameFormat.h"
#include "settings/ConfigFile.h"

namespace {

std::wstring ControlText(HWND dialog, int id) {
    wchar_t text[300] = L"";
    GetDlgItemTextW(dialog, id, text, 300);
    return text;
}

std::vector<std::wstring> CandidateTexts(HWND dialog) {
    HWND view = GetDlgItem(dialog, IDC_EDIT_CANDIDATES);
    std::vector<std::wstring> texts;
    int count = static_cast<int>(SendMessageW(view, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[260] = L"";
        LVITEMW item = {};
        item.pszText = text;
        item.cchTextMax = 260;
        SendMessageW(view, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(&item));
        texts.push_back(text);
    }
    return texts;
}

void SelectCandidate(HWND dialog, int index) {
    LVITEMW item = {};
    item.state = item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendDlgItemMessageW(dialog, IDC_EDIT_CANDIDATES, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item));
}

class RemoveEditTest : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        Open(L"[Other]\r\nConfirmExit=0\r\n[Thumbnail]\r\nStartup=0\r\n"); // no thumbnail runs
    }
    std::wstring Add(const std::wstring& name, const std::vector<ZipMember>& members = {}) {
        std::wstring path = files_ / name;
        EXPECT_TRUE(WriteZip(path, members));
        HandOverAndWait(path);
        return path;
    }
    void Command(int id) {
        SendMessageW(window_, WM_COMMAND, id, 0);
        PumpPending();
    }

};

// (Pictures following their rows: thumbnail_window_test.)
TEST_F(RemoveEditTest, RemovingSelectedRowsAndErrorRowsKeepsTheRestInOrder) {
    auto addRow = [this](int i) { Add(L"f" + std::to_wstring(i) + L".zip"); };
    for (int i = 1; i <= 5; ++i) addRow(i);
    Select({1, 2});
    Command(ID_EDIT_REMOVE); // Delete
    EXPECT_EQ((std::vector<std::wstring>{L"f1.zip", L"f4.zip", L"f5.zip"}), Names());
    EXPECT_EQ(3, SendMessageW(ListView(), LVM_GETITEMCOUNT, 0, 0));

    addRow(6);
    addRow(7);
    const int statuses[] = {0, 3, 5, 1, 12};
    for (int i = 0; i < 5; ++i) Files().At(i).status = statuses[i];
    Select({3});
    Command(ID_EDIT_REMOVE_ERRORS); // Ctrl+E
    EXPECT_EQ((std::vector<std::wstring>{L"f1.zip", L"f6.zip"}), Names());
    EXPECT_EQ(0, Files().At(0).status);
    EXPECT_EQ(1, Files().At(1).status);
    EXPECT_EQ(LVIS_SELECTED, SendMessageW(ListView(), LVM_GETITEMSTATE, 1, LVIS_SELECTED))
        << "the selection moves with its row";
    wchar_t text[64] = L"";
    LVITEMW item = {};
    item.pszText = text;
    item.cchTextMax = 64;
    SendMessageW(ListView(), LVM_GETITEMTEXTW, 1, reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ(L"f6.zip", text) << "the view shows the record that moved there";
}

TEST_F(RemoveEditTest, ClearingAsksFirst) {
    Add(L"a.zip");
    Add(L"b.zip");
    MessageBoxAnswerer answer(IDNO);
    Command(ID_EDIT_CLEAR);
    ASSERT_EQ(1u, answer.boxes().size());
    EXPECT_EQ(L"リストクリアの確認", answer.boxes()[0].caption);
    EXPECT_EQ(L"リストをすべてクリアしますか?", answer.boxes()[0].text);
    EXPECT_EQ(2, Files().Count());
    answer.set_answer(IDYES);
    Command(ID_EDIT_CLEAR);
    EXPECT_EQ(0, Files().Count());
    EXPECT_EQ(0, SendMessageW(ListView(), LVM_GETITEMCOUNT, 0, 0));
    EXPECT_FALSE(Files().IsListedPath((files_ / L"a.zip").c_str())) << "a cleared path can be added again";
}

TEST_F(RemoveEditTest, RecyclingAsksAndMovesTheFilesAway) {
    std::wstring tag = std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount());
    std::wstring a = Add(L"recycle-a-" + tag + L".zip"), b = Add(L"recycle-b-" + tag + L".zip");
    Add(L"kept.zip");
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
    // gives each test program one of its own, never the user's.
    wchar_t data[MAX_PATH] = L"";
    ASSERT_GT(GetEnvironmentVariableW(L"XDG_DATA_HOME", data, MAX_PATH), 0u) << "the runner sets a trash of its own";
    std::wstring trash = std::wstring(L"Z:") + data + L"/Trash/files/";
    for (wchar_t& c : trash)
        if (c == L'/') c = L'\\';
    EXPECT_TRUE(FileExists(trash + L"recycle-a-" + tag + L".zip")) << "in the trash, not deleted";
    EXPECT_TRUE(FileExists(trash + L"recycle-b-" + tag + L".zip"));
}

TEST_F(RemoveEditTest, EditingPicksACandidateWithTheExtension) {
    ZipMember dir, file;
    dir.name = "Photos/";
    dir.externalAttributes = 0x10;
    file.name = "Photos/a.jpg";
    file.data = "x";
    Add(L"x.zip", {dir, file});
    Select({0}, LVIS_FOCUSED);

    MessageBoxAnswerer answer(IDOK);
    std::wstring initial, chosen, counter;
    std::vector<std::wstring> candidates;
    SetDialogScript(IDC_EDIT_NAME, [&](HWND dialog) {
        wchar_t caption[64] = L"";
        GetWindowTextW(dialog, caption, 64);
        EXPECT_STREQ(L"新しいファイル名の変更", caption);
        initial = ControlText(dialog, IDC_EDIT_NAME);
        candidates = CandidateTexts(dialog);
        SelectCandidate(dialog, 0);
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
}

TEST_F(RemoveEditTest, AForbiddenCharacterKeepsTheDialogOpen) {
    Add(L"x.zip");
    Select({0}, LVIS_FOCUSED);
    MessageBoxAnswerer answer(IDOK);
    int activations = 0;
    SetDialogScript(IDC_EDIT_NAME, [&](HWND dialog) {
        // First time: a colon; back from the message: give up.
        if (activations++ == 0) {
            SetDlgItemTextW(dialog, IDC_EDIT_NAME, L"a:b.zip");
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        } else {
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        }
    });
    Command(ID_EDIT_NEW_NAME);
    ASSERT_EQ(1u, answer.boxes().size());
    EXPECT_EQ(L"新しいファイル名の変更", answer.boxes()[0].caption);
    EXPECT_EQ(std::wstring(kForbiddenInNameMessage), answer.boxes()[0].text);
    EXPECT_GE(activations, 2) << "the dialog was still open after the message";
    EXPECT_EQ(0, Files().At(0).status);
    EXPECT_STREQ(L"", Files().At(0).newName);
}

TEST(EditNameRules, ARootFileAndATooLongName) {
    FileList list;
    FileEntry e = {};
    wcscpy(e.fullPath, L"C:\\x.zip");
    wcscpy(e.directory, L"C:");
    list.AppendEntry(e);
    ASSERT_TRUE(StoreEditedName(list, 0, L"New.zip"));
    EXPECT_STREQ(L"C:\\New.zip", list.At(0).newFullPath);
    EXPECT_EQ(1, list.At(0).status);
    EXPECT_FALSE(StoreEditedName(list, 0, std::wstring(258, L'n').c_str()));
    EXPECT_STREQ(L"New.zip", list.At(0).newName) << "a refused name changes nothing";
}

} // namespace
