// The update check against a small HTTP server on 127.0.0.1, answered by a
// script instead of a user; the version comparison.
#include <gtest/gtest.h>

#include "HttpServer.h"
#include "TestFiles.h"
#include "update/UpdateCheck.h"
#include "update/VersionFile.h"

namespace {

// Logs what the check shows and asks, and answers from a script.
struct ScriptedDialogue final : UpdateDialogue {
    std::string answers; // 'y' or 'n' for each question
    std::wstring savePath, log;
    CancelFlag* cancelAtFirstBlock = nullptr;
    unsigned long long received = 0;
    int percent = -1; // never told
    size_t asked = 0;

    void Show(UpdateStatus status) override {
        log += std::vector<std::wstring>{L"checking ", L"found ", L"downloading ", L"done "}[int(status)];
    }
    bool Ask(UpdateQuestion question) override {
        log += std::vector<std::wstring>{L"download? ", L"anyway? ", L"report? "}[int(question)];
        return answers.at(asked++) == 'y';
    }
    void Report(UpdateFailure failure) override {
        log += failure == UpdateFailure::CheckFailed ? L"check-failed " : L"download-failed ";
    }
    bool ChooseSavePath(const wchar_t* name, wchar_t (&path)[MAX_PATH]) override {
        log += L"save:" + std::wstring(name) + L" ";
        return wcscpy(path, savePath.c_str());
    }
    void OpenHomePage() override { log += L"home "; }
    void Received(unsigned long long total) override {
        received = total;
        if (cancelAtFirstBlock) cancelAtFirstBlock->Set();
    }
    void Percent(int value) override { percent = value; }
};

TEST(UpdateCheckTest, AgainstTheServer) {
    const std::string archive(10000, 'z'), newer = "1.4.0.0,\x83\x65\x83\x58\x83\x67.zip,/z.zip\r\n";
    const std::wstring asked = L"checking found download? save:テスト.zip downloading ";
    const std::wstring noPath = L"checking found download? save: downloading download-failed ";
    struct Case {
        const char* name;
        std::string versionFile, download; // "": no server at all; a 404. A version file may be a whole reply.
        std::string answers; // 'y' or 'n' for each question
        std::wstring log;
        int percent; // when saved: 100, or -1 when never told
    } cases[] = {
        {"downloaded", newer, HttpServer::Reply(archive), "y", asked + L"done ", 100},
        {"no Content-Length", newer, HttpServer::Reply(archive, false), "y", asked + L"done ", -1},
        {"second Yes", "1.3.10.0,a\\..\\b.zip,/z.zip", HttpServer::Reply(archive), "ny",
         L"checking found download? anyway? save:b.zip downloading done ", 100},
        {"404 on the download", newer, "", "y", asked + L"download-failed ", -1},
        {"cut mid-body", newer, HttpServer::Reply(archive).substr(0, 3000), "y", asked + L"download-failed ", -1},
        // The server stalls for 6 s; the check's waits are limited to 1 s.
        {"stalled mid-body", newer, HttpServer::Reply(archive).substr(0, 3000) + HttpServer::kStall, "y",
         asked + L"download-failed ", -1},
        {"version file stalls", "HTTP/1.1 200 OK\r\nContent-Length: 99\r\n\r\n1.4" + std::string(HttpServer::kStall),
         "", "", L"checking check-failed ", -1},
        {"cancelled", newer, HttpServer::Reply(archive), "y", asked, -1},
        {"no server", "", "", "", L"checking check-failed ", -1},
        {"version file 404", "HTTP/1.1 404 Not Found\r\n\r\n" + newer, "", "", L"checking check-failed ", -1},
        {"No then No", newer, HttpServer::Reply(archive), "nn", L"checking found download? anyway? ", -1},
        {"no commas", "1.4.0.0", "", "y", noPath, -1},
        {"an empty field ends the scan", "1.4.0.0,,/z.zip", HttpServer::Reply(archive), "y", noPath, -1},
        {"126 units", "1.4.0.0," + std::string(118, 'a'), "", "y",
         L"checking found download? save:" + std::wstring(118, L'a') + L" downloading download-failed ", -1},
        {"127 units", "1.4.0.0," + std::string(119, 'a'), "", "", L"checking check-failed ", -1},
        {"5,000 bytes of junk", std::string(5000, '\x83'), "", "", L"checking check-failed ", -1},
        {"not a version", "x.y,a.zip,/z.zip", "", "", L"checking check-failed ", -1},
        {"up to date", "1.3.9.0,a.zip,/z.zip", "", "y", L"checking report? home ", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::map<std::string, std::string> replies;
        bool raw = c.versionFile.rfind("HTTP/", 0) == 0;
        replies["/v.dat"] = raw ? c.versionFile : HttpServer::Reply(c.versionFile);
        if (!c.download.empty()) replies["/z.zip"] = c.download;
        HttpServer server(replies);
        if (c.versionFile.empty()) server.Stop();
        SetEnvironmentVariableW(L"ZORVEL_UPDATE_HOST", server.Host().c_str());
        SetEnvironmentVariableW(L"ZORVEL_UPDATE_URL", (L"http://" + server.Host() + L"/v.dat").c_str());
        TempDir folder;
        CancelFlag cancel;
        ScriptedDialogue dialogue;
        dialogue.answers = c.answers;
        dialogue.savePath = folder / L"saved.zip";
        dialogue.cancelAtFirstBlock = std::string(c.name) == "cancelled" ? &cancel : nullptr;
        ASSERT_TRUE(WriteBytes(dialogue.savePath, "old"));

        DWORD started = GetTickCount();
        CheckForUpdate(UpdateJob{L"unused", L"unused", true, 1000}, dialogue, cancel);
        EXPECT_LT(GetTickCount() - started, 4000u) << "a stalled server holds the check";
        EXPECT_EQ(c.log, dialogue.log);
        bool saved = c.log.find(L"done") != std::wstring::npos;
        EXPECT_TRUE(ReadBytes(dialogue.savePath) == (saved ? archive : "old"));
        EXPECT_FALSE(FileExists(dialogue.savePath + L".tmp"));
        if (saved) {
            EXPECT_EQ(c.percent, dialogue.percent);
            EXPECT_EQ(archive.size(), dialogue.received);
        }
    }
}

TEST(UpdateCheckTest, VersionComparisonAgainst1_3_9_0) {
    const std::pair<const wchar_t*, bool> cases[] = {
        {L"1.3.10.0", true}, {L"1.3.9.0", false}, {L"1.2.99.0", false}, {L"0.9.9.9", false}, {L"2", true},
        {L"", false},        {L"x.y", false},     {L"1.4", true},       {L"99999999999", true}};
    for (const auto& c : cases) EXPECT_EQ(c.second, IsNewerVersion(L"1.3.9.0", c.first)) << c.first;
}

} // namespace
