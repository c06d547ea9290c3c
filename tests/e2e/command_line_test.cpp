// Zorvel.exe started as a user or Send To starts it, from a program folder of its own.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "ProcessWindow.h"
#include "TestFiles.h"
#include "ZipBuilder.h"
#include "app/resource.h"

namespace {

class CommandLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        program_ = dir_ / L"program";
        ASSERT_TRUE(CreateDirectoryW(program_.c_str(), nullptr));
        // The archiver libraries ship beside the program, as a user has them.
        const std::wstring bin = BuildFolder(L"bin");
        for (const wchar_t* dll : {L"Zorvel.exe", L"7-zip32.dll", L"cab32.dll", L"unlha32.dll", L"unrar.dll"})
            ASSERT_TRUE(CopyFileW((bin + L"\\" + dll).c_str(), (program_ + L"\\" + dll).c_str(), TRUE));
        ASSERT_TRUE(WriteUtf16(program_ + L"\\Zorvel.cfg", L"[Other]\r\nConfirmExit=0\r\n"));
        files_ = dir_ / L"files";
        ASSERT_TRUE(CreateDirectoryW(files_.c_str(), nullptr));
    }
    void TearDown() override {
        for (PROCESS_INFORMATION& p : started_) {
            if (WaitForSingleObject(p.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(p.hProcess, 1);
            CloseHandle(p.hProcess);
            CloseHandle(p.hThread);
        }
    }
    std::wstring Archive(const std::wstring& name, const std::string& folder) {
        std::wstring path = files_ + L"\\" + name;
        EXPECT_TRUE(WriteZip(path, {{folder.empty() ? "root.txt" : folder + "/a.jpg", "x"}}));
        return path;
    }
    PROCESS_INFORMATION Start(const std::vector<std::wstring>& args, const std::wstring& folder = L"") {
        std::wstring line = L"\"" + program_ + L"\\Zorvel.exe\"";
        for (const auto& a : args) line += L" \"" + a + L"\"";
        STARTUPINFOW si = {};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi = {};
        const std::wstring& current = folder.empty() ? program_ : folder;
        EXPECT_TRUE(CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, current.c_str(), &si, &pi));
        started_.push_back(pi);
        return pi;
    }
    bool Exited(const PROCESS_INFORMATION& p) { return WaitForSingleObject(p.hProcess, 60000) == WAIT_OBJECT_0; }
    static DWORD ExitCode(const PROCESS_INFORMATION& p) {
        DWORD code = 0xDEAD;
        GetExitCodeProcess(p.hProcess, &code);
        return code;
    }
    // Waits for a window of the process (or its end); the wait is on the
    // process, so a process that ends early stops it at once.
    HWND WaitForWindow(const PROCESS_INFORMATION& p, const wchar_t* className, const wchar_t* caption = nullptr) {
        for (int i = 0; i < 600; ++i) {
            if (HWND w = WindowOf(p.dwProcessId, className, caption)) return w;
            if (WaitForSingleObject(p.hProcess, 100) == WAIT_OBJECT_0) return nullptr;
        }
        return nullptr;
    }
    // A message box's text, after answering it.
    static std::wstring Answer(HWND box) {
        wchar_t text[256] = L"";
        GetDlgItemTextW(box, 0xFFFF, text, 256);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        return text;
    }
    // Rows in the list of a main window, once its process waits for input
    // (creation done, start-up files added).
    int ListRows(const PROCESS_INFORMATION& p, HWND mainWindow) {
        WaitForInputIdle(p.hProcess, 60000);
        HWND list = FindWindowExW(mainWindow, nullptr, WC_LISTVIEWW, nullptr);
        return list ? static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)) : -1;
    }
    std::string Log() { return ReadBytes(program_ + L"\\Zorvel.log"); }
    // Waits (up to a minute) while condition holds.
    static bool PumpWhile(const std::function<bool()>& condition) {
        for (int i = 0; i < 600 && condition(); ++i) Sleep(100);
        return !condition();
    }
    static int Count(const std::string& text, const std::string& word) {
        int n = 0;
        for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) ++n;
        return n;
    }

    TempDir dir_;
    std::wstring program_, files_;
    std::vector<PROCESS_INFORMATION> started_;
};

// Without /showwindow a run is a batch: progress unless silent, a report unless very
// silent, a log line an attempt. The last (as Send To starts it) is undone after a restart.
TEST_F(CommandLineTest, BatchModesAndTheirUndoAfterARestart) {
    const struct { std::vector<std::wstring> switches; bool folder; const wchar_t* report; } cases[] = {
        {{L"/silent"}, true, L"3 個中 2 個のファイルのリネームが完了しました。"}, // first: alone in the folder
        {{L"/singleinstance"}, false, L"3 個中 2 個のファイルのリネームが完了しました。"},
        {{L"/verysilent"}, false, nullptr},
        {{}, false, L"3 個中 2 個のファイルのリネームが完了しました。"},
    };
    int run = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(run);
        const std::string tag = std::to_string(run++);
        std::wstring a = Archive(L"a.zip", "One" + tag), b = Archive(L"b.zip", "Two" + tag), r = Archive(L"c.zip", "");
        std::vector<std::wstring> args = c.switches;
        if (c.folder) args.push_back(files_);
        else args.insert(args.end(), {a, b, r});
        PROCESS_INFORMATION p = Start(args);
        if (c.report) {
            HWND box = WaitForWindow(p, L"#32770", L"リネーム処理の終了");
            ASSERT_NE(nullptr, box);
            HWND progress = WindowOf(p.dwProcessId, L"#32770", L"リネーム中");
            EXPECT_TRUE(!c.folder || progress == nullptr || !IsWindowVisible(progress)) << "none when silent";
            EXPECT_EQ(nullptr, WindowOf(p.dwProcessId, L"ZorvelWindowClass")) << "no main window in batch mode";
            // The report's first line, then the archive not renamed and why.
            EXPECT_EQ(std::wstring(c.report) + L"\n\n" + r + L"（ファイル内にフォルダが見つかりません）", Answer(box));
        }
        ASSERT_TRUE(Exited(p)) << "nothing else waits for a user";
        EXPECT_EQ(1u, ExitCode(p)) << "one archive was not renamed";
        EXPECT_TRUE(FileExists(files_ + L"\\One" + std::wstring(tag.begin(), tag.end()) + L".zip"));
        EXPECT_TRUE(FileExists(files_ + L"\\Two" + std::wstring(tag.begin(), tag.end()) + L".zip"));
        EXPECT_TRUE(FileExists(r));
        const std::string log = Log();
        EXPECT_EQ(2 * run, Count(log, ",Success,"));
        EXPECT_EQ(run, Count(log, ",Error,"));
    }
    EXPECT_FALSE(FileExists(program_ + L"\\Zorvel.cfg.tmp"));

    PROCESS_INFORMATION window = Start({L"/showwindow"});
    HWND main = WaitForWindow(window, L"ZorvelWindowClass");
    ASSERT_NE(nullptr, main);
    PostMessageW(main, WM_COMMAND, ID_RENAME_HISTORY, 0);
    HWND history = WaitForWindow(window, L"#32770", L"リネーム履歴");
    ASSERT_NE(nullptr, history);
    PostMessageW(history, WM_COMMAND, IDC_HISTORY_UNDO, 0);
    HWND box = WaitForWindow(window, L"#32770", L"Zorvel");
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(L"2 個のファイルを元に戻しました。", Answer(box));
    ASSERT_TRUE(PumpWhile([&] { return IsWindow(box); }));
    // The dialog looks at the history again once the box is answered.
    EXPECT_TRUE(PumpWhile([&] { return IsWindowEnabled(GetDlgItem(history, IDC_HISTORY_UNDO)) != FALSE; }))
        << "a run is undone once";
    PostMessageW(history, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(PumpWhile([&] { return IsWindow(history); }));
    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(Exited(window));
    EXPECT_TRUE(FileExists(files_ + L"\\a.zip") && FileExists(files_ + L"\\b.zip"));
    EXPECT_FALSE(FileExists(files_ + L"\\One3.zip"));
}

// Thousands of arguments, most of them empty, blank, missing or too long:
// the one real archive is renamed and the run ends. Regression: switches were
// walked as paths, so "/verysilent" renamed the archives of C:\verysilent.
TEST_F(CommandLineTest, ABatchOfThousandsOfOddArguments) {
    const std::wstring root = L"C:\\verysilent";
    RemoveTree(root);
    struct Removed { std::wstring path; ~Removed() { RemoveTree(path); } } removed{root}; // on every way out
    ASSERT_TRUE(CreateDirectoryW(root.c_str(), nullptr));
    ASSERT_TRUE(WriteZip(root + L"\\x.zip", {{"Outside/a.jpg", "x"}}));
    std::vector<std::wstring> args = {L"/verysilent", std::wstring(300, L'x') + L".zip"};
    for (int i = 0; i < 2400; ++i) args.push_back(i % 3 == 0 ? L"" : i % 3 == 1 ? L"  " : L"n" + std::to_wstring(i) + L".zip");
    args.push_back(Archive(L"a.zip", "Real"));
    PROCESS_INFORMATION p = Start(args, files_);
    ASSERT_TRUE(Exited(p));
    EXPECT_EQ(0u, ExitCode(p)) << "every archive found was renamed";
    EXPECT_TRUE(FileExists(files_ + L"\\Real.zip"));
    EXPECT_TRUE(FileExists(root + L"\\x.zip")) << "the switch's folder was left alone";
    EXPECT_EQ(1, Count(Log(), ",Success,"));
}

TEST_F(CommandLineTest, SingleInstanceHandsTheFileToTheRunningWindow) {
    PROCESS_INFORMATION first = Start({L"/showwindow"});
    HWND window = WaitForWindow(first, L"ZorvelWindowClass");
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(0, ListRows(first, window));

    std::wstring a = Archive(L"a.zip", "One");
    // Regression: a relative path was handed over as given, and the window
    // looked for it in its own current folder.
    PROCESS_INFORMATION second = Start({L"/showwindow", L"/singleinstance", L"a.zip"}, files_);
    ASSERT_TRUE(Exited(second));
    EXPECT_EQ(1, ListRows(first, window)) << "the running window got the file before the sender ended";

    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(Exited(first));

    // With no window running, the same command line opens one.
    PROCESS_INFORMATION alone = Start({L"/showwindow", L"/singleinstance", a});
    HWND own = WaitForWindow(alone, L"ZorvelWindowClass");
    ASSERT_NE(nullptr, own);
    EXPECT_EQ(1, ListRows(alone, own));
    PostMessageW(own, WM_CLOSE, 0, 0);
    ASSERT_TRUE(Exited(alone));
}

// A format with a forbidden character renames nothing: a message when silent,
// only an exit code when very silent (nobody answers a box there).
TEST_F(CommandLineTest, AFormatWithAForbiddenCharacterRenamesNothing) {
    ASSERT_TRUE(WriteUtf16(program_ + L"\\Zorvel.cfg", L"[Other]\r\nFormat=%new:x\r\n"));
    std::wstring a = Archive(L"a.zip", "One");
    PROCESS_INFORMATION shown = Start({L"/silent", a});
    HWND box = WaitForWindow(shown, L"#32770", L"新しいファイル名のフォーマット");
    ASSERT_NE(nullptr, box);
    Answer(box);
    ASSERT_TRUE(Exited(shown));
    EXPECT_EQ(2u, ExitCode(shown));

    PROCESS_INFORMATION silent = Start({L"/verysilent", a});
    ASSERT_TRUE(Exited(silent)) << "nothing waits for a person";
    EXPECT_EQ(2u, ExitCode(silent));
    EXPECT_TRUE(FileExists(a));
    EXPECT_EQ("", Log());
}

} // namespace
