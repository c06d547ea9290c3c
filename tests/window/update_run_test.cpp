// Help > 最新版を確認 in the real main window: the worker's own question box
// and save dialog, answered as a user would, the status texts, and Esc while
// a server holds the download.
#include "HttpServer.h"
#include "WindowFixture.h"

#include <dlgs.h>

namespace {

class UpdateRunTest : public WindowFixture {
protected:
    // Starts the check against a server whose archive is zip, says yes and
    // saves it as new.zip; returns the question's text.
    std::wstring CheckAndSave(HttpServer& server) {
        SetEnvironmentVariableW(L"ZORVEL_UPDATE_HOST", server.Host().c_str());
        SetEnvironmentVariableW(L"ZORVEL_UPDATE_URL", (L"http://" + server.Host() + L"/v.dat").c_str());
        Open();
        Command(ID_HELP_UPDATE_CHECK);
        HWND box = nullptr, save = nullptr;
        EXPECT_TRUE(PumpUntil([&] { return (box = FindWindowW(L"#32770", L"アップデート")) != nullptr; }));
        std::wstring text = ControlText(box, 0xFFFF); // the box's text control
        EXPECT_EQ(L"最新版が見つかりました", StatusPart(1)) << "while the question is open";
        PostMessageW(box, WM_COMMAND, IDYES, 0);
        EXPECT_TRUE(PumpUntil([&] { return (save = FindWindowW(L"#32770", L"保存先を選択してください")) != nullptr; }));
        SetDlgItemTextW(save, cmb13, (files_ / L"new.zip").c_str()); // the file name box
        PostMessageW(save, WM_COMMAND, IDOK, 0);
        return text;
    }
    const std::string body_ = std::string(20000, 'z');
};

TEST_F(UpdateRunTest, ANewerVersionIsDownloadedWhereTheUserSays) {
    HttpServer server({{"/v.dat", HttpServer::Reply("1.4.0.0,Zorvel-1.4.zip,/z.zip")},
                       {"/z.zip", HttpServer::Reply(body_)}});
    EXPECT_EQ(L"最新版が公開されているようです。\n\nダウンロードしますか？", CheckAndSave(server));
    ASSERT_TRUE(PumpUntil([this] { return !RunInProgress(); }));
    EXPECT_EQ(body_, ReadBytes(files_ / L"new.zip"));
    EXPECT_EQ(L"ダウンロードが完了しました", StatusPart(0));
    EXPECT_EQ(nullptr, main_->ProgressBar());
}

// The server sends its headers, then a byte every 20 s: Esc ends the run at
// once, shows nothing more and leaves no file behind.
TEST_F(UpdateRunTest, EscEndsTheDownloadWhileTheServerDrips) {
    std::string reply = HttpServer::Reply(body_);
    reply.insert(reply.size() - body_.size(), HttpServer::Silence(20000));
    HttpServer server({{"/v.dat", HttpServer::Reply("1.4.0.0,Zorvel-1.4.zip,/z.zip")}, {"/z.zip", reply}});
    CheckAndSave(server);
    ASSERT_TRUE(PumpUntil([&] { return server.WaitUntilQuiet(0); }));
    DWORD pressed = GetTickCount();
    PostMessageW(window_, WM_COMMAND, ID_CANCEL, 0); // what Esc does
    ASSERT_TRUE(PumpUntil([&] { return !RunInProgress(); }));
    EXPECT_LT(GetTickCount() - pressed, 10000u) << "Esc waited for the server";
    EXPECT_FALSE(FileExists(files_ / L"new.zip"));
    EXPECT_FALSE(FileExists(files_ / L"new.zip.tmp"));
    EXPECT_EQ(nullptr, FindWindowW(L"#32770", L"アップデート")) << "a cancelled check shows nothing more";
}

} // namespace
