// Cell texts, info tips, type-ahead and sorting of the list.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "base/ScopedWin.h"
#include "filelist/FileList.h"
#include "filelist/ListPresentation.h"
#include "filelist/RunState.h"

namespace {

FILETIME Ticks(uint64_t t) {
    FILETIME f;
    f.dwLowDateTime = static_cast<DWORD>(t);
    f.dwHighDateTime = static_cast<DWORD>(t >> 32);
    return f;
}

FileEntry Entry(const wchar_t* name, int status = 0, uint64_t size = 0, uint64_t time = 0) {
    FileEntry e = {};
    wcscpy(e.name, name);
    swprintf(e.fullPath, 260, L"C:\\in\\%ls", name);
    e.status = status;
    e.size = size;
    e.lastWriteTime = Ticks(time);
    return e;
}

class PresentationTest : public ::testing::Test {
protected:
    void TearDown() override { ThumbnailSize = 0; }
    std::vector<std::wstring> Names() const {
        std::vector<std::wstring> names;
        for (int i = 0; i < list_.Count(); ++i) names.push_back(list_.At(i).name);
        return names;
    }
    FileList list_;
};

TEST(CellText, SizesAndDates) {
    FileEntry e = Entry(L"a.zip", 1, 5ull << 32); // 20 GiB: only the high word is set
    std::wstring kb = CellText(e, 4, true);
    std::wstring shortForm = CellText(e, 4, false);
    EXPECT_NE(std::wstring::npos, kb.find(L"KB")) << "KB form";
    EXPECT_NE(std::wstring::npos, kb.find(L"20")) << "computed from all 64 bits";
    EXPECT_NE(std::wstring::npos, shortForm.find(L"20.0 GB"));
    EXPECT_EQ(L"リネームすることが出来ます", CellText(e, 2, true));
    EXPECT_EQ(L"", CellText(e, 7, true));

    SYSTEMTIME st = {2024, 5, 0, 1, 13, 45, 7, 0};
    FILETIME local, utc;
    SystemTimeToFileTime(&st, &local);
    LocalFileTimeToFileTime(&local, &utc);
    e.lastWriteTime = utc;
    EXPECT_EQ(L"2024/05/01 13:45", CellText(e, 6, true));
}

TEST(InfoTip, SecondLineOnlyWhenReady) {
    FileEntry e = Entry(L"x.zip", 1);
    wcscpy(e.newName, L"Photos.zip");
    EXPECT_EQ(L"現在のファイル名： x.zip\n新しいファイル名： Photos.zip", InfoTipText(e));
    e.status = 3;
    EXPECT_EQ(L"現在のファイル名： x.zip", InfoTipText(e));
}

TEST_F(PresentationTest, SortsByStatusBothWays) {
    for (const FileEntry& e : {Entry(L"a", 3), Entry(L"b", 0), Entry(L"c", 1), Entry(L"d", 0), Entry(L"e", 12)})
        list_.AppendEntry(e);
    SortByColumn(list_, 2, false);
    std::vector<std::wstring> names = Names();
    EXPECT_EQ(0, list_.At(0).status);
    EXPECT_EQ(0, list_.At(1).status);
    EXPECT_EQ(L"c", names[2]);
    EXPECT_EQ(L"a", names[3]);
    EXPECT_EQ(L"e", names[4]);
    SortByColumn(list_, 2, true);
    EXPECT_STREQ(L"e", list_.At(0).name);
    EXPECT_EQ(0, list_.At(4).status);
    // The duplicate check still knows every path after the rows moved.
    for (const wchar_t* n : {L"C:\\in\\a", L"C:\\in\\e"}) EXPECT_TRUE(list_.IsListedPath(n));
}

TEST_F(PresentationTest, SizesAndTimesCompareOnAll64Bits) {
    // Low words alone would order these the other way round.
    list_.AppendEntry(Entry(L"big", 0, (1ull << 32) + 1));
    list_.AppendEntry(Entry(L"small", 0, 0xFFFFFFFFull));
    list_.AppendEntry(Entry(L"tiny", 0, 2));
    SortByColumn(list_, 4, false);
    EXPECT_EQ((std::vector<std::wstring>{L"tiny", L"small", L"big"}), Names());

    FileList times;
    const uint64_t base = 133000000000000000ull;
    times.AppendEntry(Entry(L"later", 0, 0, base + 10 * 10000000ull)); // ten seconds apart
    times.AppendEntry(Entry(L"earlier", 0, 0, base));
    SortByColumn(times, 6, false);
    EXPECT_STREQ(L"earlier", times.At(0).name);
}

TEST_F(PresentationTest, NamesSortByTheLocaleComparison) {
    for (const wchar_t* n : {L"b.zip", L"A.zip", L"c.zip", L"a.zip"}) list_.AppendEntry(Entry(n));
    SortByColumn(list_, 0, false);
    std::vector<std::wstring> names = Names();
    EXPECT_EQ(L"c.zip", names[3]);
    EXPECT_EQ(L"b.zip", names[2]);
    SortByColumn(list_, 0, true);
    EXPECT_STREQ(L"c.zip", list_.At(0).name);
}

TEST_F(PresentationTest, TypeAheadFindsThePrefixFromTheStartRowAndWraps) {
    for (const wchar_t* n : {L"apple.zip", L"Banana.zip", L"avocado.zip", L"cherry.zip"}) list_.AppendEntry(Entry(n));
    EXPECT_EQ(1, FindRowByPrefix(list_, 0, 0, L"b", true));
    EXPECT_EQ(2, FindRowByPrefix(list_, 1, 0, L"A", true));
    EXPECT_EQ(0, FindRowByPrefix(list_, 3, 0, L"ap", true)); // wraps to row 0
    EXPECT_EQ(0, FindRowByPrefix(list_, 99, 0, L"a", true)); // a start past the end begins at 0
    EXPECT_EQ(-1, FindRowByPrefix(list_, 0, 0, L"z", true));
    EXPECT_EQ(-1, FindRowByPrefix(list_, 0, 0, L"apple.zip and more", true));
}

TEST_F(PresentationTest, ThumbnailsMoveWithTheirRows) {
    ScopedImageList thumbs(ImageList_Create(4, 4, ILC_COLOR24, 4, 4));
    list_.Attach(nullptr, nullptr, thumbs.get());
    const COLORREF colors[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};
    const wchar_t* names[] = {L"c", L"a", L"b"};
    HDC screen = GetDC(nullptr);
    for (int i = 0; i < 3; ++i) {
        list_.AppendEntry(Entry(names[i]));
        ScopedBitmap bitmap(CreateCompatibleBitmap(screen, 4, 4));
        HDC dc = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(dc, bitmap.get());
        HBRUSH brush = CreateSolidBrush(colors[i]);
        RECT r = {0, 0, 4, 4};
        FillRect(dc, &r, brush);
        DeleteObject(brush);
        SelectObject(dc, old);
        DeleteDC(dc);
        ImageList_Add(thumbs.get(), bitmap.get(), nullptr);
    }
    ThumbnailSize = 2;
    SortByColumn(list_, 0, false); // a (green), b (blue), c (red)
    const COLORREF expected[] = {colors[1], colors[2], colors[0]};
    for (int i = 0; i < 3; ++i) {
        ScopedBitmap bitmap(CreateCompatibleBitmap(screen, 4, 4));
        HDC dc = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(dc, bitmap.get());
        ImageList_Draw(thumbs.get(), i, dc, 0, 0, ILD_NORMAL);
        EXPECT_EQ(expected[i], GetPixel(dc, 2, 2)) << "row " << i;
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    ReleaseDC(nullptr, screen);
    list_.Attach(nullptr, nullptr, nullptr);
}

} // namespace
