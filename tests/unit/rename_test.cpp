// Renaming and undoing entries, and Zorvel.log: lines, encoding, concurrent writers, trimming.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cctype>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "TestFiles.h"
#include "ZipBuilder.h"
#include "base/ProgramFolder.h"
#include "base/ScopedWin.h"
#include "filelist/FileList.h"
#include "filelist/ListPresentation.h"
#include "naming/EditedName.h"
#include "naming/NameFormat.h"
#include "rename/EntryBatch.h"
#include "rename/RenameEntry.h"
#include "rename/RenameLog.h"
#include "settings/ConfigFile.h"

namespace {

// The log's lines without their time stamps and CR LF ("Success,path,name").
std::vector<std::string> LogRecords() {
    std::istringstream log(ReadBytes(LogPath()));
    std::vector<std::string> records;
    for (std::string line; std::getline(log, line);)
        records.push_back(line.size() > 21 ? line.substr(20, line.size() - 21) : line);
    return records;
}

// The name the file system holds for path ("" when there is none).
std::wstring NameOnDisk(const std::wstring& path) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(path.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return L"";
    FindClose(find);
    return data.cFileName;
}

class RenameTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SetProgramFolder(program_.path().c_str()));
        InitLogPath();
    }
    int AddZip(const std::wstring& name, const std::string& folder) {
        std::wstring path = files_ / name;
        EXPECT_TRUE(WriteZip(path, {{folder + "/a.jpg", "jpeg"}}));
        EXPECT_TRUE(list_.AddFileEntry(path.c_str()));
        return list_.Count() - 1;
    }
    // Runs operation on row on a thread of its own, as a run does, while the display reads
    // the row. Regression: a worker wrote a row while the display copied it, so a half-written name showed.
    bool WhileTheRowIsRead(EntryOperation operation, int row) {
        std::atomic<bool> done{false};
        bool ok = false;
        std::thread worker;
        list_.ReadEntry(row, [&](const FileEntry& shown) {
            FileEntry before = shown;
            worker = std::thread([&] {
                ok = operation(list_, row, options_);
                done = true;
            });
            Sleep(300); // long enough for the worker, were it not held back
            EXPECT_FALSE(done) << "the worker finished while the row was being read";
            EXPECT_EQ(0, memcmp(&before, &shown, sizeof(FileEntry))) << "the row changed under the reader";
        });
        worker.join();
        return ok;
    }

    TempDir program_; // where Zorvel.log goes
    TempDir files_;   // the archives
    FileList list_;
    RenameOptions options_; // the defaults: every attempt logged, no limit
};

TEST_F(RenameTest, RenameThenUndoRestoresEveryField) {
    int row = AddZip(L"x.zip", "Photos");
    FileEntry before = list_.At(row);
    ASSERT_TRUE(WhileTheRowIsRead(DeriveEntry, row)); // ready

    ASSERT_TRUE(WhileTheRowIsRead(RenameEntry, row));
    const FileEntry& e = list_.At(row);
    EXPECT_EQ(kStatusRenamed, e.status);
    EXPECT_STREQ(L"Photos.zip", e.name);
    EXPECT_EQ(files_ / L"Photos.zip", e.fullPath);
    EXPECT_STREQ(before.fullPath, e.undoPath);
    EXPECT_STREQ(before.name, e.undoName);
    for (const wchar_t* field : {e.newName, e.newFullPath}) EXPECT_STREQ(L"", field);
    EXPECT_TRUE(FileExists(files_ / L"Photos.zip"));
    EXPECT_FALSE(FileExists(files_ / L"x.zip"));
    EXPECT_TRUE(list_.IsListedPath(e.fullPath));
    EXPECT_FALSE(list_.IsListedPath(before.fullPath));

    ASSERT_TRUE(WhileTheRowIsRead(UndoRename, row));
    EXPECT_EQ(kStatusNone, e.status);
    EXPECT_STREQ(before.name, e.name);
    EXPECT_STREQ(before.fullPath, e.fullPath);
    for (const wchar_t* field : {e.newName, e.newFullPath, e.undoPath, e.undoName}) EXPECT_STREQ(L"", field);
    EXPECT_TRUE(FileExists(files_ / L"x.zip"));
    EXPECT_FALSE(FileExists(files_ / L"Photos.zip"));
    EXPECT_TRUE(list_.IsListedPath(before.fullPath));

    // One line for the rename, none for the undo.
    EXPECT_EQ((std::vector<std::string>{"Success," + Ansi(before.fullPath) + ",Photos.zip"}), LogRecords());
    EXPECT_FALSE(UndoRename(list_, row, options_)) << "status 0 cannot be undone";

    // An undo whose old path was taken since fails and overwrites nothing.
    ASSERT_TRUE(RenameEntry(list_, row, options_));
    ASSERT_TRUE(WriteBytes(files_ / L"x.zip", "someone else's file"));
    EXPECT_FALSE(UndoRename(list_, row, options_));
    EXPECT_EQ(kStatusRenameFailed, e.status);
    EXPECT_EQ(files_ / L"Photos.zip", e.fullPath);
    EXPECT_TRUE(FileExists(files_ / L"Photos.zip"));
    EXPECT_EQ("someone else's file", ReadBytes(files_ / L"x.zip"));
}

// Each attempt leaves its line: a target taken since the preview (a failure
// with its reason), a clash foreseen by a derivation (an error), a name already
// right, a file gone or held open since; a failed row is not renamed again without deriving.
TEST_F(RenameTest, EntriesThatCannotBeRenamedLeaveTheirLines) {
    int a = AddZip(L"a.zip", "Same"), b = AddZip(L"b.zip", "Same");
    ASSERT_TRUE(DeriveNewName(list_, a, options_.naming));
    ASSERT_TRUE(DeriveNewName(list_, b, options_.naming));
    EXPECT_TRUE(RenameEntry(list_, a, options_));
    EXPECT_FALSE(RenameEntry(list_, b, options_));
    EXPECT_EQ(kStatusRenameFailed, list_.At(b).status);
    EXPECT_EQ(FailureReason::TargetExists, list_.Note(b).reason);
    EXPECT_STREQ(L"Same.zip", list_.At(b).newName) << "the proposal is kept";
    EXPECT_TRUE(FileExists(files_ / L"b.zip"));
    EXPECT_FALSE(RenameEntry(list_, b, options_));
    EXPECT_EQ(FailureReason::TargetExists, list_.Note(b).reason) << "the failed row keeps its reason";
    int c = AddZip(L"c.zip", "Same");
    EXPECT_FALSE(RenameEntry(list_, c, options_));
    EXPECT_EQ(kStatusTargetExists, list_.At(c).status);
    EXPECT_STREQ(L"Same.zip", list_.At(c).newName);

    int same = AddZip(L"Done.zip", "Done");
    EXPECT_FALSE(RenameEntry(list_, same, options_));
    EXPECT_EQ(kStatusSameName, list_.At(same).status);
    int gone = AddZip(L"gone.zip", "Vanished");
    ASSERT_TRUE(DeriveNewName(list_, gone, options_.naming));
    ASSERT_TRUE(DeleteFileW((files_ / L"gone.zip").c_str()));
    EXPECT_FALSE(RenameEntry(list_, gone, options_));
    EXPECT_EQ(kStatusRenameFailed, list_.At(gone).status);
    EXPECT_EQ(FailureReason::SourceGone, list_.Note(gone).reason);
    int held = AddZip(L"held.zip", "Busy");
    ASSERT_TRUE(DeriveNewName(list_, held, options_.naming));
    ScopedFile holder(CreateFileW((files_ / L"held.zip").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);
    EXPECT_FALSE(RenameEntry(list_, held, options_));
    EXPECT_EQ(FailureReason::InUse, list_.Note(held).reason);
    EXPECT_EQ(L"リネームに失敗しました（使用中）", CellText(list_.At(held), list_.Note(held), kColStatus, true));
    const std::wstring message = NoteMessage(list_.Note(held)); // the system's words, else the reason's
    EXPECT_NE(L"", message);
    EXPECT_NE(std::wstring::npos, InfoTipText(list_.At(held), list_.Note(held)).find(message));
    EXPECT_FALSE(RenameEntry(list_, a, options_)) << "already renamed: nothing, no line";

    EXPECT_EQ((std::vector<std::string>{"Success," + Ansi(files_ / L"a.zip") + ",Same.zip",
                                        "Failure," + Ansi(files_ / L"b.zip") + ",Same.zip",
                                        "Error," + Ansi(files_ / L"b.zip") + ",",
                                        "Error," + Ansi(files_ / L"c.zip") + ",",
                                        "Error," + Ansi(files_ / L"Done.zip") + ",",
                                        "Failure," + Ansi(files_ / L"gone.zip") + ",Vanished.zip",
                                        "Failure," + Ansi(files_ / L"held.zip") + ",Busy.zip"}),
              LogRecords());
    // The reason moves with its row when an earlier row goes, and goes when the row is ready again.
    list_.RemoveRows({1}); // the first row
    EXPECT_EQ(FailureReason::InUse, list_.Note(held - 1).reason);
    holder.reset();
    ASSERT_TRUE(StoreEditedName(list_, held - 1, L"Free.zip"));
    EXPECT_EQ(FailureReason::None, list_.Note(held - 1).reason);
}

// Regression: a move reported done counted as done, though a change of case
// beyond ASCII kept the old name and a name over 255 UTF-8 bytes was cut.
TEST_F(RenameTest, AMoveCountsOnlyWhenTheFileHasExactlyTheNewName) {
    std::string longFolder;
    for (int i = 0; i < 100; ++i) longFolder += u8"あ";
    const struct { const wchar_t* file; std::string folder; std::wstring newName; bool moves; } cases[] = {
        {L"ｐｈｏｔｏ.zip", u8"ＰＨＯＴＯ", L"ＰＨＯＴＯ.zip", true},
        {L"x.zip", longFolder, std::wstring(100, L'あ') + L".zip", false},
    };
    std::vector<std::string> log;
    for (const auto& c : cases) {
        int row = AddZip(c.file, c.folder);
        EXPECT_EQ(c.moves, RenameEntry(list_, row, options_));
        log.push_back((c.moves ? "Success," : "Failure,") + Ansi(files_ / c.file) + "," + Ansi(c.newName));
        if (c.moves) {
            EXPECT_EQ(c.newName, NameOnDisk(files_ / c.newName));
            EXPECT_TRUE(UndoRename(list_, row, options_));
        }
        EXPECT_EQ(c.moves ? kStatusNone : kStatusRenameFailed, list_.At(row).status);
        EXPECT_EQ(c.file, NameOnDisk(files_ / c.file));
    }
    EXPECT_EQ(log, LogRecords());
    // Nothing left under a cut or temporary name.
    EXPECT_EQ(L"", NameOnDisk(files_ / L"*あ")) << "cut name";
    EXPECT_EQ(L"", NameOnDisk(files_ / L"*.tmp"));
}

// A record is one line, "YYYY/MM/DD hh:mm:ss," (local time) and the columns in
// the ANSI code page, whole however long, ending CR LF. Regressions: a line
// break in a name split a record; a line cut short by a full disk had the next glued to it.
TEST_F(RenameTest, EachRecordIsOneLineOfItsOwn) {
    const std::wstring longPath = L"C:\\" + std::wstring(250, L'あ') + L".zip";
    const std::wstring longName = std::wstring(250, L'い') + L".zip";
    const struct { std::string before, start; std::wstring path, name; std::string record; } cases[] = {
        // 写真 in code page 932; the Korean letters are not in it.
        {"", "", L"C:\\写真\\a,b.zip", L"한국.zip", "C:\\\x8e\xca\x90\x5e\\a,b.zip,??.zip"},
        {"", "", L"C:\\in\\x\x7f.zip", L"ab\r\n2026 00,Success,spoofed.zip", "C:\\in\\x?.zip,ab??2026 00,Success,spoofed.zip"},
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

// Regression: of two writers at once, the one whose open was refused lost its line.
TEST_F(RenameTest, ConcurrentWritersLoseNoLine) {
    const int kLines = 500;
    auto write = [] {
        for (int i = 0; i < kLines; ++i) AppendLogLine(kLogSuccess, L"C:\\in\\x.zip", L"y.zip");
    };
    std::thread other(write);
    write();
    other.join();
    EXPECT_EQ(2 * kLines, CountLogLines());
}

// With logging off the rename happens without a line (a failure neither). Regression: a program
// folder too long for the buffers put the log and settings at the drive's root.
TEST_F(RenameTest, NoLogWhenTurnedOffOrWithoutAPlace) {
    options_.maxLine = -1;
    EXPECT_TRUE(RenameEntry(list_, AddZip(L"p1.zip", "P"), options_));
    EXPECT_FALSE(RenameEntry(list_, AddZip(L"P2.zip", "P2"), options_));
    EXPECT_FALSE(FileExists(LogPath()));

    EXPECT_FALSE(SetProgramFolder((L"C:\\" + std::wstring(300, L'x')).c_str()));
    InitLogPath();
    Settings settings;
    LoadSettings(settings);
    EXPECT_STREQ(L"", LogPath());
    EXPECT_STREQ(L"", ConfigFilePath());
    EXPECT_FALSE(AppendLogLine(kLogSuccess, L"C:\\x.zip", L"y.zip"));
}

// Trimming keeps the newest lines byte for byte and leaves no temporary file; without a
// limit (0), with logging off (-1) or while another program holds the log, nothing is trimmed.
TEST_F(RenameTest, TrimKeepsTheNewestLinesByteForByte) {
    const std::string kept = "\x8e\xca\x90\x5e kept\r\nline 4\r\nlast without end";
    ASSERT_TRUE(WriteBytes(LogPath(), "line 1\r\nline 2\r\n" + kept));
    EXPECT_EQ(5, CountLogLines());
    {
        ScopedFile holder(CreateFileW(LogPath(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(holder);
        EXPECT_FALSE(AppendLogLine(kLogSuccess, L"C:\\x.zip", L"y.zip"));
        EXPECT_EQ(0, CountLogLines());
        EXPECT_FALSE(TrimLog(1));
        EXPECT_TRUE(RenameEntry(list_, AddZip(L"l.zip", "Locked"), options_)) << "a held log does not stop a rename";
    }
    for (int maxLine : {0, -1, 3}) TrimLogToMaxLine(maxLine);
    EXPECT_EQ(kept, ReadBytes(LogPath()));
    EXPECT_FALSE(FileExists(std::wstring(LogPath()) + L".tmp"));
}

} // namespace
