// Help > 最新版を確認 in the real main window: the run, its status texts and
// the boxes and save dialog its worker shows, answered as a user would.
#include <gtest/gtest.h>

#include "HttpServer.h"
#include "WindowFixture.h"
#include "app/resource.h"

namespace {

class UpdateRunTest : public WindowFixture {
protected:
    // The worker's dialog with this caption, once it is up.
    HWND WaitForDialog(const wchar_t* caption) {
        HWND dialog = nullptr;
        EXPECT_TRUE(PumpUntil([&] { return (dialog = FindWindowW(L"#32770", caption)) != nullptr; })) << caption;
        return dialog;
    }
    std::wstring TextOf(HWND control) {
        wchar_t text[512] = L"";
        GetWindowTextW(control, text, 512);
        return text;
    }
};

TEST_F(UpdateRunTest, ANewerVersionIsDownloadedWhereTheUserSaysAndNoServerGivesTheError) {
    const std::string archive(20000, 'z');
    HttpServer server({{"/v.dat", HttpServer::Reply("1.4.0.0,Zorvel-1.4.zip,/z.zip")},
                       {"/z.zip", HttpServer::Reply(archive)}});
    SetEnvironmentVariableW(L"ZORVEL_UPDATE_HOST", server.Host().c_str());
    SetEnvironmentVariableW(L"ZORVEL_UPDATE_URL", (L"http://" + server.Host() + L"/v.dat").c_str());
    Open();
    SendMessageW(window_, WM_COMMAND, ID_HELP_UPDATE_CHECK, 0);
    HWND box = WaitForDialog(L"アップデート");
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(L"最新版が公開されているようです。\n\nダウンロードしますか？", TextOf(GetDlgItem(box, 0xFFFF)));
    EXPECT_EQ(L"最新版が見つかりました", StatusPart(1));
    PostMessageW(box, WM_COMMAND, IDYES, 0);
    HWND save = WaitForDialog(L"保存先を選択してください");
    ASSERT_NE(nullptr, save);
    std::wstring path = files_ / L"Zorvel-1.4.zip";
    SetDlgItemTextW(save, 0x47C, path.c_str()); // the file name box
    PostMessageW(save, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(PumpUntil([] { return !RunInProgress(); }));
    EXPECT_TRUE(ReadBytes(path) == archive);
    EXPECT_EQ(L"ダウンロードが完了しました", StatusPart(0));
    EXPECT_EQ(nullptr, g_ui.progressBar);

    server.Stop(); // nothing listens there now
    SendMessageW(window_, WM_COMMAND, ID_HELP_UPDATE_CHECK, 0);
    box = WaitForDialog(L"アップデート");
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(L"エラーが発生したため、バージョンチェックを行うことが出来ません。\nインターネットに接続されているか確認して下さい。",
              TextOf(GetDlgItem(box, 0xFFFF)));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(PumpUntil([] { return !RunInProgress(); }));
    SetEnvironmentVariableW(L"ZORVEL_UPDATE_HOST", nullptr);
    SetEnvironmentVariableW(L"ZORVEL_UPDATE_URL", nullptr);
}

} // namespace
