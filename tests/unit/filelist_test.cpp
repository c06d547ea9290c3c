// The file list store: adding, the duplicate rule, removing rows, the path
// index, the type-icon cache and thumbnails following their rows.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "TestFiles.h"
#include "WindowDriver.h"
#include "base/ScopedWin.h"
#include "filelist/FileList.h"
#include "filelist/RunState.h"
#include "settings/Settings.h"

namespace {

class FileListTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_settings = Settings{};
        BatchMode = false;
        ThumbnailSize = 0;
    }
    void TearDown() override {
        BatchMode = false;
        ThumbnailSize = 0;
        list_.Attach(nullptr, nullptr, nullptr);
    }
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
    g_settings.AllowDuplicate = true;
    EXPECT_TRUE(list_.AddFileEntry(a.c_str()));
    list_.RemoveRows({1});
    EXPECT_EQ((std::vector<std::wstring>{b, a}), Paths());
    EXPECT_TRUE(list_.IsListedPath(a.c_str()));
    list_.RemoveRows({0, 1});
    EXPECT_FALSE(list_.IsListedPath(a.c_str()));
    g_settings.AllowDuplicate = false;
    EXPECT_TRUE(list_.AddFileEntry(a.c_str()));
    // Batch mode stores only the path and caches no icon.
    BatchMode = true;
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

TEST_F(FileListTest, OneIconPerTypeAndThumbnailsFollowTheirRows) {
    ScopedImageList icons(ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 4, 4));
    ScopedImageList thumbs(ImageList_Create(16, 16, ILC_COLOR24, 4, 4));
    list_.Attach(nullptr, icons.get(), thumbs.get());
    const COLORREF colours[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};
    for (const wchar_t* name : {L"one.zip", L"two.zip", L"three.zorvtest"}) {
        ASSERT_TRUE(list_.AddFileEntry(dir_.Write(name, "data").c_str()));
        AddSolidImage(thumbs.get(), colours[list_.Count() - 1]);
    }
    ASSERT_STRNE(list_.At(0).typeName, list_.At(2).typeName);
    EXPECT_EQ(2, ImageList_GetImageCount(icons.get())) << "the same type shares one icon";
    EXPECT_EQ(1, list_.FindTypeIcon(list_.At(2).typeName));
    EXPECT_EQ(-1, list_.FindTypeIcon(L"no such type"));

    // Without thumbnails shown, removing rows leaves the images alone.
    list_.RemoveRows({0, 0, 1});
    EXPECT_EQ(3, ImageList_GetImageCount(thumbs.get()));
    ImageList_Remove(thumbs.get(), 2);
    list_.RebuildTypeIcons();
    EXPECT_EQ(1, ImageList_GetImageCount(icons.get()));
    ThumbnailSize = 2;
    list_.RemoveRows({1});
    ASSERT_EQ(1, ImageList_GetImageCount(thumbs.get()));
    EXPECT_EQ(colours[1], ImageColour(thumbs.get(), 0)) << "image 0 belongs to the row that moved up";
}

} // namespace
