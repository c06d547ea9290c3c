// Zorvel.log: line format and encoding, counting and trimming.
#include <gtest/gtest.h>

#include <windows.h>

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
        LoadSettingsFrom(nullptr, g_settings, 1280, 1024);
        ASSERT_TRUE(SetProgramFolder(dir_.path().c_str()));
        InitLogPath();
    }
    void Append(int n) {
        for (int i = 1; i <= n; ++i)
            ASSERT_TRUE(AppendLogLine(kLogSuccess, (L"C:\\in\\" + std::to_wstring(i) + L".zip").c_str(), L"x.zip"));
    }
    TempDir dir_;
};

TEST_F(LogTest, FirstLineCreatesTheLogInTheProgramFolder) {
    EXPECT_EQ(dir_ / L"Zorvel.log", LogPath());
    ASSERT_TRUE(AppendLogLine(kLogSuccess, L"D:\\in\\x.zip", L"Photos.zip"));
    std::string bytes = ReadBytes(LogPath());
    // "YYYY/MM/DD hh:mm:ss," then the columns, CR LF, no byte-order mark.
    ASSERT_EQ(20u + 32u, bytes.size()) << bytes;
    EXPECT_EQ(',', bytes[19]);
    EXPECT_EQ('/', bytes[4]);
    EXPECT_EQ(':', bytes[13]);
    EXPECT_EQ(' ', bytes[10]);
    EXPECT_EQ("Success,D:\\in\\x.zip,Photos.zip\r\n", bytes.substr(20));
    SYSTEMTIME now;
    GetLocalTime(&now);
    EXPECT_EQ(std::to_string(now.wYear), bytes.substr(0, 4));
}

// Each record is one line whatever its fields hold and however the log
// ended: a line break in a name used to split a record in two, and a line
// cut short by a full disk had the next record glued to it.
TEST_F(LogTest, EachRecordIsOneLineOfItsOwn) {
    const struct { std::string before, start; const wchar_t* path; const wchar_t* name; std::string record; } cases[] = {
        // 写真 in code page 932; the Korean letters are not in it.
        {"", "", L"C:\\写真\\a,b.zip", L"한국.zip", "C:\\\x8e\xca\x90\x5e\\a,b.zip,??.zip"},
        {"", "", L"C:\\in\\x.zip", L"ab\r\n2026 00,Success,spoofed.zip", "C:\\in\\x.zip,ab??2026 00,Success,spoofed.zip"},
        {"", "", L"C:\\a\tb\x7f.zip", L"c\nd.zip", "C:\\a?b?.zip,c?d.zip"},
        {"2026/01/01 00:00:00,Succ", "2026/01/01 00:00:00,Succ\r\n", L"C:\\x.zip", L"y.zip", "C:\\x.zip,y.zip"},
        {"earlier\r\n", "earlier\r\n", L"C:\\x.zip", L"y.zip", "C:\\x.zip,y.zip"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteBytes(LogPath(), c.before));
        ASSERT_TRUE(AppendLogLine(kLogFailure, c.path, c.name));
        std::string bytes = ReadBytes(LogPath());
        ASSERT_EQ(c.start.size() + 20 + 8 + c.record.size() + 2, bytes.size()) << c.record;
        EXPECT_EQ(c.start, bytes.substr(0, c.start.size()));
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
    LoadSettings();
    EXPECT_STREQ(L"", LogPath());
    EXPECT_STREQ(L"", ConfigFilePath());
    EXPECT_FALSE(AppendLogLine(kLogSuccess, L"C:\\x.zip", L"y.zip"));
}

TEST_F(LogTest, AVeryLongLineIsWrittenWholeAsOneLine) {
    std::wstring path = L"C:\\" + std::wstring(250, L'あ') + L".zip";
    std::wstring name = std::wstring(250, L'い') + L".zip";
    ASSERT_TRUE(AppendLogLine(kLogSuccess, path.c_str(), name.c_str()));
    std::string bytes = ReadBytes(LogPath());
    EXPECT_EQ(20u + 8u + 3u + 500u + 4u + 1u + 500u + 4u + 2u, bytes.size());
    EXPECT_EQ(1, CountLogLines());
}

TEST_F(LogTest, TrimKeepsTheNewestLines) {
    g_settings.MaxLine = 3;
    Append(5);
    EXPECT_EQ(5, CountLogLines());
    TrimLogToMaxLine();
    EXPECT_EQ(3, CountLogLines());
    std::string bytes = ReadBytes(LogPath());
    EXPECT_EQ(std::string::npos, bytes.find("\\2.zip"));
    EXPECT_NE(std::string::npos, bytes.find("\\3.zip"));
    EXPECT_NE(std::string::npos, bytes.find("\\5.zip"));
    EXPECT_FALSE(FileExists(std::wstring(LogPath()) + L".tmp"));

    // No limit, and no log: nothing is trimmed.
    for (int maxLine : {0, -1}) {
        g_settings.MaxLine = maxLine;
        TrimLogToMaxLine();
        EXPECT_EQ(3, CountLogLines());
    }
}

TEST_F(LogTest, TrimCopiesKeptLinesByteForByte) {
    std::string content = "old line\r\n\x8e\xca\x90\x5e kept\r\nlast without end";
    ASSERT_TRUE(WriteBytes(LogPath(), content));
    EXPECT_EQ(3, CountLogLines());
    ASSERT_TRUE(TrimLog(1));
    EXPECT_EQ("\x8e\xca\x90\x5e kept\r\nlast without end", ReadBytes(LogPath()));
}

TEST_F(LogTest, ALogHeldOpenByAnotherProgramIsLeftAlone) {
    Append(2);
    std::string before = ReadBytes(LogPath());
    HANDLE holder = CreateFileW(LogPath(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    EXPECT_FALSE(AppendLogLine(kLogSuccess, L"C:\\x.zip", L"y.zip"));
    EXPECT_EQ(0, CountLogLines());
    EXPECT_FALSE(TrimLog(1));
    CloseHandle(holder);
    EXPECT_EQ(before, ReadBytes(LogPath()));
    EXPECT_FALSE(FileExists(std::wstring(LogPath()) + L".tmp"));
}

TEST_F(LogTest, NoLogFileMeansNothingToCountOrTrim) {
    EXPECT_EQ(0, CountLogLines());
    EXPECT_FALSE(TrimLog(1));
    EXPECT_FALSE(FileExists(LogPath()));
}

} // namespace
