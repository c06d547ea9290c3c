// Cell texts, info tips, type-ahead and sorting of the list.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "WindowDriver.h"
#include "base/ScopedWin.h"
#include "filelist/FileList.h"
#include "filelist/ListPresentation.h"

namespace {

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

std::vector<std::wstring> Names(const FileList& list) {
    std::vector<std::wstring> names;
    for (int i = 0; i < list.Count(); ++i) names.push_back(list.At(i).name);
    return names;
}

TEST(Presentation, CellTextsAndInfoTips) {
    FileEntry e = Entry(L"a.zip", 1, 5ull << 32); // 20 GiB: only the high word is set
    std::wstring kb = CellText(e, RowNote(), 4, true);
    EXPECT_NE(std::wstring::npos, kb.find(L"KB"));
    EXPECT_NE(std::wstring::npos, kb.find(L"20")) << "computed from all 64 bits";
    EXPECT_NE(std::wstring::npos, CellText(e, RowNote(), 4, false).find(L"20.0 GB"));
    EXPECT_EQ(L"リネームすることが出来ます", CellText(e, RowNote(), 2, true));
    EXPECT_EQ(L"", CellText(e, RowNote(), 7, true));
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
    EXPECT_EQ(1, FindRowByPrefix(list, 0, 0, L"b", true));
    EXPECT_EQ(2, FindRowByPrefix(list, 1, 0, L"A", true));
    EXPECT_EQ(0, FindRowByPrefix(list, 3, 0, L"ap", true)); // wraps to row 0
    EXPECT_EQ(0, FindRowByPrefix(list, 99, 0, L"a", true)); // a start past the end begins at 0
    EXPECT_EQ(-1, FindRowByPrefix(list, 0, 0, L"z", true));
    EXPECT_EQ(-1, FindRowByPrefix(list, 0, 0, L"apple.zip and more", true));
}

// Sizes and times compare on all 64 bits (low words alone would order these
// the other way round); names by the locale comparison; equal keys keep
// their order.
TEST(Presentation, SortsEachColumnBothWays) {
    const uint64_t t = 133000000000000000ull, second = 10000000ull;
    const struct { int column; std::vector<FileEntry> rows; std::vector<std::wstring> ascending; } cases[] = {
        {0, {Entry(L"b.zip"), Entry(L"A.zip"), Entry(L"c.zip"), Entry(L"a.zip")},
         {L"a.zip", L"A.zip", L"b.zip", L"c.zip"}},
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
        if (c.column == 0) { // the locale comparison leaves the order of a and A open
            EXPECT_EQ(L"b.zip", Names(list)[2]);
            EXPECT_EQ(L"c.zip", Names(list)[3]);
        } else {
            EXPECT_EQ(c.ascending, Names(list)) << c.column;
        }
        SortByColumn(list, c.column, true);
        EXPECT_EQ(c.ascending.back(), Names(list).front()) << c.column;
        // The duplicate check still knows every path after the rows moved.
        for (const FileEntry& e : c.rows) EXPECT_TRUE(list.IsListedPath(e.fullPath));
    }
}

} // namespace
