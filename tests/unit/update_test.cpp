// The update check against a small HTTP server on 127.0.0.1, answered by a
// script instead of a user; the version file and the version comparison.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HttpServer.h"
#include "TestFiles.h"
#include "update/UpdateCheck.h"
#include "update/UpdateServer.h"
#include "update/VersionFile.h"

namespace {

// Records what the check shows and asks, in order, and answers from a script.
struct ScriptedDialogue final : UpdateDialogue {
    std::vector<bool> answers;
    std::wstring savePath;      // "" cancels the save dialog
    CancelFlag* cancel = nullptr; // set after the first block when given
    std::wstring log;
    unsigned long long received = 0;
    int percent = -1; // never told

    void Show(UpdateStatus status) override {
        const wchar_t* names[] = {L"checking ", L"found ", L"downloading ", L"done "};
        log += names[static_cast<int>(status)];
    }
    bool Ask(UpdateQuestion question) override {
        const wchar_t* names[] = {L"download? ", L"anyway? ", L"report? "};
        log += names[static_cast<int>(question)];
        bool yes = !answers.empty() && answers.front();
        if (!answers.empty()) answers.erase(answers.begin());
        return yes;
    }
    void Report(UpdateFailure failure) override {
        log += failure == UpdateFailure::CheckFailed ? L"check-failed " : L"download-failed ";
    }
    bool ChooseSavePath(const wchar_t* name, wchar_t (&path)[MAX_PATH]) override {
        log += L"save:" + std::wstring(name) + L" ";
        wcscpy(path, savePath.c_str());
        return !savePath.empty();
    }
    void OpenHomePage() override { log += L"home "; }
    void Received(unsigned long long total) override {
        received = total;
        if (cancel) cancel->Set();
    }
    void Percent(int value) override { percent = value; }
};

std::string Bytes(size_t count, unsigned step) {
    std::string bytes(count, '\0');
    for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<char>(i * step + 11);
    return bytes;
}

TEST(UpdateCheckTest, AgainstTheServer) {
    const std::string archive = Bytes(10000, 7);
    const std::string newer = "1.4.0.0,Zorvel-1.4.zip,/z.zip\r\n";
    struct Case {
        const char* name;
        std::string versionFile; // "" for no server at all
        std::string download;    // the reply to /z.zip; "" for a 404
        std::vector<bool> answers;
        const wchar_t* log;
        bool saved; // the archive replaced the old file
        bool cancelAfterFirstBlock;
    } cases[] = {
        {"downloaded", newer, HttpServer::Reply(archive), {true},
         L"checking found download? save:Zorvel-1.4.zip downloading done ", true, false},
        {"no Content-Length", newer, HttpServer::Reply(archive, false), {true},
         L"checking found download? save:Zorvel-1.4.zip downloading done ", true, false},
        {"second Yes", "1.3.10.0,a\\..\\b.zip,/z.zip", HttpServer::Reply(archive), {false, true},
         L"checking found download? anyway? save:b.zip downloading done ", true, false},
        {"404 on the download", newer, "", {true},
         L"checking found download? save:Zorvel-1.4.zip downloading download-failed ", false, false},
        {"cut mid-body", newer, HttpServer::Reply(archive).substr(0, 3000), {true},
         L"checking found download? save:Zorvel-1.4.zip downloading download-failed ", false, false},
        {"cancelled", newer, HttpServer::Reply(archive), {true},
         L"checking found download? save:Zorvel-1.4.zip downloading ", false, true},
        {"no server", "", "", {}, L"checking check-failed ", false, false},
        {"No then No", newer, HttpServer::Reply(archive), {false, false},
         L"checking found download? anyway? ", false, false},
        {"no commas", "1.4.0.0", HttpServer::Reply(archive), {true},
         L"checking found download? save: downloading download-failed ", false, false},
        {"5,000 bytes of junk", Bytes(5000, 37), "", {}, L"checking check-failed ", false, false},
        {"no line end", std::string(5000, '7'), "", {}, L"checking check-failed ", false, false},
        {"up to date", "1.3.9.0,a.zip,/z.zip", "", {true}, L"checking report? home ", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::map<std::string, std::string> replies = {{"/update/version.dat", HttpServer::Reply(c.versionFile)}};
        if (!c.download.empty()) replies["/z.zip"] = c.download;
        HttpServer server(replies);
        if (c.versionFile.empty()) server.Stop();
        SetEnvironmentVariableW(L"ZORVEL_UPDATE_HOST", server.Host().c_str());
        SetEnvironmentVariableW(L"ZORVEL_UPDATE_URL", (L"http://" + server.Host() + L"/update/version.dat").c_str());
        TempDir folder;
        ScriptedDialogue dialogue;
        dialogue.answers = c.answers;
        dialogue.savePath = folder / L"saved.zip";
        ASSERT_TRUE(WriteBytes(dialogue.savePath, "old"));
        CancelFlag cancel;
        if (c.cancelAfterFirstBlock) dialogue.cancel = &cancel;

        CheckForUpdate(UpdateJob{L"unused", L"unused", true}, dialogue, cancel);
        EXPECT_EQ(c.log, dialogue.log);
        std::string saved = ReadBytes(dialogue.savePath);
        EXPECT_TRUE(saved == (c.saved ? archive : "old")) << saved.size() << " bytes at the save path";
        EXPECT_FALSE(FileExists(dialogue.savePath + L".tmp"));
        if (c.saved) {
            EXPECT_EQ(archive.size(), dialogue.received);
            EXPECT_EQ(std::string(c.name) == "no Content-Length" ? -1 : 100, dialogue.percent);
        }
        if (c.cancelAfterFirstBlock) {
            EXPECT_LT(dialogue.received, archive.size());
        }
    }
    SetEnvironmentVariableW(L"ZORVEL_UPDATE_HOST", nullptr);
    SetEnvironmentVariableW(L"ZORVEL_UPDATE_URL", nullptr);
}

TEST(UpdateCheckTest, VersionComparisonAgainst1_3_9_0) {
    const struct {
        const wchar_t* published;
        bool newer;
    } cases[] = {{L"1.3.10.0", true}, {L"1.3.9.0", false}, {L"1.2.99.0", false}, {L"0.9.9.9", false},
                 {L"2", true},        {L"", false},        {L"x.y", false},      {L"1.4", true},
                 {L"1.3.9.1", true},  {L"99999999999.0", true}};
    for (const auto& c : cases) EXPECT_EQ(c.newer, IsNewerVersion(L"1.3.9.0", c.published)) << c.published;
}

TEST(UpdateCheckTest, VersionFileFirstLine) {
    const struct {
        std::string bytes;
        bool ok;
        std::wstring fields[3];
    } cases[] = {
        {"1.4.0.0,a.zip,/u/a.zip\r\n2.0,b,c", true, {L"1.4.0.0", L"a.zip", L"/u/a.zip"}},
        {"1.4,a.zip,/u/a.zip,more", true, {L"1.4", L"a.zip", L"/u/a.zip"}},
        {"1.4,,/u/a.zip", true, {L"1.4", L"", L""}},
        {std::string("1.4\0,a,b", 8), true, {L"1.4", L"", L""}},
        {"1.4,\x83\x65\x83\x58\x83\x67.zip,/t", true, {L"1.4", L"テスト.zip", L"/t"}},
        {"1.4," + std::string(122, 'a'), true, {L"1.4", std::wstring(122, L'a'), L""}},
        {"1.4," + std::string(123, 'a'), false, {L"", L"", L""}},
        {"\n1.4,a,b", false, {L"", L"", L""}},
    };
    for (const auto& c : cases) {
        VersionFile file;
        EXPECT_EQ(c.ok, ParseVersionFile(c.bytes.data(), c.bytes.size(), file)) << c.bytes;
        EXPECT_EQ(c.fields[0], std::wstring(file.version));
        EXPECT_EQ(c.fields[1], std::wstring(file.fileName));
        EXPECT_EQ(c.fields[2], std::wstring(file.serverPath));
    }
}

TEST(UpdateCheckTest, HostOverride) {
    const struct {
        const wchar_t* host;
        bool ok;
        int port;
    } cases[] = {{L"mirror", true, 80}, {L"mirror:8080", true, 8080}, {L"mirror:0", false, 0},
                 {L"mirror:65536", false, 0}, {L":80", false, 0}, {L"mirror:8x", false, 0}, {L"mirror:", false, 0}};
    for (const auto& c : cases) {
        SetEnvironmentVariableW(L"ZORVEL_UPDATE_HOST", c.host);
        UpdateServer server;
        EXPECT_EQ(c.ok, ResolveUpdateServer(L"zorvel.app", L"http://zorvel.app/update/version.dat", server)) << c.host;
        if (c.ok) {
            EXPECT_EQ(c.port, server.port) << c.host;
        }
    }
    SetEnvironmentVariableW(L"ZORVEL_UPDATE_HOST", nullptr);
}

} // namespace
