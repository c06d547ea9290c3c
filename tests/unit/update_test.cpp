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
    std::string answers; // 'y' or 'n' for each question
    std::wstring savePath, log;
    CancelFlag* cancelWhenAsked = nullptr;
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
        if (cancelWhenAsked) cancelWhenAsked->Set();
        return answers.at(asked++) == 'y';
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

TEST(UpdateCheckTest, AgainstTheServer) {
    const std::string archive(1 << 20, 'z'), newer = "1.4.0.0,\x83\x65\x83\x58\x83\x67.zip,/z.zip\r\n";
    const std::wstring asked = L"checking found download? save:テスト.zip downloading ";
    // The archive's SHA-256 as the release writes it into the fourth field.
    const std::string hash = "3ac3338d67611f3edb444a8f730d5e3a6559d4640e7b1a2d5fa58bafbda3254a";
    const std::string hashed = "1.4.0.0,\x83\x65\x83\x58\x83\x67.zip,/z.zip,";
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
        // A byte every 0.3 s is slow, never silent for 1 s: it is read as it comes.
        {"slow but steady", newer, HttpServer::Reply(archive).insert(HttpServer::Reply(archive).size() - 4, HttpServer::Silence(300)),
         "y", asked + L"done ", 100},
        {"cut mid-body", newer, HttpServer::Reply(archive).substr(0, 3000), "y", asked + L"download-failed ", -1},
        // The server falls silent; the check's waits are limited to 1 s.
        {"stalled mid-body", newer, HttpServer::Reply(archive).substr(0, 3000) + HttpServer::Silence(), "y",
         asked + L"download-failed ", -1},
        {"version file stalls", "HTTP/1.1 200 OK\r\nContent-Length: 99\r\n\r\n1.4" + HttpServer::Silence(),
         "", "", L"checking check-failed ", -1},
        // A window closed while the question is shown: the answer comes, the download does not.
        {"cancelled at the question", newer, HttpServer::Reply(archive), "y", L"checking found download? ", -1},
        {"no server", "", "", "", L"checking check-failed ", -1},
        {"version file 404", "HTTP/1.1 404 Not Found\r\n\r\n" + newer, "", "", L"checking check-failed ", -1},
        {"No then No", newer, HttpServer::Reply(archive), "nn", L"checking found download? anyway? ", -1},
        {"no name", "1.4.0.0", "", "", L"checking check-failed ", -1},
        {"no server path", "1.4.0.0,a.zip", "", "y", L"checking found download? save:a.zip downloading download-failed ",
         -1},
        {"122 units with .zip", "1.4.0.0," + std::string(118, 'a'), "", "y",
         L"checking found download? save:" + std::wstring(118, L'a') + L".zip downloading download-failed ", -1},
        {"127 units", "1.4.0.0," + std::string(119, 'a'), "", "", L"checking check-failed ", -1},
        {"no room for .zip", "2," + std::string(124, 'a'), "", "", L"checking check-failed ", -1},
        {"5,000 bytes of junk", std::string(5000, '\x83'), "", "", L"checking check-failed ", -1},
        {"not a version", "x.y,a.zip,/z.zip", "", "", L"checking check-failed ", -1},
        {"up to date", "1.3.9.0,a.zip,/z.zip", "", "y", L"checking report? home ", -1},
        {"hash matches, upper case", hashed + "3AC3338D67611F3EDB444A8F730D5E3A6559D4640E7B1A2D5FA58BAFBDA3254A", HttpServer::Reply(archive), "y", asked + L"done ", 100},
        {"hash differs", hashed + "3ac3338d67611f3edb444a8f730d5e3a6559d4640e7b1a2d5fa58bafbda3254b", HttpServer::Reply(archive), "y", asked + L"download-mismatch ", -1},
        {"hash of a cut reply", hashed + hash, HttpServer::Reply(archive, false).substr(0, 70000), "y", asked + L"download-mismatch ", -1},
        {"hash one digit short", hashed + hash.substr(1), "", "", L"checking check-failed ", -1},
        {"a fifth field", hashed + hash + ",x", "", "", L"checking check-failed ", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::map<std::string, std::string> replies;
        bool raw = c.versionFile.rfind("HTTP/", 0) == 0;
        replies["/v.dat"] = raw ? c.versionFile : HttpServer::Reply(c.versionFile);
        if (!c.download.empty()) replies["/z.zip"] = c.download;
        HttpServer server(replies);
        if (c.versionFile.empty()) server.Stop();
        PointAt(server);
        TempDir folder;
        CancelFlag cancel;
        ScriptedDialogue dialogue;
        dialogue.answers = c.answers;
        dialogue.savePath = folder / L"saved.zip";
        dialogue.cancelWhenAsked = std::string(c.name) == "cancelled at the question" ? &cancel : nullptr;
        ASSERT_TRUE(WriteBytes(dialogue.savePath, "old"));

        DWORD started = GetTickCount();
        CheckForUpdate(UpdateJob{L"unused", L"unused", true, 1000}, dialogue, cancel);
        DWORD ended = GetTickCount();
        EXPECT_LT(ended - started, 4000u) << "a stalled server holds the check";
        EXPECT_EQ(c.log, dialogue.log);
        bool saved = c.log.find(L"done") != std::wstring::npos;
        EXPECT_TRUE(ReadBytes(dialogue.savePath) == (saved ? archive : "old"));
        EXPECT_FALSE(FileExists(dialogue.savePath + L".tmp"));
        if (saved) {
            EXPECT_EQ(c.percent, dialogue.percent);
            EXPECT_EQ(archive.size(), dialogue.received);
            // Each report redraws the window: at most ten a second, and the total once at the end.
            EXPECT_LE(dialogue.reports, int((ended - dialogue.downloadStarted) / 100 + 2));
        }
    }
}

// Servers that fall silent, drip, loop, lie about lengths or name files they
// should not. A check that has not ended after 10 s fails its row.
TEST(UpdateCheckTest, AgainstHostileServers) {
    const std::string archive(10000, 'z'), line = "1.4.0.0,Zorvel-1.4.zip,/z.zip";
    auto named = [](const std::string& name) { return HttpServer::Reply("1.4.0.0," + name + ",/z.zip"); };
    auto dripping = [](const std::string& body, size_t at) {
        std::string reply = HttpServer::Reply(body);
        return reply.insert(reply.size() - body.size() + at, HttpServer::Silence(20000));
    };
    auto offered = [](const std::wstring& name) { return L"checking found download? save:" + name + L" downloading "; };
    const std::wstring asked = offered(L"Zorvel-1.4.zip"), failed = L"checking check-failed ";
    struct Case {
        const char* name;
        std::string versionFile;                 // the reply to /v.dat
        std::map<std::string, std::string> more; // other replies; /z.zip is the archive unless given
        std::wstring log;
        const wchar_t* savedAs = nullptr;     // where the archive lands
        const wchar_t* chosen = L"saved.zip"; // in the save dialog
        int requests = 0;                     // when not 0, how many the server must have had
    } cases[] = {
        // A server that falls silent is cancelled from this thread, as the
        // window cancels, with the check's waits at 30 s; the others wait 1 s.
        {"drip on the download", HttpServer::Reply(line), {{"/z.zip", dripping(archive, 0)}}, asked},
        {"drip on the version file", dripping(line, 4), {}, L"checking "},
        {"silent server", HttpServer::Silence(), {}, L"checking "},
        {"redirect loop", HttpServer::Redirect(302, "/v.dat"), {}, failed, nullptr, L"saved.zip", 6},
        {"redirect to ftp", HttpServer::Redirect(302, "ftp://{host}/v2.dat"), {{"/v2.dat", HttpServer::Reply(line)}},
         failed},
        {"five redirects, relative ones too", HttpServer::Redirect(301, "http://{host}/a/r1"),
         {{"/a/r1", HttpServer::Redirect(302, "r2")}, {"/a/r2", HttpServer::Redirect(303, "../r3")},
          {"/r3", HttpServer::Redirect(307, "//{host}/r4")}, {"/r4", HttpServer::Redirect(308, "/v2.dat")},
          {"/v2.dat", HttpServer::Reply(line)}, {"/z.zip", HttpServer::Redirect(308, "/z2.zip")},
          {"/z2.zip", HttpServer::Reply(archive)}},
         asked + L"done ", L"saved.zip"},
        {"Content-Length past 32 bits", HttpServer::Reply(line),
         {{"/z.zip", "HTTP/1.1 200 OK\r\nContent-Length: 4294967396\r\n\r\n" + archive.substr(0, 100)}},
         asked + L"download-failed "},
        {"a drive", named("C:evil.zip"), {}, offered(L"evil.zip") + L"done ", L"saved.zip"},
        {"parent folders", named("..\\..\\..\\evil.exe"), {}, offered(L"evil.exe.zip") + L"done ", L"saved.zip"},
        {"no .zip", named("Zorvel-1.4"), {}, offered(L"Zorvel-1.4.zip") + L"done ", L"saved.zip"},
        {"CON", named("CON"), {}, failed},
        {"nul.zip", named("nul.zip"), {}, failed},
        {"a folder, no name", named("dir\\.."), {}, failed},
        {"a chosen path without .zip", HttpServer::Reply(line), {}, asked + L"done ", L"saved.exe.zip", L"saved.exe"},
        {"...whose .zip is taken", HttpServer::Reply(line), {}, asked + L"download-failed ", nullptr, L"taken.exe"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::map<std::string, std::string> replies = {{"/v.dat", c.versionFile}, {"/z.zip", HttpServer::Reply(archive)}};
        bool silent = false; // a reply holds a Silence mark
        for (const auto& more : c.more) replies[more.first] = more.second;
        for (const auto& reply : replies) silent |= reply.second.find('\x01') != std::string::npos;
        HttpServer server(replies);
        PointAt(server);
        TempDir folder;
        for (const wchar_t* name : {c.chosen, L"taken.exe.zip"}) ASSERT_TRUE(WriteBytes(folder / name, "old"));
        CancelFlag cancel;
        ScriptedDialogue dialogue;
        dialogue.answers = "y";
        dialogue.savePath = folder / c.chosen;
        auto check = std::async(std::launch::async, [&] {
            CheckForUpdate(UpdateJob{L"unused", L"unused", true, silent ? 30000u : 1000u}, dialogue, cancel);
        });
        DWORD cancelled = GetTickCount();
        if (silent) {
            EXPECT_TRUE(server.WaitUntilQuiet(10000));
            cancelled = GetTickCount();
            cancel.Set();
        }
        bool done = check.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
        EXPECT_TRUE(done) << "still running 10 s on";
        if (silent) printf("[ cancel   ] %s: the check ended %lu ms after the cancel\n", c.name, GetTickCount() - cancelled);
        if (!done) server.Stop(); // lets the check go
        check.wait();

        EXPECT_EQ(c.log, dialogue.log);
        EXPECT_TRUE(c.requests == 0 || c.requests == server.Requests()) << server.Requests() << " requests";
        for (const wchar_t* name : {c.chosen, L"taken.exe.zip", L"saved.exe.zip"}) {
            bool landed = c.savedAs && wcscmp(name, c.savedAs) == 0;
            if (!landed && !FileExists(folder / name)) continue;
            EXPECT_TRUE(ReadBytes(folder / name) == (landed ? archive : "old")) << name;
        }
        WIN32_FIND_DATAW found;
        EXPECT_FALSE(ScopedFind(FindFirstFileW((folder / L"*.tmp").c_str(), &found))) << "a .tmp is left";
    }
}

// Known answers: empty, one block, the padding spilling into a second block,
// and a million bytes fed in 1,000-byte pieces.
TEST(UpdateCheckTest, Sha256KnownAnswers) {
    const struct {
        std::string input;
        const wchar_t* hex;
    } cases[] = {
        {"", L"e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", L"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
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
        {L"1.3.10.0", true}, {L"1.3.9.0", false}, {L"1.2.99.0", false}, {L"0.9.9.9", false}, {L"2", true},
        {L"", false},        {L"x.y", false},     {L"1.4", true},       {L"99999999999", true}};
    for (const auto& c : cases) EXPECT_EQ(c.second, IsNewerVersion(L"1.3.9.0", c.first)) << c.first;
}

} // namespace
