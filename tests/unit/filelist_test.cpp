// The file list store: adding, the duplicate rule, removing, the path index,
// the type-icon cache and thumbnails following their rows.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "TestFiles.h"
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
    }
    std::wstring MakeFile(const std::wstring& name, const std::string& content = "data") {
        std::wstring path = dir_ / name;
        EXPECT_TRUE(WriteBytes(path, content));
        return path;
    }
    std::vector<std::wstring> Paths() const {
        std::vector<std::wstring> paths;
        for (int i = 0; i < list_.Count(); ++i) paths.push_back(list_.At(i).fullPath);
        return paths;
    }

    TempDir dir_;
    FileList list_;
};

TEST_F(FileListTest, ShellNamesAreWhatTheLookupByPathGives) {
    // Names come from the file's name and attributes and type names once per
    // extension; a user must see what the slow lookup by path shows.
    for (const wchar_t* name : {L"写真.zip", L"two.ZIP", L"three.7z", L"four.rar", L"noextension"}) {
        std::wstring path = MakeFile(name);
        ASSERT_TRUE(list_.AddFileEntry(path.c_str()));
        SHFILEINFOW slow = {};
        ASSERT_TRUE(SHGetFileInfoW(path.c_str(), 0, &slow, sizeof(slow), SHGFI_DISPLAYNAME | SHGFI_TYPENAME));
        const FileEntry& e = list_.At(list_.Count() - 1);
        EXPECT_STREQ(slow.szDisplayName, e.name) << name;
        EXPECT_STREQ(slow.szTypeName, e.typeName) << name;
    }
}

TEST_F(FileListTest, AddFillsTheRecordFromTheFile) {
    std::wstring path = MakeFile(L"アーカイブ.zip", std::string(1234, 'z'));
    ASSERT_TRUE(list_.AddFileEntry(path.c_str()));
    ASSERT_EQ(1, list_.Count());
    const FileEntry& e = list_.At(0);
    EXPECT_EQ(path, e.fullPath);
    EXPECT_EQ(dir_.path(), e.directory);
    EXPECT_EQ(1234u, e.size);
    EXPECT_NE(0u, e.attributes);
    EXPECT_EQ(0, e.status);
    EXPECT_EQ(std::wstring::npos, std::wstring(e.name).find(L'\\'));
    EXPECT_NE(std::wstring::npos, std::wstring(L"アーカイブ.zip").find(e.name)) << "display name";
    EXPECT_STREQ(L"", e.newName);
    EXPECT_STREQ(L"", e.undoPath);

    WIN32_FILE_ATTRIBUTE_DATA data;
    ASSERT_TRUE(GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(0, CompareFileTime(&data.ftLastWriteTime, &e.lastWriteTime));
}

TEST_F(FileListTest, MissingAndOverlongPathsAreNotAdded) {
    EXPECT_FALSE(list_.AddFileEntry((dir_ / L"missing.zip").c_str()));
    // A file whose path needs more than the record's 260 units.
    std::wstring deep = dir_.path();
    while (deep.size() < 250) {
        deep += L"\\" + std::wstring(40, L'd');
        ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr));
    }
    std::wstring longPath = deep + L"\\" + std::wstring(30, L'f') + L".zip";
    ASSERT_TRUE(WriteBytes(longPath, "x"));
    ASSERT_GE(longPath.size(), 260u);
    EXPECT_FALSE(list_.AddFileEntry(longPath.c_str()));
    EXPECT_EQ(0, list_.Count());
}

TEST_F(FileListTest, DuplicatesFollowTheSetting) {
    std::wstring a = MakeFile(L"a.zip");
    EXPECT_TRUE(list_.AddFileEntry(a.c_str()));
    EXPECT_FALSE(list_.AddFileEntry(a.c_str()));
    EXPECT_EQ(1, list_.Count());

    g_settings.AllowDuplicate = true;
    EXPECT_TRUE(list_.AddFileEntry(a.c_str()));
    EXPECT_EQ(2, list_.Count());
    EXPECT_EQ(a, list_.At(1).fullPath);
}

TEST_F(FileListTest, PathsDifferingInCaseAreNotDuplicates) {
    std::wstring lower = MakeFile(L"case.zip");
    std::wstring upper = dir_ / L"CASE.ZIP"; // the same file, another spelling
    EXPECT_TRUE(list_.AddFileEntry(lower.c_str()));
    EXPECT_TRUE(list_.AddFileEntry(upper.c_str()));
    EXPECT_TRUE(list_.IsListedPath(upper.c_str()));
    EXPECT_FALSE(list_.IsListedPath((dir_ / L"Case.zip").c_str()));
}

TEST_F(FileListTest, BatchModeStoresOnlyThePathAndAllowsDuplicates) {
    BatchMode = true;
    std::wstring a = MakeFile(L"batch.zip");
    EXPECT_TRUE(list_.AddFileEntry(a.c_str()));
    EXPECT_TRUE(list_.AddFileEntry(a.c_str()));
    ASSERT_EQ(2, list_.Count());
    EXPECT_EQ(a, list_.At(0).fullPath);
    EXPECT_STREQ(L"", list_.At(0).name);
    EXPECT_STREQ(L"", list_.At(0).directory);
    EXPECT_EQ(0u, list_.At(0).size);
    EXPECT_EQ(-1, list_.FindTypeIcon(L"")) << "batch mode caches no icon";
}

TEST_F(FileListTest, RemoveAtEveryPositionKeepsTheOthersInOrder) {
    std::vector<std::wstring> files;
    for (int i = 1; i <= 5; ++i) files.push_back(MakeFile(L"f" + std::to_wstring(i) + L".zip"));
    for (const auto& f : files) ASSERT_TRUE(list_.AddFileEntry(f.c_str()));

    EXPECT_FALSE(list_.RemoveEntry(-1));
    EXPECT_FALSE(list_.RemoveEntry(5));
    ASSERT_TRUE(list_.RemoveEntry(2)); // middle
    EXPECT_EQ((std::vector<std::wstring>{files[0], files[1], files[3], files[4]}), Paths());
    ASSERT_TRUE(list_.RemoveEntry(0)); // first
    EXPECT_EQ((std::vector<std::wstring>{files[1], files[3], files[4]}), Paths());
    ASSERT_TRUE(list_.RemoveEntry(2)); // last
    EXPECT_EQ((std::vector<std::wstring>{files[1], files[3]}), Paths());

    // A removed path can be added again; a kept one still cannot.
    EXPECT_FALSE(list_.IsListedPath(files[2].c_str()));
    EXPECT_TRUE(list_.AddFileEntry(files[2].c_str()));
    EXPECT_FALSE(list_.AddFileEntry(files[1].c_str()));
}

TEST_F(FileListTest, RemovingTheOnlyEntryLeavesAnEmptyUsableList) {
    std::wstring a = MakeFile(L"only.zip");
    ASSERT_TRUE(list_.AddFileEntry(a.c_str()));
    ASSERT_TRUE(list_.RemoveEntry(0));
    EXPECT_EQ(0, list_.Count());
    EXPECT_FALSE(list_.RemoveEntry(0));
    EXPECT_FALSE(list_.IsListedPath(a.c_str()));
    EXPECT_TRUE(list_.AddFileEntry(a.c_str()));
    EXPECT_EQ(1, list_.Count());
}

TEST_F(FileListTest, ADuplicateStaysListedUntilItsLastCopyIsRemoved) {
    g_settings.AllowDuplicate = true;
    std::wstring a = MakeFile(L"twice.zip");
    ASSERT_TRUE(list_.AddFileEntry(a.c_str()));
    ASSERT_TRUE(list_.AddFileEntry(a.c_str()));
    ASSERT_TRUE(list_.RemoveEntry(0));
    EXPECT_TRUE(list_.IsListedPath(a.c_str()));
    ASSERT_TRUE(list_.RemoveEntry(0));
    EXPECT_FALSE(list_.IsListedPath(a.c_str()));
}

TEST_F(FileListTest, SetFullPathMovesTheEntryInTheDuplicateCheck) {
    std::wstring a = MakeFile(L"old.zip");
    std::wstring b = MakeFile(L"new.zip");
    ASSERT_TRUE(list_.AddFileEntry(a.c_str()));
    ASSERT_TRUE(list_.SetFullPath(0, b.c_str()));
    EXPECT_FALSE(list_.IsListedPath(a.c_str()));
    EXPECT_TRUE(list_.IsListedPath(b.c_str()));
    EXPECT_FALSE(list_.AddFileEntry(b.c_str()));
    EXPECT_FALSE(list_.SetFullPath(0, std::wstring(300, L'x').c_str()));
    EXPECT_EQ(b, list_.At(0).fullPath);
}

TEST_F(FileListTest, ManyAppendsKeepEveryRecord) {
    FileEntry entry = {};
    const int n = 20000;
    for (int i = 0; i < n; ++i) {
        swprintf(entry.fullPath, 260, L"C:\\many\\%06d.zip", i);
        entry.size = i;
        ASSERT_TRUE(list_.AppendEntry(entry));
    }
    ASSERT_EQ(n, list_.Count());
    for (int i = 0; i < n; i += 997) {
        EXPECT_EQ(static_cast<uint64_t>(i), list_.At(i).size);
        EXPECT_TRUE(list_.IsListedPath(list_.At(i).fullPath));
    }
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
    EXPECT_EQ(n, list_.Count());
}

TEST_F(FileListTest, OneIconPerTypeAndARebuildAfterRemoval) {
    ScopedImageList icons(ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 4, 4));
    list_.Attach(nullptr, icons.get(), nullptr);
    std::wstring z1 = MakeFile(L"one.zip"), z2 = MakeFile(L"two.zip"), other = MakeFile(L"three.zorvtest");
    ASSERT_TRUE(list_.AddFileEntry(z1.c_str()));
    ASSERT_TRUE(list_.AddFileEntry(z2.c_str()));
    EXPECT_EQ(1, ImageList_GetImageCount(icons.get())) << "the same type shares one icon";
    ASSERT_TRUE(list_.AddFileEntry(other.c_str()));
    ASSERT_STRNE(list_.At(0).typeName, list_.At(2).typeName);
    EXPECT_EQ(2, ImageList_GetImageCount(icons.get()));
    EXPECT_EQ(1, list_.FindTypeIcon(list_.At(2).typeName));
    EXPECT_EQ(-1, list_.FindTypeIcon(L"no such type"));

    ASSERT_TRUE(list_.RemoveEntry(2));
    list_.RebuildTypeIcons();
    EXPECT_EQ(1, ImageList_GetImageCount(icons.get()));
    list_.Attach(nullptr, nullptr, nullptr);
}

// Adds a 16 x 16 image of one colour to images.
void AddSolidImage(HIMAGELIST images, COLORREF color) {
    HDC screen = GetDC(nullptr);
    ScopedBitmap bitmap(CreateCompatibleBitmap(screen, 16, 16));
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, bitmap.get());
    HBRUSH brush = CreateSolidBrush(color);
    RECT all = {0, 0, 16, 16};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    ImageList_Add(images, bitmap.get(), nullptr);
}

// The colour in the middle of image index, drawn into a bitmap of our own.
COLORREF ImageColor(HIMAGELIST images, int index) {
    if (index >= ImageList_GetImageCount(images)) return CLR_INVALID;
    HDC screen = GetDC(nullptr);
    ScopedBitmap bitmap(CreateCompatibleBitmap(screen, 16, 16));
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, bitmap.get());
    ImageList_Draw(images, index, dc, 0, 0, ILD_NORMAL);
    COLORREF color = GetPixel(dc, 8, 8);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return color;
}

TEST_F(FileListTest, ThumbnailsFollowTheirRows) {
    ScopedImageList thumbs(ImageList_Create(16, 16, ILC_COLOR24, 4, 4));
    const COLORREF colors[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};
    for (COLORREF c : colors) AddSolidImage(thumbs.get(), c);
    list_.Attach(nullptr, nullptr, thumbs.get());
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(list_.AddFileEntry(MakeFile(L"t" + std::to_wstring(i) + L".zip").c_str()));
    ASSERT_EQ(colors[2], ImageColor(thumbs.get(), 2));

    ThumbnailSize = 2;
    ASSERT_TRUE(list_.RemoveEntry(1));
    ASSERT_EQ(2, ImageList_GetImageCount(thumbs.get()));
    EXPECT_EQ(colors[0], ImageColor(thumbs.get(), 0));
    EXPECT_EQ(colors[2], ImageColor(thumbs.get(), 1)) << "image 1 belongs to the row that moved up";
    ASSERT_TRUE(list_.RemoveEntry(0));
    ASSERT_TRUE(list_.RemoveEntry(0));
    EXPECT_EQ(0, ImageList_GetImageCount(thumbs.get()));

    // Without thumbnails shown, removing rows leaves the images alone.
    AddSolidImage(thumbs.get(), colors[0]);
    ThumbnailSize = 0;
    ASSERT_TRUE(list_.AddFileEntry((dir_ / L"t0.zip").c_str()));
    ASSERT_TRUE(list_.RemoveEntry(0));
    EXPECT_EQ(1, ImageList_GetImageCount(thumbs.get()));
    list_.Attach(nullptr, nullptr, nullptr);
}

} // namespace
