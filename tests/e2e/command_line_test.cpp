// Zorvel.exe started as a user or Explorer's Send To would start it, from a
// program folder of its own: batch modes, window mode, single instance.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "TestFiles.h"
#include "ZipBuilder.h"
#include "base/Paths.h"

namespace {

std::wstring BuiltProgram() {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return DirectoryOfPath(DirectoryOfPath(self).c_str()) + L"\\bin\\Zorvel.exe";
}

struct Found {
    DWORD pid;
    const wchar_t* className;
    const wchar_t* caption; // null: any
    HWND window;
};

BOOL CALLBACK FindProcessWindow(HWND window, LPARAM data) {
    auto* f = reinterpret_cast<Found*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != f->pid) return TRUE;
    wchar_t name[64] = L"", caption[128] = L"";
    GetClassNameW(window, name, 64);
    GetWindowTextW(window, caption, 128);
    if (wcscmp(name, f->className) != 0 || (f->caption && wcscmp(caption, f->caption) != 0)) return TRUE;
    f->window = window;
    return FALSE;
}

HWND WindowOf(DWORD pid, const wchar_t* className, const wchar_t* caption = nullptr) {
    Found f = {pid, className, caption, nullptr};
    EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&f));
    return f.window;
}

class CommandLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        program_ = dir_ / L"program";
        ASSERT_TRUE(CreateDirectoryW(program_.c_str(), nullptr));
        ASSERT_TRUE(CopyFileW(BuiltProgram().c_str(), (program_ + L"\\Zorvel.exe").c_str(), TRUE));
        // The archiver libraries ship beside the program, as a user has them.
        std::wstring bin = DirectoryOfPath(BuiltProgram().c_str());
        for (const wchar_t* dll : {L"7-zip32.dll", L"cab32.dll", L"unlha32.dll", L"unrar.dll"})
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
        ZipMember m;
        m.name = folder.empty() ? "root.txt" : folder + "/a.jpg";
        m.data = "x";
        std::wstring path = files_ + L"\\" + name;
        EXPECT_TRUE(WriteZip(path, {m}));
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
    // Waits for a window of the process (or its end); the wait is on the
    // process, so a process that ends early stops it at once.
    HWND WaitForWindow(const PROCESS_INFORMATION& p, const wchar_t* className, const wchar_t* caption = nullptr) {
        for (int i = 0; i < 600; ++i) {
            if (HWND w = WindowOf(p.dwProcessId, className, caption)) return w;
            if (WaitForSingleObject(p.hProcess, 100) == WAIT_OBJECT_0) return nullptr;
        }
        return nullptr;
    }
    // The report box's text, after answering it.
    std::wstring AnswerReport(const PROCESS_INFORMATION& p) {
        HWND box = WaitForWindow(p, L"#32770", L"リネーム処理の終了");
        if (box == nullptr) return L"(no report)";
        wchar_t text[256] = L"";
        GetDlgItemTextW(box, 0xFFFF, text, 256);
        EXPECT_EQ(nullptr, WindowOf(p.dwProcessId, L"ZorvelWindowClass")) << "no main window in batch mode";
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
    static int Count(const std::string& text, const std::string& word) {
        int n = 0;
        for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) ++n;
        return n;
    }

    TempDir dir_;
    std::wstring program_, files_;
    std::vector<PROCESS_INFORMATION> started_;
};

TEST_F(CommandLineTest, OneArchiveWithoutSwitchIsRenamedWithDialogAndReport) {
    std::wstring a = Archive(L"x.zip", "Photos");
    PROCESS_INFORMATION p = Start({a});
    EXPECT_EQ(L"1 個中 1 個のファイルのリネームが完了しました。", AnswerReport(p));
    ASSERT_TRUE(Exited(p));
    EXPECT_TRUE(FileExists(files_ + L"\\Photos.zip"));
    EXPECT_EQ(1, Count(Log(), ",Success,"));
    EXPECT_FALSE(FileExists(program_ + L"\\Zorvel.cfg.tmp"));
}

TEST_F(CommandLineTest, SilentWithAFolderShowsOnlyTheReport) {
    Archive(L"a.zip", "One");
    Archive(L"b.zip", "Two");
    PROCESS_INFORMATION p = Start({L"/silent", files_});
    HWND box = WaitForWindow(p, L"#32770", L"リネーム処理の終了");
    ASSERT_NE(nullptr, box);
    HWND progress = WindowOf(p.dwProcessId, L"#32770", L"リネーム中");
    EXPECT_TRUE(progress == nullptr || !IsWindowVisible(progress)) << "no progress dialog when silent";
    EXPECT_EQ(L"2 個中 2 個のファイルのリネームが完了しました。", AnswerReport(p));
    ASSERT_TRUE(Exited(p));
    EXPECT_TRUE(FileExists(files_ + L"\\One.zip"));
    EXPECT_TRUE(FileExists(files_ + L"\\Two.zip"));
}

TEST_F(CommandLineTest, VerySilentShowsNothingAndLogsEveryAttempt) {
    std::wstring a = Archive(L"a.zip", "One"), b = Archive(L"b.zip", "Two"), c = Archive(L"c.zip", "");
    PROCESS_INFORMATION p = Start({L"/verysilent", a, b, c});
    ASSERT_TRUE(Exited(p)) << "nothing waits for a user";
    std::string log = Log();
    EXPECT_EQ(2, Count(log, ",Success,"));
    EXPECT_EQ(1, Count(log, ",Error,"));
    EXPECT_TRUE(FileExists(c));
}

TEST_F(CommandLineTest, ShowWindowInCapitalsOpensTheWindowWithTheFiles) {
    std::wstring a = Archive(L"a.zip", "One");
    PROCESS_INFORMATION p = Start({L"/SHOWWINDOW", a, L"/unknown", Archive(L"b.zip", "Two")});
    HWND window = WaitForWindow(p, L"ZorvelWindowClass");
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(2, ListRows(p, window)) << "every argument after the switch is tried as a path";
    EXPECT_TRUE(FileExists(a)) << "window mode renames nothing by itself";
    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(Exited(p));
    EXPECT_TRUE(FileExists(program_ + L"\\Zorvel.cfg"));
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

TEST_F(CommandLineTest, SingleInstanceWithoutShowWindowIsABatch) {
    std::wstring a = Archive(L"a.zip", "One");
    PROCESS_INFORMATION p = Start({L"/singleinstance", a});
    EXPECT_EQ(L"1 個中 1 個のファイルのリネームが完了しました。", AnswerReport(p));
    ASSERT_TRUE(Exited(p));
    EXPECT_TRUE(FileExists(files_ + L"\\One.zip"));
}

TEST_F(CommandLineTest, AFormatWithAForbiddenCharacterRenamesNothing) {
    ASSERT_TRUE(WriteUtf16(program_ + L"\\Zorvel.cfg", L"[Other]\r\nFormat=%new:x\r\n"));
    std::wstring a = Archive(L"a.zip", "One");
    PROCESS_INFORMATION p = Start({L"/verysilent", a});
    HWND box = WaitForWindow(p, L"#32770", L"新しいファイル名のフォーマット");
    ASSERT_NE(nullptr, box);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(Exited(p));
    EXPECT_TRUE(FileExists(a));
    EXPECT_EQ("", Log());
}

} // namespace
