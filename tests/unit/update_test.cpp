// The update check against a small HTTP server on 127.0.0.1, answered by a
// script instead of a user; the version comparison.
#include <gtest/gtest.h>

#include <cstdio>
#include <future>

#include "HttpServer.h"
#include "TestFiles.h"
#include "update/Sha256.h"
#include "update/UpdateCheck.h"
#include "update/VersionFile.h"

namespace {

// Logs what the check shows and asks, and answers from a script.
struct ScriptedDialogue final : UpdateDialogue {
    std::string answers; // for each question 'y', 'n', or 'c': yes, and the window closes meanwhile
    std::wstring savePath, log;
    CancelFlag* cancel = nullptr;
    unsigned long long received = 0;
    int percent = -1; // never told
    int reports = 0;
    DWORD downloadStarted = 0;
    size_t asked = 0;

    void Show(UpdateStatus status) override {
        log += std::vector<std::wstring>{L"checking ", L"found ", L"downloading ", L"done "}[int(status)];
        if (status == UpdateStatus::Downloading) downloadStarted = GetTickCount();
    }
    bool Ask(UpdateQuestion question) override {
        log += std::vector<std::wstring>{L"download? ", L"anyway? ", L"report? "}[int(question)];
        char answer = answers.at(asked++);
        if (answer == 'c') cancel->Set();
        return answer != 'n';
    }
    void Report(UpdateFailure failure) override {
        log += std::vector<std::wstring>{L"check-failed ", L"download-failed ", L"download-mismatch "}[int(failure)];
    }
    bool ChooseSavePath(const wchar_t* name, wchar_t (&path)[MAX_PATH]) override {
        log += L"save:" + std::wstring(name) + L" ";
        return wcscpy(path, savePath.c_str());
    }
    void OpenHomePage() override { log += L"home "; }
    void Received(unsigned long long total) override {
        received = total;
        ++reports;
    }
    void Percent(int value) override { percent = value; }
};

void PointAt(const HttpServer& server) {
    SetEnvironmentVariableW(L"ZORVEL_UPDATE_HOST", server.Host().c_str());
    SetEnvironmentVariableW(L"ZORVEL_UPDATE_URL", (L"http://" + server.Host() + L"/v.dat").c_str());
}

// Servers that answer, fail, stall, drip, loop, lie about lengths or name
// files they should not. A check that has not ended after 10 s fails its row.
TEST(UpdateCheckTest, AgainstServers) {
    const std::string archive(1 << 20, 'z'), line = "1.4.0.0,\x83\x65\x83\x58\x83\x67.zip,/z.zip", newer = line + "\r\n";
    auto offered = [](const std::wstring& name) { return L"checking found download? save:" + name + L" downloading "; };
    const std::wstring asked = offered(L"テスト.zip"), failed = L"checking check-failed ";
    // The archive's SHA-256 as the release writes it into the fourth field.
    const std::string hash = "3ac3338d67611f3edb444a8f730d5e3a6559d4640e7b1a2d5fa58bafbda3254a", hashed = line + ",";
    std::string dripping = HttpServer::Reply(archive);
    dripping.insert(dripping.size() - archive.size(), HttpServer::Silence(20000));
    struct Case {
        const char* name;
        std::string versionFile;                 // a first line or a whole reply; "": no server at all
        std::map<std::string, std::string> more; // other replies; /z.zip is the archive unless given
        std::wstring log;
        std::string answers = "y";
        int percent = 100;            // the last one told when saved; -1: never told
        bool cancelWhenQuiet = false; // the check's waits are 30 s, not 1 s: only the cancel ends it
        int requests = 0;             // when not 0, how many the server must have had
        const wchar_t* chosen = L"saved.zip"; // in the save dialog
        const wchar_t* landed = L"saved.zip"; // where the archive lands, if it does
    } cases[] = {
        {"downloaded", newer, {}, asked + L"done "},
        {"no Content-Length", newer, {{"/z.zip", HttpServer::Reply(archive, false)}}, asked + L"done ", "y", -1},
        {"second Yes, parent folders in the name", "1.3.10.0,..\\..\\b.zip,/z.zip", {},
         L"checking found download? anyway? save:b.zip downloading done ", "ny"},
        {"404 on the download", newer, {{"/z.zip", "HTTP/1.1 404 Not Found\r\n\r\n"}}, asked + L"download-failed "},
        // A byte every 0.3 s is slow, never silent for 1 s: it is read as it comes.
        {"slow but steady", newer,
         {{"/z.zip", HttpServer::Reply(archive).insert(HttpServer::Reply(archive).size() - 4, HttpServer::Silence(300))}},
         asked + L"done "},
        {"cut mid-body", newer, {{"/z.zip", HttpServer::Reply(archive).substr(0, 3000)}}, asked + L"download-failed "},
        {"stalled mid-body", newer, {{"/z.zip", HttpServer::Reply(archive).substr(0, 3000) + HttpServer::Silence()}},
         asked + L"download-failed "},
        // A window closed while the question is shown: the answer comes, the download does not.
        {"cancelled at the question", newer, {}, L"checking found download? ", "c"},
        {"no server", "", {}, failed},
        {"version file 404", "HTTP/1.1 404 Not Found\r\n\r\n" + newer, {}, failed},
        {"version file cut", "HTTP/1.1 200 OK\r\nContent-Length: 99\r\n\r\n" + newer, {}, failed},
        {"No then No", newer, {}, L"checking found download? anyway? ", "nn"},
        {"122 units with .zip", "1.4.0.0," + std::string(118, 'a'), {}, // and no server path to ask for
         offered(std::wstring(118, L'a') + L".zip") + L"download-failed "},
        {"127 units", "1.4.0.0," + std::string(119, 'a'), {}, failed},
        {"no room for .zip", "2," + std::string(124, 'a'), {}, failed},
        {"5,000 bytes of junk", std::string(5000, '\x83'), {}, failed},
        {"not a version", "x.y,a.zip,/z.zip", {}, failed},
        {"up to date", "1.3.9.0,a.zip,/z.zip", {}, L"checking report? home "},
        {"hash matches, upper case", hashed + "3AC3338D67611F3EDB444A8F730D5E3A6559D4640E7B1A2D5FA58BAFBDA3254A", {},
         asked + L"done "},
        {"hash differs", hashed + "3ac3338d67611f3edb444a8f730d5e3a6559d4640e7b1a2d5fa58bafbda3254b", {},
         asked + L"download-mismatch "},
        {"hash one digit short", hashed + hash.substr(1), {}, failed},
        {"a fifth field", hashed + hash + ",x", {}, failed},
        {"drip on the download", newer, {{"/z.zip", dripping}}, asked, "y", 100, true},
        {"silent after the status line", "HTTP/1.1 200 OK\r\n" + HttpServer::Silence(), {}, L"checking ", "y", 100, true},
        {"redirect loop", HttpServer::Redirect(302, "/v.dat"), {}, failed, "y", 100, false, 6},
        {"redirect to ftp", HttpServer::Redirect(302, "ftp://{host}/v2.dat"), {{"/v2.dat", HttpServer::Reply(line)}},
         failed},
        {"five redirects, relative ones too", HttpServer::Redirect(301, "http://{host}/a/r1"),
         {{"/a/r1", HttpServer::Redirect(302, "r2")}, {"/a/r2", HttpServer::Redirect(303, "../r3")},
          {"/r3", HttpServer::Redirect(307, "//{host}/r4")}, {"/r4", HttpServer::Redirect(308, "/v2.dat")},
          {"/v2.dat", HttpServer::Reply(line)}, {"/z.zip", HttpServer::Redirect(308, "/z2.zip")},
          {"/z2.zip", HttpServer::Reply(archive)}},
         asked + L"done "},
        {"Content-Length past 32 bits", newer,
         {{"/z.zip", "HTTP/1.1 200 OK\r\nContent-Length: 4294967396\r\n\r\n" + archive.substr(0, 100)}},
         asked + L"download-failed "},
        {"a drive", "1.4.0.0,C:evil.zip,/z.zip", {}, offered(L"evil.zip") + L"done "},
        {"nul.zip", "1.4.0.0,nul.zip,/z.zip", {}, failed},
        {"a folder, no name", "1.4.0.0,dir\\..,/z.zip", {}, failed},
        {"a chosen path without .zip", newer, {}, asked + L"done ", "y", 100, false, 0, L"saved.exe", L"saved.exe.zip"},
        {"...whose .zip is taken", newer, {}, asked + L"download-failed ", "y", 100, false, 0, L"taken.exe",
         L"taken.exe.zip"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::map<std::string, std::string> replies = {{"/z.zip", HttpServer::Reply(archive)}};
        replies["/v.dat"] = c.versionFile.rfind("HTTP/", 0) == 0 ? c.versionFile : HttpServer::Reply(c.versionFile);
        for (const auto& more : c.more) replies[more.first] = more.second;
        HttpServer server(replies);
        if (c.versionFile.empty()) server.Stop();
        PointAt(server);
        TempDir folder;
        for (const wchar_t* name : {c.chosen, L"taken.exe.zip"}) ASSERT_TRUE(WriteBytes(folder / name, "old"));
        CancelFlag cancel;
        ScriptedDialogue dialogue;
        dialogue.answers = c.answers;
        dialogue.savePath = folder / c.chosen;
        dialogue.cancel = &cancel;
        DWORD ended = 0;
        auto check = std::async(std::launch::async, [&] {
            CheckForUpdate(UpdateJob{L"unused", L"unused", true, c.cancelWhenQuiet ? 30000u : 1000u}, dialogue, cancel);
            ended = GetTickCount();
        });
        DWORD cancelled = 0;
        if (c.cancelWhenQuiet) {
            EXPECT_TRUE(server.WaitUntilQuiet(10000));
            cancelled = GetTickCount();
            cancel.Set(); // from this thread, as the window cancels
        }
        bool done = check.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
        EXPECT_TRUE(done) << "still running 10 s on";
        if (done && c.cancelWhenQuiet) printf("[ cancel   ] %s: the check ended %lu ms after the cancel\n", c.name, ended - cancelled);
        if (!done) server.Stop(); // lets the check go
        check.wait();

        EXPECT_EQ(c.log, dialogue.log);
        EXPECT_TRUE(c.requests == 0 || c.requests == server.Requests()) << server.Requests() << " requests";
        bool saved = c.log.find(L"done") != std::wstring::npos;
        for (const std::wstring& path : {folder / c.chosen, folder / L"taken.exe.zip", folder / c.landed})
            EXPECT_TRUE(ReadBytes(path) == (saved && path == folder / c.landed ? archive : "old")) << Utf8(path);
        WIN32_FIND_DATAW found;
        EXPECT_FALSE(ScopedFind(FindFirstFileW((folder / L"*.tmp").c_str(), &found))) << "a .tmp is left";
        if (saved) {
            EXPECT_EQ(c.percent, dialogue.percent);
            EXPECT_EQ(archive.size(), dialogue.received);
            // Each report redraws the window: at most ten a second, and the total once at the end.
            EXPECT_LE(dialogue.reports, int((ended - dialogue.downloadStarted) / 100 + 2));
        }
    }
}

// Known answers: empty, the padding spilling into a second block, and a
// million bytes fed in pieces of 1,000, which the 64-byte blocks cut across.
TEST(UpdateCheckTest, Sha256KnownAnswers) {
    const struct {
        std::string input;
        const wchar_t* hex;
    } cases[] = {
        {"", L"e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         L"248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'), L"cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const auto& c : cases) {
        Sha256 hash;
        for (size_t at = 0; at < c.input.size(); at += 1000) hash.Add(c.input.data() + at, std::min<size_t>(1000, c.input.size() - at));
        uint8_t digest[kSha256Bytes], expected[kSha256Bytes];
        hash.Finish(digest);
        ASSERT_TRUE(HexToDigest(c.hex, expected));
        EXPECT_EQ(0, memcmp(digest, expected, kSha256Bytes)) << c.hex;
    }
}

TEST(UpdateCheckTest, VersionComparisonAgainst1_3_9_0) {
    const std::pair<const wchar_t*, bool> cases[] = {
        {L"1.3.10.0", true}, {L"1.3.9.0", false}, {L"1.2.99.0", false}, {L"1.4", true}, {L"x.y", false},
        {L"99999999999", true}};
    for (const auto& c : cases) EXPECT_EQ(c.second, IsNewerVersion(L"1.3.9.0", c.first)) << c.first;
}

} // namespace
