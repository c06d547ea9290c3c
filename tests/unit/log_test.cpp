// Zorvel.log: line format and encoding, counting and trimming.
#include <gtest/gtest.h>

#include <windows.h>

#include <cctype>
#include <string>
#include <thread>

#include "TestFiles.h"
#include "base/ProgramFolder.h"
#include "rename/RenameLog.h"
#include "settings/ConfigFile.h"

namespace {

class LogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SetProgramFolder(dir_.path().c_str()));
        InitLogPath();
        ASSERT_EQ(dir_ / L"Zorvel.log", LogPath());
    }
    TempDir dir_;
};

// Each record is one line of its own whatever its fields hold and however the
// log ended: a line break in a name used to split a record in two, and a line
// cut short by a full disk had the next record glued to it. A line is the
// local time "YYYY/MM/DD hh:mm:ss," and the columns in the ANSI code page,
// written whole however long, with CR LF and no byte-order mark.
TEST_F(LogTest, EachRecordIsOneLineOfItsOwn) {
    const std::wstring longPath = L"C:\\" + std::wstring(250, L'あ') + L".zip";
    const std::wstring longName = std::wstring(250, L'い') + L".zip";
    const struct { std::string before, start; std::wstring path, name; std::string record; } cases[] = {
        {"", "", L"D:\\in\\x.zip", L"Photos.zip", "D:\\in\\x.zip,Photos.zip"},
        // 写真 in code page 932; the Korean letters are not in it.
        {"", "", L"C:\\写真\\a,b.zip", L"한국.zip", "C:\\\x8e\xca\x90\x5e\\a,b.zip,??.zip"},
        {"", "", L"C:\\in\\x.zip", L"ab\r\n2026 00,Success,spoofed.zip", "C:\\in\\x.zip,ab??2026 00,Success,spoofed.zip"},
        {"", "", L"C:\\a\tb\x7f.zip", L"c\nd.zip", "C:\\a?b?.zip,c?d.zip"},
        {"", "", longPath, longName, Ansi(longPath) + "," + Ansi(longName)},
        {"2026/01/01 00:00:00,Succ", "2026/01/01 00:00:00,Succ\r\n", L"C:\\x.zip", L"y.zip", "C:\\x.zip,y.zip"},
        {"earlier\r\n", "earlier\r\n", L"C:\\x.zip", L"y.zip", "C:\\x.zip,y.zip"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteBytes(LogPath(), c.before));
        ASSERT_TRUE(AppendLogLine(kLogFailure, c.path.c_str(), c.name.c_str()));
        const std::string bytes = ReadBytes(LogPath());
        ASSERT_EQ(c.start.size() + 20 + 8 + c.record.size() + 2, bytes.size()) << c.record;
        EXPECT_EQ(c.start, bytes.substr(0, c.start.size()));
        std::string stamp = bytes.substr(c.start.size(), 20);
        SYSTEMTIME now;
        GetLocalTime(&now);
        EXPECT_EQ(std::to_string(now.wYear), stamp.substr(0, 4));
        for (char& ch : stamp) ch = isdigit(static_cast<unsigned char>(ch)) ? '9' : ch;
        EXPECT_EQ("9999/99/99 99:99:99,", stamp);
        EXPECT_EQ("Failure," + c.record + "\r\n", bytes.substr(c.start.size() + 20));
        EXPECT_EQ(c.start.empty() ? 1 : 2, CountLogLines()) << c.record;
    }
}

// Two writers at once used to lose lines: the exclusive open of one was
// refused while the other held the log, and its line was dropped.
TEST_F(LogTest, ConcurrentWritersLoseNoLine) {
    const int kLines = 500;
    auto write = [] {
        for (int i = 0; i < kLines; ++i) AppendLogLine(kLogSuccess, L"C:\\in\\x.zip", L"y.zip");
    };
    std::thread other(write);
    write();
    other.join();
    EXPECT_EQ(2 * kLines, CountLogLines());
}

// A program folder too long for the path buffers used to put the log and the
// settings at the root of the drive ("\Zorvel.log").
TEST_F(LogTest, ATooLongProgramFolderMeansNoLogAndNoSettingsFile) {
    EXPECT_FALSE(SetProgramFolder((L"C:\\" + std::wstring(300, L'x')).c_str()));
    InitLogPath();
    Settings settings;
    LoadSettings(settings);
    EXPECT_STREQ(L"", LogPath());
    EXPECT_STREQ(L"", ConfigFilePath());
    EXPECT_FALSE(AppendLogLine(kLogSuccess, L"C:\\x.zip", L"y.zip"));
}

// Trimming keeps the newest lines byte for byte and leaves no temporary file;
// without a limit (0), with logging off (-1) or without a log it trims nothing.
TEST_F(LogTest, TrimKeepsTheNewestLinesByteForByte) {
    EXPECT_EQ(0, CountLogLines());
    EXPECT_FALSE(TrimLog(1));
    EXPECT_FALSE(FileExists(LogPath()));
    const std::string kept = "\x8e\xca\x90\x5e kept\r\nline 4\r\nlast without end";
    ASSERT_TRUE(WriteBytes(LogPath(), "line 1\r\nline 2\r\n" + kept));
    EXPECT_EQ(5, CountLogLines());
    for (int maxLine : {0, -1, 3}) TrimLogToMaxLine(maxLine);
    EXPECT_EQ(kept, ReadBytes(LogPath()));
    EXPECT_FALSE(FileExists(std::wstring(LogPath()) + L".tmp"));
}

TEST_F(LogTest, ALogHeldOpenByAnotherProgramIsLeftAlone) {
    const std::string before = "line 1\r\nline 2\r\n";
    ASSERT_TRUE(WriteBytes(LogPath(), before));
    HANDLE holder = CreateFileW(LogPath(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    EXPECT_FALSE(AppendLogLine(kLogSuccess, L"C:\\x.zip", L"y.zip"));
    EXPECT_EQ(0, CountLogLines());
    EXPECT_FALSE(TrimLog(1));
    CloseHandle(holder);
    EXPECT_EQ(before, ReadBytes(LogPath()));
    EXPECT_FALSE(FileExists(std::wstring(LogPath()) + L".tmp"));
}

} // namespace
