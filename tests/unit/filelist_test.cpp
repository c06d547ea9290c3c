// The file list store: adding, the duplicate rule, removing rows, the path
// index, the type-icon cache and what its observer is told.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "TestFiles.h"
#include "filelist/FileList.h"
#include "filelist/ListPresentation.h"
#include "settings/Settings.h"

namespace {

class FileListTest : public ::testing::Test {
protected:
    void TearDown() override { list_.Attach(nullptr); }
    std::vector<std::wstring> Paths() const {
        std::vector<std::wstring> paths;
        for (int i = 0; i < list_.Count(); ++i) paths.push_back(list_.At(i).fullPath);
        return paths;
    }

    TempDir dir_;
    FileList list_;
};

// Names come from the file's name and attributes and type names once per
// extension; a user must see what the slow lookup by path shows.
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
    EXPECT_EQ((std::vector<std::wstring>{b, a}), Paths());
    EXPECT_TRUE(list_.IsListedPath(a.c_str()));
    list_.RemoveRows({0, 1});
    EXPECT_FALSE(list_.IsListedPath(a.c_str()));
    list_.SetOptions({true, false});
    EXPECT_TRUE(list_.AddFileEntry(a.c_str()));
    // Without shell details (the command-line batch) only the path is stored
    // and no type is cached.
    list_.SetOptions({false, false});
    EXPECT_TRUE(list_.AddFileEntry(b.c_str()));
    const FileEntry& e = list_.At(list_.Count() - 1);
    EXPECT_EQ(b, e.fullPath);
    EXPECT_STREQ(L"", e.name);
    EXPECT_STREQ(L"", e.directory);
    EXPECT_EQ(0u, e.size);
    EXPECT_EQ(-1, list_.FindTypeIcon(L""));
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

// What shows the list (icons, thumbnails) learns of every change in shape.
class Recorder final : public FileListObserver {
public:
    std::vector<std::wstring> heard;
    void RowsReordered(const std::vector<int>& order) override { heard.push_back(L"order " + Join(order)); }
    void RowsRemoved(const std::vector<char>& removed) override { heard.push_back(L"removed " + Join(removed)); }
    void RemovingAll() override { heard.push_back(L"clear"); }
    void TypeAdded(int type, const wchar_t* path) override {
        heard.push_back(L"type " + std::to_wstring(type) + L" " + PathFindFileNameW(path));
    }
    void TypeIconsRebuilding() override { heard.push_back(L"rebuilding"); }

private:
    template <class T>
    static std::wstring Join(const std::vector<T>& values) {
        std::wstring text;
        for (T v : values) text += std::to_wstring(static_cast<int>(v));
        return text;
    }
};

TEST_F(FileListTest, OneTypePerKindAndTheObserverHearsEveryChange) {
    Recorder recorder;
    list_.Attach(&recorder);
    for (const wchar_t* name : {L"c.zip", L"a.zip", L"b.zorvtest"}) ASSERT_TRUE(list_.AddFileEntry(dir_.Write(name, "x").c_str()));
    ASSERT_STRNE(list_.At(0).typeName, list_.At(2).typeName);
    EXPECT_EQ(1, list_.FindTypeIcon(list_.At(2).typeName));
    EXPECT_EQ(-1, list_.FindTypeIcon(L"no such type"));
    SortByColumn(list_, kColCurrentName, false); // a, b, c
    list_.RemoveRows({0, 1});                    // the removal is told for every row
    list_.RebuildTypeIcons();
    list_.RemoveAll();
    EXPECT_EQ((std::vector<std::wstring>{L"type 0 c.zip", L"type 1 b.zorvtest", L"order 120", L"removed 010",
                                         L"rebuilding", L"type 0 a.zip", L"clear"}),
              recorder.heard);
}

} // namespace
