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

// Esc while the download waits on a server that sends a byte every 20 s:
// the run ends, shows nothing more, and leaves no file behind.
TEST_F(WindowFixture, UpdateCheckEndsAtEscWhileTheServerDrips) {
    std::string body(20000, 'z');
    HttpServer server({{"/v.dat", HttpServer::Reply("1.4.0.0,Zorvel-1.4.zip,/z.zip")},
                       {"/z.zip", HttpServer::Reply(body).insert(HttpServer::Reply(body).size() - body.size(),
                                                                 HttpServer::Silence(20000))}});
    SetEnvironmentVariableW(L"ZORVEL_UPDATE_HOST", server.Host().c_str());
    SetEnvironmentVariableW(L"ZORVEL_UPDATE_URL", (L"http://" + server.Host() + L"/v.dat").c_str());
    Open();
    SendMessageW(window_, WM_COMMAND, ID_HELP_UPDATE_CHECK, 0);
    HWND box = nullptr, save = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (box = FindWindowW(L"#32770", L"アップデート")) != nullptr; }));
    PostMessageW(box, WM_COMMAND, IDYES, 0);
    ASSERT_TRUE(PumpUntil([&] { return (save = FindWindowW(L"#32770", L"保存先を選択してください")) != nullptr; }));
    SetDlgItemTextW(save, 0x47C, (files_ / L"new.zip").c_str());
    PostMessageW(save, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(PumpUntil([&] { return server.WaitUntilQuiet(0); }));

    DWORD pressed = GetTickCount();
    PostMessageW(window_, WM_COMMAND, ID_CANCEL, 0); // what Esc does
    ASSERT_TRUE(PumpUntil([&] { return !RunInProgress(); }));
    DWORD took = GetTickCount() - pressed;
    printf("[ cancel   ] the window's run ended %lu ms after Esc\n", took);
    EXPECT_LT(took, 10000u) << "Esc waited for the server";
    EXPECT_FALSE(FileExists(files_ / L"new.zip"));
    EXPECT_FALSE(FileExists(files_ / L"new.zip.tmp"));
    EXPECT_EQ(nullptr, FindWindowW(L"#32770", L"アップデート")) << "a cancelled check shows nothing more";
}
