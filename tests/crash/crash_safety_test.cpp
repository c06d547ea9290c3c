// Zorvel.cfg and Zorvel.log are rewritten whole through a temporary file and
// one move: a process killed at any moment leaves the old or the new content,
// never an empty, cut or missing file. A child does the rewriting over and
// over and is killed a few hundred times at random moments.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <string>
#include <thread>

#include "CrashSafety.h"
#include "rename/RenameHistory.h"

namespace {

const int kKills = 150;

// Starts the child on folder in mode and, unless milliseconds is INFINITE,
// kills it that long after its first rewrite; else waits for its end.
void RunAndKill(const std::wstring& folder, const wchar_t* mode, DWORD milliseconds) {
    SECURITY_ATTRIBUTES inherited = {sizeof(inherited), nullptr, TRUE};
    HANDLE started = CreateEventW(&inherited, TRUE, FALSE, nullptr);
    ASSERT_NE(nullptr, started);
    std::wstring command = L"\"" + BuildFolder(L"tests") + L"\\rewrite_child.exe\" \"" + folder + L"\" " + mode +
                           L" " + std::to_wstring(reinterpret_cast<uintptr_t>(started));
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(started, 30000)) << "the child never rewrote its file";
    CloseHandle(started);
    if (milliseconds != INFINITE) {
        Sleep(milliseconds);
        TerminateProcess(process.hProcess, 1);
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

TEST(CrashSafetyTest, AKilledSaveLeavesTheOldOrTheNewConfiguration) {
    TempDir dir;
    std::string records[2];
    for (int i = 0; i < 2; ++i) {
        Settings settings;
        WINDOWPLACEMENT placement;
        MakeRecord(i, settings, placement);
        const std::wstring path = dir / (L"record" + std::to_wstring(i));
        ASSERT_TRUE(SaveSettingsTo(path.c_str(), settings, placement));
        records[i] = ReadBytes(path);
    }
    ASSERT_NE(records[0], records[1]);
    ASSERT_TRUE(WriteBytes(dir / L"Zorvel.cfg", records[0]));
    int seen[2] = {};
    for (int kill = 0; kill < kKills; ++kill) {
        RunAndKill(dir.path(), L"config", (kill * 7919) % 97);
        std::string now = ReadBytes(dir / L"Zorvel.cfg");
        ASSERT_TRUE(now == records[0] || now == records[1]) << "kill " << kill << ": " << now.size() << " bytes";
        ++seen[now == records[1]];
    }
    EXPECT_GT(seen[0], 0);
    EXPECT_GT(seen[1], 0) << "the child never got to save";
}

TEST(CrashSafetyTest, AKilledTrimKeepsTheLogWhole) {
    TempDir dir;
    ASSERT_TRUE(SetProgramFolder(dir.path().c_str()));
    int last = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        RunAndKill(dir.path(), L"log", (kill * 7919) % 97);
        std::vector<int> numbers = LoggedNumbers(ReadBytes(dir / L"Zorvel.log"));
        ASSERT_FALSE(numbers.empty()) << "kill " << kill << ": the log is gone or holds no whole line";
        // Lines go only from the front, never from the middle or the end.
        for (size_t i = 1; i < numbers.size(); ++i) ASSERT_EQ(numbers[i - 1] + 1, numbers[i]) << "kill " << kill;
        ASSERT_GE(numbers.back(), last) << "kill " << kill << ": lines already written are gone";
        ASSERT_LE(numbers.size(), static_cast<size_t>(kKeptLogLines + 10)) << "kill " << kill;
        last = numbers.back();
    }
    EXPECT_GT(last, kKeptLogLines) << "the child never got to trim";
}

// Every move of the history is a file that moved; a kill can come between a
// move and its record, so at most the one move in hand lacks its record.
TEST(CrashSafetyTest, AKilledRunKeepsWhatItMovedInTheHistory) {
    TempDir dir;
    ASSERT_TRUE(SetProgramFolder(dir.path().c_str()));
    for (int kill = 0; kill < 12; ++kill) RunAndKill(dir.path(), L"history", (kill * 37) % 40);
    std::vector<HistoryEntry> runs = ReadHistory();
    ASSERT_EQ(12u, runs.size());
    int moved = 0, recorded = 0;
    for (const HistoryEntry& run : runs) {
        for (const HistoryMove& move : run.moves) {
            EXPECT_TRUE(FileExists(move.to) && !FileExists(move.from)) << Utf8(move.to);
            ++recorded;
        }
        ASSERT_FALSE(run.moves.empty()) << "a run's header comes with its first move";
        std::wstring folder = run.moves[0].to.substr(0, run.moves[0].to.rfind(L'\\'));
        int here = 0;
        for (int n = 0; n < kHistoryFiles; ++n) here += FileExists(folder + L"\\F" + std::to_wstring(n) + L"x.zip");
        EXPECT_LE(here - static_cast<int>(run.moves.size()), 1);
        moved += here;
    }
    EXPECT_GT(recorded, 0);
    EXPECT_LE(moved - recorded, 12);
}

// Two Zorvels recording at once, one of them dropping the oldest run: both
// runs are whole, twenty runs stay.
TEST(CrashSafetyTest, TwoWritersAtOnceLoseNoRecord) {
    TempDir dir;
    ASSERT_TRUE(SetProgramFolder(dir.path().c_str()));
    for (int i = 0; i < 19; ++i) HistoryRun(HistorySource::Window, 1).Moved(L"C:\\a.zip", L"C:\\b.zip");
    std::thread other([&] { RunAndKill(dir.path(), L"history", INFINITE); });
    RunAndKill(dir.path(), L"history", INFINITE);
    other.join();
    std::vector<HistoryEntry> runs = ReadHistory();
    ASSERT_EQ(20u, runs.size());
    EXPECT_EQ(static_cast<size_t>(kHistoryFiles), runs[0].moves.size());
    EXPECT_EQ(static_cast<size_t>(kHistoryFiles), runs[1].moves.size());
}

} // namespace
