// Adding paths: the kind filter and the order of folder walks.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "Libraries.h"
#include "TestFiles.h"
#include "filelist/AddFiles.h"
#include "filelist/FileList.h"
#include "settings/ConfigFile.h"

namespace {

class AddFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        Settings defaults;
        LoadSettingsFrom(nullptr, defaults, 1280, 1024);
        kinds_ = KindsOf(defaults); // ZIP, 7Z, RAR on; CAB, LZH off
    }
    std::wstring Make(const std::wstring& relative) {
        std::wstring path = dir_ / relative;
        EXPECT_TRUE(WriteBytes(path, "x"));
        return path;
    }
    std::vector<std::wstring> Names() const {
        std::vector<std::wstring> names;
        for (int i = 0; i < list_.Count(); ++i) names.push_back(list_.At(i).fullPath + dir_.path().size() + 1);
        return names;
    }
    TempDir dir_;
    FileList list_;
    KindFilter kinds_;
    CancelFlag never_;
};

TEST_F(AddFilesTest, TheKindFilterGoesByTheExtension) {
    const struct { const wchar_t* path; bool enabled; } cases[] = {
        {L"C:\\a.zip", true}, {L"C:\\A.ZIP", true},   {L"C:\\a.7z", true},     {L"C:\\a.rar", true},
        {L"C:\\a.cab", false}, {L"C:\\a.lzh", false}, {L"C:\\a.zip.txt", false}, {L"C:\\zip", false},
        {L"C:\\x.zip\\a", false}, {L"a.b/c.Rar", true}, {L"C:\\.zip", true},
    };
    for (const auto& c : cases) EXPECT_EQ(c.enabled, kinds_.Accepts(c.path)) << Utf8(c.path);
    EXPECT_TRUE(kinds_.Any());
    for (bool& flag : kinds_.enabled) flag = false;
    EXPECT_FALSE(kinds_.Any());
    EXPECT_FALSE(kinds_.Accepts(L"C:\\a.zip"));
}

TEST_F(AddFilesTest, AFolderIsWalkedOncePerKindInTableOrder) {
    ASSERT_TRUE(CreateDirectoryW((dir_ / L"sub").c_str(), nullptr));
    Make(L"A.rar");
    Make(L"B.zip");
    Make(L"sub\\C.ZIP");
    Make(L"D.cab"); // disabled kind
    Make(L"E.txt");
    AddPath(list_, dir_.path().c_str(), kinds_, never_);
    EXPECT_EQ((std::vector<std::wstring>{L"B.zip", L"sub\\C.ZIP", L"A.rar"}), Names());
}

TEST_F(AddFilesTest, FilesOfDisabledKindsAndMissingPathsAreSkipped) {
    std::wstring cab = Make(L"x.cab");
    AddPath(list_, cab.c_str(), kinds_, never_);
    AddPath(list_, (dir_ / L"missing.zip").c_str(), kinds_, never_); // unreadable: walked as a folder, finds nothing
    EXPECT_EQ(0, list_.Count());
    kinds_.enabled[kKindCab] = true;
    AddPath(list_, cab.c_str(), kinds_, never_);
    EXPECT_EQ(1, list_.Count());
}

TEST_F(AddFilesTest, BlankPathsAndFolderLinksAddNothingMore) {
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
}

TEST_F(AddFilesTest, ACancelledWalkStopsAfterTheCurrentEntry) {
    for (int i = 0; i < 5; ++i) Make(L"f" + std::to_wstring(i) + L".zip");
    CancelFlag cancelled;
    cancelled.Set();
    AddPath(list_, dir_.path().c_str(), kinds_, cancelled);
    EXPECT_LE(list_.Count(), 1) << "the walk goes on no further than the entry it is at";
}

} // namespace
