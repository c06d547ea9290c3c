// Help > 最新版を確認 in the real main window: the worker's own question box
// and save dialog, answered as a user would, and the status texts.
#include <windows.h>
#include <dlgs.h>

#include "HttpServer.h"
#include "WindowFixture.h"
#include "app/resource.h"

TEST_F(WindowFixture, UpdateCheckDownloadsANewerVersionWhereTheUserSays) {
    HttpServer server({{"/v.dat", HttpServer::Reply("1.4.0.0,Zorvel-1.4.zip,/z.zip")},
                       {"/z.zip", HttpServer::Reply(std::string(20000, 'z'))}});
    SetEnvironmentVariableW(L"ZORVEL_UPDATE_HOST", server.Host().c_str());
    SetEnvironmentVariableW(L"ZORVEL_UPDATE_URL", (L"http://" + server.Host() + L"/v.dat").c_str());
    Open();
    SendMessageW(window_, WM_COMMAND, ID_HELP_UPDATE_CHECK, 0);
    HWND box = nullptr, save = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (box = FindWindowW(L"#32770", L"アップデート")) != nullptr; }));
    wchar_t text[128] = L"";
    GetDlgItemTextW(box, 0xFFFF, text, 128);
    EXPECT_STREQ(L"最新版が公開されているようです。\n\nダウンロードしますか？", text);
    EXPECT_EQ(L"最新版が見つかりました", StatusPart(1));
    PostMessageW(box, WM_COMMAND, IDYES, 0);
    ASSERT_TRUE(PumpUntil([&] { return (save = FindWindowW(L"#32770", L"保存先を選択してください")) != nullptr; }));
    SetDlgItemTextW(save, cmb13, (files_ / L"new.zip").c_str()); // the file name box
    PostMessageW(save, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(PumpUntil([this] { return !RunInProgress(); }));
    EXPECT_EQ(20000u, ReadBytes(files_ / L"new.zip").size());
    EXPECT_EQ(L"ダウンロードが完了しました", StatusPart(0));
    EXPECT_EQ(nullptr, main_->ProgressBar());
}
