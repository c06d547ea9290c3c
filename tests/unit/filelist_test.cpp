// The file list: adding and walks, duplicates, the path index, type icons, its observer, cells and sorting.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "TestFiles.h"
#include "filelist/AddFiles.h"
#include "filelist/FileList.h"
#include "filelist/ListPresentation.h"
#include "settings/ConfigFile.h"

namespace {

// The rows' names, or their full paths.
std::vector<std::wstring> Names(const FileList& list, bool fullPath = false) {
    std::vector<std::wstring> names;
    for (int i = 0; i < list.Count(); ++i) names.push_back(fullPath ? list.At(i).fullPath : list.At(i).name);
    return names;
}

class FileListTest : public ::testing::Test {
protected:
    void SetUp() override {
        Settings defaults;
        LoadSettingsFrom(nullptr, defaults, 1280, 1024);
        kinds_ = KindsOf(defaults); // ZIP, 7Z, RAR on; CAB, LZH off
    }
    void TearDown() override { list_.Attach(nullptr); }
    std::wstring Make(const std::wstring& relative) { return dir_.Write(relative, "x"); }

    TempDir dir_;
    FileList list_;
    KindFilter kinds_;
    CancelFlag never_;
};

// A record as the file has it; the type name looked up once per extension, as the slow lookup by path says.
TEST_F(FileListTest, AddFillsTheRecordFromTheFile) {
    for (const wchar_t* name : {L"写真.zip", L"two.ZIP", L"three.7z", L"four.rar", L"noextension"}) {
        std::wstring path = dir_.Write(name, std::string(1234, 'z'));
        ASSERT_TRUE(list_.AddFileEntry(path.c_str()));
        SHFILEINFOW slow = {};
        ASSERT_TRUE(SHGetFileInfoW(path.c_str(), 0, &slow, sizeof(slow), SHGFI_DISPLAYNAME | SHGFI_TYPENAME));
        const FileEntry& e = list_.At(list_.Count() - 1);
        EXPECT_STREQ(slow.szDisplayName, e.name) << Utf8(name);
        EXPECT_STREQ(slow.szTypeName, e.typeName) << Utf8(name);
        EXPECT_EQ(path, e.fullPath);
        EXPECT_EQ(dir_.path(), e.directory);
        EXPECT_EQ(1234u, e.size);
        EXPECT_EQ(0, e.status);
        WIN32_FILE_ATTRIBUTE_DATA data;
        ASSERT_TRUE(GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data));
        EXPECT_EQ(0, CompareFileTime(&data.ftLastWriteTime, &e.lastWriteTime));
    }
    // Not added: a missing file, and one whose path needs more than 260 units.
    EXPECT_FALSE(list_.AddFileEntry((dir_ / L"missing.zip").c_str()));
    std::wstring deep = dir_.path();
    while (deep.size() < 250) {
        deep += L"\\" + std::wstring(40, L'd');
        ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr));
    }
    std::wstring longPath = deep + L"\\" + std::wstring(30, L'f') + L".zip";
    ASSERT_TRUE(WriteBytes(longPath, "x"));
    EXPECT_FALSE(list_.AddFileEntry(longPath.c_str()));
    EXPECT_EQ(5, list_.Count());
}

TEST_F(FileListTest, TheDuplicateRule) {
    std::wstring a = dir_.Write(L"a.zip", "data"), b = dir_.Write(L"b.zip", "data");
    EXPECT_TRUE(list_.AddFileEntry(a.c_str()));
    EXPECT_FALSE(list_.AddFileEntry(a.c_str()));
    // Paths differing in case are not duplicates, though the same file.
    EXPECT_TRUE(list_.AddFileEntry((dir_ / L"A.ZIP").c_str()));
    EXPECT_FALSE(list_.IsListedPath((dir_ / L"A.zip").c_str()));
    // A path set later moves the entry in the check.
    ASSERT_TRUE(list_.SetFullPath(1, b.c_str()));
    EXPECT_FALSE(list_.IsListedPath((dir_ / L"A.ZIP").c_str()));
    EXPECT_FALSE(list_.AddFileEntry(b.c_str()));
    EXPECT_FALSE(list_.SetFullPath(1, std::wstring(300, L'x').c_str()));
    EXPECT_EQ(b, list_.At(1).fullPath);
    // Allowed: a duplicate stays listed until its last copy is removed; the
    // rows left keep their order, and a removed path can be added again.
    list_.SetOptions({true, true});
    EXPECT_TRUE(list_.AddFileEntry(a.c_str()));
    list_.RemoveRows({1});
    EXPECT_EQ((std::vector<std::wstring>{b, a}), Names(list_, true));
    EXPECT_TRUE(list_.IsListedPath(a.c_str()));
    list_.RemoveRows({0, 1});
    EXPECT_FALSE(list_.IsListedPath(a.c_str()));
    list_.SetOptions({true, false});
    EXPECT_TRUE(list_.AddFileEntry(a.c_str()));
    // Without shell details (the command-line batch) a listed path is added again.
    list_.SetOptions({false, false});
    EXPECT_TRUE(list_.AddFileEntry(b.c_str()));
    EXPECT_EQ(b, list_.At(list_.Count() - 1).fullPath);
}

TEST_F(FileListTest, ReadsDuringAppendsFromAnotherThreadSeeWholeRecords) {
    // An adding worker grows (and moves) the array while the display reads.
    const int n = 20000;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        FileEntry entry = {};
        for (int i = 0; i < n; ++i) {
            entry.size = i;
            swprintf(entry.fullPath, 260, L"C:\\w\\%d.zip", i);
            // Regression: the type-icon cache grew without a lock while the display read it.
            list_.EnsureTypeIcon((L"type " + std::to_wstring(i / 10)).c_str(), entry.fullPath);
            list_.AppendEntry(entry);
        }
        done = true;
    });
    int checked = 0, bad = 0;
    while (!done || checked == 0) {
        int count = list_.Count();
        if (count == 0) continue;
        if (list_.FindTypeIcon(L"type 0") != 0) ++bad;
        FileEntry copy;
        if (list_.CopyEntry(count - 1, copy)) {
            wchar_t expected[260];
            swprintf(expected, 260, L"C:\\w\\%d.zip", static_cast<int>(copy.size));
            if (wcscmp(expected, copy.fullPath) != 0) ++bad;
            ++checked;
        }
    }
    worker.join();
    EXPECT_EQ(0, bad);
    ASSERT_EQ(n, list_.Count());
    for (int i = 0; i < n; i += 997) EXPECT_TRUE(list_.IsListedPath(list_.At(i).fullPath)) << i;
}

// What shows the type icons learns of each new type and of a rebuild; that
// the thumbnails follow a sort and a removal, the thumbnail window test checks.
class Recorder final : public FileListObserver {
public:
    std::vector<std::wstring> heard;
    void RemovingAll() override { heard.push_back(L"clear"); }
    void TypeAdded(int type, const wchar_t* path) override {
        heard.push_back(L"type " + std::to_wstring(type) + L" " + PathFindFileNameW(path));
    }
    void TypeIconsRebuilding() override { heard.push_back(L"rebuilding"); }
};

TEST_F(FileListTest, OneTypeIconPerTypeAndTheObserverHearsOfEach) {
    Recorder recorder;
    list_.Attach(&recorder);
    for (const wchar_t* name : {L"c.zip", L"b.zorvtest", L"a.zip"}) ASSERT_TRUE(list_.AddFileEntry(dir_.Write(name, "x").c_str()));
    ASSERT_STRNE(list_.At(0).typeName, list_.At(1).typeName);
    EXPECT_EQ(1, list_.FindTypeIcon(list_.At(1).typeName));
    EXPECT_EQ(-1, list_.FindTypeIcon(L"no such type"));
    list_.RemoveRows({1, 0}); // c.zip goes: the rebuild numbers the types of the rows left
    list_.RebuildTypeIcons();
    list_.RemoveAll();
    EXPECT_EQ((std::vector<std::wstring>{L"type 0 c.zip", L"type 1 b.zorvtest", L"rebuilding", L"type 0 b.zorvtest",
                                         L"type 1 a.zip", L"clear"}),
              recorder.heard);
}

TEST_F(FileListTest, TheKindFilterGoesByTheExtension) {
    const struct { const wchar_t* path; bool enabled; } cases[] = {
        {L"C:\\a.zip", true},  {L"C:\\A.ZIP", true},  {L"C:\\a.7z", true},      {L"C:\\a.rar", true},
        {L"C:\\a.cab", false}, {L"C:\\a.lzh", false}, {L"C:\\a.zip.txt", false}, {L"C:\\zip", false},
    };
    for (const auto& c : cases) EXPECT_EQ(c.enabled, kinds_.Accepts(c.path)) << Utf8(c.path);
    // A file of a disabled kind adds nothing, nor a missing path (walked as a folder).
    std::wstring cab = Make(L"x.cab");
    AddPath(list_, cab.c_str(), kinds_, never_);
    AddPath(list_, (dir_ / L"missing.zip").c_str(), kinds_, never_);
    EXPECT_EQ(0, list_.Count());
    kinds_.enabled[kKindCab] = true;
    AddPath(list_, cab.c_str(), kinds_, never_);
    EXPECT_EQ(1, list_.Count());
}

// What a folder walk adds, and in which order, the main window's test of a handed-over folder checks.
TEST_F(FileListTest, BlankPathsFolderLinksAndACancelAddNothingMore) {
    // Regression: "" became "/", and the walk listed the drive's root.
    std::wstring atRoot = L"C:\\zorvel-blank-path-test.zip";
    ASSERT_TRUE(WriteBytes(atRoot, "x"));
    wchar_t current[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, current);
    SetCurrentDirectoryW(L"C:\\");
    for (const wchar_t* blank : {L"", L"  ", L"\t"}) AddPath(list_, blank, kinds_, never_);
    SetCurrentDirectoryW(current);
    DeleteFileW(atRoot.c_str());
    EXPECT_EQ(0, list_.Count());
    // Regression: links back to the folder and its parent listed a.zip dozens of times.
    std::wstring links = BuildFolder(L"fixtures") + L"\\links";
    AddPath(list_, links.c_str(), kinds_, never_);
    ASSERT_EQ(1, list_.Count());
    EXPECT_EQ(links + L"\\a.zip", list_.At(0).fullPath);
    // A cancelled walk goes no further than the entry it is at.
    list_.RemoveAll();
    for (const wchar_t* name : {L"A.rar", L"B.zip", L"C.zip"}) Make(name);
    CancelFlag cancelled;
    cancelled.Set();
    AddPath(list_, dir_.path().c_str(), kinds_, cancelled);
    EXPECT_LE(list_.Count(), 1);
}

FileEntry Entry(const wchar_t* name, int status = 0, uint64_t size = 0, uint64_t time = 0) {
    FileEntry e = {};
    wcscpy(e.name, name);
    swprintf(e.fullPath, 260, L"C:\\in\\%ls", name);
    e.status = status;
    e.size = size;
    e.lastWriteTime.dwLowDateTime = static_cast<DWORD>(time);
    e.lastWriteTime.dwHighDateTime = static_cast<DWORD>(time >> 32);
    return e;
}

TEST(Presentation, CellTextsAndInfoTips) {
    FileEntry e = Entry(L"a.zip", 1, 5ull << 32); // 20 GiB: only the high word is set
    std::wstring kb = CellText(e, RowNote(), 4, true);
    EXPECT_NE(std::wstring::npos, kb.find(L"KB"));
    EXPECT_NE(std::wstring::npos, kb.find(L"20")) << "computed from all 64 bits";
    EXPECT_NE(std::wstring::npos, CellText(e, RowNote(), 4, false).find(L"20.0 GB"));
    EXPECT_EQ(L"リネームすることが出来ます", CellText(e, RowNote(), 2, true));
    SYSTEMTIME st = {2024, 5, 0, 1, 13, 45, 7, 0};
    FILETIME local;
    SystemTimeToFileTime(&st, &local);
    LocalFileTimeToFileTime(&local, &e.lastWriteTime);
    EXPECT_EQ(L"2024/05/01 13:45", CellText(e, RowNote(), 6, true));

    wcscpy(e.newName, L"Photos.zip");
    EXPECT_EQ(L"現在のファイル名： a.zip\n新しいファイル名： Photos.zip", InfoTipText(e, RowNote()));
    e.status = 3;
    EXPECT_EQ(L"現在のファイル名： a.zip", InfoTipText(e, RowNote())) << "the second line only when ready";
}

TEST(Presentation, TypeAheadFindsThePrefixFromTheStartRowAndWraps) {
    FileList list;
    for (const wchar_t* n : {L"apple.zip", L"Banana.zip", L"avocado.zip", L"cherry.zip"}) list.AppendEntry(Entry(n));
    EXPECT_EQ(2, FindRowByPrefix(list, 1, 0, L"A", true));
    EXPECT_EQ(0, FindRowByPrefix(list, 3, 0, L"ap", true)); // wraps to row 0
    EXPECT_EQ(0, FindRowByPrefix(list, 99, 0, L"a", true)); // a start past the end begins at 0
    EXPECT_EQ(-1, FindRowByPrefix(list, 0, 0, L"apple.zip and more", true));
}

// Sizes and times compare on all 64 bits, names by the locale (not by code
// unit: B after a); equal keys keep their order.
TEST(Presentation, SortsEachColumnBothWays) {
    const uint64_t t = 133000000000000000ull, second = 10000000ull;
    const struct { int column; std::vector<FileEntry> rows; std::vector<std::wstring> ascending; } cases[] = {
        {0, {Entry(L"c.zip"), Entry(L"B.zip"), Entry(L"a.zip")}, {L"a.zip", L"B.zip", L"c.zip"}},
        {2, {Entry(L"a", 3), Entry(L"b", 0), Entry(L"c", 1), Entry(L"d", 0), Entry(L"e", 12)},
         {L"b", L"d", L"c", L"a", L"e"}},
        {4, {Entry(L"big", 0, (1ull << 32) + 1), Entry(L"small", 0, 0xFFFFFFFFull), Entry(L"tiny", 0, 2)},
         {L"tiny", L"small", L"big"}},
        {6, {Entry(L"later", 0, 0, t + 10 * second), Entry(L"earlier", 0, 0, t)}, {L"earlier", L"later"}},
    };
    for (const auto& c : cases) {
        FileList list;
        for (const FileEntry& e : c.rows) list.AppendEntry(e);
        SortByColumn(list, c.column, false);
        EXPECT_EQ(c.ascending, Names(list)) << c.column;
        SortByColumn(list, c.column, true);
        EXPECT_EQ(c.ascending.back(), Names(list).front()) << c.column;
        // The duplicate check still knows every path after the rows moved.
        for (const FileEntry& e : c.rows) EXPECT_TRUE(list.IsListedPath(e.fullPath));
    }
}

} // namespace
