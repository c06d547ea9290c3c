// Zorvel.log: line format and encoding, counting and trimming.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "TestFiles.h"
#include "app/ProgramFolder.h"
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

TEST_F(LogTest, TextIsInTheAnsiCodePageWithReplacementCharacters) {
    ASSERT_TRUE(AppendLogLine(kLogFailure, L"C:\\写真\\a,b.zip", L"한국.zip"));
    std::string bytes = ReadBytes(LogPath()).substr(20);
    // 写真 in code page 932; the Korean letters are not in it.
    EXPECT_EQ("Failure,C:\\\x8e\xca\x90\x5e\\a,b.zip,??.zip\r\n", bytes);
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
